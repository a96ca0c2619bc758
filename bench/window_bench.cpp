// Veskar on a PNG of 100,000 chunks: the time from start until the status
// line says "Chunk(s) found: ", whether the window answers afterwards, and
// the process's peak memory. Runs Veskar.exe beside this program.
#include "VeskarWindow.h"

#include <tovrin/Unique.h>

#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

std::string BigEndian(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

void MakePng(const std::wstring& path, int chunks)
{
    std::string bytes = "\x89PNG\r\n\x1a\n";
    for (int i = 0; i < chunks; ++i)
        bytes += BigEndian(4) + "tEXt" + "data" + BigEndian(0x12345678u);
    tovrin::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring StatusOf(HANDLE process, HWND status, void* remote)
{
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 200,
                               &ignored))
        return L"(busy)";
    wchar_t text[256] = {};
    ::ReadProcessMemory(process, remote, text, sizeof(text) - sizeof(wchar_t), nullptr);
    return text;
}

} // namespace

int wmain()
{
    const int chunks = 100000;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring png = std::wstring(temp) + L"tovrin-window-bench.png";
    MakePng(png, chunks);

    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder = folder.substr(0, folder.find_last_of(L'\\'));
    std::wstring command = L"\"" + folder + L"\\Veskar.exe\" \"" + png + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    auto start = std::chrono::steady_clock::now();
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    tovrin::KernelHandle processHandle(process.hProcess);
    tovrin::KernelHandle threadHandle(process.hThread);
    void* remote = nullptr;

    HWND window = nullptr, status = nullptr, list = nullptr;
    std::wstring text;
    for (;;) {
        if (std::chrono::steady_clock::now() - start > std::chrono::minutes(10)) {
            std::wprintf(L"gave up after 10 minutes; status: %ls\n", text.c_str());
            ::TerminateProcess(process.hProcess, 1);
            return 1;
        }
        ::Sleep(10);
        if (!window && (window = testing_support::FindVeskarWindow(process.dwProcessId)) != nullptr) {
            status = ::FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr);
            list = ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
            remote = ::VirtualAllocEx(process.hProcess, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
        }
        if (status && (text = StatusOf(process.hProcess, status, remote)).rfind(L"Chunk(s) found: ", 0) == 0)
            break;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    LRESULT rows = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    DWORD_PTR answer = 0;
    bool responds = ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters));

    std::wprintf(L"%d chunks: \"%ls\" after %.2f s from start; %ld rows; window %ls; peak working set %.0f MiB\n",
                 chunks, text.c_str(), seconds, static_cast<long>(rows), responds ? L"answers" : L"does not answer",
                 counters.PeakWorkingSetSize / 1048576.0);
    ::PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    ::WaitForSingleObject(process.hProcess, 20000);
    ::DeleteFileW(png.c_str());
    return rows == chunks && responds ? 0 : 1;
}
