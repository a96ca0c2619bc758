// Extended list-view styles that the control's creation styles do not offer,
// switched one bit at a time.
#pragma once

#include <windows.h>

namespace veskar {

void SetExtendedStyle(HWND list, DWORD mask, bool enabled);
void SetFullRowSelect(HWND list, bool enabled);
void SetGridLines(HWND list, bool enabled);
void SetLabelTip(HWND list, bool enabled);

} // namespace veskar
