#include "AutomationError.h"

#include <tovrin/ErrorInfo.h>

#include <tovrin/ComPtr.h>

#include <tovrin/ErrorNumbers.h>
#include <tovrin/Unique.h>

namespace tovrin {

AutomationError::AutomationError(long number) : AutomationError(number, StandardErrorDescription(number)) {}

AutomationError::AutomationError(long number, std::wstring description, std::wstring helpFile, DWORD helpContext)
    : m_number(number), m_description(std::move(description)), m_helpFile(std::move(helpFile)),
      m_helpContext(helpContext)
{
}

void AutomationError::SetSourceIfNone(const wchar_t* source)
{
    if (m_source.empty() && source)
        m_source = source;
}

HRESULT AutomationError::Status() const
{
    return StatusOfErrorNumber(m_number);
}

HRESULT StatusOfErrorNumber(long number)
{
    if (number > 0 && number <= 0xFFFF)
        return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
    return static_cast<HRESULT>(number);
}

AutomationError AutomationError::Always(long number)
{
    AutomationError error(number);
    error.m_always = true;
    return error;
}

AutomationError AutomationError::FromFailure(HRESULT hr)
{
    long number = HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : static_cast<long>(hr);
    if (std::optional<ErrorInfoRecord> info = TakeErrorInfo()) {
        AutomationError error(number, info->Description, info->HelpFile, info->HelpContext);
        error.m_source = info->Source;
        return error;
    }
    std::wstring description;
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) {
        description = StandardErrorDescription(number);
    } else {
        wchar_t* text = nullptr;
        DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        LocalMemory owner(text);
        description = length ? std::wstring(text, length) : L"Automation error";
        while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r'))
            description.pop_back();
    }
    return AutomationError(number, description);
}

AutomationError AutomationError::FromException(EXCEPINFO& exception)
{
    if (exception.pfnDeferredFillIn)
        exception.pfnDeferredFillIn(&exception);
    Bstr source(exception.bstrSource), description(exception.bstrDescription), helpFile(exception.bstrHelpFile);
    exception.bstrSource = exception.bstrDescription = exception.bstrHelpFile = nullptr;
    HRESULT status = exception.scode ? exception.scode : StatusOfErrorNumber(exception.wCode);
    long number = HRESULT_FACILITY(status) == FACILITY_CONTROL ? HRESULT_CODE(status) : static_cast<long>(status);
    if (!FAILED(status))
        number = ErrInvalidCall; // an exception that names no failure is still one
    AutomationError error(number, description.length() ? description.str() : StandardErrorDescription(number),
                          helpFile.str(), exception.dwHelpContext);
    error.m_source = source.str();
    return error;
}

HRESULT Report(AutomationError error, REFIID iid, const wchar_t* source)
{
    error.SetSourceIfNone(source);
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(::CreateErrorInfo(create.put()))) {
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(error.Source().c_str()));
        create->SetDescription(const_cast<LPOLESTR>(error.Description().c_str()));
        create->SetHelpFile(const_cast<LPOLESTR>(error.HelpFile().c_str()));
        create->SetHelpContext(error.HelpContext());
        ComPtr<IErrorInfo> info = create.query<IErrorInfo>(IID_IErrorInfo);
        ::SetErrorInfo(0, info.get());
    }
    return error.Status();
}

} // namespace tovrin
