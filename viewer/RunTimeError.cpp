#include "RunTimeError.h"

#include <new>

namespace veskar {

namespace {

const wchar_t* const Source = L"Veskar";

long NumberFromWin32(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return tovrin::ErrFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return tovrin::ErrPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return tovrin::ErrPermissionDenied;
    case ERROR_TOO_MANY_OPEN_FILES: return tovrin::ErrTooManyFiles;
    case ERROR_NOT_READY: return tovrin::ErrDiskNotReady;
    case ERROR_INVALID_DRIVE:
    case ERROR_DEV_NOT_EXIST: return tovrin::ErrDeviceUnavailable;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return tovrin::ErrDiskFull;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return tovrin::ErrBadFileNameOrNumber;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return tovrin::ErrOutOfMemory;
    case ERROR_HANDLE_EOF: return tovrin::ErrInputPastEnd;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: return tovrin::ErrDeviceIO;
    default: return tovrin::ErrPathFileAccess;
    }
}

} // namespace

void Raise(long number, const std::wstring& description)
{
    throw RunTimeError({number, description.empty() ? tovrin::StandardErrorDescription(number) : description, Source});
}

tovrin::ErrorRecord ErrorFromWin32(DWORD error)
{
    long number = NumberFromWin32(error);
    return {number, tovrin::StandardErrorDescription(number), Source};
}

tovrin::ErrorRecord ErrorFromHResult(HRESULT hr)
{
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL)
        return {HRESULT_CODE(hr), tovrin::StandardErrorDescription(HRESULT_CODE(hr)), Source};
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32)
        return ErrorFromWin32(HRESULT_CODE(hr));
    if (hr == E_OUTOFMEMORY)
        return {tovrin::ErrOutOfMemory, tovrin::StandardErrorDescription(tovrin::ErrOutOfMemory), Source};
    if (hr == E_INVALIDARG)
        return {tovrin::ErrInvalidCall, tovrin::StandardErrorDescription(tovrin::ErrInvalidCall), Source};
    return {static_cast<long>(hr), L"Automation error", Source};
}

void RaiseLastError()
{
    throw RunTimeError(ErrorFromWin32(::GetLastError()));
}

tovrin::ErrorRecord CurrentError(std::exception_ptr caught)
{
    try {
        std::rethrow_exception(caught);
    } catch (const RunTimeError& error) {
        return error.Record();
    } catch (const std::bad_alloc&) {
        return {tovrin::ErrOutOfMemory, tovrin::StandardErrorDescription(tovrin::ErrOutOfMemory), Source};
    } catch (...) {
        return {tovrin::ErrInternal, tovrin::StandardErrorDescription(tovrin::ErrInternal), Source};
    }
}

} // namespace veskar
