// The error numbers Win32 errors become, for the library and for Veskar,
// side by side. They differ on purpose, and each stays where it belongs, so
// that the numbers users see do not change:
// - MapWin32FileError is the library's narrow mapping of a file operation's
//   error, the one its members have always raised and scripts test for;
//   MapWin32WriteError adds a full disk for the members that write bytes.
// - MapWin32RunTimeError is the run-time's wider mapping of file errors, as
//   a program of the product family reports them (Veskar's errors): it
//   tells a full disk, a drive that is not ready or a bad name apart.
#pragma once

#include <windows.h>

#include <tovrin/ErrorNumbers.h>

namespace tovrin {

// 2 gives 53 (file not found), 3 gives 76 (path not found), 5 and 32 give
// 70 (permission denied), every other code 75 (path/file access error).
inline long MapWin32FileError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return ErrFileNotFound;
    case ERROR_PATH_NOT_FOUND: return ErrPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return ErrPermissionDenied;
    default: return ErrPathFileAccess;
    }
}

// The same for the byte-array members, which write: a full disk is 61.
inline long MapWin32WriteError(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? ErrDiskFull : MapWin32FileError(error);
}

inline long MapWin32RunTimeError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return ErrFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ErrPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return ErrPermissionDenied;
    case ERROR_TOO_MANY_OPEN_FILES: return ErrTooManyFiles;
    case ERROR_NOT_READY: return ErrDiskNotReady;
    case ERROR_INVALID_DRIVE:
    case ERROR_DEV_NOT_EXIST: return ErrDeviceUnavailable;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ErrDiskFull;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return ErrBadFileNameOrNumber;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ErrOutOfMemory;
    case ERROR_HANDLE_EOF: return ErrInputPastEnd;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: return ErrDeviceIO;
    default: return ErrPathFileAccess;
    }
}

} // namespace tovrin
