// Calls into the two support libraries as Veskar makes them: a failing call
// raises the matching run-time error at the point of the call.
#pragma once

#include "RunTimeError.h"

#include <tovrin/Unique.h>
#include <tovrin/tovrinsupport.h>
#include <tovrin/tovrinsupportfbe.h>

#include <string>

namespace veskar::support {

inline void Check(HRESULT hr)
{
    if (FAILED(hr))
        throw RunTimeError(ErrorFromHResult(hr));
}

// For functions that give a string: String(esHex4, value).
template <typename Function, typename... Args>
std::wstring String(Function function, Args... args)
{
    tovrin::Bstr result;
    Check(function(args..., result.put()));
    return result.str();
}

// For functions that give a plain value: Value<LONG>(esSwapBytes4, value).
template <typename T, typename Function, typename... Args>
T Value(Function function, Args... args)
{
    T result{};
    Check(function(args..., &result));
    return result;
}

inline bool Bool(VARIANT_BOOL value)
{
    return value != VARIANT_FALSE;
}

// An automation string for the length of one call.
inline tovrin::Bstr In(const std::wstring& text)
{
    return tovrin::Bstr::From(text);
}

} // namespace veskar::support
