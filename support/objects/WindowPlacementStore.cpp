// The window-placement store: a window's placement and a list's column layout,
// kept per user in the registry under the program's own key.
#include <tovrin/Dpi.h>
#include <tovrin/ProductObjects.h>
#include <tovrin/Unique.h>

#include <commctrl.h>

namespace tovrin {

std::wstring SettingsKeyName(const AppIdentity& app, const std::wstring& section)
{
    std::wstring company = app.CompanyName.empty() ? L"Tovrin" : app.CompanyName;
    std::wstring key = L"Software\\" + company + L"\\" + (app.ExeName.empty() ? app.Title : app.ExeName);
    return section.empty() ? key : key + L"\\" + section;
}

namespace {

const wchar_t* const LayoutSection = L"Layout";

bool ReadValue(const AppIdentity& app, const std::wstring& section, const std::wstring& name, void* data, DWORD size)
{
    RegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyName(app, section).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD stored = size;
    return ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, static_cast<BYTE*>(data), &stored) ==
               ERROR_SUCCESS &&
           type == REG_BINARY && stored == size;
}

void WriteValue(const AppIdentity& app, const std::wstring& section, const std::wstring& name, const void* data,
                DWORD size)
{
    RegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyName(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key.get(), name.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

// The scale a value was stored at, kept beside it as "<name> DPI"; values
// stored before the scale was kept were stored at 96 (a program that did not
// declare itself aware of the scale saw 96 everywhere).
UINT StoredDpi(const AppIdentity& app, const std::wstring& section, const std::wstring& name)
{
    DWORD dpi = 0;
    RegKey key;
    DWORD size = sizeof(dpi), type = 0;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyName(app, section).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
            ERROR_SUCCESS ||
        ::RegQueryValueExW(key.get(), (name + L" DPI").c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&dpi), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || dpi == 0)
        return 96;
    return dpi;
}

void StoreDpi(const AppIdentity& app, const std::wstring& section, const std::wstring& name, UINT dpi)
{
    RegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyName(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    DWORD value = dpi;
    ::RegSetValueExW(key.get(), (name + L" DPI").c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof(value));
}

int ColumnCount(HWND list)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

// The layout as stored: the column count, each column's width, then the
// display order of the columns.
std::vector<int> ReadLayout(HWND list)
{
    int count = ColumnCount(list);
    std::vector<int> layout(1 + 2 * static_cast<size_t>(count));
    layout[0] = count;
    for (int i = 0; i < count; ++i)
        layout[1 + i] = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
    ::SendMessageW(list, LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(layout.data() + 1 + count));
    return layout;
}

class WindowPlacementStore final : public IWindowPlacementStore {
public:
    bool RestoreWindowPlacement(const std::wstring& section, const std::wstring& valueName, HWND window,
                                const AppIdentity& app, long, long, long, bool keepOnScreen) override
    {
        WINDOWPLACEMENT placement = {};
        if (!ReadValue(app, section, valueName, &placement, sizeof(placement)) ||
            placement.length != sizeof(placement))
            return false;
        if (keepOnScreen && !::MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONULL))
            return false;
        // The same size in logical units at the window's scale now.
        const UINT from = StoredDpi(app, section, valueName), to = WindowDpi(window);
        RECT& normal = placement.rcNormalPosition;
        normal.right = normal.left + ScaleLength(normal.right - normal.left, from, to);
        normal.bottom = normal.top + ScaleLength(normal.bottom - normal.top, from, to);
        // A window closed while minimised opens normally.
        if (placement.showCmd != SW_SHOWMAXIMIZED)
            placement.showCmd = ::IsWindowVisible(window) ? SW_SHOWNORMAL : SW_HIDE;
        placement.flags = 0;
        return ::SetWindowPlacement(window, &placement) != FALSE;
    }

    void SaveWindowPlacement(const std::wstring& section, const std::wstring& valueName, HWND window,
                             const AppIdentity& app, bool) override
    {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        if (::GetWindowPlacement(window, &placement)) {
            WriteValue(app, section, valueName, &placement, sizeof(placement));
            StoreDpi(app, section, valueName, WindowDpi(window));
        }
    }

    void RestoreListViewLayout(const std::wstring& controlName, HWND list, const AppIdentity& app,
                               bool checkColumns) override
    {
        std::vector<int> layout = ReadLayout(list);
        int count = layout[0];
        if (!ReadValue(app, LayoutSection, controlName, layout.data(), static_cast<DWORD>(layout.size() * sizeof(int))))
            return;
        // A layout stored for another set of columns is left alone.
        if (checkColumns && layout[0] != count)
            return;
        const UINT from = StoredDpi(app, LayoutSection, controlName), to = WindowDpi(list);
        for (int i = 0; i < count; ++i)
            ::SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(ScaleLength(layout[1 + i], from, to), 0));
        ::SendMessageW(list, LVM_SETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(layout.data() + 1 + count));
    }

    void SaveListViewLayout(const std::wstring& controlName, HWND list, const AppIdentity& app, bool) override
    {
        std::vector<int> layout = ReadLayout(list);
        WriteValue(app, LayoutSection, controlName, layout.data(), static_cast<DWORD>(layout.size() * sizeof(int)));
        StoreDpi(app, LayoutSection, controlName, WindowDpi(list));
    }
};

} // namespace

std::unique_ptr<IWindowPlacementStore> CreateWindowPlacementStore()
{
    return std::make_unique<WindowPlacementStore>();
}

} // namespace tovrin
