#include "files/FileAccess.h"

#include "files/FileSystem.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupportfbe.h>

#include <cwchar>

namespace tovrin {

namespace {

// Longer than this, a path goes to the file functions in the "\\?\" form
// (a folder's full name must leave room for an 8.3 name below MAX_PATH).
constexpr size_t PlainPathLimit = MAX_PATH - 12;

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

} // namespace

std::optional<std::wstring> CheckedFileName(BSTR fileName)
{
    std::wstring name = Bstr::ToString(fileName);
    if (name.find(L'\0') != std::wstring::npos)
        return std::nullopt;
    if (name.empty() || StartsWith(name, L"\\\\?\\"))
        return name;
    DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return name; // the system cannot make more of it; opening it fails as the name deserves
    std::wstring full(size, L'\0');
    DWORD length = ::GetFullPathNameW(name.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return name;
    full.resize(length);
    return full;
}

std::wstring RequireFileName(BSTR fileName)
{
    std::optional<std::wstring> name = CheckedFileName(fileName);
    if (!name)
        throw AutomationError(ErrBadFileNameOrNumber);
    return *name;
}

std::wstring LongForm(const std::wstring& name)
{
    if (name.size() < PlainPathLimit || StartsWith(name, L"\\\\?\\") || StartsWith(name, L"\\\\.\\"))
        return name;
    if (StartsWith(name, L"\\\\"))
        return L"\\\\?\\UNC\\" + name.substr(2);
    if (name.size() >= 3 && name[1] == L':' && name[2] == L'\\')
        return L"\\\\?\\" + name;
    return name; // not a full path: the plain form is all it has
}

std::wstring JoinFileName(const std::wstring& folder, const std::wstring& name)
{
    Bstr joined;
    Check(esBuildFileName(Bstr::From(folder).get(), Bstr::From(name).get(), 0, joined.put()));
    return joined.str();
}

Bstr SupportName(const std::wstring& name)
{
    return Bstr::From(LongForm(name));
}

bool FileExists(const std::wstring& name)
{
    if (name.empty())
        return false;
    DWORD attributes = FileSystem().GetAttributes(name);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
