// File access that the library's classes share: the file-name handling of
// the ANSI file functions, existence tests and small reads. Errors raised
// here carry no Source; the calling member's class gives its own.
#pragma once

#include "com/AutomationError.h"

#include <tovrin/Unique.h>

#include <string>

namespace tovrin {

// The error number for a Win32 error of a file operation: 2 gives 53 (file
// not found), 3 gives 76 (path not found), 5 and 32 give 70 (permission
// denied), every other code 75 (path/file access error).
long MapWin32FileError(DWORD error);

// The file name as the ANSI file functions take it: a name the system code
// page cannot express does not name any file.
std::string AnsiFileName(BSTR fileName);

// Error 6 for a file that is or would grow to 2 GiB or more.
[[noreturn]] void RaiseFileTooLarge();

// True when the name is an existing file (not a folder).
bool FileExists(BSTR fileName);

// Up to count bytes from the start of the file; raises the mapped error of
// the open or the read.
std::string ReadHead(BSTR fileName, size_t count);

} // namespace tovrin
