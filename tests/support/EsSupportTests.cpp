// tovrinsupportfbe0100.dll as its callers use it: path strings on odd paths,
// file tests, bits, hexadecimal forms, local time across a daylight-saving
// change, and the program's windows.
#include "SupportTestHelpers.h"
#include "TestFiles.h"

#include <tlhelp32.h>

#include <set>

using namespace testing_support;

namespace {

VARIANT_BOOL PathTest(HRESULT(__stdcall* function)(BSTR, VARIANT_BOOL*), const std::wstring& path)
{
    VARIANT_BOOL result = 7;
    EXPECT_EQ(function(B(path).get(), &result), S_OK);
    return result;
}

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute)
{
    SYSTEMTIME t = {};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    return t;
}

std::wstring Clock(const SYSTEMTIME& t)
{
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
    return text;
}

std::wstring CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

// Waits a few seconds at most for the condition; gives whether it holds.
template <typename Condition>
bool WaitFor(Condition condition)
{
    for (DWORD start = ::GetTickCount(); !condition() && ::GetTickCount() - start < 10000;)
        ::Sleep(50);
    return condition();
}

// The read-me beside the running test program, for the guard's lifetime.
struct ReadMeBesideProgram {
    explicit ReadMeBesideProgram(const std::string& text) { WriteBytes(Path, text); }
    ~ReadMeBesideProgram() { ::DeleteFileW(Path.c_str()); }
    const std::wstring Path = ProgramFolder() + L"\\support_tests.ReadMe.txt";
};

bool TextFilesAreRegistered()
{
    tovrin::RegKey key;
    return ::RegOpenKeyExW(HKEY_CLASSES_ROOT, L".txt", 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// A ".txt" registration for the guard's lifetime, made where there is none.
// Wine reads file types from HKEY_CLASSES_ROOT only, not from the user's
// Software\Classes.
struct TextFileAssociation {
    explicit TextFileAssociation(const std::wstring& openCommand)
    {
        Set(L".txt", L"TovrinTests.ReadMe");
        Set(L"TovrinTests.ReadMe\\shell\\open\\command", openCommand);
    }
    ~TextFileAssociation()
    {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"TovrinTests.ReadMe");
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".txt");
    }
    static void Set(const wchar_t* key, const std::wstring& value)
    {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value.c_str(),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
};

std::set<DWORD> NotepadProcesses()
{
    std::set<DWORD> ids;
    tovrin::Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = snapshot && ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry))
        if (::lstrcmpiW(entry.szExeFile, L"notepad.exe") == 0)
            ids.insert(entry.th32ProcessID);
    return ids;
}

// The Notepads started in the guard's lifetime; it ends them, so that no test
// leaves a window or a process behind.
class StartedNotepads {
public:
    std::set<DWORD> Ids() const
    {
        std::set<DWORD> started;
        for (DWORD id : NotepadProcesses())
            if (!m_before.count(id))
                started.insert(id);
        return started;
    }
    ~StartedNotepads()
    {
        for (DWORD id : Ids()) {
            tovrin::KernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
            if (process && ::TerminateProcess(process.get(), 0))
                ::WaitForSingleObject(process.get(), 5000);
        }
    }

private:
    const std::set<DWORD> m_before = NotepadProcesses();
};

// The text of Notepad's edit box once it shows some.
std::wstring NotepadText()
{
    wchar_t text[256] = {};
    WaitFor([&] {
        HWND notepad = ::FindWindowW(L"Notepad", nullptr);
        HWND edit = notepad ? ::FindWindowExW(notepad, nullptr, L"Edit", nullptr) : nullptr;
        if (!edit)
            return false;
        ::SendMessageTimeoutW(edit, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                              1000, nullptr);
        return text[0] != L'\0';
    });
    return text;
}

} // namespace

TEST(esGetFileName, TakesTheLastComponent)
{
    struct Case {
        std::wstring path, name, stem;
    } cases[] = {
        {L"C:\\dir.x\\file.txt", L"file.txt", L"file"},
        {L"C:\\dir.x\\file", L"file", L"file"},
        {L"file.tar.gz", L"file.tar.gz", L"file.tar"},
        {L"C:\\dir\\", L"", L""},
        {L"\\\\server\\share\\f.png", L"f.png", L"f"},
        {L"C:name.ext", L"name.ext", L"name"},
        {L"dir/sub/f.png", L"f.png", L"f"},
        {L"C:\\dir\\.profile", L".profile", L".profile"},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CallText(esGetFileName, B(c.path).get(), VARIANT_FALSE).value, c.name) << Narrow(c.path);
        EXPECT_EQ(CallText(esGetFileName, B(c.path).get(), VARIANT_TRUE).value, c.stem) << Narrow(c.path);
    }
}

