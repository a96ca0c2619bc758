// The product family's own objects: command-line splitting, the settings
// store on a real window, and the program identity.
#include "TestFiles.h"

#include <tovrin/ProductObjects.h>
#include <tovrin/Unique.h>

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

tovrin::AppIdentity TestIdentity()
{
    tovrin::AppIdentity app;
    app.Title = L"Tovrin - Test";
    app.ExeName = L"PlacementTest" + std::to_wstring(::GetCurrentProcessId());
    app.CompanyName = L"Tovrin";
    return app;
}

HWND MakeWindowWithList(HWND* list)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, nullptr, nullptr,
                                    nullptr, nullptr);
    *list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 300, 200, window, nullptr, nullptr,
                              nullptr);
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 50;
        ::SendMessageW(*list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    return window;
}

} // namespace

TEST(SplitCommandLine, FollowsThePlatformRules)
{
    using Args = std::vector<std::wstring>;
    EXPECT_EQ(tovrin::SplitCommandLine(L""), Args{});
    EXPECT_EQ(tovrin::SplitCommandLine(L"   "), Args{});
    EXPECT_EQ(tovrin::SplitCommandLine(L"photo.png"), Args{L"photo.png"});
    EXPECT_EQ(tovrin::SplitCommandLine(L"\"my photo.png\""), Args{L"my photo.png"});
    EXPECT_EQ(tovrin::SplitCommandLine(L"my photo.png"), (Args{L"my", L"photo.png"}));
    EXPECT_EQ(tovrin::SplitCommandLine(L"a\t\"b c\"  d"), (Args{L"a", L"b c", L"d"}));
    EXPECT_EQ(tovrin::SplitCommandLine(L"\"C:\\dir\\\\\" x"), (Args{L"C:\\dir\\", L"x"}));
    EXPECT_EQ(tovrin::SplitCommandLine(L"say \\\"hi\\\""), (Args{L"say", L"\"hi\""}));
}

TEST(CommandLine, ParseArgumentsReplacesTheArguments)
{
    auto commandLine = tovrin::CreateCommandLine();
    commandLine->ParseArguments(L"one \"two three\"", true);
    EXPECT_EQ(commandLine->ArgumentCount(), 2);
    EXPECT_EQ(commandLine->Argument(1), L"two three");
    EXPECT_EQ(commandLine->Argument(2), L"");
    EXPECT_EQ(commandLine->Argument(-1), L"");
}

TEST(WindowPlacementStore, RestoresWhatWasSaved)
{
    tovrin::AppIdentity app = TestIdentity();
    auto store = tovrin::CreateWindowPlacementStore();
    HWND list = nullptr;
    HWND window = MakeWindowWithList(&list);
    EXPECT_FALSE(store->RestoreWindowPlacement(L"", L"Window placement", window, app, 0, 0, 0, true))
        << "nothing stored yet";

    ::MoveWindow(window, 120, 80, 333, 222, FALSE);
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, 77);
    store->SaveWindowPlacement(L"", L"Window placement", window, app, true);
    store->SaveListViewLayout(L"lvChunks", list, app, true);
    ::DestroyWindow(window);

    window = MakeWindowWithList(&list);
    EXPECT_TRUE(tovrin::CreateWindowPlacementStore()->RestoreWindowPlacement(L"", L"Window placement", window, app, 0,
                                                                             0, 0, true));
    tovrin::CreateWindowPlacementStore()->RestoreListViewLayout(L"lvChunks", list, app, true);
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, 120);
    EXPECT_EQ(bounds.top, 80);
    EXPECT_EQ(bounds.right - bounds.left, 333);
    EXPECT_EQ(bounds.bottom - bounds.top, 222);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 77);
    EXPECT_FALSE(::IsWindowVisible(window)) << "restoring does not show the window";
    ::DestroyWindow(window);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, tovrin::SettingsKeyName(app, L"").c_str());
}

TEST(WindowPlacementStore, IgnoresAPlacementOffEveryMonitor)
{
    tovrin::AppIdentity app = TestIdentity();
    app.ExeName += L"Off";
    HWND list = nullptr;
    HWND window = MakeWindowWithList(&list);
    ::MoveWindow(window, 30000, 30000, 300, 200, FALSE);
    tovrin::CreateWindowPlacementStore()->SaveWindowPlacement(L"", L"Window placement", window, app, true);
    EXPECT_FALSE(tovrin::CreateWindowPlacementStore()->RestoreWindowPlacement(L"", L"Window placement", window, app,
                                                                              0, 0, 0, true));
    ::DestroyWindow(window);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, tovrin::SettingsKeyName(app, L"").c_str());
}

TEST(WindowPlacementStore, KeepsEachProgramApart)
{
    tovrin::AppIdentity app = TestIdentity();
    tovrin::AppIdentity other = app;
    other.ExeName += L"Other";
    EXPECT_NE(tovrin::SettingsKeyName(app, L""), tovrin::SettingsKeyName(other, L""));
    EXPECT_EQ(tovrin::SettingsKeyName(app, L"Layout"), tovrin::SettingsKeyName(app, L"") + L"\\Layout");
}
