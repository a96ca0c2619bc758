#include "TextFormat.h"

#include "com/AutomationError.h"

#include <tovrin/CodePage.h>

#include <cstring>

namespace tovrin::text {

namespace {

bool StartsWith(const char* bytes, size_t count, const char* mark, size_t length)
{
    return count >= length && std::memcmp(bytes, mark, length) == 0;
}

} // namespace

bool InRange(long encoding, long fileBOM, long invertBytes)
{
    return encoding >= 0 && encoding <= 3 && fileBOM >= 0 && fileBOM <= 2 && invertBytes >= 0 && invertBytes <= 2;
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

Format Resolve(const Format& requested, const Format& detected)
{
    return {requested.Encoding != Auto ? requested.Encoding : detected.Encoding,
            requested.FileBOM != Auto ? requested.FileBOM : detected.FileBOM,
            requested.InvertBytes != Auto ? requested.InvertBytes : detected.InvertBytes};
}

void InvertByteOrder(std::string& bytes)
{
    size_t pairs = bytes.size() / 2;
    for (size_t i = 0; i < pairs; ++i)
        std::swap(bytes[2 * i], bytes[2 * i + 1]);
    if (bytes.size() % 2 != 0)
        throw AutomationError(9, L"tovFSO");
}

std::wstring Decode(std::string bytes, const Format& format)
{
    switch (format.Encoding) {
    case UTF8: {
        size_t skip = format.FileBOM == BOM ? std::min<size_t>(3, bytes.size()) : 0;
        return FromCodePage(CP_UTF8, bytes.data() + skip, bytes.size() - skip);
    }
    case UTF16: {
        if (format.InvertBytes == InvertBytes)
            InvertByteOrder(bytes);
        std::wstring text(bytes.size() / 2, L'\0');
        if (!text.empty())
            std::memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
        if (format.FileBOM == BOM && !text.empty())
            text.erase(0, 1);
        return text;
    }
    default:
        return FromCodePage(CP_ACP, bytes);
    }
}

std::string Encode(const std::wstring& text, const Format& format, bool withMark)
{
    switch (format.Encoding) {
    case UTF8: {
        std::string bytes = withMark ? std::string("\xEF\xBB\xBF") : std::string();
        return bytes + ToCodePage(CP_UTF8, text);
    }
    case UTF16: {
        std::wstring units = withMark ? L"\xFEFF" + text : text;
        std::string bytes(units.size() * sizeof(wchar_t), '\0');
        if (!bytes.empty())
            std::memcpy(&bytes[0], units.data(), bytes.size());
        if (format.InvertBytes == InvertBytes)
            InvertByteOrder(bytes);
        return bytes;
    }
    default:
        return ToCodePage(CP_ACP, text);
    }
}

} // namespace tovrin::text
