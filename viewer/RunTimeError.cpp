#include "RunTimeError.h"

#include <tovrin/Win32Errors.h>

#include <new>

namespace veskar {

namespace {

const wchar_t* const Source = L"Veskar";

} // namespace

void Raise(long number, const std::wstring& description)
{
    throw RunTimeError({number, description.empty() ? tovrin::StandardErrorDescription(number) : description, Source});
}

tovrin::ErrorRecord ErrorFromWin32(DWORD error)
{
    long number = tovrin::MapWin32RunTimeError(error);
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
