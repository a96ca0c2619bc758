#include "search/CompressedSize.h"

#include "files/FileSystem.h"

namespace tovrin {

// The low part may be INVALID_FILE_SIZE for a real size: only the thread's
// error tells a failure.
std::optional<uint64_t> CompressedFileSize(const std::wstring& fullName)
{
    DWORD high = 0;
    ::SetLastError(0);
    const DWORD low = FileSystem().CompressedSize(fullName, &high);
    if (::GetLastError() != 0)
        return std::nullopt;
    return (static_cast<uint64_t>(high) << 32) | low;
}

} // namespace tovrin
