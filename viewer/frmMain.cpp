#include "frmMain.h"

#include "Support.h"
#include "modExport.h"
#include "modListViewSupport.h"
#include "modMain.h"

#include <tovrin/Dpi.h>

#include <commctrl.h>


namespace veskar {

namespace {

const wchar_t* const ClassName = L"VeskarMain";
const wchar_t* const DesignCaption = L"Veskar";
const UINT_PTR InitTimer = 1;
const int ListId = 100;
const int StatusId = 101;
const wchar_t* const AboutDedication = L"everyone who reads files byte by byte";

// Design sizes, in twips.
const int DesignClientWidth = 7170;
const int DesignClientHeight = 4725;

struct Column {
    const wchar_t* Header;
    int Width; // twips
};
const Column Columns[] = {
    {L"Chunk name", 1350},
    {L"Chunk offset", 1500},
    {L"Data size", 1300},
    {L"CRC32", 1500},
};

// Twips at a display scale, in whole pixels (the fraction dropped, as the
// conversion through the screen's twips per pixel does at 96).
int TwipsToPixels(int twips, UINT dpi)
{
    return twips * static_cast<int>(dpi) / 1440;
}

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

bool KeyDown(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}

} // namespace

bool frmMain::Create()
{
    if (!Register(ClassName, nullptr))
        RaiseLastError();
    // A new window opens at the screen's scale; on a monitor of another
    // scale it is rescaled as soon as it is there.
    m_dpi = tovrin::SystemDpi();
    RECT bounds = {0, 0, TwipsToPixels(DesignClientWidth, m_dpi), TwipsToPixels(DesignClientHeight, m_dpi)};
    ::AdjustWindowRectEx(&bounds, WS_OVERLAPPEDWINDOW, FALSE, 0);
    if (!CreateTopLevel(ClassName, DesignCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, bounds.right - bounds.left,
                        bounds.bottom - bounds.top))
        RaiseLastError();
    if (UINT dpi = tovrin::WindowDpi(m_window); dpi != m_dpi) {
        RECT window = {};
        ::GetWindowRect(m_window, &window);
        ::SetWindowPos(m_window, nullptr, 0, 0, tovrin::ScaleLength(window.right - window.left, m_dpi, dpi),
                       tovrin::ScaleLength(window.bottom - window.top, m_dpi, dpi),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Rescale(dpi);
    }
    OnLoad();
    return true;
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_SIZE:
        OnSize();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SETCURSOR:
        if (m_busy) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_SETFOCUS:
        ::SetFocus(m_list);
        return 0;
    case WM_DESTROY:
        OnUnload();
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

void frmMain::OnCreate()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_list = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                                   LVS_OWNERDATA,
                               0, 0, 0, 0, m_window, reinterpret_cast<HMENU>(ListId), instance, nullptr);
    m_status = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                 m_window, reinterpret_cast<HMENU>(StatusId), instance, nullptr);
    if (!m_list || !m_status)
        RaiseLastError();

    SetFont(false);

    // Loading waits for the first tick after the window has been painted.
    ::SetTimer(m_window, InitTimer, 1, nullptr);
}

void frmMain::OnLoad()
{
    if (!support::Bool(support::Value<VARIANT_BOOL>(esIsInIDE)))
        support::Check(asSetWindowResIconAll(m_window, support::In(L"A_MAIN").get()));
    support::Check(esFixUserControlsContainerWindow());
    InitListView();

    auto store = Objects().NewWindowPlacementStore();
    if (!store->RestoreWindowPlacement(L"", L"Window placement", m_window, App(), 0, 0, 0, true))
        support::Check(esCenterFormEx(m_window, 0));
    store->RestoreListViewLayout(L"lvChunks", m_list, App(), true);
}

void frmMain::InitListView()
{
    SetFullRowSelect(m_list, true);
    SetGridLines(m_list, true);
    SetLabelTip(m_list, true);

    int index = 0;
    for (const Column& column : Columns) {
        LVCOLUMNW header = {};
        header.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        header.fmt = LVCFMT_LEFT;
        header.pszText = const_cast<wchar_t*>(column.Header);
        header.cx = TwipsToPixels(column.Width, m_dpi);
        header.iSubItem = index;
        ::SendMessageW(m_list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&header));
        ++index;
    }
}

void frmMain::OnTimer(UINT_PTR timer)
{
    if (timer != InitTimer)
        return;
    ::KillTimer(m_window, InitTimer);
    LoadPNGFile();
}

void frmMain::LoadPNGFile()
{
    SetBusy(true);
    SetStatus(L"Reading PNG file...");
    ShowFileAndParse();
    ShowRowCount();
    SetBusy(false);
}

void frmMain::ShowFileAndParse()
{
    wchar_t caption[256] = {};
    ::GetWindowTextW(m_window, caption, ARRAYSIZE(caption));
    std::wstring title = support::String(esGetFileName, support::In(PNGFileName).get(), VARIANT_FALSE) + L" - " +
                         caption;
    ::SetWindowTextW(m_window, title.c_str());

    // The walk pumps no messages, so the list could not show rows as they
    // come anyway; drawing them only at the end keeps large files quick.
    ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    ParsePNGFile(PNGFileName, *this, m_chunks);
    ::SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
}

