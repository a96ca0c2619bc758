// The second form's line splitting, on text alone: where the entries of a
// list begin and end, without a file or a collection in between.
#include "content/modStandardListFileSupport.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    std::wstring Text;
    bool IgnoreBlanks;
    bool TrimStrings;
    std::vector<std::wstring> Entries;
};

} // namespace

TEST(SplitStandardList, EntriesEndAtCrLfOnly)
{
    const SplitCase cases[] = {
        {L"", false, false, {}},
        {L"\r\n", false, false, {L"", L""}},
        {L"a\r\n", false, false, {L"a", L""}},
        {L"a\r\n", true, false, {L"a"}},
        {L"a\r\r\nb", false, false, {L"a\r", L"b"}},
        {L"a\r\r\nb", false, true, {L"a", L"b"}},
        {L"a\n\rb", false, false, {L"a\n\rb"}},
        {std::wstring(L"a\0b", 3), false, false, {std::wstring(L"a\0b", 3)}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(tovrin::SplitStandardList(c.Text.data(), c.Text.size(), L";", c.IgnoreBlanks, c.TrimStrings),
                  c.Entries)
            << "text of " << c.Text.size() << " characters";
}

TEST(SplitStandardList, CommentsCompareWithoutCaseOnTheKeptLine)
{
    const std::wstring text = L"rem one\r\n  REM two\r\nRemain\r\nkept";
    EXPECT_EQ(tovrin::SplitStandardList(text.data(), text.size(), L"Rem", true, false),
              (std::vector<std::wstring>{L"  REM two", L"kept"}));
    EXPECT_EQ(tovrin::SplitStandardList(text.data(), text.size(), L"Rem", true, true),
              (std::vector<std::wstring>{L"kept"}));
    EXPECT_EQ(tovrin::SplitStandardList(text.data(), text.size(), L"", true, true),
              (std::vector<std::wstring>{L"rem one", L"REM two", L"Remain", L"kept"}));
}
