// Veskar.exe as a user runs it: started on a sample, its list read from
// another process, closed with Esc.
#include "Png.h"
#include "TestFiles.h"
#include "TovrinVersion.h"
#include "VeskarWindow.h"

#include <tovrin/Unique.h>

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

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

// The Veskar.exe under test: the build's own, or the one TOVRIN_VESKAR
// names (the installer's test runs this test on the installed program).
std::wstring VeskarPath()
{
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TOVRIN_VESKAR", path, MAX_PATH))
        return path;
    return ProgramFolder() + L"\\Veskar.exe";
}

} // namespace

TEST(VeskarExe, ListsTheSampleAndClosesOnEscape)
{
    std::wstring sample = SamplePath(L"sample.png");
    std::wstring command = L"\"" + VeskarPath() + L"\" \"" + sample + L"\"";
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
        window = window ? window : FindVeskarWindow(process.dwProcessId);
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

namespace {

std::wstring VersionString(std::vector<BYTE>& record, const std::wstring& name)
{
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(record.data(), (L"\\StringFileInfo\\040904B0\\" + name).c_str(),
                          reinterpret_cast<void**>(&value), &length))
        return L"(missing)";
    return value;
}

// The group's entries: width, height and bits per pixel of each image.
struct IconImage {
    int Width, Height, Bits;
};

std::vector<IconImage> IconGroup(HMODULE module, const wchar_t* name)
{
    std::vector<IconImage> images;
    HRSRC resource = ::FindResourceW(module, name, RT_GROUP_ICON);
    if (!resource)
        return images;
    auto data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource)));
    int count = data[4] | (data[5] << 8);
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = data + 6 + 14 * i;
        images.push_back({entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256, entry[6] | (entry[7] << 8)});
    }
    return images;
}

} // namespace

TEST(VeskarExe, CarriesItsVersionRecordAndIcon)
{
    std::wstring exe = ProgramFolder() + L"\\Veskar.exe";
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> record(size);
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD high = MAKELONG(TOVRIN_VERSION_MINOR, TOVRIN_VERSION_MAJOR), low = TOVRIN_VERSION_REVISION;
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);

    DWORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    EXPECT_EQ(*translation, 0x04B00409u) << "US English, Unicode";

    EXPECT_EQ(VersionString(record, L"Comments"), L"Tovrin - Veskar " TOVRIN_VERSION_WIDE(TOVRIN_VERSION_SHORT));
    EXPECT_EQ(VersionString(record, L"FileDescription"), L"Tovrin - Veskar " TOVRIN_VERSION_WIDE(TOVRIN_VERSION_SHORT));
    EXPECT_EQ(VersionString(record, L"ProductName"), L"Tovrin");
    EXPECT_EQ(VersionString(record, L"InternalName"), L"Veskar");
    EXPECT_EQ(VersionString(record, L"OriginalFilename"), L"Veskar.EXE");
    EXPECT_EQ(VersionString(record, L"FileVersion"), TOVRIN_VERSION_WIDE(TOVRIN_VERSION_TEXT));
    EXPECT_EQ(VersionString(record, L"ProductVersion"), TOVRIN_VERSION_WIDE(TOVRIN_VERSION_TEXT));
    EXPECT_EQ(VersionString(record, L"CompanyName"), L"Tovrin");
    EXPECT_EQ(VersionString(record, L"LegalCopyright").substr(0, 11), L"ТовринСофт ");

    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    std::vector<IconImage> images = IconGroup(module, L"A_MAIN");
    ::FreeLibrary(module);
    ASSERT_EQ(images.size(), 3u);
    const int sizes[] = {48, 32, 16};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(images[i].Width, sizes[i]);
        EXPECT_EQ(images[i].Height, sizes[i]);
        EXPECT_EQ(images[i].Bits, 8);
    }
}
