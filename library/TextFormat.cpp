#include "TextFormat.h"

#include "com/AutomationError.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/SafeArrayBytes.h>

#include <climits>
#include <cstring>

namespace tovrin::text {

namespace {

const wchar_t* const Source = L"tovFSO";

bool StartsWith(const char* bytes, size_t count, const char* mark, size_t length)
{
    return count >= length && std::memcmp(bytes, mark, length) == 0;
}

void CheckLength(size_t length)
{
    if (length > INT_MAX)
        throw AutomationError(ErrOverflow, Source);
}

// A code page's text as an automation string, converted in one call.
Bstr FromCodePage(UINT codePage, const char* bytes, size_t count)
{
    CheckLength(count);
    int length = count ? ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(count), nullptr, 0) : 0;
    Bstr text(::SysAllocStringLen(nullptr, static_cast<UINT>(length)));
    if (!text)
        throw std::bad_alloc();
    if (length)
        ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(count), text.get(), length);
    return text;
}

SafeArray ToCodePage(UINT codePage, const wchar_t* text, size_t length, const char* mark, size_t markLength)
{
    CheckLength(length);
    int count = length ? ::WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr,
                                               nullptr)
                       : 0;
    SafeArray bytes = MakeUnfilledByteArray(markLength + static_cast<size_t>(count));
    if (bytes) {
        SafeArrayData data(bytes.get());
        char* out = static_cast<char*>(data.get());
        std::memcpy(out, mark, markLength);
        if (count)
            ::WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), out + markLength, count, nullptr,
                                  nullptr);
    }
    return bytes;
}

} // namespace

bool InRange(long encoding, long fileBOM, long invertBytes)
{
    return encoding >= 0 && encoding <= 3 && fileBOM >= 0 && fileBOM <= 2 && invertBytes >= 0 && invertBytes <= 2;
}

void CheckRange(long encoding, long fileBOM, long invertBytes)
{
    if (!InRange(encoding, fileBOM, invertBytes))
        throw AutomationError(ErrInvalidCall, Source);
}

Format DetectTextFormat(const char* bytes, size_t count)
{
    Format format;
    if (count < 2)
        return format;
    if (StartsWith(bytes, count, "\xFF\xFE", 2))
        return {UTF16, BOM, DontInvertBytes};
    if (StartsWith(bytes, count, "\xFE\xFF", 2))
        return {UTF16, BOM, InvertBytes};
    if (StartsWith(bytes, count, "\xEF\xBB\xBF", 3))
        return {UTF8, BOM, DontInvertBytes};
    return format;
}

Format Resolve(const Format& requested, const Format& fallback)
{
    return {requested.Encoding != Auto ? requested.Encoding : fallback.Encoding,
            requested.FileBOM != Auto ? requested.FileBOM : fallback.FileBOM,
            requested.InvertBytes != Auto ? requested.InvertBytes : fallback.InvertBytes};
}

Format WritingDefaults(const Format& requested)
{
    return Resolve(requested, {ANSI, BOM, DontInvertBytes});
}

void InvertByteOrder(std::string& bytes)
{
    size_t pairs = bytes.size() / 2;
    for (size_t i = 0; i < pairs; ++i)
        std::swap(bytes[2 * i], bytes[2 * i + 1]);
    if (bytes.size() % 2 != 0)
        throw AutomationError(ErrSubscriptOutOfRange, Source);
}

Bstr Decode(const char* bytes, size_t count, const Format& format)
{
    if (format.Encoding == UTF8) {
        size_t skip = format.FileBOM == BOM ? std::min<size_t>(3, count) : 0;
        return FromCodePage(CP_UTF8, bytes + skip, count - skip);
    }
    if (format.Encoding != UTF16)
        return FromCodePage(CP_ACP, bytes, count);

    bool swapped = format.InvertBytes == InvertBytes;
    if (swapped && count % 2 != 0)
        throw AutomationError(ErrSubscriptOutOfRange, Source); // the pair swap's last step fails
    size_t units = count / 2; // an odd last byte forms no character
    size_t skip = format.FileBOM == BOM && units > 0 ? 1 : 0;
    CheckLength(units);
    Bstr text(::SysAllocStringLen(nullptr, static_cast<UINT>(units - skip)));
    if (!text)
        throw std::bad_alloc();
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes) + 2 * skip;
    wchar_t* out = text.get();
    for (size_t i = 0; i < units - skip; ++i, in += 2)
        out[i] = swapped ? static_cast<wchar_t>((in[0] << 8) | in[1]) : static_cast<wchar_t>(in[0] | (in[1] << 8));
    return text;
}

SafeArray Encode(const wchar_t* text, size_t length, const Format& format, bool withMark)
{
    if (format.Encoding == UTF8)
        return ToCodePage(CP_UTF8, text, length, "\xEF\xBB\xBF", withMark ? 3 : 0);
    if (format.Encoding != UTF16)
        return ToCodePage(CP_ACP, text, length, "", 0);

    size_t units = length + (withMark ? 1 : 0);
    SafeArray bytes = MakeUnfilledByteArray(units * 2);
    if (bytes) {
        SafeArrayData data(bytes.get());
        unsigned char* out = static_cast<unsigned char*>(data.get());
        bool swapped = format.InvertBytes == InvertBytes;
        auto put = [&](wchar_t unit) {
            out[swapped ? 1 : 0] = static_cast<unsigned char>(unit & 0xFF);
            out[swapped ? 0 : 1] = static_cast<unsigned char>(unit >> 8);
            out += 2;
        };
        if (withMark)
            put(0xFEFF);
        for (size_t i = 0; i < length; ++i)
            put(text[i]);
    }
    return bytes;
}

} // namespace tovrin::text
