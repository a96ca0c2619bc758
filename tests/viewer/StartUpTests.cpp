// Start-up: the command line decides between the usage box and the window.
#include "TovrinVersion.h"
#include "TestFiles.h"
#include "VeskarDoubles.h"

#include <modMain.h>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::wstring ExeName()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    return name.substr(0, name.rfind(L'.'));
}

class StartUp : public ::testing::Test {
protected:
    bool Parse(std::vector<std::wstring> arguments)
    {
        m_objects.CommandLine.Arguments = std::move(arguments);
        veskar::PNGFileName.clear();
        return veskar::ParseCommandLine();
    }

    void ExpectUsageShown()
    {
        ASSERT_EQ(m_objects.Messages.size(), 1u);
        const ShownMessage& box = m_objects.Messages[0];
        EXPECT_EQ(box.Text, L"Tovrin - Veskar " TOVRIN_VERSION_WIDE(TOVRIN_VERSION_TEXT) L"\r\n"
                            L"TovrinSoft 2025-2026. Dedicated to everyone who reads files byte by byte.\r\n\r\n"
                            L"Usage: " +
                                ExeName() + L"[.EXE] FileName");
        EXPECT_EQ(box.Style, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
        EXPECT_TRUE(box.Title.empty()) << "the box carries the application title";
        EXPECT_TRUE(veskar::PNGFileName.empty());
    }

    TestObjects m_objects;
};

} // namespace

TEST_F(StartUp, NoArgumentShowsUsage)
{
    EXPECT_FALSE(Parse({}));
    ExpectUsageShown();
}

TEST_F(StartUp, TwoArgumentsShowUsage)
{
    EXPECT_FALSE(Parse({L"my", L"photo.png"}));
    ExpectUsageShown();
}

TEST_F(StartUp, QuestionMarkShowsUsage)
{
    EXPECT_FALSE(Parse({L"/?"}));
    ExpectUsageShown();
}

TEST_F(StartUp, OtherSwitchesAreFileNames)
{
    // "/h" names the file h in the root of the current drive.
    struct Case {
        const wchar_t* argument;
        const wchar_t* ending;
    } cases[] = {{L"/h", L":\\h"}, {L"-?", L"\\-?"}, {L"/?x", L":\\?x"}, {L"/H", L":\\H"}};
    for (const Case& c : cases) {
        m_objects.Messages.clear();
        EXPECT_TRUE(Parse({c.argument}));
        EXPECT_TRUE(m_objects.Messages.empty());
        std::wstring ending = c.ending;
        ASSERT_GE(veskar::PNGFileName.size(), ending.size());
        EXPECT_EQ(veskar::PNGFileName.substr(veskar::PNGFileName.size() - ending.size()), ending);
    }
}

TEST_F(StartUp, RelativeAndBlankNamesBecomeFullPaths)
{
    TempFolder folder;
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ::SetCurrentDirectoryW(folder.Path().c_str());
    wchar_t here[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, here);
    bool accepted = Parse({L"my photo.png"});
    ::SetCurrentDirectoryW(saved);

    EXPECT_TRUE(accepted);
    EXPECT_EQ(veskar::PNGFileName, std::wstring(here) + L"\\my photo.png");
}

TEST_F(StartUp, MainEndsAfterTheUsageBox)
{
    m_objects.CommandLine.Arguments = {L"/?"};
    veskar::PNGFileName.clear();
    EXPECT_EQ(veskar::Main(SW_SHOWNORMAL), 0);
    ExpectUsageShown();
}
