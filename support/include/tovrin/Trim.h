// What the product family counts as white space when it trims text: NUL,
// tab, line feed, vertical tab, form feed, carriage return and blank.
// asTrimEx and the list-file readers share this one definition.
#pragma once

#include <cstddef>

namespace tovrin {

inline bool IsTrimmedSpace(wchar_t c)
{
    return c == L'\0' || c == L' ' || (c >= L'\t' && c <= L'\r');
}

// The part of [text, text + length) without leading and trailing white space.
inline void TrimBounds(const wchar_t* text, size_t length, size_t& first, size_t& last)
{
    first = 0;
    last = length;
    while (first < last && IsTrimmedSpace(text[first]))
        ++first;
    while (last > first && IsTrimmedSpace(text[last - 1]))
        --last;
}

} // namespace tovrin
