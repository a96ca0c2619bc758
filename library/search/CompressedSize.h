// The size a found file takes on its volume, compressed or sparse, as the
// system says it. The walk never asks it: FoundedFile does, when a client
// reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tovrin {

// Nothing where the system cannot say (a folder, a file gone since).
std::optional<uint64_t> CompressedFileSize(const std::wstring& fullName);

} // namespace tovrin
