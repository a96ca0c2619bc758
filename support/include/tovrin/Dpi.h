// The display scale a window is drawn at, in dots per inch (96 is 100%).
// A program that declares itself per-monitor aware, as Veskar does, has its
// windows drawn from Windows 8.1 on at the scale of the monitor they are on:
// Windows 10 1607 and later tell it per window, Windows 8.1 and the Windows 10
// before 1607 per monitor. Windows 7 has one scale for the whole screen.
#pragma once

#include <windows.h>
#include <shellscalingapi.h>

namespace tovrin {

// The functions that tell a window's scale, each null where this Windows
// lacks it: GetDpiForWindow (user32, Windows 10 1607) and GetDpiForMonitor
// (shcore, Windows 8.1).
struct DpiFunctions {
    UINT(WINAPI* ForWindow)(HWND) = nullptr;
    HRESULT(WINAPI* ForMonitor)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*) = nullptr;
};

// This Windows' functions, looked up once at run time rather than imported,
// so that a program using them still starts where they are missing.
// shcore.dll stays loaded for the life of the process.
inline const DpiFunctions& PlatformDpiFunctions()
{
    static const DpiFunctions functions = [] {
        DpiFunctions found;
        found.ForWindow = reinterpret_cast<decltype(found.ForWindow)>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
        if (HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
            found.ForMonitor = reinterpret_cast<decltype(found.ForMonitor)>(
                reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")));
        return found;
    }();
    return functions;
}

// The scale of the whole screen, which a new window starts at.
inline UINT SystemDpi()
{
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The window's own scale where Windows keeps one, else the scale of the
// monitor the window is on (or nearest to), else the screen's.
inline UINT WindowDpi(HWND window, const DpiFunctions& functions)
{
    if (functions.ForWindow)
        if (UINT dpi = functions.ForWindow(window))
            return dpi;
    if (functions.ForMonitor) {
        UINT dpiX = 0, dpiY = 0;
        if (SUCCEEDED(functions.ForMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), MDT_EFFECTIVE_DPI,
                                           &dpiX, &dpiY)))
            return dpiX;
    }
    return SystemDpi();
}

inline UINT WindowDpi(HWND window)
{
    return WindowDpi(window, PlatformDpiFunctions());
}

// A length measured at one scale, at another.
inline int ScaleLength(int length, UINT from, UINT to)
{
    return from == 0 ? length : ::MulDiv(length, static_cast<int>(to), static_cast<int>(from));
}

} // namespace tovrin
