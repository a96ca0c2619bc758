// Veskar's run-time errors: a failing step throws one, and the procedure that
// owns the step (the walk, a save, a window handler) shows it to the user.
#pragma once

#include <tovrin/ErrorNumbers.h>
#include <tovrin/ProductObjects.h>

#include <exception>
#include <string>

namespace veskar {

class RunTimeError : public std::exception {
public:
    explicit RunTimeError(tovrin::ErrorRecord record) : m_record(std::move(record)) {}
    const tovrin::ErrorRecord& Record() const { return m_record; }
    const char* what() const noexcept override { return "Veskar run-time error"; }

private:
    tovrin::ErrorRecord m_record;
};

// Raises error n with its standard description, or with the one given.
[[noreturn]] void Raise(long number, const std::wstring& description = std::wstring());

// The run-time error for a failed Win32 file call or a failed HRESULT.
tovrin::ErrorRecord ErrorFromWin32(DWORD error);
tovrin::ErrorRecord ErrorFromHResult(HRESULT hr);
[[noreturn]] void RaiseLastError();

// The error record for whatever a handler caught: run-time errors as they
// are, memory exhaustion as error 7.
tovrin::ErrorRecord CurrentError(std::exception_ptr caught);

} // namespace veskar