TEST(esGetFilePath, TakesTheFolderAndKeepsRoots)
{
    struct Case {
        std::wstring path, folder;
    } cases[] = {
        {L"C:\\dir.x\\file.txt", L"C:\\dir.x"},
        {L"file.txt", L""},
        {L"C:\\file", L"C:\\"},
        {L"\\file", L"\\"},
        {L"C:file", L"C:"},
        {L"\\\\server\\share\\file", L"\\\\server\\share"},
        {L"C:\\dir\\", L"C:\\dir"},
        {L"dir/sub/f", L"dir/sub"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CallText(esGetFilePath, B(c.path).get()).value, c.folder) << Narrow(c.path);
}

TEST(esBuildFileName, JoinsWithExactlyOneSeparator)
{
    struct Case {
        std::wstring folder, name, path;
    } cases[] = {
        {L"C:\\dir", L"f.png", L"C:\\dir\\f.png"},
        {L"C:\\dir\\", L"\\f.png", L"C:\\dir\\f.png"},
        {L"C:\\dir//", L"/f.png", L"C:\\dir\\f.png"},
        {L"C:\\", L"f.png", L"C:\\f.png"},
        {L"", L"f.png", L"f.png"},
        {L"C:\\dir", L"", L"C:\\dir"},
        {L"\\\\", L"server", L"\\\\server"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CallText(esBuildFileName, B(c.folder).get(), B(c.name).get(), 0L).value, c.path)
            << Narrow(c.folder) << " + " << Narrow(c.name);
    EXPECT_EQ(CallText(esBuildFileName, B(L"a").get(), B(L"b").get(), 1L).hr, E_INVALIDARG);
}

TEST(esBuildFileName2, SkipsEmptyParts)
{
    tovrin::Bstr e = B(L"");
    EXPECT_EQ(CallText(esBuildFileName2, B(L"C:\\a").get(), e.get(), B(L"b\\").get(), nullptr, B(L"c.png").get(),
                       e.get(), e.get(), e.get(), e.get())
                  .value,
              L"C:\\a\\b\\c.png");
    EXPECT_EQ(CallText(esBuildFileName2, e.get(), e.get(), e.get(), e.get(), e.get(), e.get(), e.get(), e.get(),
                       B(L"last").get())
                  .value,
              L"last");
    EXPECT_EQ(CallText(esBuildFileName2, e.get(), e.get(), e.get(), e.get(), e.get(), e.get(), e.get(), e.get(),
                       e.get())
                  .value,
              L"");
}

TEST(esReplaceFileExtension, ReplacesOnlyTheLastComponentsExtension)
{
    struct Case {
        std::wstring path, extension, result;
    } cases[] = {
        {L"C:\\p.dir\\photo.png", L"00000008.IHDR.BIN", L"C:\\p.dir\\photo.00000008.IHDR.BIN"},
        {L"C:\\p.dir\\photo", L"txt", L"C:\\p.dir\\photo.txt"},
        {L"photo.png", L".txt", L"photo.txt"},
        {L"a.b.c", L"", L"a.b"},
        {L"C:\\dir\\.profile", L"txt", L"C:\\dir\\.profile.txt"},
        {L"my photo.png", L"bin", L"my photo.bin"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CallText(esReplaceFileExtension, B(c.path).get(), B(c.extension).get()).value, c.result)
            << Narrow(c.path);
    EXPECT_EQ(CallText(esReplaceFileExtension, B(L"C:\\dir\\").get(), B(L"txt").get()).hr, E_INVALIDARG);
}

TEST(esGetFullFileName, ResolvesAgainstTheCurrentFolder)
{
    TempFolder folder;
    WriteBytes(folder / L"with blank.png", "x");
    std::wstring saved = CurrentFolder();
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.Path().c_str()));
    std::wstring here = CurrentFolder();
    Text relative = CallText(esGetFullFileName, B(L"with blank.png").get(), VARIANT_TRUE);
    Text dotted = CallText(esGetFullFileName, B(L".\\sub\\..\\missing.png").get(), VARIANT_TRUE);
    ::SetCurrentDirectoryW(saved.c_str());

    EXPECT_EQ(relative.value, here + L"\\with blank.png");
    EXPECT_EQ(dotted.value, here + L"\\missing.png");
    EXPECT_EQ(CallText(esGetFullFileName, B(L"").get(), VARIANT_TRUE).hr, E_INVALIDARG);
}

TEST(esIsFileExist, TellsFilesFromFolders)
{
    TempFolder folder;
    WriteBytes(folder / L"file.bin", "x");
    EXPECT_EQ(PathTest(esIsFileExist, folder / L"file.bin"), VARIANT_TRUE);
    EXPECT_EQ(PathTest(esIsFileExist, folder.Path()), VARIANT_FALSE);
    EXPECT_EQ(PathTest(esIsFileExist, folder / L"missing"), VARIANT_FALSE);
    EXPECT_EQ(PathTest(esIsFileExist, L""), VARIANT_FALSE);
    EXPECT_EQ(PathTest(esIsDirectory, folder.Path()), VARIANT_TRUE);
    EXPECT_EQ(PathTest(esIsDirectory, folder / L"file.bin"), VARIANT_FALSE);
    EXPECT_EQ(PathTest(esIsFileOrDirectoryExist, folder / L"file.bin"), VARIANT_TRUE);
    EXPECT_EQ(PathTest(esIsFileOrDirectoryExist, folder.Path()), VARIANT_TRUE);
    EXPECT_EQ(PathTest(esIsFileOrDirectoryExist, folder / L"missing"), VARIANT_FALSE);
    EXPECT_EQ(PathTest(esIsJunction, folder.Path()), VARIANT_FALSE);
}

TEST(esGetFileSizeEx, CountsPastFourGigabytes)
{
    TempFolder folder;
    std::wstring path = folder / L"sparse.bin";
    {
        tovrin::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file.valid());
        LARGE_INTEGER end = {};
        end.QuadPart = 5368709120LL + 7;
        ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.get()));
    }
    double size = 0;
    ASSERT_EQ(esGetFileSizeEx(B(path).get(), &size), S_OK);
    EXPECT_EQ(size, 5368709127.0);
    EXPECT_EQ(esGetFileSizeEx(B(folder / L"missing").get(), &size), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(size, 0.0);
}

