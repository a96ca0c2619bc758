// COM as clients see it: an apartment for every test executable, late-bound
// calls with real VARIANTs, and the error info a failed call left behind.
#pragma once

#include <tovrin/Unique.h>

#include <tovrin/ComPtr.h>
#include <tovrin/Variant.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {

// A VARIANT made for a call: Arg(L"text"), Arg(3), Arg(true), Missing(), Ref(&v).
tovrin::Variant Arg(const wchar_t* text);
tovrin::Variant Arg(long number);
tovrin::Variant ArgBool(bool value);
tovrin::Variant Missing();
tovrin::Variant Ref(VARIANT* target); // VT_BYREF | VT_VARIANT, as scripts pass variables

struct CallResult {
    HRESULT hr = E_UNEXPECTED;
    tovrin::Variant value;
    SCODE scode = S_OK; // the exception's status when hr is DISP_E_EXCEPTION
    tovrin::Bstr source;
    tovrin::Bstr description;
};

// Calls a member by name through IDispatch; arguments in source order.
CallResult CallByName(IDispatch* object, const wchar_t* name, std::vector<VARIANT*> arguments,
                      WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);

struct ErrorRecord {
    std::wstring Source;
    std::wstring Description;
    bool Present = false;
};

// The error info the last failed vtable call left on the thread.
ErrorRecord TakeErrorInfo();

// The status of error number n.
constexpr HRESULT ErrorStatus(long number)
{
    return static_cast<HRESULT>(0x800A0000u + static_cast<unsigned long>(number));
}

std::wstring Text(const VARIANT* value);

} // namespace testing_support
