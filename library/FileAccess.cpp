#include "FileAccess.h"

#include "tovFSO.h"

#include <tovrin/CodePage.h>
#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupportfbe.h>

namespace tovrin {

std::string AnsiFileName(BSTR fileName)
{
    std::wstring name = Bstr::ToString(fileName);
    BOOL lossy = FALSE;
    int n = name.empty() ? 0
                         : ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.data(),
                                                 static_cast<int>(name.size()), nullptr, 0, nullptr, &lossy);
    if (lossy)
        throw AutomationError(ErrBadFileNameOrNumber);
    std::string ansi(static_cast<size_t>(n), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.data(), static_cast<int>(name.size()), &ansi[0], n,
                              nullptr, nullptr);
    return ansi;
}

bool FileExists(BSTR fileName)
{
    VARIANT_BOOL exists = VARIANT_FALSE;
    Check(esIsFileExist(fileName, &exists));
    return exists != VARIANT_FALSE;
}

void RaiseFileTooLarge()
{
    throw AutomationError(ErrOverflow, L"Overflow: files must stay below 2 GiB (2,147,483,648 bytes)");
}

std::string ReadHead(BSTR fileName, size_t count)
{
    Handle file(::CreateFileA(AnsiFileName(fileName).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw AutomationError(MapWin32FileError(::GetLastError()));
    std::string bytes(count, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(count), &read, nullptr))
        throw AutomationError(MapWin32FileError(::GetLastError()));
    bytes.resize(read);
    return bytes;
}

long MapWin32FileError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return ErrFileNotFound;
    case ERROR_PATH_NOT_FOUND: return ErrPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return ErrPermissionDenied;
    default: return ErrPathFileAccess;
    }
}

} // namespace tovrin