TEST(esBits, SwapsAndSplitsValues)
{
    LONG swapped = 0;
    ASSERT_EQ(esSwapBytes4(0x12345678, &swapped), S_OK);
    EXPECT_EQ(swapped, 0x78563412);
    ASSERT_EQ(esSwapBytes4(static_cast<LONG>(0x80000000u), &swapped), S_OK);
    EXPECT_EQ(swapped, 0x80);
    ASSERT_EQ(esSwapBytes4(0xFF, &swapped), S_OK);
    EXPECT_EQ(swapped, static_cast<LONG>(0xFF000000u));

    BYTE byte = 0;
    esHiByte(static_cast<SHORT>(0xABCD), &byte);
    EXPECT_EQ(byte, 0xAB);
    esLoByte(static_cast<SHORT>(0xABCD), &byte);
    EXPECT_EQ(byte, 0xCD);
    SHORT word = 0;
    esHiWord(static_cast<LONG>(0x89AB1234u), &word);
    EXPECT_EQ(word, static_cast<SHORT>(0x89AB));
    esLoWord(static_cast<LONG>(0x89AB1234u), &word);
    EXPECT_EQ(word, 0x1234);
}

TEST(esHex, UpperCaseZeroPadded)
{
    EXPECT_EQ(CallText(esHex2, static_cast<SHORT>(-1)).value, L"FFFF");
    EXPECT_EQ(CallText(esHex2, static_cast<SHORT>(0xA)).value, L"000A");
    EXPECT_EQ(CallText(esHex4, 13L).value, L"0000000D");
    EXPECT_EQ(CallText(esHex4, -1L).value, L"FFFFFFFF");
    EXPECT_EQ(CallText(esHexEx4, static_cast<LONG>(0x8FAC06E3u)).value, L"0x8FAC06E3");
    EXPECT_EQ(CallText(esHexEx4, 8L).value, L"0x00000008");
}

TEST(esLocalTime, FollowsTheRuleInForceOnTheDate)
{
    // The test runs with TZ=Europe/Berlin: UTC+1 in winter, UTC+2 in summer,
    // switching at 01:00 UTC on the last Sunday of March.
    struct Case {
        SYSTEMTIME utc;
        std::wstring local;
    } cases[] = {
        {Time(2026, 1, 15, 12, 0), L"2026-01-15 13:00"},
        {Time(2026, 7, 15, 12, 0), L"2026-07-15 14:00"},
        {Time(2026, 3, 29, 0, 59), L"2026-03-29 01:59"},
        {Time(2026, 3, 29, 1, 0), L"2026-03-29 03:00"},
        {Time(2026, 12, 31, 23, 30), L"2027-01-01 00:30"},
    };
    for (const Case& c : cases) {
        SYSTEMTIME local = {};
        ASSERT_EQ(esSystemTimeToLocalSystemTime(&c.utc, &local), S_OK);
        EXPECT_EQ(Clock(local), c.local) << Narrow(Clock(c.utc));
        SYSTEMTIME back = {};
        ASSERT_EQ(esLocalSystemTimeToSystemTime(&local, &back), S_OK);
        EXPECT_EQ(Clock(back), Clock(c.utc));
    }

    SYSTEMTIME same = Time(2026, 7, 15, 12, 0); // callers pass one record for both
    ASSERT_EQ(esSystemTimeToLocalSystemTime(&same, &same), S_OK);
    EXPECT_EQ(Clock(same), L"2026-07-15 14:00");
}

