#include "ClientCall.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/Unique.h>

namespace tovrin {

namespace {

// {A6EF9860-C720-11D0-9337-00A0C90DCAA9}, which MinGW's uuid library lacks.
const IID IID_DispatchEx = {0xA6EF9860, 0xC720, 0x11D0, {0x93, 0x37, 0x00, 0xA0, 0xC9, 0x0D, 0xCA, 0xA9}};

} // namespace

ClientMethod::ClientMethod(IDispatch* object, const wchar_t* name) : m_object(ComPtr<IDispatch>::Copy(object))
{
    if (!object)
        throw AutomationError(ErrObjectNotSet);
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    // Script engines' objects answer names through IDispatchEx; Wine's
    // VBScript classes answer them there only.
    HRESULT hr = E_NOINTERFACE;
    if (SUCCEEDED(object->QueryInterface(IID_DispatchEx, m_objectEx.put_void())))
        hr = m_objectEx->GetDispID(Bstr::From(name).get(), fdexNameCaseInsensitive, &m_member);
    if (FAILED(hr))
        hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &m_member);
    if (FAILED(hr))
        throw AutomationError(ErrNoSuchMember, StandardErrorDescription(ErrNoSuchMember) + L": " + name);
}

Variant ClientMethod::Call(std::vector<VARIANT*> arguments) const
{
    std::vector<VARIANT> reversed;
    reversed.reserve(arguments.size());
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
        reversed.push_back(**it); // shallow: the callee sees the caller's own values and references
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    Variant result;
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    HRESULT hr = m_objectEx ? m_objectEx->InvokeEx(m_member, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                                   result.put(), &exception, nullptr)
                            : m_object->Invoke(m_member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                               result.put(), &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION)
        throw AutomationError::FromException(exception);
    Check(hr);
    return result;
}

} // namespace tovrin
