// A file opened for reading as tovFSO's reading methods open it (read
// access, no lock of its own), read piece by piece.
#pragma once

#include "TextFormat.h"

#include <tovrin/Unique.h>

#include <cstdint>

namespace tovrin {

class FileReader final : public text::IByteSource {
public:
    // Raises the mapped error of the open, and error 6 for a file of 2 GiB or more.
    explicit FileReader(BSTR fileName);

    size_t Length() const { return m_length; }
    size_t Read(char* buffer, size_t size) override;
    void Seek(size_t position) override;

private:
    Handle m_file;
    size_t m_length = 0;
};

} // namespace tovrin