TEST(esProgram, RegistersThePathOfTheRunningProgram)
{
    ASSERT_EQ(esRegisterAppPath(), S_OK);
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring name = program;
    name = name.substr(name.find_last_of(L'\\') + 1);
    wchar_t stored[MAX_PATH] = {};
    DWORD size = sizeof(stored);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER,
                             (L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + name).c_str(), nullptr,
                             RRF_RT_REG_SZ, nullptr, stored, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(stored, program);
}

TEST(esProgram, OneHiddenApplicationWindow)
{
    HWND first = nullptr;
    HWND second = nullptr;
    ASSERT_EQ(esGetThunderMainHandle(&first), S_OK);
    ASSERT_EQ(esGetThunderMainHandle(&second), S_OK);
    EXPECT_TRUE(::IsWindow(first));
    EXPECT_EQ(first, second);
    EXPECT_FALSE(::IsWindowVisible(first));
}

TEST(esProgram, CentresAWindowOnItsMonitorsWorkArea)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(esCenterFormEx(window, 0), S_OK);
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_NEAR((bounds.left + bounds.right) / 2, (monitor.rcWork.left + monitor.rcWork.right) / 2, 1);
    EXPECT_NEAR((bounds.top + bounds.bottom) / 2, (monitor.rcWork.top + monitor.rcWork.bottom) / 2, 1);
    EXPECT_EQ(bounds.right - bounds.left, 200);
    EXPECT_EQ(esCenterFormEx(window, 1), E_INVALIDARG);
    ::DestroyWindow(window);
}

TEST(esProgram, ScreenAndSystemFacts)
{
    LONG twips = 0;
    ASSERT_EQ(esScreenTwipsPerPixelX(&twips), S_OK);
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(twips, 1440 / ::GetDeviceCaps(screen, LOGPIXELSX));
    ::ReleaseDC(nullptr, screen);

    VARIANT_BOOL flag = VARIANT_FALSE;
    ASSERT_EQ(esIsHostWinNT(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
    ASSERT_EQ(esIsHostWin98(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
    ASSERT_EQ(esIsInIDE(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
    LONG major = 0;
    ASSERT_EQ(esWindowsVersionMajor(&major), S_OK);
    EXPECT_GE(major, 5);
}

TEST(esOpenReadMeFile, FailsWhenTheReadMeIsMissing)
{
    // The test program ships no read-me beside it.
    EXPECT_EQ(esOpenReadMeFile(0), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(esOpenReadMeFile(1), E_INVALIDARG);
}

TEST(esOpenReadMeFile, WithoutATextFileAssociationStartsNotepadOnTheReadMe)
{
    ASSERT_FALSE(TextFilesAreRegistered()) << "the test prefix, like the project's own, has no .txt registration";
    ReadMeBesideProgram readMe("How to read this program's read-me.");
    StartedNotepads notepads;
    ASSERT_EQ(esOpenReadMeFile(0), S_OK);
    EXPECT_EQ(notepads.Ids().size(), 1u);
    EXPECT_EQ(NotepadText(), L"How to read this program's read-me.");
}

TEST(esOpenReadMeFile, UsesTheProgramAssociatedWithTextFiles)
{
    ASSERT_FALSE(TextFilesAreRegistered()) << "a registration of the machine's own is never replaced";
    TempFolder folder;
    std::wstring record = folder / L"arguments.txt";
    TextFileAssociation association(L"\"" + ProgramFolder() + L"\\record_arguments.exe\" \"" + record + L"\" \"%1\"");
    ReadMeBesideProgram readMe("read me");
    StartedNotepads notepads;
    ASSERT_EQ(esOpenReadMeFile(0), S_OK);
    ASSERT_TRUE(WaitFor([&] { return Exists(record); })) << "the associated program was not started";
    std::string opened = ReadBytes(record);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(opened.data()), opened.size() / sizeof(wchar_t)),
              readMe.Path + L"\n");
    EXPECT_TRUE(notepads.Ids().empty());
}
