// Whole-buffer conversions between UTF-16 and a Windows code page. Lengths are
// explicit, so embedded NUL characters survive both ways.
#pragma once

#include <windows.h>

#include <climits>
#include <new>
#include <stdexcept>
#include <string>

namespace tovrin {

inline std::string ToCodePage(UINT codePage, const wchar_t* text, size_t length)
{
    if (length == 0)
        return std::string();
    if (length > INT_MAX)
        throw std::length_error("text too long");
    int n = ::WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        throw std::runtime_error("WideCharToMultiByte failed");
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

inline std::string ToCodePage(UINT codePage, const std::wstring& text)
{
    return ToCodePage(codePage, text.data(), text.size());
}

inline std::wstring FromCodePage(UINT codePage, const char* bytes, size_t length)
{
    if (length == 0)
        return std::wstring();
    if (length > INT_MAX)
        throw std::length_error("text too long");
    int n = ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(length), nullptr, 0);
    if (n <= 0)
        throw std::runtime_error("MultiByteToWideChar failed");
    std::wstring text(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(length), &text[0], n);
    return text;
}

// The same as FromCodePage, with nothing for bytes that do not convert.
inline bool TryFromCodePage(UINT codePage, const char* bytes, size_t length, std::wstring& text)
{
    text.clear();
    if (length == 0)
        return true;
    if (length > INT_MAX)
        return false;
    int n = ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(length), nullptr, 0);
    if (n <= 0)
        return false;
    text.resize(static_cast<size_t>(n));
    ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(length), &text[0], n);
    return true;
}

inline std::wstring FromCodePage(UINT codePage, const std::string& bytes)
{
    return FromCodePage(codePage, bytes.data(), bytes.size());
}

} // namespace tovrin
