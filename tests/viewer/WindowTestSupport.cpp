#include "WindowTestSupport.h"

#include <ole2.h>

namespace testing_support {

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
    void TearDown() override { ::OleUninitialize(); }
};

const auto* const Environment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

void Send(INPUT input)
{
    ::SendInput(1, &input, sizeof(input));
}

} // namespace

std::wstring ItemText(HWND list, int row, int column)
{
    wchar_t text[256] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::wstring StatusText(HWND status)
{
    wchar_t text[256] = {};
    ::SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring Caption(HWND window)
{
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

void PressKeys(std::initializer_list<WORD> keys)
{
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        Send(input);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        Send(input);
    }
}

void DoubleClickAt(POINT screen)
{
    ::SetCursorPos(screen.x, screen.y);
    for (int click = 0; click < 2; ++click) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        Send(input);
        input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        Send(input);
    }
}

POINT RowCentre(HWND list, int row)
{
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    ::SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    POINT centre = {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    ::ClientToScreen(list, &centre);
    return centre;
}

void MainWindow::SetUp()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
}

void MainWindow::TearDown()
{
    m_form.reset();
    Pump();
}

void MainWindow::Open(const std::wstring& path)
{
    veskar::PNGFileName = path;
    m_form = std::make_unique<veskar::frmMain>();
    ASSERT_TRUE(m_form->Create());
    ::ShowWindow(m_form->Handle(), SW_SHOWNORMAL);
    ::SetForegroundWindow(m_form->Handle());
    PumpUntil([&] { return StatusText(m_form->Status()).rfind(L"Chunk(s) found: ", 0) == 0; });
    ::SetFocus(m_form->List());
}

void MainWindow::Pump()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        if (m_form && m_form->Handle() && m_form->PreviewKey(message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void MainWindow::Settle(DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        Pump();
        ::Sleep(5);
    }
}

void MainWindow::SelectRow(int row)
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(m_form->List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

} // namespace testing_support
