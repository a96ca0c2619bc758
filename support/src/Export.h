// The boundary of every exported support function: clears the out-parameter,
// runs the body and turns whatever it throws into the HRESULT the caller gets.
#pragma once

#include <tovrin/Unique.h>

#include <new>
#include <stdexcept>
#include <string>

namespace tovrin::support {

struct Failure {
    HRESULT hr;
};

[[noreturn]] inline void Fail(HRESULT hr)
{
    throw Failure{hr};
}

[[noreturn]] inline void FailLastError()
{
    DWORD error = ::GetLastError();
    Fail(HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE));
}

inline void Require(bool condition, HRESULT hr = E_INVALIDARG)
{
    if (!condition)
        Fail(hr);
}

template <typename Body>
HRESULT Guard(Body body) noexcept
{
    try {
        body();
        return S_OK;
    } catch (const Failure& failure) {
        return failure.hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::logic_error&) {
        return E_INVALIDARG;
    } catch (...) {
        return E_FAIL;
    }
}

// For functions that give a plain value: the body returns it.
template <typename T, typename Body>
HRESULT Export(T* out, Body body) noexcept
{
    if (!out)
        return E_POINTER;
    *out = T{};
    return Guard([&] { *out = body(); });
}

// For functions that give a string: the body returns a std::wstring.
template <typename Body>
HRESULT ExportString(BSTR* out, Body body) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return Guard([&] { *out = Bstr::From(body()).release(); });
}

inline VARIANT_BOOL ToVariantBool(bool value)
{
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

inline std::wstring Text(BSTR s)
{
    return Bstr::ToString(s);
}

} // namespace tovrin::support
