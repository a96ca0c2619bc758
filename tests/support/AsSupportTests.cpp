// tovrinsupport0100.dll as its callers use it: display forms, byte strings
// through the code pages, string helpers and INI keys.
#include "SupportTestHelpers.h"
#include "TestFiles.h"

#include <tovrin/SafeArrayBytes.h>

#include <olectl.h>

#include <cmath>
#include <limits>

using namespace testing_support;

namespace {

std::wstring LocaleText(LCTYPE type)
{
    wchar_t buffer[16] = {};
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16);
    return buffer;
}

// The UTF-8 bytes of UTF-16 text, encoded here without the platform.
std::string Utf8(const std::wstring& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

std::string StrConvB(const std::wstring& text)
{
    SAFEARRAY* array = reinterpret_cast<SAFEARRAY*>(static_cast<uintptr_t>(0xBADF00D));
    HRESULT hr = asStrConvB(B(text).get(), &array);
    EXPECT_EQ(hr, S_OK);
    if (FAILED(hr))
        return std::string();
    tovrin::SafeArray owner(array);
    if (array) {
        LONG lower = -1;
        ::SafeArrayGetLBound(array, 1, &lower);
        EXPECT_EQ(lower, 0);
    }
    return tovrin::ReadByteArray(array);
}

std::wstring StrConvW(const std::string& bytes)
{
    tovrin::SafeArray array = tovrin::MakeByteArray(bytes);
    Text text = CallText(asStrConvW, array.get());
    EXPECT_EQ(text.hr, S_OK);
    return text.value;
}

// Every UTF-16 code unit but the surrogates, then pairs across the planes.
std::wstring AllCharacters()
{
    std::wstring text;
    for (uint32_t c = 0; c <= 0xFFFF; ++c)
        if (c < 0xD800 || c > 0xDFFF)
            text += static_cast<wchar_t>(c);
    for (uint32_t c = 0x10000; c <= 0x10FFFF; c += 0x3FF) {
        uint32_t v = c - 0x10000;
        text += static_cast<wchar_t>(0xD800 + (v >> 10));
        text += static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
    }
    return text;
}

bool SingleByteCodePages()
{
    return ::GetACP() == 1252 && ::GetOEMCP() == 437;
}

} // namespace

TEST(asFormatLong, GroupsThousandsInTheUserLocale)
{
    std::wstring sep = LocaleText(LOCALE_STHOUSAND);
    EXPECT_EQ(CallText(asFormatLong, 0L).value, L"0");
    EXPECT_EQ(CallText(asFormatLong, 999L).value, L"999");
    EXPECT_EQ(CallText(asFormatLong, 100000L).value, L"100" + sep + L"000");
    EXPECT_EQ(CallText(asFormatLong, 2147483647L).value, L"2" + sep + L"147" + sep + L"483" + sep + L"647");
    EXPECT_EQ(CallText(asFormatLong, -5L).value, L"-5");
}

