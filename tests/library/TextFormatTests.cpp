// The text-format rules: detection, resolution, and the byte forms of text
// that reading and writing share.
#include <TextFormat.h>
#include <com/AutomationError.h>

#include <gtest/gtest.h>

using namespace tovrin::text;

namespace {

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
    EXPECT_EQ(Encode(L"abc", {UTF16, BOM, InvertBytes}, true), Bytes({0xFE, 0xFF, 0, 'a', 0, 'b', 0, 'c'}));
    EXPECT_EQ(Encode(L"abc", {UTF16, BOM, DontInvertBytes}, true), Bytes({0xFF, 0xFE, 'a', 0, 'b', 0, 'c', 0}));
    EXPECT_EQ(Encode(L"abc", {UTF8, BOM, InvertBytes}, true), "\xEF\xBB\xBF" "abc");
    EXPECT_EQ(Encode(L"abc", {UTF8, NoBOM, DontInvertBytes}, false), "abc");
    EXPECT_EQ(Encode(L"abc", {ANSI, BOM, InvertBytes}, true), "abc") << "ANSI has no mark and no byte order";
    EXPECT_EQ(Encode(L"", {UTF8, BOM, DontInvertBytes}, true), "\xEF\xBB\xBF");
}

TEST(Decode, RemovesTheMarkByPosition)
{
    EXPECT_EQ(Decode("\xEF\xBB\xBF" "abc", {UTF8, BOM, DontInvertBytes}), L"abc");
    EXPECT_EQ(Decode("abcdef", {UTF8, BOM, DontInvertBytes}), L"def") << "a forced mark costs three bytes";
    EXPECT_EQ(Decode("ab", {UTF8, BOM, DontInvertBytes}), L"");
    EXPECT_EQ(Decode(Bytes({0xFE, 0xFF, 0, 'h', 0, 'i'}), {UTF16, BOM, InvertBytes}), L"hi");
    EXPECT_EQ(Decode(Bytes({'h', 0, 'i', 0, 'x'}), {UTF16, NoBOM, DontInvertBytes}), L"hi")
        << "an odd last byte forms no character";
    EXPECT_EQ(Decode("h\xC3\xA9", {UTF8, NoBOM, DontInvertBytes}), L"h\u00E9");
}

TEST(InvertByteOrder, SwapsPairsAndRaises9ForAnOddLastByte)
{
    std::string empty;
    InvertByteOrder(empty);
    EXPECT_TRUE(empty.empty());

    std::string even = "abcd";
    InvertByteOrder(even);
    EXPECT_EQ(even, "badc");

    std::string odd = "abcde";
    try {
        InvertByteOrder(odd);
        ADD_FAILURE() << "no error for an odd byte count";
    } catch (const tovrin::AutomationError& error) {
        EXPECT_EQ(error.Number(), 9);
        EXPECT_EQ(error.Source(), L"tovFSO");
    }
    EXPECT_EQ(odd, "badce") << "every complete pair is swapped first";
    EXPECT_THROW(Decode("abc", {UTF16, NoBOM, InvertBytes}), tovrin::AutomationError);
}
