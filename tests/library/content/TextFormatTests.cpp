// The text-format rules: detection, resolution, and the byte forms of text
// that reading and writing share.
#include "content/TextFormat.h"
#include "com/AutomationError.h"

#include <tovrin/SafeArrayBytes.h>
#include <tovrin/tovrinsupport.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

using namespace tovrin::text;

namespace {

std::string EncodeBytes(const std::wstring& text, const Format& format, bool withMark)
{
    std::string bytes;
    Encode(text.data(), text.size(), format, withMark, [&](size_t size) {
        bytes.resize(size);
        return reinterpret_cast<unsigned char*>(&bytes[0]);
    });
    return bytes;
}

class MemorySource final : public IByteSource {
public:
    explicit MemorySource(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t Read(char* buffer, size_t size) override
    {
        size_t n = std::min(size, m_bytes.size() - m_position);
        std::memcpy(buffer, m_bytes.data() + m_position, n);
        m_position += n;
        return n;
    }
    void Seek(size_t position) override { m_position = position; }

private:
    std::string m_bytes;
    size_t m_position = 0;
};

// The text of the bytes as reading a file of them gives it, read in pieces
// of the size given: by default one piece holds every sample here.
std::wstring DecodeText(const std::string& bytes, const Format& format, size_t piece = 1 << 20,
                        UINT codePage = CP_ACP)
{
    MemorySource source(bytes);
    std::wstring text;
    DecodeStream(
        source, 0, bytes.size(), format,
        [&](size_t units) {
            text.resize(units);
            return &text[0];
        },
        piece, codePage);
    return text;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

} // namespace

TEST(DetectTextFormat, CountsOnlyTheBytesTheCallerVouchesFor)
{
    const char mark[] = "\xFF\xFE";
    EXPECT_EQ(DetectTextFormat(mark, 1).Encoding, ANSI);
    EXPECT_EQ(DetectTextFormat(mark, 2).Encoding, UTF16);
    const char utf8[] = "\xEF\xBB\xBF";
    EXPECT_EQ(DetectTextFormat(utf8, 2).Encoding, ANSI);
    EXPECT_EQ(DetectTextFormat(utf8, 3).Encoding, UTF8);
}

TEST(Resolve, ExplicitSettingsWinOverDetectedOnes)
{
    Format detected{UTF16, BOM, InvertBytes};
    Format resolved = Resolve({0, NoBOM, 0}, detected);
    EXPECT_EQ(resolved.Encoding, UTF16);
    EXPECT_EQ(resolved.FileBOM, NoBOM);
    EXPECT_EQ(resolved.InvertBytes, InvertBytes);
    EXPECT_TRUE(InRange(3, 2, 2));
    EXPECT_FALSE(InRange(4, 0, 0));
    EXPECT_FALSE(InRange(0, 3, 0));
    EXPECT_FALSE(InRange(0, 0, -1));
}

TEST(Encode, WritesTheMarkOfEachEncoding)
{
    EXPECT_EQ(EncodeBytes(L"abc", {UTF16, BOM, InvertBytes}, true), Bytes({0xFE, 0xFF, 0, 'a', 0, 'b', 0, 'c'}));
    EXPECT_EQ(EncodeBytes(L"abc", {UTF16, BOM, DontInvertBytes}, true), Bytes({0xFF, 0xFE, 'a', 0, 'b', 0, 'c', 0}));
    EXPECT_EQ(EncodeBytes(L"abc", {UTF8, BOM, InvertBytes}, true), "\xEF\xBB\xBF" "abc");
    EXPECT_EQ(EncodeBytes(L"abc", {UTF8, NoBOM, DontInvertBytes}, false), "abc");
    EXPECT_EQ(EncodeBytes(L"abc", {ANSI, BOM, InvertBytes}, true), "abc") << "ANSI has no mark and no byte order";
    EXPECT_EQ(EncodeBytes(L"", {UTF8, BOM, DontInvertBytes}, true), "\xEF\xBB\xBF");
}

TEST(DecodeStream, RemovesTheMarkByPosition)
{
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF" "abc", {UTF8, BOM, DontInvertBytes}), L"abc");
    EXPECT_EQ(DecodeText("abcdef", {UTF8, BOM, DontInvertBytes}), L"def") << "a forced mark costs three bytes";
    EXPECT_EQ(DecodeText("ab", {UTF8, BOM, DontInvertBytes}), L"");
    EXPECT_EQ(DecodeText(Bytes({0xFE, 0xFF, 0, 'h', 0, 'i'}), {UTF16, BOM, InvertBytes}), L"hi");
    EXPECT_EQ(DecodeText(Bytes({'h', 0, 'i', 0, 'x'}), {UTF16, NoBOM, DontInvertBytes}), L"hi")
        << "an odd last byte forms no character";
    EXPECT_EQ(DecodeText("h\xC3\xA9", {UTF8, NoBOM, DontInvertBytes}), L"h\u00E9");
}

TEST(DecodeStream, SwapsTheBytesOfEveryPairAndRaises9ForAnOddCount)
{
    EXPECT_EQ(DecodeText("", {UTF16, NoBOM, InvertBytes}), L"");
    EXPECT_EQ(DecodeText("abcd", {UTF16, NoBOM, InvertBytes}), (std::wstring{L'\x6162', L'\x6364'}));
    EXPECT_EQ(DecodeText("abcd", {UTF16, NoBOM, DontInvertBytes}), (std::wstring{L'\x6261', L'\x6463'}));
    try {
        DecodeText("abcde", {UTF16, NoBOM, InvertBytes});
        ADD_FAILURE() << "no error for an odd byte count";
    } catch (const tovrin::AutomationError& error) {
        EXPECT_EQ(error.Number(), 9);
        EXPECT_TRUE(error.RaisedAlways()) << "whatever RaiseErrors says";
        EXPECT_TRUE(error.Source().empty()) << "the member's class gives the Source at its boundary";
    }
    EXPECT_THROW(DecodeText("abc", {UTF16, BOM, InvertBytes}), tovrin::AutomationError);
}

// The byte-string path the support library describes (asStrConvW, asCutLeft,
// asUTF8ToUNICODE; asUNICODEToUTF8, asStrConvB) and the library's path over a
// whole buffer (a file read in one piece) must give the same text and the
// same bytes.
namespace {

std::wstring Call(HRESULT(__stdcall* function)(BSTR, BSTR*), const std::wstring& text)
{
    tovrin::Bstr in = tovrin::Bstr::From(text);
    tovrin::Bstr out;
    EXPECT_EQ(function(in.get(), out.put()), S_OK);
    return out.str();
}

std::wstring ByteStringOf(const std::string& bytes)
{
    tovrin::SafeArray array = tovrin::MakeByteArray(bytes);
    tovrin::Bstr out;
    EXPECT_EQ(asStrConvW(array.get(), out.put()), S_OK);
    return out.str();
}

std::string BytesOf(const std::wstring& byteString)
{
    tovrin::Bstr in = tovrin::Bstr::From(byteString);
    tovrin::SafeArray array;
    EXPECT_EQ(asStrConvB(in.get(), array.put()), S_OK);
    return tovrin::ReadByteArray(array.get());
}

std::wstring DecodeUtf8TheLongWay(const std::string& bytes, bool mark)
{
    std::wstring s = ByteStringOf(bytes);
    if (mark) {
        tovrin::Bstr in = tovrin::Bstr::From(s), out;
        EXPECT_EQ(asCutLeft(in.get(), 3, out.put()), S_OK);
        s = out.str();
    }
    return Call(asUTF8ToUNICODE, s);
}

bool SingleByteAnsi()
{
    return ::GetACP() == 1252;
}

} // namespace

TEST(WholeBufferPath, DecodesLikeTheByteStringPath)
{
    if (!SingleByteAnsi())
        GTEST_SKIP() << "byte strings are exact on single-byte ANSI code pages";
    std::vector<std::string> samples;
    for (int b = 0; b < 256; ++b)
        samples.push_back(std::string(1, static_cast<char>(b)) + "x");
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    samples.push_back(all);
    // Invalid UTF-8: stray continuation bytes, a cut sequence, an overlong
    // form, an encoded surrogate, bytes no UTF-8 uses, a mark alone.
    for (const char* bad : {"\x80\xBF", "a\xC3", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF5\x80\x80\x80",
                            "\xFE\xFF", "\xEF\xBB\xBF", "\xF0\x9F\x98\x80 ok", "\xEF\xBB"})
        samples.push_back(bad);
    for (const std::string& bytes : samples) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_EQ(DecodeText(bytes, {ANSI, NoBOM, DontInvertBytes}), ByteStringOf(bytes));
        EXPECT_EQ(DecodeText(bytes, {UTF8, NoBOM, DontInvertBytes}), DecodeUtf8TheLongWay(bytes, false));
        EXPECT_EQ(DecodeText(bytes, {UTF8, BOM, DontInvertBytes}), DecodeUtf8TheLongWay(bytes, true));
    }
}

TEST(WholeBufferPath, EncodesLikeTheByteStringPath)
{
    if (!SingleByteAnsi())
        GTEST_SKIP() << "byte strings are exact on single-byte ANSI code pages";
    std::wstring text;
    for (wchar_t c = 1; c < 0xFFFF; c = static_cast<wchar_t>(c + 7))
        text += c; // lone surrogates included
    text += L"\xD83D\xDE00";
    EXPECT_EQ(EncodeBytes(text, {UTF8, NoBOM, DontInvertBytes}, false), BytesOf(Call(asUNICODEToUTF8, text)));
    EXPECT_EQ(EncodeBytes(text, {UTF8, BOM, DontInvertBytes}, true),
              BytesOf(ByteStringOf("\xEF\xBB\xBF") + Call(asUNICODEToUTF8, text)));
    EXPECT_EQ(EncodeBytes(text, {ANSI, NoBOM, DontInvertBytes}, false), BytesOf(text));
}

TEST(DecodeStream, PiecesNeverChangeTheText)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::vector<std::string> samples = {
        all,
        "\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80 \xD0\x96",
        "a\xC3", "\xE2\x82" "A", "\x80\xBF\xC0\xAF\xED\xA0\x80\xF5\x80 end", "\xF0\x9F\x98",
        "\xF0\x41\xC3\xA9\xE2\x82\x41\xF0\xC3\xA9\x41\xC3\xC3\xA9\xF4\xF5\x41 \xE2\x82\xAC", // invalid runs mid-piece
        std::string("\xFE\xFF\0h\0i\xD8\x3D\xDE\x00", 10), std::string("\xFF\xFEh\0i\0", 6), "",
    };
    const Format formats[] = {{ANSI, NoBOM, DontInvertBytes}, {UTF8, NoBOM, DontInvertBytes},
                              {UTF8, BOM, DontInvertBytes},   {UTF16, BOM, InvertBytes},
                              {UTF16, NoBOM, DontInvertBytes}, {UTF16, BOM, DontInvertBytes}};
    for (const std::string& bytes : samples) {
        for (const Format& format : formats) {
            if (format.Encoding == UTF16 && format.InvertBytes == InvertBytes && bytes.size() % 2)
                continue; // error 9, checked below
            std::wstring whole = DecodeText(bytes, format); // in one piece
            for (size_t piece = 1; piece <= 9; ++piece) {
                std::wstring streamed = DecodeText(bytes, format, piece);
                auto differ = std::mismatch(streamed.begin(), streamed.end(), whole.begin(), whole.end());
                EXPECT_EQ(streamed, whole) << "sample " << testing::PrintToString(bytes) << " encoding "
                                           << format.Encoding << " piece " << piece << ": lengths "
                                           << streamed.size() << " and " << whole.size() << ", first difference at "
                                           << (differ.first - streamed.begin());
            }
        }
    }
    // Double-byte ANSI code pages: lead bytes, trail bytes and bytes that
    // are neither, every pair of byte values, cut into pieces of every size.
    std::string pairs;
    for (int lead = 0x80; lead < 0x100; ++lead)
        for (int trail : {0x20, 0x40, 0x5C, 0x7E, 0x80, 0xA1, 0xFE, 0xFF})
            pairs += {static_cast<char>(lead), static_cast<char>(trail), '0', '1'};
    for (UINT codePage : {932u, 936u, 949u, 950u}) {
        int n = ::MultiByteToWideChar(codePage, 0, pairs.data(), static_cast<int>(pairs.size()), nullptr, 0);
        ASSERT_GT(n, 0) << "code page " << codePage;
        std::wstring whole(static_cast<size_t>(n), L'\0');
        ::MultiByteToWideChar(codePage, 0, pairs.data(), static_cast<int>(pairs.size()), &whole[0], n);
        for (size_t piece : {1, 2, 3, 5, 64, 1000}) {
            EXPECT_EQ(DecodeText(pairs, {ANSI, NoBOM, DontInvertBytes}, piece, codePage), whole)
                << "code page " << codePage << " piece " << piece;
        }
    }

    EXPECT_THROW(DecodeText(std::string("\xFE\xFF\0", 3), {UTF16, BOM, InvertBytes}, 4), tovrin::AutomationError);
}
