// Veskar.exe at the display scales of today's machines (100%, 150%, 200%),
// each started in its own process after the scale is set the way Wine takes
// it (HKCU\Control Panel\Desktop\LogPixels); the window's client area and
// the list's columns are measured from outside. The user's stored scale and
// Veskar's stored placement are put back afterwards.
#include "TestFiles.h"
#include "VeskarWindow.h"

#include <tovrin/Unique.h>

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const wchar_t* const DesktopKey = L"Control Panel\\Desktop";
const wchar_t* const SettingsKey = L"Software\\Tovrin\\Veskar";

struct Seen {
    int ClientWidth = 0, ClientHeight = 0;
    int Columns[4] = {};
};

class Dpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        DWORD size = sizeof(m_logPixels);
        m_hadLogPixels = ::RegGetValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                                        &m_logPixels, &size) == ERROR_SUCCESS;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
    }
    void TearDown() override
    {
        if (m_hadLogPixels)
            SetScale(m_logPixels);
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
    }

    static void SetScale(DWORD dpi)
    {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi)),
                  ERROR_SUCCESS);
    }

    // Starts Veskar on the sample at the scale, measures it, lets the test
    // change it, and closes it with Esc (which stores its placement).
    template <typename Change>
    Seen Run(DWORD dpi, Change change)
    {
        SetScale(dpi);
        std::wstring command = L"\"" + ProgramFolder() + L"\\Veskar.exe\" \"" + SamplePath(L"sample.png") + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        Seen seen;
        if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            ADD_FAILURE() << "Veskar did not start";
            return seen;
        }
        tovrin::KernelHandle processHandle(process.hProcess);
        tovrin::KernelHandle threadHandle(process.hThread);
        HWND window = nullptr, list = nullptr;
        for (int i = 0; i < 200 && !(list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0); ++i) {
            ::Sleep(50);
            window = window ? window : FindVeskarWindow(process.dwProcessId);
            list = window ? ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
        }
        if (!list) {
            ADD_FAILURE() << "no list at " << dpi;
            ::TerminateProcess(process.hProcess, 1);
            return seen;
        }
        RECT client = {};
        ::GetClientRect(window, &client);
        seen.ClientWidth = client.right;
        seen.ClientHeight = client.bottom;
        for (int i = 0; i < 4; ++i)
            seen.Columns[i] = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
        change(window, list);
        ::PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(::WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0) << "Esc ends the program";
        return seen;
    }
    Seen Run(DWORD dpi)
    {
        return Run(dpi, [](HWND, HWND) {});
    }

    DWORD m_logPixels = 96;
    bool m_hadLogPixels = false;
};

// The design size (7170 x 4725 twips) and the columns' widths (1350, 1500,
// 1300 and 1500 twips) follow the scale; at 96 they are what they always were.
TEST_F(Dpi, TheFirstRunFollowsTheDisplayScale)
{
    const int widths[] = {1350, 1500, 1300, 1500};
    for (DWORD dpi : {96u, 144u, 192u}) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
        Seen seen = Run(dpi);
        EXPECT_EQ(seen.ClientWidth, 7170 * static_cast<int>(dpi) / 1440) << dpi;
        EXPECT_EQ(seen.ClientHeight, 4725 * static_cast<int>(dpi) / 1440) << dpi;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(seen.Columns[i], widths[i] * static_cast<int>(dpi) / 1440) << dpi << " column " << i;
    }
}

// A placement and column widths stored at 100% come back at the same
// logical size at 150%, and what was stored before the scale was kept
// beside them loads as stored at 100%.
TEST_F(Dpi, APlacementStoredAt96ComesBackAtTheSameLogicalSizeAt144)
{
    Run(96, [](HWND window, HWND list) {
        RECT frame = {}, client = {};
        ::GetWindowRect(window, &frame);
        ::GetClientRect(window, &client);
        ::SetWindowPos(window, nullptr, 0, 0, (frame.right - frame.left) - client.right + 600,
                       (frame.bottom - frame.top) - client.bottom + 400, SWP_NOMOVE | SWP_NOZORDER);
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(200, 0));
    });
    Seen at96 = Run(96);
    EXPECT_EQ(at96.Columns[0], 200);
    Seen at144 = Run(144);
    EXPECT_EQ(at144.Columns[0], 300);
    EXPECT_NEAR(at144.ClientWidth, at96.ClientWidth * 3 / 2, 6) << "the frame grows with the scale too";
    EXPECT_NEAR(at144.ClientHeight, at96.ClientHeight * 3 / 2, 12);

    // As today's Veskar left them: no scale stored beside the values.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKey, L"Window placement DPI");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (std::wstring(SettingsKey) + L"\\Layout").c_str(), L"lvChunks DPI");
    Run(96, [](HWND, HWND list) { ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(180, 0)); });
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (std::wstring(SettingsKey) + L"\\Layout").c_str(), L"lvChunks DPI");
    EXPECT_EQ(Run(144).Columns[0], 270) << "a width stored without its scale is taken as stored at 96";
}

} // namespace
