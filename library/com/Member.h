// What every member of a library class does around its own work, written
// once: the result handed over in the caller's type, and the RaiseErrors rule
// of the file members. Dispatch puts these together with the firewall.
#pragma once

#include "AutomationError.h"

#include <tovrin/ComPtr.h>
#include <tovrin/Unique.h>
#include <tovrin/Variant.h>

#include <new>

namespace tovrin {

namespace member {

// A body's value into the caller's result. Owners give up what they hold;
// the script twins' Variant results take a Boolean, a string or an object.
template <typename T> void Deliver(T* result, T value)
{
    *result = value;
}
inline void Deliver(VARIANT_BOOL* result, bool value)
{
    *result = value ? VARIANT_TRUE : VARIANT_FALSE;
}
inline void Deliver(BSTR* result, Bstr value)
{
    *result = value.release();
}
inline void Deliver(SAFEARRAY** result, SafeArray value)
{
    *result = value.release();
}
template <typename To, typename From> void Deliver(To** result, ComPtr<From> value)
{
    *result = value.release();
}
inline void Deliver(VARIANT* result, Variant value)
{
    value.detach(result);
}
inline void Deliver(VARIANT* result, VARIANT_BOOL value)
{
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = value;
}
inline void Deliver(VARIANT* result, Bstr value)
{
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = value.release();
}
template <typename From> void Deliver(VARIANT* result, ComPtr<From> value)
{
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = value.release();
}

// An out-parameter the caller may leave out, emptied before the member runs.
template <typename T> void Clear(T* out)
{
    if (out)
        *out = T();
}

} // namespace member

// The RaiseErrors rule: runs a file member's body. An error stops it; with
// raiseErrors false the member gives its failure value, with raiseErrors true
// the saved error is raised again unchanged (number, source, description,
// help file, context). An error raised always goes on either way. Whatever
// the body holds is released by its owners on the way out.
template <typename T, typename Body> T Guarded(VARIANT_BOOL raiseErrors, T failureValue, Body&& body)
{
    try {
        return body();
    } catch (const AutomationError& error) {
        if (raiseErrors || error.RaisedAlways())
            throw;
    } catch (const std::bad_alloc&) {
        if (raiseErrors)
            throw AutomationError(7);
    }
    return failureValue;
}

// Runs a step whose failure is an answer rather than an error: the number of
// the error it raised, 0 when it completed.
template <typename Body> long ErrorNumberOf(Body&& body)
{
    try {
        body();
        return 0;
    } catch (const AutomationError& error) {
        return error.Number();
    } catch (const std::bad_alloc&) {
        return 7;
    }
}

} // namespace tovrin
