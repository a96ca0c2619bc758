// The real main window under Xvfb: its list, status line, caption and keys,
// with the modal objects replaced by doubles.
#include "WindowTestSupport.h"

#include <modListViewSupport.h>

using namespace testing_support;


TEST_F(MainWindow, ListsEveryChunkOfRealFilesAsAnIndependentWalk)
{
    for (const wchar_t* name : {L"sample.png", L"palette.png"}) {
        SCOPED_TRACE(Narrow(name));
        Open(SamplePath(name));
        std::vector<WalkedChunk> expected = IndependentWalk(ReadBytes(SamplePath(name)));
        HWND list = m_form->List();
        ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            wchar_t offset[16], crc[16];
            swprintf(offset, 16, L"0x%08X", expected[i].Offset);
            swprintf(crc, 16, L"0x%08X", expected[i].Crc);
            int row = static_cast<int>(i);
            EXPECT_EQ(Narrow(ItemText(list, row, 0)), expected[i].Type);
            EXPECT_EQ(ItemText(list, row, 1), offset);
            EXPECT_EQ(ItemText(list, row, 3), crc);
        }
        EXPECT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0)
            << "the first row is selected";
        EXPECT_EQ(StatusText(m_form->Status()), L"Chunk(s) found: " + std::to_wstring(expected.size()));
        EXPECT_EQ(Caption(m_form->Handle()), std::wstring(name) + L" - Veskar");
        m_form.reset();
    }
}

// A chunk type with a NUL byte: the list shows the type up to the NUL, as a
// list view shows any text, and every other column stays in its place.
TEST_F(MainWindow, AChunkTypeWithANulKeepsTheOtherColumnsInPlace)
{
    const std::string minimal = MinimalPng();
    const std::string file = minimal.substr(0, minimal.size() - 12) + Chunk(std::string("a\0cD", 4), "xyz") +
                             minimal.substr(minimal.size() - 12); // before IEND
    WriteBytes(m_folder / L"odd-type.png", file);
    Open(m_folder / L"odd-type.png");
    std::vector<WalkedChunk> expected = IndependentWalk(file);
    HWND list = m_form->List();
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
    const int row = static_cast<int>(expected.size()) - 2;
    wchar_t offset[16], crc[16];
    swprintf(offset, 16, L"0x%08X", expected[static_cast<size_t>(row)].Offset);
    swprintf(crc, 16, L"0x%08X", expected[static_cast<size_t>(row)].Crc);
    EXPECT_EQ(ItemText(list, row, 0), L"a");
    EXPECT_EQ(ItemText(list, row, 1), offset);
    EXPECT_EQ(ItemText(list, row, 2), L"3 bytes");
    EXPECT_EQ(ItemText(list, row, 3), crc);
}

// Moved to a monitor of twice the scale, the window takes the rectangle
// Windows suggests and its columns and font follow.
TEST_F(MainWindow, AChangeOfScaleRescalesColumnsAndFont)
{
    WriteBytes(m_folder / L"one.png", MinimalPng());
    Open(m_folder / L"one.png");
    HWND list = m_form->List();
    const int before = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    LOGFONTW font = {};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(font), &font);
    HDC screen = ::GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSX));
    ::ReleaseDC(nullptr, screen);
    RECT suggested = {10, 20, 1010, 720};
    ::SendMessageW(m_form->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi * 2, dpi * 2),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT window = {};
    ::GetWindowRect(m_form->Handle(), &window);
    EXPECT_EQ(window.left, 10);
    EXPECT_EQ(window.right - window.left, 1000);
    EXPECT_EQ(window.bottom - window.top, 700);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), before * 2);
    LOGFONTW scaled = {};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(scaled), &scaled);
    EXPECT_EQ(scaled.lfHeight, -::MulDiv(9, static_cast<int>(dpi * 2), 72));
    EXPECT_EQ(font.lfHeight, -::MulDiv(9, static_cast<int>(dpi), 72));
}

TEST_F(MainWindow, ListHasItsColumnsAndStyles)
{
    WriteBytes(m_folder / L"one.png", MinimalPng());
    Open(m_folder / L"one.png");
    HWND list = m_form->List();
    LONG_PTR style = ::GetWindowLongPtrW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_FALSE(style & LVS_EDITLABELS);
    DWORD extended = static_cast<DWORD>(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(extended & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP),
              static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP));

    HDC screen = ::GetDC(nullptr);
    int twipsPerPixel = 1440 / ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    const wchar_t* headers[] = {L"Chunk name", L"Chunk offset", L"Data size", L"CRC32"};
    const int widths[] = {1350, 1500, 1300, 1500};
    for (int i = 0; i < 4; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(::SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, headers[i]);
        EXPECT_EQ(column.cx, widths[i] / twipsPerPixel);
    }
}