TEST(asFormatByteSizeEx, CountsBelowOneKilobyteAndThreeDigitsAbove)
{
    std::wstring dot = LocaleText(LOCALE_SDECIMAL);
    std::wstring sep = LocaleText(LOCALE_STHOUSAND);
    struct Case {
        double bytes;
        std::wstring text;
    } cases[] = {
        {0, L"0 bytes"},
        {13, L"13 bytes"},
        {1023, L"1" + sep + L"023 bytes"},
        {1024, L"1" + dot + L"00 KB"},
        {1536, L"1" + dot + L"50 KB"},
        {17103, L"16" + dot + L"7 KB"},
        {1048575, L"1023 KB"},
        {1048576, L"1" + dot + L"00 MB"},
        {2147483647.0, L"1" + dot + L"99 GB"},
        {1099511627776.0, L"1" + dot + L"00 TB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CallText(asFormatByteSizeEx, c.bytes).value, c.text) << c.bytes;

    EXPECT_EQ(CallText(asFormatByteSizeEx, -1.0).hr, E_INVALIDARG);
    EXPECT_EQ(CallText(asFormatByteSizeEx, std::numeric_limits<double>::quiet_NaN()).hr, E_INVALIDARG);
    EXPECT_EQ(asFormatByteSizeEx(1.0, nullptr), E_POINTER);
}

TEST(asUNICODEToUTF8, ByteStringHoldsExactlyTheUtf8BytesOfEveryCharacter)
{
    if (!SingleByteCodePages())
        GTEST_SKIP() << "byte strings are exact on single-byte ANSI code pages";
    std::wstring text = AllCharacters();
    Text byteString = CallText(asUNICODEToUTF8, B(text).get());
    ASSERT_EQ(byteString.hr, S_OK);
    EXPECT_EQ(StrConvB(byteString.value), Utf8(text));

    EXPECT_EQ(StrConvW(Utf8(text)), byteString.value);
    Text back = CallText(asUTF8ToUNICODE, B(byteString.value).get());
    ASSERT_EQ(back.hr, S_OK);
    EXPECT_TRUE(back.value == text) << "the round trip changed the text";
}

TEST(asUNICODEToUTF8, LoneSurrogatesBecomeTheReplacementCharacter)
{
    if (!SingleByteCodePages())
        GTEST_SKIP() << "byte strings are exact on single-byte ANSI code pages";
    std::wstring text = {L'a', 0xD800, L'b', 0xDC00};
    EXPECT_EQ(StrConvB(CallText(asUNICODEToUTF8, B(text).get()).value), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST(asUTF8ToUNICODE, InvalidBytesBecomeTheReplacementCharacter)
{
    if (!SingleByteCodePages())
        GTEST_SKIP() << "byte strings are exact on single-byte ANSI code pages";
    std::wstring byteString = StrConvW("A\xC3\xA9\xFF" "B");
    EXPECT_EQ(CallText(asUTF8ToUNICODE, B(byteString).get()).value, (std::wstring{L'A', 0xE9, 0xFFFD, L'B'}));
}

TEST(asStrConvB, EveryByteValueSurvivesTheAnsiCodePage)
{
    if (!SingleByteCodePages())
        GTEST_SKIP() << "exact on single-byte ANSI code pages";
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::wstring text = StrConvW(all);
    EXPECT_EQ(text.size(), 256u);
    EXPECT_EQ(StrConvB(text), all);
}

TEST(asStrConvB, EmptyTextGivesNoArray)
{
    SAFEARRAY* array = reinterpret_cast<SAFEARRAY*>(static_cast<uintptr_t>(0xBADF00D));
    EXPECT_EQ(asStrConvB(nullptr, &array), S_OK);
    EXPECT_EQ(array, nullptr);
    EXPECT_EQ(asStrConvB(B(L"").get(), &array), S_OK);
    EXPECT_EQ(array, nullptr);
}

TEST(asStrConvW, RejectsArraysThatAreNotBytes)
{
    EXPECT_EQ(CallText(asStrConvW, static_cast<SAFEARRAY*>(nullptr)).value, L"");

    tovrin::SafeArray longs(::SafeArrayCreateVector(VT_I4, 0, 2));
    EXPECT_EQ(CallText(asStrConvW, longs.get()).hr, E_INVALIDARG);

    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    tovrin::SafeArray square(::SafeArrayCreate(VT_UI1, 2, bounds));
    EXPECT_EQ(CallText(asStrConvW, square.get()).hr, E_INVALIDARG);
}

TEST(asAnsiToOem, ConvertsBetweenTheAnsiAndOemCodePages)
{
    if (!SingleByteCodePages())
        GTEST_SKIP() << "cases written for ANSI 1252 and OEM 437";
    // e-acute is 0xE9 in ANSI and 0x82 in OEM; a box line exists only in OEM.
    std::wstring text = {L'A', 0x00E9, 0x2500};
    Text oem = CallText(asAnsiToOem, B(text).get());
    ASSERT_EQ(oem.hr, S_OK);
    EXPECT_EQ(StrConvB(oem.value), "A\x82\xC4");
    EXPECT_EQ(CallText(asOemToAnsi, B(oem.value).get()).value, text);

    // A character the OEM page lacks becomes its default character.
    EXPECT_EQ(StrConvB(CallText(asAnsiToOem, B(std::wstring(1, 0x4E00)).get()).value), "?");
}

TEST(asCutLeft, DropsTheFirstCharacters)
{
    EXPECT_EQ(CallText(asCutLeft, B(L"abc").get(), 0L).value, L"abc");
    EXPECT_EQ(CallText(asCutLeft, B(L"abc").get(), 2L).value, L"c");
    EXPECT_EQ(CallText(asCutLeft, B(L"abc").get(), 3L).value, L"");
    EXPECT_EQ(CallText(asCutLeft, B(L"abc").get(), 99L).value, L"");
    EXPECT_EQ(CallText(asCutLeft, B(L"abc").get(), -1L).hr, E_INVALIDARG);
}

TEST(asTrimEx, RemovesWhiteSpaceAndNulsAtBothEnds)
{
    std::wstring text = std::wstring(L" \t\r\n\v\f") + L"a b" + std::wstring(L"\0 ", 2);
    EXPECT_EQ(CallText(asTrimEx, B(text).get()).value, L"a b");
    EXPECT_EQ(CallText(asTrimEx, B(L" \t ").get()).value, L"");
    EXPECT_EQ(CallText(asTrimEx, static_cast<BSTR>(nullptr)).value, L"");
}

TEST(asGetStringFromPointer, ReadsZeroTerminatedStrings)
{
    const char ansi[] = "ab\xE9";
    const wchar_t wide[] = L"wide";
    if (SingleByteCodePages()) {
        EXPECT_EQ(CallText(asGetStringFromPointerA, reinterpret_cast<LONG_PTR>(ansi)).value,
                  (std::wstring{L'a', L'b', 0xE9}));
    }
    EXPECT_EQ(CallText(asGetStringFromPointerW, reinterpret_cast<LONG_PTR>(wide)).value, L"wide");
    EXPECT_EQ(CallText(asGetStringFromPointerA, static_cast<LONG_PTR>(0)).value, L"");
    EXPECT_EQ(CallText(asGetStringFromPointerW, static_cast<LONG_PTR>(0)).value, L"");
}

TEST(asLargeIntegerToDouble, KeepsSixtyFourBitValues)
{
    LARGE_INTEGER value = {};
    double result = -1;
    value.QuadPart = 5368709120LL; // 5 GiB, past any 32-bit count
    ASSERT_EQ(asLargeIntegerToDouble(&value, &result), S_OK);
    EXPECT_EQ(result, 5368709120.0);
    value.QuadPart = -1;
    ASSERT_EQ(asLargeIntegerToDouble(&value, &result), S_OK);
    EXPECT_EQ(result, -1.0);
    EXPECT_EQ(asLargeIntegerToDouble(nullptr, &result), E_POINTER);
}

TEST(asShortToUnsignedShort, ReadsTheSameSixteenBitsUnsigned)
{
    LONG result = 0;
    ASSERT_EQ(asShortToUnsignedShort(-1, &result), S_OK);
    EXPECT_EQ(result, 65535);
    ASSERT_EQ(asShortToUnsignedShort(-32768, &result), S_OK);
    EXPECT_EQ(result, 32768);
    ASSERT_EQ(asShortToUnsignedShort(5, &result), S_OK);
    EXPECT_EQ(result, 5);
}

TEST(asIsINIKeyExist2, FindsKeysOfOneSectionIgnoringCase)
{
    TempFolder folder;
    std::wstring ini = folder / L"zone.ini";
    WriteBytes(ini, "[ZoneTransfer]\r\nZoneId=3\r\nEmpty=\r\n[Other]\r\nHostUrl=x\r\n");
    auto exists = [&](const std::wstring& section, const std::wstring& key, const std::wstring& file) {
        VARIANT_BOOL result = 7;
        HRESULT hr = asIsINIKeyExist2(B(section).get(), B(key).get(), B(file).get(), 0, 0, &result);
        EXPECT_EQ(hr, S_OK);
        return result;
    };
    EXPECT_EQ(exists(L"ZoneTransfer", L"ZoneId", ini), VARIANT_TRUE);
    EXPECT_EQ(exists(L"zonetransfer", L"ZONEID", ini), VARIANT_TRUE);
    EXPECT_EQ(exists(L"ZoneTransfer", L"Empty", ini), VARIANT_TRUE) << "a key with no value still exists";
    EXPECT_EQ(exists(L"ZoneTransfer", L"HostUrl", ini), VARIANT_FALSE) << "the key lives in another section";
    EXPECT_EQ(exists(L"Missing", L"ZoneId", ini), VARIANT_FALSE);
    EXPECT_EQ(exists(L"ZoneTransfer", L"ZoneId", folder / L"none.ini"), VARIANT_FALSE);

    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_EQ(asIsINIKeyExist2(B(L"ZoneTransfer").get(), B(L"ZoneId").get(), B(ini).get(), 1, 0, &result),
              E_INVALIDARG);
    EXPECT_EQ(result, VARIANT_FALSE);
}

TEST(asIcons, LoadTheProgramsIconResource)
{
    IPictureDisp* picture = nullptr;
    ASSERT_EQ(asLoadResIcon(B(L"A_MAIN").get(), &picture), S_OK);
    ASSERT_NE(picture, nullptr);
    IPicture* asPicture = nullptr;
    ASSERT_EQ(picture->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&asPicture)), S_OK);
    SHORT type = 0;
    asPicture->get_Type(&type);
    EXPECT_EQ(type, PICTYPE_ICON);
    asPicture->Release();
    picture->Release();

    picture = reinterpret_cast<IPictureDisp*>(static_cast<uintptr_t>(0xBADF00D));
    HRESULT missing = asLoadResIconSmall(B(L"NO_SUCH_ICON").get(), &picture);
    EXPECT_TRUE(FAILED(missing));
    EXPECT_EQ(HRESULT_FACILITY(missing), FACILITY_WIN32);
    EXPECT_EQ(picture, nullptr);
}

TEST(asIcons, PictureFromHandleOwnsACopy)
{
    HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"A_MAIN", IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    IPictureDisp* picture = nullptr;
    ASSERT_EQ(asGetIconFromHandle(icon, &picture), S_OK);
    picture->Release();
    ICONINFO info = {};
    EXPECT_TRUE(::GetIconInfo(icon, &info)) << "the caller's icon outlives the picture";
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
}

TEST(asSetWindowResIconAll, GivesTheWindowBothIconSizes)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(asSetWindowResIconAll(window, B(L"A_MAIN").get()), S_OK);
    EXPECT_NE(::SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    ::DestroyWindow(window);
    EXPECT_EQ(asSetWindowResIconAll(window, B(L"A_MAIN").get()), E_INVALIDARG);
}
