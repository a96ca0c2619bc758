// The display scale a window is drawn at, in dots per inch (96 is 100%):
// per window where Windows says so (Windows 10 1607 and later, for a
// program that declares itself per-monitor aware), for the whole screen
// elsewhere.
#pragma once

#include <windows.h>

namespace tovrin {

inline UINT WindowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (window && getDpiForWindow)
        if (UINT dpi = getDpiForWindow(window))
            return dpi;
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The scale of the whole screen, which a new window starts at.
inline UINT SystemDpi()
{
    return WindowDpi(nullptr);
}

// A length measured at one scale, at another.
inline int ScaleLength(int length, UINT from, UINT to)
{
    return from == 0 ? length : ::MulDiv(length, static_cast<int>(to), static_cast<int>(from));
}

} // namespace tovrin
