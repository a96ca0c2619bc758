#include "Invoke.h"


#include <tovrin/ComPtr.h>
#include <tovrin/ErrorInfo.h>
#include <tovrin/Unique.h>

#include <cstring>

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

// A typed by-reference parameter given a script's variable starts from a
// value that no member of the library writes: the variable changes exactly
// when the member writes the parameter (False and 0 included) and keeps its
// value and type otherwise. No member reads these parameters (each is
// cleared or only written), so what the variable held never matters. The
// types without such a value are not taken from variables.
bool StartUnwritten(VARIANT& value, VARTYPE type)
{
    ::VariantInit(&value);
    V_VT(&value) = type;
    switch (type) {
    case VT_I4: V_I4(&value) = 0x7FEDCBA9; return true; // no count, code or enumeration of ours
    case VT_I2: V_I2(&value) = 0x7EDC; return true;
    case VT_BOOL: V_BOOL(&value) = 0x5A5A; return true; // members write True (-1) or False (0)
    case VT_R8: case VT_DATE: {
        const unsigned long long pattern = 0x7FF8DEC0DEDEC0DEull; // a NaN no computation gives
        std::memcpy(&V_R8(&value), &pattern, sizeof(pattern));
        return true;
    }
    case VT_R4: {
        const unsigned int pattern = 0x7FC0DEC0u;
        std::memcpy(&V_R4(&value), &pattern, sizeof(pattern));
        return true;
    }
    case VT_CY: V_CY(&value).int64 = 0x7FEDCBA987654321ll; return true;
    case VT_BSTR: // a string of our own: a member that writes puts another in its place
        V_BSTR(&value) = ::SysAllocStringLen(nullptr, 0);
        return V_BSTR(&value) != nullptr;
    default:
        V_VT(&value) = VT_EMPTY;
        return false;
    }
}

