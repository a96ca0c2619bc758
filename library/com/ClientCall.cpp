#include "ClientCall.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/Unique.h>

namespace tovrin {

namespace {

const long ErrNoSuchMember = 438; // Object doesn't support this property or method

} // namespace

ClientMethod::ClientMethod(IDispatch* object, const wchar_t* name) : m_object(ComPtr<IDispatch>::Copy(object))
{
    if (!object)
        throw AutomationError(ErrObjectNotSet);
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &m_member)))
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
    HRESULT hr = m_object->Invoke(m_member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.put(),
                                  &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION)
        throw AutomationError::FromException(exception);
    Check(hr);
    return result;
}

} // namespace tovrin
