#include "content/TextFormat.h"

#include "com/AutomationError.h"

#include <tovrin/ErrorNumbers.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace tovrin::text {

namespace {

bool StartsWith(const char* bytes, size_t count, const char* mark, size_t length)
{
    return count >= length && std::memcmp(bytes, mark, length) == 0;
}

void CheckLength(size_t length)
{
    if (length > INT_MAX)
        throw AutomationError::Always(ErrOverflow);
}

void ToCodePage(UINT codePage, const wchar_t* text, size_t length, const char* mark, size_t markLength,
                const ByteBuffer& buffer)
{
    CheckLength(length);
    int count = length ? ::WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr,
                                               nullptr)
                       : 0;
    if (markLength + static_cast<size_t>(count) == 0)
        return;
    char* out = reinterpret_cast<char*>(buffer(markLength + static_cast<size_t>(count)));
    std::memcpy(out, mark, markLength);
    if (count)
        ::WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), out + markLength, count, nullptr, nullptr);
}

const UINT Utf16Units = 1200; // pieces of UTF-16 stay whole code units

// Whether a decoder that is handed bytes [0, p) of a piece that starts on a
// character boundary ends exactly where it would had it seen the bytes after
// p as well. The rules hold for any decoder, also for ones that treat
// invalid bytes unusually: in UTF-8, no byte in the last three that could
// start a sequence may reach past p; in a double-byte code page, p follows
// two bytes below 0x40, which are never lead or trail bytes.
bool IsSafeCut(UINT codePage, const unsigned char* piece, size_t p)
{
    if (codePage == CP_UTF8) {
        for (size_t k = 1; k <= 3 && k <= p; ++k) {
            unsigned char b = piece[p - k];
            size_t reach = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            if (reach > k)
                return false;
        }
        return true;
    }
    return piece[p - 1] < 0x40 && (p == 1 || piece[p - 2] < 0x40);
}

// How many bytes of the piece to decode now: all of the last piece, else up
// to the last safe cut after `checked` (the bytes before it were searched
// before). 0 carries the whole piece on to the next one.
size_t DecodableLength(UINT codePage, const char* piece, size_t length, size_t checked)
{
    if (codePage == Utf16Units)
        return length;
    if (codePage != CP_UTF8) {
        CPINFO info = {};
        if (!::GetCPInfo(codePage, &info) || info.MaxCharSize == 1)
            return length;
    }
    auto bytes = reinterpret_cast<const unsigned char*>(piece);
    for (size_t p = length; p > checked; --p)
        if (IsSafeCut(codePage, bytes, p))
            return p;
    return 0;
}

// Reads [start, start + count) piece by piece and hands the consumer runs of
// bytes that decode as they would within the whole range; what follows the
// last safe cut of a piece goes on with the next piece.
template <typename Consumer>
void ForEachPiece(IByteSource& source, size_t start, size_t count, UINT codePage, size_t pieceSize,
                  Consumer&& consume)
{
    std::string buffer;
    buffer.reserve(pieceSize + 8);
    size_t left = count;
    source.Seek(start);
    while (left > 0) {
        size_t carried = buffer.size();
        size_t want = std::min(pieceSize, left);
        buffer.resize(carried + want);
        for (size_t got = 0; got < want;) {
            size_t n = source.Read(&buffer[carried + got], want - got);
            if (n == 0)
                throw AutomationError(ErrInputPastEnd); // the file shrank while being read
            got += n;
        }
        left -= want;
        size_t ready = left > 0 ? DecodableLength(codePage, buffer.data(), buffer.size(), carried) : buffer.size();
        if (ready > 0)
            consume(buffer.data(), ready);
        buffer.erase(0, ready);
    }
}

} // namespace

bool InRange(long encoding, long fileBOM, long invertBytes)
{
    return encoding >= 0 && encoding <= 3 && fileBOM >= 0 && fileBOM <= 2 && invertBytes >= 0 && invertBytes <= 2;
}

void CheckRange(long encoding, long fileBOM, long invertBytes)
{
    if (!InRange(encoding, fileBOM, invertBytes))
        throw AutomationError::Always(ErrInvalidCall);
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

void DecodeStream(IByteSource& source, size_t start, size_t count, const Format& format, const TextBuffer& buffer,
                  size_t pieceSize, UINT ansiCodePage)
{
    if (format.Encoding == UTF16) {
        bool swapped = format.InvertBytes == InvertBytes;
        if (swapped && count % 2 != 0)
            throw AutomationError::Always(ErrSubscriptOutOfRange); // the pair swap's last step fails
        size_t units = count / 2;
        size_t skip = format.FileBOM == BOM && units > 0 ? 1 : 0;
        CheckLength(units);
        wchar_t* out = buffer(units - skip);
        pieceSize -= pieceSize % 2;
        ForEachPiece(source, start + 2 * skip, 2 * (units - skip), Utf16Units, std::max<size_t>(pieceSize, 2),
                     [&](const char* piece, size_t length) {
                         auto in = reinterpret_cast<const unsigned char*>(piece);
                         for (size_t i = 0; i + 1 < length; i += 2)
                             *out++ = swapped ? static_cast<wchar_t>((in[i] << 8) | in[i + 1])
                                              : static_cast<wchar_t>(in[i] | (in[i + 1] << 8));
                     });
        return;
    }

    UINT codePage = format.Encoding == UTF8 ? CP_UTF8 : ansiCodePage;
    size_t skip = format.Encoding == UTF8 && format.FileBOM == BOM ? std::min<size_t>(3, count) : 0;
    start += skip;
    count -= skip;
    size_t units = 0;
    ForEachPiece(source, start, count, codePage, pieceSize, [&](const char* piece, size_t length) {
        units += static_cast<size_t>(::MultiByteToWideChar(codePage, 0, piece, static_cast<int>(length), nullptr, 0));
    });
    CheckLength(units);
    wchar_t* const text = buffer(units);
    size_t written = 0;
    ForEachPiece(source, start, count, codePage, pieceSize, [&](const char* piece, size_t length) {
        int room = static_cast<int>(units - written);
        int n = room > 0 ? ::MultiByteToWideChar(codePage, 0, piece, static_cast<int>(length), text + written, room)
                         : 0;
        if (n <= 0)
            throw AutomationError(ErrPathFileAccess, L"The file changed while it was being read");
        written += static_cast<size_t>(n);
    });
    if (written != units)
        throw AutomationError(ErrPathFileAccess, L"The file changed while it was being read");
}

void Encode(const wchar_t* text, size_t length, const Format& format, bool withMark, const ByteBuffer& buffer)
{
    if (format.Encoding == UTF8)
        return ToCodePage(CP_UTF8, text, length, "\xEF\xBB\xBF", withMark ? 3 : 0, buffer);
    if (format.Encoding != UTF16)
        return ToCodePage(CP_ACP, text, length, "", 0, buffer);

    size_t units = length + (withMark ? 1 : 0);
    if (units == 0)
        return;
    unsigned char* out = buffer(units * 2);
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

} // namespace tovrin::text
