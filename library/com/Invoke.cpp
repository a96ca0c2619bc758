#include "Invoke.h"


#include <tovrin/ComPtr.h>
#include <tovrin/Unique.h>

#include <cwchar>
#include <memory>
#include <vector>

namespace tovrin {

namespace {

bool IsMissing(const VARIANT& argument)
{
    return V_VT(&argument) == VT_ERROR && V_ERROR(&argument) == DISP_E_PARAMNOTFOUND;
}

// The automation type a parameter holds: enumerations are 32-bit integers.
VARTYPE ValueType(ITypeInfo* info, const TYPEDESC& type)
{
    if (type.vt == VT_PTR)
        return ValueType(info, *type.lptdesc);
    if (type.vt != VT_USERDEFINED)
        return type.vt;
    ComPtr<ITypeInfo> referenced;
    TYPEATTR* attributes = nullptr;
    VARTYPE result = VT_I4;
    if (SUCCEEDED(info->GetRefTypeInfo(type.hreftype, referenced.put())) &&
        SUCCEEDED(referenced->GetTypeAttr(&attributes))) {
        if (attributes->typekind == TKIND_ALIAS)
            result = attributes->tdescAlias.vt;
        else if (attributes->typekind != TKIND_ENUM)
            result = VT_DISPATCH;
        referenced->ReleaseTypeAttr(attributes);
    }
    return result;
}

// The interface a parameter takes an object of, when it does.
bool InterfaceOf(ITypeInfo* info, const TYPEDESC& type, IID& iid)
{
    if (type.vt != VT_PTR || type.lptdesc->vt != VT_USERDEFINED)
        return false;
    ComPtr<ITypeInfo> referenced;
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetRefTypeInfo(type.lptdesc->hreftype, referenced.put())) ||
        FAILED(referenced->GetTypeAttr(&attributes)))
        return false;
    bool isInterface = attributes->typekind == TKIND_INTERFACE || attributes->typekind == TKIND_DISPATCH;
    iid = attributes->guid;
    referenced->ReleaseTypeAttr(attributes);
    return isInterface;
}

