#include "ScriptTwin.h"

#include "AutomationError.h"
#include <tovrin/Variant.h>

#include <tovrin/ErrorNumbers.h>

namespace tovrin::twin {

namespace {

// Coerces the argument, following one level of reference; the caller's
// Variant is not changed.
Variant Coerced(const VARIANT* argument, VARTYPE type)
{
    if (V_VT(argument) == (VT_BYREF | VT_VARIANT))
        argument = V_VARIANTREF(argument);
    Variant value;
    HRESULT hr = ::VariantChangeType(value.get(), const_cast<VARIANT*>(argument), 0, type);
    if (hr == DISP_E_OVERFLOW)
        throw AutomationError(ErrOverflow);
    if (FAILED(hr))
        throw AutomationError(ErrTypeMismatch);
    return value;
}

// Writes a value into the caller's Variant: through its reference when it
// holds one (in the type that reference has), else in place of its value.
void Store(VARIANT* argument, const VARIANT& value)
{
    if (!argument || IsMissing(argument))
        return;
    VARIANT* target = V_VT(argument) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(argument) : argument;
    if (!(V_VT(target) & VT_BYREF)) {
        ::VariantClear(target);
        Check(::VariantCopy(target, const_cast<VARIANT*>(&value)));
        return;
    }
    VARTYPE type = static_cast<VARTYPE>(V_VT(target) & ~VT_BYREF);
    Variant converted = Coerced(&value, type);
    switch (type) {
    case VT_I2: *V_I2REF(target) = V_I2(converted.get()); break;
    case VT_I4: *V_I4REF(target) = V_I4(converted.get()); break;
    case VT_R4: *V_R4REF(target) = V_R4(converted.get()); break;
    case VT_R8: *V_R8REF(target) = V_R8(converted.get()); break;
    case VT_CY: *V_CYREF(target) = V_CY(converted.get()); break;
    case VT_DATE: *V_DATEREF(target) = V_DATE(converted.get()); break;
    case VT_BOOL: *V_BOOLREF(target) = V_BOOL(converted.get()); break;
    case VT_UI1: *V_UI1REF(target) = V_UI1(converted.get()); break;
    case VT_DECIMAL: *V_DECIMALREF(target) = V_DECIMAL(converted.get()); break;
    case VT_BSTR:
        ::SysFreeString(*V_BSTRREF(target));
        *V_BSTRREF(target) = V_BSTR(converted.get());
        V_VT(converted.get()) = VT_EMPTY; // the caller owns the string now
        break;
    default: throw AutomationError(ErrTypeMismatch);
    }
}

} // namespace

bool IsMissing(const VARIANT* argument)
{
    if (argument && V_VT(argument) == (VT_BYREF | VT_VARIANT))
        argument = V_VARIANTREF(argument);
    return !argument || (V_VT(argument) == VT_ERROR && V_ERROR(argument) == DISP_E_PARAMNOTFOUND);
}

Bstr String(const VARIANT* argument, const wchar_t* fallback)
{
    if (IsMissing(argument))
        return Bstr::From(fallback);
    Variant value = Coerced(argument, VT_BSTR);
    Bstr text(V_BSTR(value.get()));
    V_VT(value.get()) = VT_EMPTY;
    return text;
}

VARIANT_BOOL Boolean(const VARIANT* argument, bool fallback)
{
    if (IsMissing(argument))
        return fallback ? VARIANT_TRUE : VARIANT_FALSE;
    return V_BOOL(Coerced(argument, VT_BOOL).get());
}

long Long(const VARIANT* argument, long fallback)
{
    if (IsMissing(argument))
        return fallback;
    return V_I4(Coerced(argument, VT_I4).get());
}

InOutLong::InOutLong(VARIANT* argument) : m_argument(argument), m_value(Long(argument, 0)) {}

void InOutLong::WriteBack() const
{
    VARIANT value;
    V_VT(&value) = VT_I4;
    V_I4(&value) = m_value;
    Store(m_argument, value);
}

InOutBoolean::InOutBoolean(VARIANT* argument) : m_argument(argument), m_value(Boolean(argument, false)) {}

void InOutBoolean::WriteBack() const
{
    VARIANT value;
    V_VT(&value) = VT_BOOL;
    V_BOOL(&value) = m_value;
    Store(m_argument, value);
}

} // namespace tovrin::twin
