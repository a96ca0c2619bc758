// A top-level window as a C++ object: the window procedure finds the object
// through the pointer stored at WM_NCCREATE and hands every message to
// Derived::HandleMessage. A handler that raises shows the run-time error and
// the window carries on.
//
// The derived class's destructor calls Destroy: the window's last messages
// (WM_DESTROY and on) must find the object whole, and by the time this base's
// destructor runs the derived members are gone.
#pragma once

#include "RunTimeError.h"
#include "VeskarObjects.h"

namespace veskar {

template <typename Derived>
class Window {
public:
    HWND Handle() const { return m_window; }

protected:
    Window() = default;
    ~Window()
    {
        // A window its derived destructor left behind loses its object before
        // it goes, so that no message reaches the half-destroyed one.
        if (m_window) {
            ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
            ::DestroyWindow(m_window);
        }
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    static bool Register(const wchar_t* className, HICON icon)
    {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        if (::GetClassInfoExW(::GetModuleHandleW(nullptr), className, &windowClass))
            return true;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className;
        windowClass.hIcon = icon;
        return ::RegisterClassExW(&windowClass) != 0;
    }

    bool CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, int width, int height)
    {
        return ::CreateWindowExW(0, className, caption, style, CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), static_cast<Derived*>(this)) != nullptr;
    }

    void Destroy()
    {
        if (m_window)
            ::DestroyWindow(m_window);
    }

    HWND m_window = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->m_window = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (!self)
            return ::DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->m_window = nullptr;
        }
        try {
            return self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            ShowUnhandledError(window);
            return 0;
        }
    }
};

} // namespace veskar