// The parameters a caller passes: all but the result.
int ParameterCount(const FUNCDESC& function)
{
    int count = function.cParams;
    if (count > 0 && (function.lprgelemdescParam[count - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
        --count;
    return count;
}

// The plain value types a typed by-reference parameter can take from a
// script's variable.
bool IsScalar(VARTYPE type)
{
    switch (type) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR: case VT_BOOL:
    case VT_UI1:
        return true;
    default:
        return false;
    }
}

// A by-reference slot pointing to a value of the given type.
void PointTo(VARIANT& slot, VARIANT& value, VARTYPE type)
{
    ::VariantInit(&slot);
    V_VT(&slot) = static_cast<VARTYPE>(VT_BYREF | type);
    if (type == VT_VARIANT)
        V_VARIANTREF(&slot) = &value;
    else
        V_BYREF(&slot) = &V_I4(&value); // every member of the value union starts here
}

bool SameValue(VARIANT& a, VARIANT& b)
{
    if (V_VT(&a) != V_VT(&b))
        return false;
    if (V_VT(&a) == VT_BSTR) {
        UINT length = ::SysStringLen(V_BSTR(&a));
        return length == ::SysStringLen(V_BSTR(&b)) &&
               (length == 0 || std::wmemcmp(V_BSTR(&a), V_BSTR(&b), length) == 0);
    }
    return ::VarCmp(&a, &b, LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

// An array handed by value (or through a Variant reference, as scripts pass
// variables) to a by-reference array parameter goes on as a reference to the
// caller's own array. The platform would otherwise copy it, element by
// element, before and after the call: for a large byte array that costs
// seconds and several times its size in memory. The library never replaces
// or changes an array it is given.
bool PassArrayByReference(const TYPEDESC& type, VARIANT& given, VARIANT& slot)
{
    if (type.vt != VT_PTR || type.lptdesc->vt != VT_SAFEARRAY)
        return false;
    VARIANT* holder = V_VT(&given) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&given) : &given;
    VARTYPE element = type.lptdesc->lptdesc->vt;
    if (V_VT(holder) != (VT_ARRAY | element))
        return false;
    ::VariantInit(&slot);
    V_VT(&slot) = static_cast<VARTYPE>(VT_BYREF | VT_ARRAY | element);
    V_ARRAYREF(&slot) = &V_ARRAY(holder);
    return true;
}

// A script's object given for an interface it does not implement goes on as
// the library's adapter for that interface, when there is one (S_OK; the
// adapter is stored in value); S_FALSE leaves the argument as it is.
HRESULT AdaptObject(ScriptObjectAdapter adapter, REFIID iid, const VARIANT& argument, VARIANT& value)
{
    const VARIANT* holder = V_VT(&argument) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&argument) : &argument;
    if (V_VT(holder) != VT_DISPATCH || !V_DISPATCH(holder))
        return S_FALSE;
    ComPtr<IUnknown> implemented;
    if (SUCCEEDED(V_DISPATCH(holder)->QueryInterface(iid, implemented.put_void())))
        return S_FALSE;
    ComPtr<IUnknown> adapted;
    HRESULT hr = adapter(iid, V_DISPATCH(holder), adapted.put());
    if (hr != S_OK)
        return hr;
    ComPtr<IDispatch> dispatch = adapted.query<IDispatch>(IID_IDispatch);
    V_VT(&value) = VT_DISPATCH;
    V_DISPATCH(&value) = dispatch.release();
    return S_OK;
}

// The argument list as the member's declaration wants it:
// - a left-out optional argument with a declared default gets that default
//   (the platform fills only trailing gaps on some systems);
// - a script's variable (a Variant reference) given for a typed
//   by-reference parameter, a Long, Boolean, Date or String, is converted in,
//   and after a successful call the value the member left there goes back
//   into the variable with the parameter's own type. A variable whose value
//   the member did not change is left as it was.
// By-reference parameters get a temporary of their own to point to.
class PreparedArguments {
public:
    PreparedArguments(ITypeInfo* info, ScriptObjectAdapter adapter, const FUNCDESC& function, const DISPPARAMS& given)
    {
        int count = ParameterCount(function);
        int supplied = static_cast<int>(given.cArgs);
        if (given.cNamedArgs != 0 || supplied > count)
            return;

        m_values.resize(static_cast<size_t>(count));
        m_before.resize(static_cast<size_t>(count));
        m_arguments.resize(static_cast<size_t>(count));
        m_variables.assign(static_cast<size_t>(count), nullptr);
        for (size_t i = 0; i < m_values.size(); ++i) {
            ::VariantInit(&m_values[i]);
            ::VariantInit(&m_before[i]);
        }
        for (int i = 0; i < count; ++i) {
            const ELEMDESC& parameter = function.lprgelemdescParam[i];
            VARIANT& slot = m_arguments[static_cast<size_t>(count - 1 - i)];
            VARIANT& value = m_values[static_cast<size_t>(i)];
            const bool present = i < supplied && !IsMissing(given.rgvarg[supplied - 1 - i]);
            if (present) {
                VARIANT& argument = given.rgvarg[supplied - 1 - i];
                slot = argument; // the caller's own value, not copied
                if (PassArrayByReference(parameter.tdesc, argument, slot))
                    continue;
                IID iid = {};
                if (InterfaceOf(info, parameter.tdesc, iid)) {
                    HRESULT adapted = AdaptObject(adapter, iid, argument, value);
                    if (FAILED(adapted)) {
                        m_failure = adapted;
                        m_failedArgument = static_cast<UINT>(supplied - 1 - i);
                        return;
                    }
                    if (adapted == S_OK)
                        slot = value;
                    continue;
                }
                if (V_VT(&argument) != (VT_BYREF | VT_VARIANT) || parameter.tdesc.vt != VT_PTR)
                    continue;
                VARTYPE type = ValueType(info, parameter.tdesc);
                if (!IsScalar(type))
                    continue;
                // Only [in, out] parameters read the variable's value.
                HRESULT converted = S_OK;
                if (parameter.paramdesc.wParamFlags & PARAMFLAG_FIN)
                    converted = ::VariantChangeType(&value, V_VARIANTREF(&argument), 0, type);
                else
                    converted = ::VariantChangeType(&value, &value, 0, type);
                if (FAILED(converted)) {
                    m_failure = DISP_E_TYPEMISMATCH;
                    m_failedArgument = static_cast<UINT>(supplied - 1 - i);
                    return;
                }
                if (FAILED(::VariantCopy(&m_before[static_cast<size_t>(i)], &value)))
                    return;
                m_variables[static_cast<size_t>(i)] = V_VARIANTREF(&argument);
                PointTo(slot, value, type);
                continue;
            }
            IID iid = {};
            if (InterfaceOf(info, parameter.tdesc, iid)) { // a left-out object is none
                ::VariantInit(&slot);
                V_VT(&slot) = VT_DISPATCH;
                V_DISPATCH(&slot) = nullptr;
                continue;
            }
            const USHORT flags = parameter.paramdesc.wParamFlags;
            const bool hasDefault = (flags & PARAMFLAG_FHASDEFAULT) && parameter.paramdesc.pparamdescex;
            VARTYPE type = ValueType(info, parameter.tdesc);
            // Variants and required parameters are handed on as missing; a
            // typed optional without a declared default starts out as zero.
            if ((!hasDefault && !(flags & PARAMFLAG_FOPT)) || (!hasDefault && type == VT_VARIANT)) {
                ::VariantInit(&slot);
                V_VT(&slot) = VT_ERROR;
                V_ERROR(&slot) = DISP_E_PARAMNOTFOUND;
                continue;
            }
            VARIANT empty;
            ::VariantInit(&empty);
            VARIANT* source = hasDefault ? &parameter.paramdesc.pparamdescex->varDefaultValue : &empty;
            HRESULT converted = type == VT_VARIANT ? ::VariantCopy(&value, source)
                                                   : ::VariantChangeType(&value, source, 0, type);
            if (FAILED(converted))
                return;
            if (parameter.tdesc.vt == VT_PTR)
                PointTo(slot, value, type);
            else
                slot = value;
        }
        m_prepared = true;
        m_params.rgvarg = m_arguments.data();
        m_params.cArgs = static_cast<UINT>(count);
    }

    ~PreparedArguments()
    {
        for (size_t i = 0; i < m_values.size(); ++i) {
            ::VariantClear(&m_values[i]);
            ::VariantClear(&m_before[i]);
        }
    }
    PreparedArguments(const PreparedArguments&) = delete;
    PreparedArguments& operator=(const PreparedArguments&) = delete;

    bool Prepared() const { return m_prepared; }
    DISPPARAMS* Params() { return &m_params; }
    // A script variable that cannot become the parameter's type.
    HRESULT Failure(UINT* argumentError) const
    {
        if (argumentError)
            *argumentError = m_failedArgument;
        return m_failure;
    }

    // The values members left in the temporaries of script variables.
    void WriteBack()
    {
        for (size_t i = 0; i < m_variables.size(); ++i) {
            VARIANT* variable = m_variables[i];
            if (!variable || SameValue(m_values[i], m_before[i]))
                continue;
            ::VariantClear(variable);
            *variable = m_values[i]; // the variable owns the value now
            ::VariantInit(&m_values[i]);
        }
    }

private:
    std::vector<VARIANT> m_values;    // the defaults and converted variables, owned here
    std::vector<VARIANT> m_before;    // a converted variable's value as the member got it
    std::vector<VARIANT*> m_variables; // the script's variable behind a converted value
    std::vector<VARIANT> m_arguments; // what Invoke gets, last parameter first
    DISPPARAMS m_params = {};
    bool m_prepared = false;
    HRESULT m_failure = S_OK;
    UINT m_failedArgument = 0;
};

void FillException(EXCEPINFO* exception, HRESULT status)
{
    ComPtr<IErrorInfo> info;
    if (!exception || ::GetErrorInfo(0, info.put()) != S_OK || !info)
        return;
    *exception = EXCEPINFO();
    exception->scode = status;
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
    info->GetHelpFile(&exception->bstrHelpFile);
    info->GetHelpContext(&exception->dwHelpContext);
}

} // namespace

HRESULT InvokeWithDefaults(const module::InterfaceTypes& types, void* instance, ScriptObjectAdapter adapter,
                           DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                           UINT* argumentError)
{
    // JScript reads list.Count as a property; members such as Count are
    // methods, as in the runtime's collection. Reading one calls it. And
    // JScript's Enumerator asks for a collection's NewEnum, a property, as
    // a method: calling a property reads it.
    if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))
        flags |= DISPATCH_PROPERTYGET | DISPATCH_METHOD;
    const FUNCDESC* function = types.Function(member, flags);
    DISPPARAMS* arguments = params;
    std::unique_ptr<PreparedArguments> prepared;
    // A property read or a call without parameters has nothing to prepare.
    const bool hasParameters = function && ParameterCount(*function) > 0;
    if (hasParameters && params) {
        ::SetErrorInfo(0, nullptr);
        prepared = std::make_unique<PreparedArguments>(types.Vtable, adapter, *function, *params);
        if (prepared->Prepared())
            arguments = prepared->Params();
    }
    HRESULT hr = S_OK;
    if (prepared && FAILED(prepared->Failure(nullptr))) {
        hr = prepared->Failure(argumentError);
    } else {
        ::SetErrorInfo(0, nullptr);
        hr = types.Vtable->Invoke(instance, member, flags, arguments, result, exception, argumentError);
        if (SUCCEEDED(hr) && prepared && prepared->Prepared())
            prepared->WriteBack();
    }
    if (FAILED(hr) && hr != DISP_E_EXCEPTION && HRESULT_FACILITY(hr) != FACILITY_DISPATCH && exception) {
        FillException(exception, hr);
        if (exception->scode == hr)
            hr = DISP_E_EXCEPTION;
    }
    return hr;
}

} // namespace tovrin
