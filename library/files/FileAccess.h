// File access that the library's classes share: the file-name handling of
// the ANSI file functions, existence tests and small reads. Errors raised
// here carry no Source; the calling member's class gives its own.
#pragma once

#include "com/AutomationError.h"

#include <tovrin/Unique.h>

#include <optional>
#include <string>

namespace tovrin {

// The error number for a Win32 error of a file operation: 2 gives 53 (file
// not found), 3 gives 76 (path not found), 5 and 32 give 70 (permission
// denied), every other code 75 (path/file access error).
long MapWin32FileError(DWORD error);

// The file name as the ANSI file functions take it; nothing for a name the
// system code page cannot express, which names no file.
std::optional<std::string> SystemFileName(BSTR fileName);

// The same for a member that must have a file: error 52 (bad file name) for
// a name that names no file.
std::string AnsiFileName(BSTR fileName);

// Error 6 for a file that is or would grow to 2 GiB or more.
[[noreturn]] void RaiseFileTooLarge();

// True when the name is an existing file (not a folder).
bool FileExists(BSTR fileName);

} // namespace tovrin
