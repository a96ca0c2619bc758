// The version header: version text, separators and the notice rewrite.
#include "TestFiles.h"

#include <VeskarObjects.h>
#include <modFormatVersion.h>

#include <gtest/gtest.h>

namespace {

const std::wstring Maker = L"ТовринСофт";
const std::wstring Dedication = L"Посвящается всем, кто читает файлы побайтно.";
const std::wstring LatinDedication = L". Dedicated to everyone who reads files byte by byte.";

} // namespace

TEST(GetVersionText, PadsMinorToTwoAndRevisionToFourDigits)
{
    tovrin::AppIdentity app;
    app.Major = 1;
    app.Minor = 0;
    app.Revision = 10;
    EXPECT_EQ(veskar::GetVersionText(app), L"1.00.0010");
    app.Major = 12;
    app.Minor = 3;
    app.Revision = 45678;
    EXPECT_EQ(veskar::GetVersionText(app), L"12.03.45678");
}

TEST(GetDisplayNotice, RewritesTheProductNoticeToLatinScript)
{
    EXPECT_EQ(veskar::GetDisplayNotice(Maker + L" 2026. " + Dedication, true), L"TovrinSoft 2026" + LatinDedication);
    EXPECT_EQ(veskar::GetDisplayNotice(Maker + L" 2025-2026. " + Dedication, true),
              L"TovrinSoft 2025-2026" + LatinDedication);
    // The comparison ignores case, Cyrillic included.
    EXPECT_EQ(veskar::GetDisplayNotice(L"ТОВРИНСОФТ 2026. " + Dedication, true), L"TovrinSoft 2026" + LatinDedication);
}

TEST(GetDisplayNotice, LeavesEveryOtherTextAsStored)
{
    const std::wstring kept[] = {
        Maker + L" 202. " + Dedication,
        Maker + L" 20x6. " + Dedication,
        Maker + L" 2025-26. " + Dedication,
        L"ТовринЛабс 2026. " + Dedication,
        Maker + L" 2026. " + Dedication + L"!",
        Maker + L" 2026.",
        L"",
    };
    for (const std::wstring& text : kept)
        EXPECT_EQ(veskar::GetDisplayNotice(text, true), text) << testing_support::Narrow(text);
    EXPECT_EQ(veskar::GetDisplayNotice(Maker + L" 2026. " + Dedication, false), Maker + L" 2026. " + Dedication);
}

TEST(GetAboutHeader, TitleVersionAndNoticeFromTheVersionRecord)
{
    // The test program carries Veskar's version record.
    const tovrin::AppIdentity& app = veskar::App();
    EXPECT_EQ(app.LegalCopyright, Maker + L" 2025-2026. " + Dedication) << "the record's text survived the build";
    EXPECT_EQ(veskar::GetAboutHeader(app, false, true),
              L"Tovrin - Veskar 1.00.0010\r\nTovrinSoft 2025-2026" + LatinDedication);
    EXPECT_EQ(veskar::GetAboutHeader(app, true, false),
              L"Tovrin - Veskar, ver. 1.00.0010\r\n" + app.LegalCopyright);
}

TEST(Like, MatchesDigitRangesAndLiteralsOnTheWholeText)
{
    EXPECT_TRUE(veskar::Like(L"a1b", L"a[0-9]b"));
    EXPECT_TRUE(veskar::Like(L"A1B", L"a[0-9]b"));
    EXPECT_FALSE(veskar::Like(L"axb", L"a[0-9]b"));
    EXPECT_FALSE(veskar::Like(L"a1bc", L"a[0-9]b"));
    EXPECT_FALSE(veskar::Like(L"a1", L"a[0-9]b"));
}
