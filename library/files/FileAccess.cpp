#include "files/FileAccess.h"

#include "files/FileSystem.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupportfbe.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

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

std::optional<std::wstring> ShellFileName(const std::wstring& name)
{
    if (name.find_first_of(L"*?", StartsWith(name, L"\\\\?\\") ? 4 : 0) != std::wstring::npos)
        return std::nullopt;
    if (!StartsWith(name, L"\\\\?\\"))
        return name;
    std::wstring plain;
    if (StartsWith(name, L"\\\\?\\UNC\\"))
        plain = L"\\\\" + name.substr(8);
    else if (name.size() >= 7 && std::iswalpha(name[4]) && name[5] == L':' && name[6] == L'\\')
        plain = name.substr(4);
    else
        return std::nullopt;
    if (plain.size() >= MAX_PATH || plain.find(L'/') != std::wstring::npos)
        return std::nullopt;
    // Every component after the root must come through the plain form's
    // clean-up unchanged.
    size_t start = plain.find(L'\\', 2) + 1;
    for (size_t end = start; end <= plain.size(); start = ++end) {
        end = std::min(plain.find(L'\\', start), plain.size());
        const std::wstring part = plain.substr(start, end - start);
        const bool changes = part.empty() ? end < plain.size()
                                          : part == L"." || part == L".." || part.back() == L'.' || part.back() == L' ';
        if (changes)
            return std::nullopt;
    }
    return plain;
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

void RaiseLastFileError(long (*map)(DWORD))
{
    throw AutomationError(map(::GetLastError()));
}

LONGLONG ListedFileSize(const std::wstring& name)
{
    WIN32_FIND_DATAW entry = {};
    const SeamFind find(FileSystem().FindFirst(name, &entry));
    if (!find)
        RaiseLastFileError();
    return (static_cast<LONGLONG>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

} // namespace tovrin
