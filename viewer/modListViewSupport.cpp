#include "modListViewSupport.h"

#include <commctrl.h>

namespace veskar {

void SetExtendedStyle(HWND list, DWORD mask, bool enabled)
{
    // wParam names the bits to change, lParam their new values.
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, enabled ? mask : 0);
}

void SetFullRowSelect(HWND list, bool enabled)
{
    SetExtendedStyle(list, LVS_EX_FULLROWSELECT, enabled);
}

void SetGridLines(HWND list, bool enabled)
{
    SetExtendedStyle(list, LVS_EX_GRIDLINES, enabled);
}

void SetLabelTip(HWND list, bool enabled)
{
    SetExtendedStyle(list, LVS_EX_LABELTIP, enabled);
}

} // namespace veskar
