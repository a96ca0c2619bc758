// The run-time error numbers the product family raises and their standard
// descriptions, as Basic-family hosts show them.
#pragma once

#include <string>

namespace tovrin {

enum ErrorNumber : long {
    ErrInvalidCall = 5,
    ErrOverflow = 6,
    ErrOutOfMemory = 7,
    ErrSubscriptOutOfRange = 9,
    ErrTypeMismatch = 13,
    ErrInternal = 51,
    ErrBadFileNameOrNumber = 52,
    ErrFileNotFound = 53,
    ErrBadFileMode = 54,
    ErrFileAlreadyOpen = 55,
    ErrDeviceIO = 57,
    ErrFileAlreadyExists = 58,
    ErrDiskFull = 61,
    ErrInputPastEnd = 62,
    ErrTooManyFiles = 67,
    ErrDeviceUnavailable = 68,
    ErrPermissionDenied = 70,
    ErrDiskNotReady = 71,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    ErrObjectNotSet = 91,
    ErrNoSuchMember = 438,
};

inline std::wstring StandardErrorDescription(long number)
{
    switch (number) {
    case ErrInvalidCall: return L"Invalid procedure call or argument";
    case ErrOverflow: return L"Overflow";
    case ErrOutOfMemory: return L"Out of memory";
    case ErrSubscriptOutOfRange: return L"Subscript out of range";
    case ErrTypeMismatch: return L"Type mismatch";
    case ErrInternal: return L"Internal error";
    case ErrBadFileNameOrNumber: return L"Bad file name or number";
    case ErrFileNotFound: return L"File not found";
    case ErrBadFileMode: return L"Bad file mode";
    case ErrFileAlreadyOpen: return L"File already open";
    case ErrDeviceIO: return L"Device I/O error";
    case ErrFileAlreadyExists: return L"File already exists";
    case ErrDiskFull: return L"Disk full";
    case ErrInputPastEnd: return L"Input past end of file";
    case ErrTooManyFiles: return L"Too many files";
    case ErrDeviceUnavailable: return L"Device unavailable";
    case ErrPermissionDenied: return L"Permission denied";
    case ErrDiskNotReady: return L"Disk not ready";
    case ErrPathFileAccess: return L"Path/File access error";
    case ErrPathNotFound: return L"Path not found";
    case ErrObjectNotSet: return L"Object variable or With block variable not set";
    case ErrNoSuchMember: return L"Object doesn't support this property or method";
    default: return L"Application-defined or object-defined error";
    }
}

} // namespace tovrin
