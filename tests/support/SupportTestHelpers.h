// Calls the support libraries the way their callers do and hands back
// std::wstring, so that table-driven cases stay one line each.
#pragma once

#include <tovrin/Unique.h>
#include <tovrin/tovrinsupport.h>
#include <tovrin/tovrinsupportfbe.h>

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

// The result of a string-giving support call: its HRESULT and its text.
struct Text {
    HRESULT hr = E_UNEXPECTED;
    std::wstring value;
};

template <typename Function, typename... Args>
Text CallText(Function function, Args... args)
{
    BSTR result = reinterpret_cast<BSTR>(static_cast<uintptr_t>(0xBADF00D)); // sentinel: must be cleared
    Text text;
    text.hr = function(args..., &result);
    if (FAILED(text.hr)) {
        EXPECT_EQ(result, nullptr) << "a failing call leaves its out-parameter cleared";
        return text;
    }
    text.value = tovrin::Bstr::ToString(result);
    ::SysFreeString(result);
    return text;
}

inline tovrin::Bstr B(const std::wstring& text)
{
    return tovrin::Bstr::From(text);
}

} // namespace testing_support
