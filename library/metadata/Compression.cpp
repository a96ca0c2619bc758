#include "metadata/Compression.h"

#include "files/FileSystem.h"
#include "metadata/ExistingItem.h"

#include <winioctl.h>

namespace tovrin {

namespace {

// The access each compression control code requires of the handle, the
// RequiredAccess of its definition in winioctl.h:
//   FSCTL_GET_COMPRESSION  CTL_CODE(FILE_DEVICE_FILE_SYSTEM, 15, METHOD_BUFFERED, FILE_ANY_ACCESS)
//   FSCTL_SET_COMPRESSION  CTL_CODE(FILE_DEVICE_FILE_SYSTEM, 16, METHOD_BUFFERED, FILE_READ_DATA | FILE_WRITE_DATA)
// Reading the state needs a handle of any access: the attributes' suffices.
constexpr DWORD GetCompressionAccess = FILE_READ_ATTRIBUTES;
constexpr DWORD SetCompressionAccess = FILE_READ_DATA | FILE_WRITE_DATA;

} // namespace

bool SetCompression(const std::wstring& name, long format, DWORD& error)
{
    Handle file = OpenExistingItem(name, SetCompressionAccess);
    DWORD returned = 0;
    if (file && FileSystem().Control(file.get(), FSCTL_SET_COMPRESSION, &format, sizeof(format), nullptr, 0, &returned))
        return true;
    error = ::GetLastError();
    return false;
}

bool GetCompression(const std::wstring& name, long& format, DWORD& error)
{
    Handle file = OpenExistingItem(name, GetCompressionAccess);
    long state = 0;
    DWORD returned = 0;
    if (file && FileSystem().Control(file.get(), FSCTL_GET_COMPRESSION, nullptr, 0, &state, sizeof(state), &returned)) {
        format = state;
        return true;
    }
    error = ::GetLastError();
    return false;
}

} // namespace tovrin
