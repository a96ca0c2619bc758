// The real main window in the test's own process: opening it on a file as
// start-up does, running the program's own message handling, reading its
// list and status line back, and real keyboard and mouse input.
#pragma once

#include "Png.h"
#include "TestFiles.h"
#include "VeskarDoubles.h"

#include <frmMain.h>
#include <modMain.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace testing_support {

std::wstring ItemText(HWND list, int row, int column);
std::wstring StatusText(HWND status);
std::wstring Caption(HWND window);

// Presses the keys in order and releases them in reverse: {VK_CONTROL, VK_RETURN}.
void PressKeys(std::initializer_list<WORD> keys);
// Two clicks of the left button at a point of the screen.
void DoubleClickAt(POINT screen);
// The middle of a row, in screen coordinates.
POINT RowCentre(HWND list, int row);

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the window on the file as start-up does, and waits for the walk.
    void Open(const std::wstring& path);
    // Runs the program's own message handling until the condition holds.
    template <typename Condition>
    void PumpUntil(Condition condition, DWORD timeout = 10000)
    {
        DWORD start = ::GetTickCount();
        while (!condition() && ::GetTickCount() - start < timeout) {
            Pump();
            ::Sleep(1);
        }
        EXPECT_TRUE(condition()) << "timed out";
    }
    void Pump();
    // Lets the window handle what is queued, for a little while.
    void Settle(DWORD milliseconds = 150);
    void SelectRow(int row);

    TestObjects m_objects;
    TempFolder m_folder;
    std::unique_ptr<veskar::frmMain> m_form;
};

} // namespace testing_support
