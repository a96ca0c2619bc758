// Finds Veskar's main window in another process, for the programs that
// start Veskar.exe and drive it from outside (tests and benchmarks).
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

inline HWND FindVeskarWindow(DWORD processId)
{
    struct Search {
        DWORD ProcessId;
        HWND Window;
    } search = {processId, nullptr};
    struct Visit {
        static BOOL CALLBACK Window(HWND window, LPARAM data)
        {
            auto s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            wchar_t name[32] = {};
            ::GetClassNameW(window, name, 32);
            if (owner == s->ProcessId && std::wstring(name) == L"VeskarMain") {
                s->Window = window;
                return FALSE;
            }
            return TRUE;
        }
    };
    ::EnumWindows(Visit::Window, reinterpret_cast<LPARAM>(&search));
    return search.Window;
}

} // namespace testing_support