void frmMain::SetStatus(const std::wstring& text)
{
    ::SendMessageW(m_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ::UpdateWindow(m_status);
}

void frmMain::ShowRowCount()
{
    SetStatus(L"Chunk(s) found: " + support::String(asFormatLong, static_cast<LONG>(RowCount())));
}

void frmMain::SetBusy(bool busy)
{
    m_busy = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void frmMain::OnSize()
{
    if (!m_list || !m_status || ::IsIconic(m_window))
        return;
    ::SendMessageW(m_status, WM_SIZE, 0, 0);
    RECT client = {};
    RECT status = {};
    ::GetClientRect(m_window, &client);
    ::GetWindowRect(m_status, &status);
    int height = client.bottom - (status.bottom - status.top);
    ::MoveWindow(m_list, 0, 0, client.right, height > 0 ? height : 0, TRUE);
}

// Tahoma 9 points at the window's scale.
void frmMain::SetFont(bool redraw)
{
    tovrin::GdiObject font(::CreateFontW(-::MulDiv(9, static_cast<int>(m_dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                         FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
    for (HWND control : {m_window, m_list, m_status})
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), redraw);
    m_font = std::move(font); // the controls no longer use the old one
}

// The window moved to a monitor of another scale: it takes the rectangle
// Windows suggests, and its fonts and columns follow.
void frmMain::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    ::SetWindowPos(m_window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Rescale(dpi);
}

void frmMain::Rescale(UINT dpi)
{
    const UINT from = m_dpi;
    m_dpi = dpi;
    SetFont(true);
    HWND header = reinterpret_cast<HWND>(::SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < columns; ++i) {
        const int width = static_cast<int>(::SendMessageW(m_list, LVM_GETCOLUMNWIDTH, i, 0));
        ::SendMessageW(m_list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(tovrin::ScaleLength(width, from, dpi), 0));
    }
    OnSize();
}

void frmMain::OnUnload()
{
    auto store = Objects().NewWindowPlacementStore();
    store->SaveWindowPlacement(L"", L"Window placement", m_window, App(), true);
    store->SaveListViewLayout(L"lvChunks", m_list, App(), true);
}

bool frmMain::PreviewKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    if (message.hwnd != m_window && !::IsChild(m_window, message.hwnd))
        return false;
    try {
        UINT key = static_cast<UINT>(message.wParam);
        return OnKeyDown(key) || (message.hwnd == m_list && OnListKeyDown(key));
    } catch (...) {
        ShowUnhandledError(m_window);
        return true;
    }
}

bool frmMain::OnKeyDown(UINT key)
{
    bool shift = KeyDown(VK_SHIFT);
    bool plain = !shift && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU);
    bool shiftOnly = shift && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU);
    if (key == VK_F1 && shiftOnly) {
        Objects().AppServices().ShowAbout(m_window, App(), L"", nullptr, AboutDedication);
        return true;
    }
    if (key == VK_F1 && plain) {
        Objects().OpenReadMe();
        return true;
    }
    if (key == VK_ESCAPE && plain) {
        ::DestroyWindow(m_window);
        return true;
    }
    return false;
}

bool frmMain::OnListKeyDown(UINT key)
{
    if (key != VK_RETURN || KeyDown(VK_SHIFT) || KeyDown(VK_CONTROL) || KeyDown(VK_MENU))
        return false;
    SaveItemChunk(static_cast<int>(::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    return true;
}

LRESULT frmMain::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != m_list)
        return 0;
    if (header.code == NM_DBLCLK)
        OnListDoubleClick();
    else if (header.code == LVN_GETDISPINFOW)
        OnGetDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
    return 0;
}

void frmMain::OnGetDisplayInfo(NMLVDISPINFOW& request)
{
    LVITEMW& item = request.item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_rows.size() ||
        item.iSubItem < 0 || item.iSubItem > 3 || !item.pszText || item.cchTextMax <= 0)
        return;
    // The list view shows a cell up to its first NUL, as it shows any text.
    const std::wstring cell = m_rows[static_cast<size_t>(item.iItem)].Field(static_cast<size_t>(item.iSubItem));
    lstrcpynW(item.pszText, cell.c_str(), item.cchTextMax);
}

void frmMain::OnListDoubleClick()
{
    // The row under the mouse, not the selected one: a double-click below the
    // last row saves nothing.
    LVHITTESTINFO hit = {};
    ::GetCursorPos(&hit.pt);
    ::ScreenToClient(m_list, &hit.pt);
    int row = static_cast<int>(::SendMessageW(m_list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    SaveItemChunk((hit.flags & LVHT_ONITEM) ? row : -1);
}

void frmMain::SaveItemChunk(int row)
{
    if (row < 0)
        return;
    SetBusy(true);
    SetStatus(L"Saving PNG chunk...");
    const CChunk* chunk = nullptr;
    if (static_cast<size_t>(row) < m_rows.size()) {
        chunk = m_chunks.Item(m_rows[static_cast<size_t>(row)].Field(4));
    }
    if (chunk)
        SaveChunk(*chunk);
    ShowRowCount();
    SetBusy(false);
}

void frmMain::Clear()
{
    m_rows.clear();
    ::SendMessageW(m_list, LVM_SETITEMCOUNT, 0, 0);
}

void frmMain::AddRow(const std::wstring& text, const std::wstring& offset, const std::wstring& size,
                     const std::wstring& crc, const std::wstring& key)
{
    Row row;
    size_t field = 0;
    for (const std::wstring* part : {&text, &offset, &size, &crc, &key}) {
        row.Texts += *part;
        row.Ends[field++] = row.Texts.size();
    }
    m_rows.push_back(std::move(row));
    ::SendMessageW(m_list, LVM_SETITEMCOUNT, m_rows.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    // A long walk pumps no input, but it lets the system see that the
    // window is alive, so that it is not taken for hung and ghosted.
    if (m_rows.size() % 4096 == 0) {
        MSG pending;
        ::PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

int frmMain::RowCount() const
{
    return static_cast<int>(m_rows.size());
}

void frmMain::SelectFirstRow()
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    ::SendMessageW(m_list, LVM_ENSUREVISIBLE, 0, FALSE);
}

int RunMessageLoop(frmMain& form)
{
    MSG message = {};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.PreviewKey(message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace veskar
