#include "Invoke.h"

#include <tovrin/ComPtr.h>

#include <tovrin/Unique.h>

#include <memory>
#include <vector>

namespace tovrin {

namespace {

// The function description of a member, released with the holder.
class FunctionDescription {
public:
    FunctionDescription(ITypeInfo* info, DISPID member, WORD flags) : m_info(info)
    {
        ComPtr<ITypeInfo2> info2;
        if (FAILED(info->QueryInterface(IID_ITypeInfo2, info2.put_void())))
            return;
        const INVOKEKIND kinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
        const WORD wanted[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF};
        for (int i = 0; i < 4 && !m_description; ++i) {
            UINT index = 0;
            if ((flags & wanted[i]) && SUCCEEDED(info2->GetFuncIndexOfMemId(member, kinds[i], &index)))
                info->GetFuncDesc(index, &m_description);
        }
    }
    ~FunctionDescription()
    {
        if (m_description)
            m_info->ReleaseFuncDesc(m_description);
    }
    FunctionDescription(const FunctionDescription&) = delete;
    FunctionDescription& operator=(const FunctionDescription&) = delete;

    const FUNCDESC* get() const { return m_description; }

private:
    ITypeInfo* m_info;
    FUNCDESC* m_description = nullptr;
};

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

// An array handed by value (or through a Variant reference, as scripts pass
// variables) to a by-reference array parameter goes on as a reference to the
// caller's own array. The platform would otherwise copy it, element by
// element, before and after the call: for a large byte array that costs
// seconds and several times its size in memory. The library never replaces
// or changes an array it is given.
void PassArrayByReference(const ELEMDESC& parameter, VARIANT& given, VARIANT& slot)
{
    const TYPEDESC& type = parameter.tdesc;
    if (type.vt != VT_PTR || type.lptdesc->vt != VT_SAFEARRAY)
        return;
    VARIANT* holder = V_VT(&given) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&given) : &given;
    VARTYPE element = type.lptdesc->lptdesc->vt;
    if (V_VT(holder) != (VT_ARRAY | element))
        return;
    ::VariantInit(&slot);
    V_VT(&slot) = static_cast<VARTYPE>(VT_BYREF | VT_ARRAY | element);
    V_ARRAYREF(&slot) = &V_ARRAY(holder);
}

// The argument list with every left-out optional argument that has a
// declared default replaced by that default. By-reference parameters get a
// temporary of their own to point to.
class FilledArguments {
public:
    FilledArguments(ITypeInfo* info, const FUNCDESC& function, const DISPPARAMS& given)
    {
        int count = function.cParams;
        if (count > 0 && (function.lprgelemdescParam[count - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
            --count;
        int supplied = static_cast<int>(given.cArgs);
        if (given.cNamedArgs != 0 || supplied > count)
            return;

        m_values.resize(static_cast<size_t>(count));
        m_arguments.resize(static_cast<size_t>(count));
        for (VARIANT& v : m_values)
            ::VariantInit(&v);
        for (int i = 0; i < count; ++i) {
            const ELEMDESC& parameter = function.lprgelemdescParam[i];
            VARIANT& slot = m_arguments[static_cast<size_t>(count - 1 - i)];
            bool present = i < supplied && !IsMissing(given.rgvarg[supplied - 1 - i]);
            if (present) {
                slot = given.rgvarg[supplied - 1 - i]; // the caller's own value, not copied
                PassArrayByReference(parameter, given.rgvarg[supplied - 1 - i], slot);
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
            VARIANT& value = m_values[static_cast<size_t>(i)];
            HRESULT converted = type == VT_VARIANT ? ::VariantCopy(&value, source)
                                                   : ::VariantChangeType(&value, source, 0, type);
            if (FAILED(converted))
                return;
            if (parameter.tdesc.vt == VT_PTR) {
                ::VariantInit(&slot);
                V_VT(&slot) = static_cast<VARTYPE>(VT_BYREF | type);
                if (type == VT_VARIANT)
                    V_VARIANTREF(&slot) = &value;
                else
                    V_BYREF(&slot) = &V_I4(&value); // every member of the value union starts here
            } else {
                slot = value;
            }
        }
        m_filled = true;
        m_params.rgvarg = m_arguments.data();
        m_params.cArgs = static_cast<UINT>(count);
    }

    ~FilledArguments()
    {
        for (VARIANT& v : m_values)
            ::VariantClear(&v);
    }
    FilledArguments(const FilledArguments&) = delete;
    FilledArguments& operator=(const FilledArguments&) = delete;

    bool Filled() const { return m_filled; }
    DISPPARAMS* Params() { return &m_params; }

private:
    std::vector<VARIANT> m_values;    // the defaults, owned here
    std::vector<VARIANT> m_arguments; // what Invoke gets, last parameter first
    DISPPARAMS m_params = {};
    bool m_filled = false;
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

HRESULT InvokeWithDefaults(ITypeInfo* info, void* instance, DISPID member, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError)
{
    // JScript reads list.Count as a property; members such as Count are
    // methods, as in the runtime's collection. Reading one calls it.
    if (flags & DISPATCH_PROPERTYGET)
        flags |= DISPATCH_METHOD;
    FunctionDescription function(info, member, flags);
    DISPPARAMS* arguments = params;
    std::unique_ptr<FilledArguments> filled;
    if (function.get() && params) {
        filled = std::make_unique<FilledArguments>(info, *function.get(), *params);
        if (filled->Filled())
            arguments = filled->Params();
    }
    ::SetErrorInfo(0, nullptr);
    HRESULT hr = info->Invoke(instance, member, flags, arguments, result, exception, argumentError);
    if (FAILED(hr) && hr != DISP_E_EXCEPTION && HRESULT_FACILITY(hr) != FACILITY_DISPATCH && exception) {
        FillException(exception, hr);
        if (exception->scode == hr)
            hr = DISP_E_EXCEPTION;
    }
    return hr;
}

} // namespace tovrin
