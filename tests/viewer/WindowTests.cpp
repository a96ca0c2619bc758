// The window base on its own: once a derived object's destructor has run, no
// message reaches the object, even when it left its window to the base.
#include <Window.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Logs every message it is handed, and the end of its destructor, to a log
// that outlives it. Its destructor does not destroy the window.
class LoggingWindow final : public veskar::Window<LoggingWindow> {
public:
    static constexpr UINT DestructorEnded = WM_APP;

    explicit LoggingWindow(std::vector<UINT>& log) : m_log(log) {}
    ~LoggingWindow() { m_log.push_back(DestructorEnded); }

    bool Create()
    {
        const wchar_t* className = L"TovrinLoggingWindow";
        return Register(className, nullptr) && CreateTopLevel(className, L"", WS_OVERLAPPEDWINDOW, 100, 100);
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        m_log.push_back(message);
        return ::DefWindowProcW(m_window, message, wParam, lParam);
    }

private:
    std::vector<UINT>& m_log;
};

} // namespace

TEST(Window, NoMessageReachesTheObjectAfterItsDestructor)
{
    std::vector<UINT> log;
    HWND window = nullptr;
    {
        LoggingWindow form(log);
        ASSERT_TRUE(form.Create());
        window = form.Handle();
    }
    EXPECT_FALSE(::IsWindow(window));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), LoggingWindow::DestructorEnded) << "last message: 0x" << std::hex << log.back();
}
