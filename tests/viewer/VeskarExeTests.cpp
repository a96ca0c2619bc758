// Veskar.exe as a user runs it: started on a sample, its list read from
// another process, closed with Esc.
#include "Png.h"
#include "TestFiles.h"

#include <tovrin/Unique.h>

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

struct Search {
    DWORD ProcessId;
    HWND Window;
};

HWND FindProcessWindow(DWORD processId)
{
    Search search = {processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            wchar_t className[64] = {};
            ::GetClassNameW(window, className, 64);
            if (owner == s->ProcessId && std::wstring(className) == L"VeskarMain") {
                s->Window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Window;
}

// Reads a list or status text from the other process through memory of its own.
class RemoteText {
public:
    explicit RemoteText(HANDLE process) : m_process(process)
    {
        m_memory = ::VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteText() { ::VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE); }

    std::wstring Item(HWND list, int row, int column)
    {
        auto base = static_cast<char*>(m_memory);
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(base + 1024);
        item.cchTextMax = 512;
        ::WriteProcessMemory(m_process, base, &item, sizeof(item), nullptr);
        ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(base));
        return Read(base + 1024);
    }

    std::wstring Status(HWND status)
    {
        auto base = static_cast<char*>(m_memory);
        ::SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(base + 1024));
        return Read(base + 1024);
    }

private:
    std::wstring Read(const char* at)
    {
        wchar_t text[512] = {};
        ::ReadProcessMemory(m_process, at, text, sizeof(text) - sizeof(wchar_t), nullptr);
        return text;
    }

    HANDLE m_process;
    void* m_memory;
};

} // namespace

TEST(VeskarExe, ListsTheSampleAndClosesOnEscape)
{
    std::wstring sample = SamplePath(L"sample.png");
    std::wstring command = L"\"" + ProgramFolder() + L"\\Veskar.exe\" \"" + sample + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    tovrin::KernelHandle processHandle(process.hProcess);
    tovrin::KernelHandle threadHandle(process.hThread);

    HWND window = nullptr;
    HWND list = nullptr;
    HWND status = nullptr;
    RemoteText remote(process.hProcess);
    for (int i = 0; i < 200 && !(status && remote.Status(status).rfind(L"Chunk(s) found", 0) == 0); ++i) {
        ::Sleep(50);
        window = window ? window : FindProcessWindow(process.dwProcessId);
        list = window ? ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
        status = window ? ::FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr) : nullptr;
    }
    ASSERT_NE(list, nullptr);

    std::vector<WalkedChunk> expected = IndependentWalk(ReadBytes(sample));
    EXPECT_EQ(remote.Status(status), L"Chunk(s) found: " + std::to_wstring(expected.size()));
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        wchar_t offset[16];
        swprintf(offset, 16, L"0x%08X", expected[i].Offset);
        EXPECT_EQ(Narrow(remote.Item(list, static_cast<int>(i), 0)), expected[i].Type);
        EXPECT_EQ(remote.Item(list, static_cast<int>(i), 1), offset);
    }
    wchar_t caption[256] = {};
    ::GetWindowTextW(window, caption, 256);
    EXPECT_STREQ(caption, L"sample.png - Veskar");

    ::PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(::WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0) << "Esc ends the program";
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}
