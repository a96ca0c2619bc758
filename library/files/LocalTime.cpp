#include "files/LocalTime.h"

#include <tovrin/tovrinsupportfbe.h>

namespace tovrin {

namespace {

HRESULT LastError()
{
    const DWORD error = ::GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

} // namespace

HRESULT FileTimeToLocalDate(const FILETIME& time, DATE& date)
{
    SYSTEMTIME utc = {}, local = {};
    if (!::FileTimeToSystemTime(&time, &utc))
        return LastError();
    // The support library turns a time by the rule in force on its date.
    const HRESULT hr = esSystemTimeToLocalSystemTime(&utc, &local);
    if (FAILED(hr))
        return hr;
    DATE converted = 0;
    if (!::SystemTimeToVariantTime(&local, &converted))
        return DISP_E_OVERFLOW; // beyond the years a date holds
    date = converted;
    return S_OK;
}

HRESULT LocalDateToFileTime(DATE date, FILETIME& time)
{
    SYSTEMTIME local = {}, utc = {};
    if (!::VariantTimeToSystemTime(date, &local))
        return DISP_E_OVERFLOW;
    const HRESULT hr = esLocalSystemTimeToSystemTime(&local, &utc);
    if (FAILED(hr))
        return hr;
    FILETIME converted = {};
    if (!::SystemTimeToFileTime(&utc, &converted))
        return LastError();
    time = converted;
    return S_OK;
}

} // namespace tovrin
