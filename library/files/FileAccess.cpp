#include "files/FileAccess.h"

#include <tovrin/CodePage.h>
#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupportfbe.h>

namespace tovrin {

std::optional<std::string> SystemFileName(BSTR fileName)
{
    std::wstring name = Bstr::ToString(fileName);
    BOOL lossy = FALSE;
    int n = name.empty() ? 0
                         : ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.data(),
                                                 static_cast<int>(name.size()), nullptr, 0, nullptr, &lossy);
    if (lossy)
        return std::nullopt;
    std::string ansi(static_cast<size_t>(n), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.data(), static_cast<int>(name.size()), &ansi[0], n,
                              nullptr, nullptr);
    return ansi;
}

std::string AnsiFileName(BSTR fileName)
{
    std::optional<std::string> name = SystemFileName(fileName);
    if (!name)
        throw AutomationError(ErrBadFileNameOrNumber);
    return *name;
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
