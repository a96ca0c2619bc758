// File access that the library's classes share: the one boundary every name
// a caller gives passes before anything is opened, listed, deleted or
// written; the mapping of Win32 errors; existence tests. Errors raised here
// carry no Source; the calling member's class gives its own.
#pragma once

#include "com/AutomationError.h"

#include <tovrin/Unique.h>
#include <tovrin/Win32Errors.h>

#include <optional>
#include <string>

namespace tovrin {

// Raises the mapped error of the thread's last Win32 error: the library's
// file mapping, or another of the kernel's (tovrin/Win32Errors.h).
[[noreturn]] void RaiseLastFileError(long (*map)(DWORD) = MapWin32FileError);

// A caller's file or folder name, checked: nothing for a name with a NUL
// anywhere, which names no file (the system would read only the part before
// it, and the shell a list of names); a relative name, drive-relative
// "C:file" included, becomes the full path in the current folder; an empty
// name stays empty, for the member to answer as it does.
std::optional<std::wstring> CheckedFileName(BSTR fileName);

// The same for a member that must have a name: error 52 (bad file name) for
// one with a NUL.
std::wstring RequireFileName(BSTR fileName);

// The name as the system's file functions take it beyond MAX_PATH: the
// "\\?\" form of a full path too long for the plain form, the name itself
// otherwise. The file-system seam uses it.
std::wstring LongForm(const std::wstring& name);

// A checked name as the shell's functions take it. They do not know the
// "\\?\" form, and read its "?" as a wildcard: such a name is given in its
// plain form where that names the same file; nothing where no plain form
// does (a volume's GUID path; a component that the plain form would change:
// ".", "..", one ending in a dot or a blank; a path as long as MAX_PATH). A
// name with a wildcard names no one file: nothing.
std::optional<std::wstring> ShellFileName(const std::wstring& name);

// A folder and a name joined into one path, as the support library joins
// them (one backslash between).
std::wstring JoinFileName(const std::wstring& folder, const std::wstring& name);


// Error 6 for a file that is or would grow to 2 GiB or more.
[[noreturn]] void RaiseFileTooLarge();

// The size the file system lists for the file, without opening it; raises
// the mapped error where it lists none.
LONGLONG ListedFileSize(const std::wstring& name);

// True when the name is an existing file (not a folder).
bool FileExists(const std::wstring& name);
bool FileExists(BSTR) = delete; // a caller's name passes CheckedFileName first

} // namespace tovrin