TEST_F(MainWindow, FirstRunOpensCentredAtDesignSize)
{
    WriteBytes(m_folder / L"one.png", MinimalPng());
    Open(m_folder / L"one.png");
    HDC screen = ::GetDC(nullptr);
    int twipsPerPixel = 1440 / ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    RECT client = {};
    ::GetClientRect(m_form->Handle(), &client);
    EXPECT_EQ(client.right, 7170 / twipsPerPixel);
    EXPECT_EQ(client.bottom, 4725 / twipsPerPixel);

    RECT bounds = {};
    ::GetWindowRect(m_form->Handle(), &bounds);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(m_form->Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_NEAR((bounds.left + bounds.right) / 2, (monitor.rcWork.left + monitor.rcWork.right) / 2, 1);
    EXPECT_NEAR((bounds.top + bounds.bottom) / 2, (monitor.rcWork.top + monitor.rcWork.bottom) / 2, 1);

    // The list fills the client area above the status bar.
    RECT list = {};
    RECT status = {};
    ::GetWindowRect(m_form->List(), &list);
    ::GetWindowRect(m_form->Status(), &status);
    EXPECT_EQ(list.bottom, status.top);
    EXPECT_EQ(list.right - list.left, client.right);
}

TEST_F(MainWindow, FailedParseStillShowsTheRowCount)
{
    std::string file = MinimalPng();
    WriteBytes(m_folder / L"cut.png", file.substr(0, file.size() - 5));
    Open(m_folder / L"cut.png");
    EXPECT_EQ(StatusText(m_form->Status()), L"Chunk(s) found: 2");
    ASSERT_EQ(m_objects.Errors.size(), 1u);
    EXPECT_EQ(m_objects.Errors[0].Error.Number, 62);
}

TEST_F(MainWindow, MissingFileShowsNoRows)
{
    Open(m_folder / L"missing.png");
    EXPECT_EQ(StatusText(m_form->Status()), L"Chunk(s) found: 0");
    ASSERT_EQ(m_objects.Errors.size(), 1u);
    EXPECT_EQ(m_objects.Errors[0].Error.Number, 53);
    EXPECT_EQ(Caption(m_form->Handle()), L"missing.png - Veskar");
}

TEST_F(MainWindow, EscapeClosesAndStoresThePlacement)
{
    WriteBytes(m_folder / L"one.png", MinimalPng());
    Open(m_folder / L"one.png");
    HWND window = m_form->Handle();
    PressKeys({VK_ESCAPE});
    PumpUntil([&] { return !::IsWindow(window); });
    EXPECT_EQ(m_objects.Settings.Saves, 1);
    EXPECT_EQ(m_objects.Settings.Layouts.count(L"lvChunks"), 1u);
}

TEST_F(MainWindow, DestroyingTheObjectStoresThePlacementAndColumnWidths)
{
    WriteBytes(m_folder / L"one.png", MinimalPng());
    Open(m_folder / L"one.png");
    HWND window = m_form->Handle();
    ::MoveWindow(window, 40, 30, 600, 400, TRUE);
    ::SendMessageW(m_form->List(), LVM_SETCOLUMNWIDTH, 2, 123);
    m_form.reset();

    EXPECT_FALSE(::IsWindow(window));
    ASSERT_EQ(m_objects.Settings.Saves, 1);
    const RECT& stored = m_objects.Settings.Placements[L"|Window placement"].rcNormalPosition;
    EXPECT_EQ(stored.left, 40);
    EXPECT_EQ(stored.top, 30);
    EXPECT_EQ(stored.right, 640);
    EXPECT_EQ(stored.bottom, 430);
    ASSERT_EQ(m_objects.Settings.Layouts[L"lvChunks"].size(), 4u);
    EXPECT_EQ(m_objects.Settings.Layouts[L"lvChunks"][2], 123);
}

TEST_F(MainWindow, ShiftF1ShowsTheAboutBox)
{
    WriteBytes(m_folder / L"one.png", MinimalPng());
    Open(m_folder / L"one.png");
    PressKeys({VK_SHIFT, VK_F1});
    Settle();
    EXPECT_EQ(m_objects.AboutBoxes, 1);
    EXPECT_EQ(m_objects.ReadMesOpened, 0);
    PressKeys({VK_F1});
    Settle();
    EXPECT_EQ(m_objects.ReadMesOpened, 1);
    EXPECT_TRUE(::IsWindow(m_form->Handle()));
}

TEST_F(MainWindow, ExtendedStylesChangeOnlyTheirOwnBit)
{
    HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    auto styles = [&] { return static_cast<DWORD>(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)); };
    DWORD before = styles();
    veskar::SetGridLines(list, true);
    veskar::SetLabelTip(list, true);
    EXPECT_EQ(styles(), before | LVS_EX_GRIDLINES | LVS_EX_LABELTIP);
    veskar::SetFullRowSelect(list, true);
    veskar::SetGridLines(list, false);
    EXPECT_EQ(styles(), (before | LVS_EX_LABELTIP | LVS_EX_FULLROWSELECT) & ~static_cast<DWORD>(LVS_EX_GRIDLINES));
    ::DestroyWindow(list);
}

TEST_F(MainWindow, TahomaInTheCyrillicCharacterSetAndTheProgramsIcon)
{
    WriteBytes(m_folder / L"one.png", MinimalPng());
    Open(m_folder / L"one.png");
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_form->List(), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW description = {};
    ASSERT_TRUE(::GetObjectW(font, sizeof(description), &description));
    EXPECT_STREQ(description.lfFaceName, L"Tahoma");
    EXPECT_EQ(description.lfCharSet, RUSSIAN_CHARSET);
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(description.lfHeight, -::MulDiv(9, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
    ::ReleaseDC(nullptr, screen);
    EXPECT_NE(::SendMessageW(m_form->Handle(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageW(m_form->Handle(), WM_GETICON, ICON_SMALL, 0), 0);
}
