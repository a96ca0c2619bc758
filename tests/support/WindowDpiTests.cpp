// tovrin::WindowDpi, the scale Veskar sizes its window by and stores with its
// placement, on each Windows Veskar declares itself per-monitor aware for.
// Wine 8 has both functions the scale comes from, so a Windows that lacks
// GetDpiForWindow (8.1, 10 before 1607) or both (7) is simulated: WindowDpi is
// handed the functions such a Windows has. The simulated functions keep to
// their documented contracts:
//
// GetDpiForWindow
// https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getdpiforwindow
// returns the window's scale, and 0 for a handle that is no window.
//
// GetDpiForMonitor
// https://learn.microsoft.com/en-us/windows/win32/api/shellscalingapi/nf-shellscalingapi-getdpiformonitor
// returns an HRESULT: S_OK once it has written the monitor's scale of the type
// asked for to both *dpiX and *dpiY (the two are identical), E_INVALIDARG when
// the handle, the type or a pointer is not valid. Only MDT_EFFECTIVE_DPI
// includes the scale the user chose for the monitor; MDT_ANGULAR_DPI and
// MDT_RAW_DPI measure the panel
// (https://learn.microsoft.com/en-us/windows/win32/api/shellscalingapi/ne-shellscalingapi-monitor_dpi_type).
#include <tovrin/Dpi.h>

#include <gtest/gtest.h>

namespace {

const UINT WindowScale = 120;  // what the simulated GetDpiForWindow says
const UINT MonitorScale = 144; // the user's 150% on the window's monitor
const UINT PanelDpi = 109;     // the monitor's panel as measured

HMONITOR g_askedMonitor = nullptr;

UINT WINAPI SimulatedGetDpiForWindow(HWND window)
{
    return ::IsWindow(window) ? WindowScale : 0;
}

HRESULT WINAPI SimulatedGetDpiForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE type, UINT* dpiX, UINT* dpiY)
{
    g_askedMonitor = monitor;
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !::GetMonitorInfoW(monitor, &info) || !dpiX || !dpiY)
        return E_INVALIDARG;
    switch (type) {
    case MDT_EFFECTIVE_DPI: *dpiX = *dpiY = MonitorScale; return S_OK;
    case MDT_ANGULAR_DPI:
    case MDT_RAW_DPI: *dpiX = *dpiY = PanelDpi; return S_OK;
    }
    return E_INVALIDARG;
}

// The monitor was unplugged after the window was found on it.
HRESULT WINAPI SimulatedGetDpiForMonitorGone(HMONITOR monitor, MONITOR_DPI_TYPE, UINT*, UINT*)
{
    g_askedMonitor = monitor;
    return E_INVALIDARG;
}

UINT ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

class WindowDpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Off every monitor: only the nearest one is a monitor to ask.
        m_window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, -20000, -20000, 200, 100, nullptr, nullptr, nullptr,
                                     nullptr);
        ASSERT_NE(m_window, nullptr);
        ASSERT_EQ(::MonitorFromWindow(m_window, MONITOR_DEFAULTTONULL), nullptr);
    }
    void TearDown() override
    {
        if (m_window)
            ::DestroyWindow(m_window);
    }

    HWND m_window = nullptr;
};

} // namespace

TEST_F(WindowDpi, OnSimulatedWindowsComesFromTheWindowElseItsMonitorElseTheScreen)
{
    const UINT screen = ScreenDpi();
    ASSERT_TRUE(screen != WindowScale && screen != MonitorScale && screen != PanelDpi)
        << screen << ": the screen's scale must differ from the simulated ones";
    const HMONITOR nearest = ::MonitorFromWindow(m_window, MONITOR_DEFAULTTONEAREST);
    ASSERT_NE(nearest, nullptr);

    struct Windows {
        const char* Name;
        tovrin::DpiFunctions Functions;
        UINT Dpi;
        HMONITOR Asked;
    };
    const Windows rows[] = {
        {"simulated Windows 10 1607 and later",
         {SimulatedGetDpiForWindow, SimulatedGetDpiForMonitor},
         WindowScale,
         nullptr},
        {"simulated Windows 8.1 and 10 before 1607: no GetDpiForWindow",
         {nullptr, SimulatedGetDpiForMonitor},
         MonitorScale,
         nearest},
        {"simulated Windows 8.1, the monitor gone", {nullptr, SimulatedGetDpiForMonitorGone}, screen, nearest},
        {"simulated Windows 7: neither", {nullptr, nullptr}, screen, nullptr},
    };
    for (const Windows& row : rows) {
        SCOPED_TRACE(row.Name);
        g_askedMonitor = nullptr;
        EXPECT_EQ(tovrin::WindowDpi(m_window, row.Functions), row.Dpi);
        EXPECT_EQ(g_askedMonitor, row.Asked) << "the monitor asked";
    }
}

// Wine 8, like Windows 10 1607 and later, has both; each is found and answers
// for this window as the other does.
TEST_F(WindowDpi, FindsBothFunctionsOfThisWindows)
{
    const tovrin::DpiFunctions& platform = tovrin::PlatformDpiFunctions();
    ASSERT_NE(platform.ForWindow, nullptr);
    ASSERT_NE(platform.ForMonitor, nullptr);
    UINT x = 0, y = 0;
    ASSERT_EQ(platform.ForMonitor(::MonitorFromWindow(m_window, MONITOR_DEFAULTTONEAREST), MDT_EFFECTIVE_DPI, &x, &y),
              S_OK);
    EXPECT_EQ(x, platform.ForWindow(m_window));
    EXPECT_EQ(y, x);
}
