// NTFS compression of a file or folder. Nothing here raises: a failure
// gives the system's error code.
#pragma once

#include <windows.h>

#include <string>

namespace tovrin {

// Sets the compression format (passed on as the caller gave it); false and
// the error code where the system refuses.
bool SetCompression(const std::wstring& name, long format, DWORD& error);

// Reads the compression format; false and the error code where the system
// refuses.
bool GetCompression(const std::wstring& name, long& format, DWORD& error);

} // namespace tovrin
