// Failures inside the library: one exception type carrying an automation
// error record. Method bodies throw it; the COM boundary of every method
// (Firewall) turns it into the status the caller gets, 0x800A0000 + n for an
// error number n, and hands the record over as the thread's error info.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <exception>
#include <string>

namespace tovrin {

// An error is raised without a Source: the class whose member it leaves gives
// its own name at the boundary (Firewall), so code shared by several classes
// never names one. An error taken over from another object keeps its Source.
class AutomationError : public std::exception {
public:
    // Error number n with its standard description.
    explicit AutomationError(long number);
    AutomationError(long number, std::wstring description, std::wstring helpFile = {}, DWORD helpContext = 0);

    long Number() const { return m_number; }
    HRESULT Status() const;
    const std::wstring& Source() const { return m_source; }
    const std::wstring& Description() const { return m_description; }
    const std::wstring& HelpFile() const { return m_helpFile; }
    DWORD HelpContext() const { return m_helpContext; }
    const char* what() const noexcept override { return "automation error"; }

    // An error that reaches the caller whatever the member's RaiseErrors
    // says: a bad argument, or text that cannot be decoded or encoded.
    static AutomationError Always(long number);
    bool RaisedAlways() const { return m_always; }

    // The Source of an error that has none yet.
    void SetSourceIfNone(const wchar_t* source);

    // The error a failed call of another object left behind: its status with
    // the thread's error info, when it has one.
    static AutomationError FromFailure(HRESULT hr);
    // The exception another object's IDispatch::Invoke reported; its
    // strings are freed.
    static AutomationError FromException(EXCEPINFO& exception);

private:
    long m_number;
    std::wstring m_source;
    std::wstring m_description;
    std::wstring m_helpFile;
    DWORD m_helpContext;
    bool m_always = false;
};

// Error number n (1 to 65535) as a status; a failure status stays as it is.
HRESULT StatusOfErrorNumber(long number);

// Sets the thread's error info to the record, with the given Source where
// the record has none, and gives its status.
HRESULT Report(AutomationError error, REFIID iid, const wchar_t* source);

// The boundary of a COM method: runs the body and turns whatever it throws
// into a status with error info under the class's Source. A body that
// succeeds clears stale error info.
template <typename Body>
HRESULT Firewall(REFIID iid, const wchar_t* source, Body&& body) noexcept
{
    try {
        try {
            body();
            ::SetErrorInfo(0, nullptr);
            return S_OK;
        } catch (const AutomationError& error) {
            return Report(error, iid, source);
        } catch (const std::bad_alloc&) {
            return Report(AutomationError(7), iid, source);
        } catch (...) {
            return Report(AutomationError(51), iid, source);
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// Throws the failure of a call into another COM object or a support library.
inline void Check(HRESULT hr)
{
    if (FAILED(hr))
        throw AutomationError::FromFailure(hr);
}

} // namespace tovrin
