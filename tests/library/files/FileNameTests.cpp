// The names the library hands the shell's functions, which know only plain
// paths: a "\\?\" name in its plain form where that names the same file,
// and nothing where no plain form does.
#include "files/FileAccess.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellFileName, PlainFormOnlyWhereItNamesTheSameFile)
{
    const std::wstring longFolder = L"C:\\" + std::wstring(260, L'd'), folder = L"C:\\" + std::wstring(200, L'd');
    const struct {
        std::wstring given;
        std::optional<std::wstring> expected;
    } cases[] = {
        {L"C:\\docs\\page.htm", L"C:\\docs\\page.htm"},
        {L"\\\\?\\C:\\docs\\page.htm", L"C:\\docs\\page.htm"},
        {L"\\\\?\\c:\\", L"c:\\"},
        {L"\\\\?\\UNC\\server\\share\\a.txt", L"\\\\server\\share\\a.txt"},
        {L"\\\\?\\C:\\docs\\", L"C:\\docs\\"},
        {L"\\\\?\\C:\\docs\\page.htm.", std::nullopt},
        {L"\\\\?\\C:\\docs \\page.htm", std::nullopt},
        {L"\\\\?\\C:\\docs\\..\\page.htm", std::nullopt},
        {L"\\\\?\\C:\\docs\\.\\page.htm", std::nullopt},
        {L"\\\\?\\C:\\docs\\\\page.htm", std::nullopt},
        {L"\\\\?\\C:\\docs/page.htm", std::nullopt},
        {L"\\\\?\\C:\\docs\\*.htm", std::nullopt},
        {L"C:\\docs\\*.htm", std::nullopt},
        {L"C:\\docs\\page?.htm", std::nullopt},
        {L"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\page.htm", std::nullopt},
        {L"\\\\?\\UNC\\server", std::nullopt},
        {L"\\\\?\\" + longFolder + L"\\a.txt", std::nullopt},
        {L"\\\\?\\" + folder + L"\\a.txt", folder + L"\\a.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tovrin::ShellFileName(c.given), c.expected) << testing::PrintToString(c.given);
}

} // namespace