bool Unwritten(const VARIANT& value, const VARIANT& start)
{
    switch (V_VT(&value)) {
    case VT_BSTR: return V_BSTR(&value) == V_BSTR(&start);
    case VT_I2: case VT_BOOL: return V_I2(&value) == V_I2(&start);
    case VT_I4: case VT_R4: return V_I4(&value) == V_I4(&start);
    default: return std::memcmp(&V_R8(&value), &V_R8(&start), sizeof(double)) == 0;
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
//   by-reference parameter, a Long, Boolean, Date or String, gets a
//   temporary of that type that starts unwritten (StartUnwritten); after a
//   successful call, what the member wrote there goes into the variable
//   with the parameter's own type.
// Everything lives in fixed arrays: preparing a call allocates nothing.
class PreparedArguments {
public:
    static constexpr int MaxParameters = 16; // the library's members have at most 13

    PreparedArguments(ITypeInfo* info, ScriptObjectAdapter adapter, const FUNCDESC& function, const DISPPARAMS& given)
    {
        const int count = ParameterCount(function);
        const int supplied = static_cast<int>(given.cArgs);
        if (given.cNamedArgs != 0 || supplied > count || count > MaxParameters)
            return;
        m_count = count;
        for (int i = 0; i < count; ++i) {
            ::VariantInit(&m_values[i]);
            ::VariantInit(&m_starts[i]);
            m_variables[i] = nullptr;
        }
        for (int i = 0; i < count; ++i) {
            const ELEMDESC& parameter = function.lprgelemdescParam[i];
            VARIANT& slot = m_arguments[count - 1 - i];
            VARIANT& value = m_values[i];
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
                if (!StartUnwritten(value, type))
                    continue;
                m_starts[i] = value; // the same bits, owned by value
                m_variables[i] = V_VARIANTREF(&argument);
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
        m_params.rgvarg = m_arguments;
        m_params.cArgs = static_cast<UINT>(count);
    }

    ~PreparedArguments()
    {
        for (int i = 0; i < m_count; ++i)
            ::VariantClear(&m_values[i]);
    }
    PreparedArguments(const PreparedArguments&) = delete;
    PreparedArguments& operator=(const PreparedArguments&) = delete;

    bool Prepared() const { return m_prepared; }
    DISPPARAMS* Params() { return &m_params; }
    // An object the library could not adapt to the parameter's interface.
    HRESULT Failure(UINT* argumentError) const
    {
        if (argumentError)
            *argumentError = m_failedArgument;
        return m_failure;
    }

    // What members wrote into the temporaries of script variables.
    void WriteBack()
    {
        for (int i = 0; i < m_count; ++i) {
            VARIANT* variable = m_variables[i];
            if (!variable || Unwritten(m_values[i], m_starts[i]))
                continue;
            ::VariantClear(variable);
            *variable = m_values[i]; // the variable owns the value now
            ::VariantInit(&m_values[i]);
        }
    }

private:
    int m_count = 0;
    VARIANT m_values[MaxParameters];     // the defaults and variables' temporaries, owned here
    VARIANT m_starts[MaxParameters];     // a temporary's unwritten value, not owned
    VARIANT* m_variables[MaxParameters]; // the script's variable behind a temporary
    VARIANT m_arguments[MaxParameters];  // what Invoke gets, last parameter first
    DISPPARAMS m_params = {};
    bool m_prepared = false;
    HRESULT m_failure = S_OK;
    UINT m_failedArgument = 0;
};

void FillException(EXCEPINFO* exception, HRESULT status)
{
    if (!exception)
        return;
    const std::optional<ErrorInfoRecord> info = TakeErrorInfo();
    if (!info)
        return;
    *exception = EXCEPINFO();
    exception->scode = status;
    exception->bstrSource = Bstr::From(info->Source).release();
    exception->bstrDescription = Bstr::From(info->Description).release();
    exception->bstrHelpFile = Bstr::From(info->HelpFile).release();
    exception->dwHelpContext = info->HelpContext;
}

// A member without parameters for the caller (a property read, or a method
// with at most a result of a plain type) is called straight through its
// vtable slot, as the platform's Invoke would after all its preparing; false
// when the member is not of that kind.
bool CallWithoutArguments(void* instance, const FUNCDESC& function, VARIANT* result, HRESULT& hr)
{
    if (function.funckind != FUNC_PUREVIRTUAL || function.callconv != CC_STDCALL || function.cParams > 1)
        return false;
    void** slots = *static_cast<void***>(instance);
    void* slot = slots[function.oVft / static_cast<SHORT>(sizeof(void*))];
    if (function.cParams == 0) {
        if (result)
            ::VariantInit(result);
        hr = reinterpret_cast<HRESULT(STDMETHODCALLTYPE*)(void*)>(slot)(instance);
        return true;
    }
    const ELEMDESC& retval = function.lprgelemdescParam[0];
    if (!(retval.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) || retval.tdesc.vt != VT_PTR)
        return false;
    const VARTYPE type = retval.tdesc.lptdesc->vt;
    switch (type) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR: case VT_BOOL:
    case VT_DISPATCH: case VT_UNKNOWN: case VT_VARIANT:
        break;
    default:
        return false;
    }
    VARIANT value;
    ::VariantInit(&value);
    void* out = type == VT_VARIANT ? static_cast<void*>(&value) : static_cast<void*>(&V_I4(&value));
    hr = reinterpret_cast<HRESULT(STDMETHODCALLTYPE*)(void*, void*)>(slot)(instance, out);
    if (FAILED(hr))
        return true;
    if (type != VT_VARIANT)
        V_VT(&value) = type;
    if (result)
        *result = value; // the caller owns the value now
    else
        ::VariantClear(&value);
    return true;
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
    HRESULT hr = S_OK;
    bool called = false;
    if (function && ParameterCount(*function) == 0 && (!params || params->cArgs == 0)) {
        called = CallWithoutArguments(instance, *function, result, hr);
    } else if (function && params) {
        called = true;
        ::SetErrorInfo(0, nullptr);
        PreparedArguments prepared(types.Vtable, adapter, *function, *params);
        if (FAILED(prepared.Failure(nullptr))) {
            hr = prepared.Failure(argumentError);
        } else {
            hr = types.Vtable->Invoke(instance, member, flags, prepared.Prepared() ? prepared.Params() : params, result,
                                      exception, argumentError);
            if (SUCCEEDED(hr) && prepared.Prepared())
                prepared.WriteBack();
        }
    }
    if (!called) { // none of the above: the platform's own way
        ::SetErrorInfo(0, nullptr);
        hr = types.Vtable->Invoke(instance, member, flags, params, result, exception, argumentError);
    }
    if (FAILED(hr) && hr != DISP_E_EXCEPTION && HRESULT_FACILITY(hr) != FACILITY_DISPATCH && exception) {
        FillException(exception, hr);
        if (exception->scode == hr)
            hr = DISP_E_EXCEPTION;
    }
    return hr;
}

} // namespace tovrin
