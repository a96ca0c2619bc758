// tovrinsupportfbe0100.dll: the running program (its path, its windows, the
// screen), path strings, file tests, bits and bytes, and local time. The forms
// are described in tovrinsupportfbe.h.
#define TOVRINSUPPORTFBE_BUILD
#include <tovrin/tovrinsupportfbe.h>

#include "Export.h"

#include <shellapi.h>

#include <cstdio>

using namespace tovrin::support;
using tovrin::Bstr;

namespace {

HINSTANCE g_instance;

bool HasDrive(const std::wstring& path)
{
    return path.size() >= 2 && path[1] == L':' && iswalpha(path[0]);
}

// Where the last component starts.
size_t NameStart(const std::wstring& path)
{
    size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos)
        return separator + 1;
    return HasDrive(path) ? 2 : 0;
}

// The dot that starts the extension, or npos.
size_t ExtensionDot(const std::wstring& path)
{
    size_t start = NameStart(path);
    size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot <= start)
        return std::wstring::npos;
    return dot;
}

std::wstring FileName(const std::wstring& path, bool withoutExtension)
{
    size_t start = NameStart(path);
    size_t dot = withoutExtension ? ExtensionDot(path) : std::wstring::npos;
    return path.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start);
}

std::wstring FilePath(const std::wstring& path)
{
    size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return HasDrive(path) ? path.substr(0, 2) : std::wstring();
    std::wstring folder = path.substr(0, separator);
    // "C:\file" and "\file" keep the root's separator.
    if (folder.empty() || (folder.size() == 2 && HasDrive(folder)))
        return path.substr(0, separator + 1);
    return folder;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    size_t nameStart = name.find_first_not_of(L"\\/");
    if (nameStart == std::wstring::npos)
        return folder.empty() ? name : folder;
    if (folder.empty())
        return name;
    size_t folderEnd = folder.find_last_not_of(L"\\/");
    if (folderEnd == std::wstring::npos)
        return folder + name.substr(nameStart); // a root of separators only: "\" or "\\"
    return folder.substr(0, folderEnd + 1) + L"\\" + name.substr(nameStart);
}

std::wstring ReplaceExtension(const std::wstring& path, const std::wstring& extension)
{
    Require(NameStart(path) < path.size());
    size_t dot = ExtensionDot(path);
    std::wstring base = dot == std::wstring::npos ? path : path.substr(0, dot);
    std::wstring text = !extension.empty() && extension[0] == L'.' ? extension.substr(1) : extension;
    return text.empty() ? base : base + L"." + text;
}

std::wstring FullPath(const std::wstring& path, bool longNames)
{
    Require(!path.empty());
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
        if (n == 0)
            FailLastError();
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n);
    }
    if (!longNames)
        return full;
    std::wstring longPath(full.size() + MAX_PATH, L'\0');
    DWORD n = ::GetLongPathNameW(full.c_str(), &longPath[0], static_cast<DWORD>(longPath.size()));
    if (n == 0 || n >= longPath.size())
        return full; // a path that does not exist (yet) keeps its form
    longPath.resize(n);
    return longPath;
}

std::wstring ModulePath(HMODULE module)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            FailLastError();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

DWORD Attributes(BSTR path)
{
    return path && *path ? ::GetFileAttributesW(path) : INVALID_FILE_ATTRIBUTES;
}

RTL_OSVERSIONINFOW WindowsVersion()
{
    RTL_OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!rtlGetVersion || rtlGetVersion(&version) != 0)
        Fail(E_FAIL);
    return version;
}

bool IsWindows9x(DWORD minor)
{
    RTL_OSVERSIONINFOW version = WindowsVersion();
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMajorVersion == 4 &&
           version.dwMinorVersion == minor;
}

std::wstring Hex(unsigned long value, int digits)
{
    wchar_t buffer[16] = {};
    std::swprintf(buffer, ARRAYSIZE(buffer), L"%0*lX", digits, value);
    return buffer;
}

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateApplicationWindow()
{
    static const wchar_t className[] = L"TovrinApplicationWindow";
    WNDCLASSW windowClass = {};
    if (!::GetClassInfoW(g_instance, className, &windowClass)) {
        windowClass.lpfnWndProc = ApplicationWindowProc;
        windowClass.hInstance = g_instance;
        windowClass.lpszClassName = className;
        if (!::RegisterClassW(&windowClass))
            FailLastError();
    }
    std::wstring title = FileName(ModulePath(nullptr), true);
    HWND window = ::CreateWindowExW(0, className, title.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    g_instance, nullptr);
    if (!window)
        FailLastError();
    return window;
}

void SetRegistryText(HKEY key, const wchar_t* name, const std::wstring& value)
{
    wchar_t current[MAX_PATH * 2] = {};
    DWORD size = sizeof(current) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(current), &size) == ERROR_SUCCESS &&
        type == REG_SZ && value == current)
        return;
    LONG status = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        Fail(HRESULT_FROM_WIN32(status));
}

BOOL CALLBACK ClipChildren(HWND window, LPARAM)
{
    LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    if (!(style & WS_CLIPCHILDREN))
        ::SetWindowLongPtrW(window, GWL_STYLE, style | WS_CLIPCHILDREN);
    return TRUE;
}

// Opens the file with the program registered for its type; false when its
// type has none, which is how a fresh Wine prefix leaves ".txt".
bool OpenWithAssociation(const std::wstring& path, const std::wstring& folder)
{
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_FLAG_NO_UI; // no "open with" box: Notepad is the fallback
    request.lpVerb = L"open";
    request.lpFile = path.c_str();
    request.lpDirectory = folder.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&request))
        return true;
    // Wine reports the missing association in hInstApp but leaves an
    // unrelated code in GetLastError.
    if (reinterpret_cast<INT_PTR>(request.hInstApp) == SE_ERR_NOASSOC || ::GetLastError() == ERROR_NO_ASSOCIATION)
        return false;
    FailLastError();
}

std::wstring SystemFolder()
{
    UINT size = ::GetSystemDirectoryW(nullptr, 0);
    if (size == 0)
        FailLastError();
    std::wstring folder(size, L'\0');
    UINT n = ::GetSystemDirectoryW(&folder[0], size);
    if (n == 0 || n >= size)
        FailLastError();
    folder.resize(n);
    return folder;
}

// Every Windows has Notepad. It is started from the system folder by its
// full path, so that no notepad.exe beside the program or in the current
// folder is taken for it.
void OpenInNotepad(const std::wstring& path, const std::wstring& folder)
{
    std::wstring notepad = Join(SystemFolder(), L"notepad.exe");
    std::wstring command = L"\"" + notepad + L"\" \"" + path + L"\""; // either may hold blanks
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(notepad.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &process))
        FailLastError();
    tovrin::KernelHandle ownProcess(process.hProcess);
    tovrin::KernelHandle ownThread(process.hThread);
}

LONG TwipsPerPixel(int axis)
{
    HDC screen = ::GetDC(nullptr);
    if (!screen)
        Fail(E_FAIL);
    int dpi = ::GetDeviceCaps(screen, axis);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? 1440 / dpi : 15;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

TOVRINSUPPORTFBE_API esRegisterAppPath()
{
    return Guard([] {
        std::wstring program = ModulePath(nullptr);
        std::wstring keyName = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + FileName(program, false);
        tovrin::RegKey key;
        LONG status = ::RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                        nullptr, key.put(), nullptr);
        if (status != ERROR_SUCCESS)
            Fail(HRESULT_FROM_WIN32(status));
        SetRegistryText(key.get(), nullptr, program);
        SetRegistryText(key.get(), L"Path", FilePath(program));
    });
}

TOVRINSUPPORTFBE_API esIsInIDE(VARIANT_BOOL* result)
{
    return Export(result, [] { return VARIANT_FALSE; });
}

TOVRINSUPPORTFBE_API esGetThunderMainHandle(HWND* result)
{
    static HWND applicationWindow;
    return Export(result, [] {
        if (!applicationWindow || !::IsWindow(applicationWindow))
            applicationWindow = CreateApplicationWindow();
        return applicationWindow;
    });
}

TOVRINSUPPORTFBE_API esFixUserControlsContainerWindow()
{
    return Guard([] { ::EnumThreadWindows(::GetCurrentThreadId(), ClipChildren, 0); });
}

TOVRINSUPPORTFBE_API esCenterFormEx(HWND window, LONG reserved)
{
    return Guard([&] {
        Require(reserved == 0 && ::IsWindow(window));
        RECT bounds = {};
        if (!::GetWindowRect(window, &bounds))
            FailLastError();
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
            FailLastError();
        const RECT& work = monitor.rcWork;
        LONG width = bounds.right - bounds.left;
        LONG height = bounds.bottom - bounds.top;
        LONG left = work.left + ((work.right - work.left) - width) / 2;
        LONG top = work.top + ((work.bottom - work.top) - height) / 2;
        // A window larger than the work area keeps its title bar on screen.
        left = left < work.left ? work.left : left;
        top = top < work.top ? work.top : top;
        if (!::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
            FailLastError();
    });
}

TOVRINSUPPORTFBE_API esOpenReadMeFile(LONG reserved)
{
    return Guard([&] {
        Require(reserved == 0);
        std::wstring program = ModulePath(nullptr);
        std::wstring folder = FilePath(program);
        std::wstring readMe = Join(folder, FileName(program, true) + L".ReadMe.txt");
        if (::GetFileAttributesW(readMe.c_str()) == INVALID_FILE_ATTRIBUTES)
            FailLastError();
        if (!OpenWithAssociation(readMe, folder))
            OpenInNotepad(readMe, folder);
    });
}

TOVRINSUPPORTFBE_API esScreenTwipsPerPixelX(LONG* result)
{
    return Export(result, [] { return TwipsPerPixel(LOGPIXELSX); });
}

TOVRINSUPPORTFBE_API esScreenTwipsPerPixelY(LONG* result)
{
    return Export(result, [] { return TwipsPerPixel(LOGPIXELSY); });
}

TOVRINSUPPORTFBE_API esIsHostWinNT(VARIANT_BOOL* result)
{
    return Export(result, [] { return ToVariantBool(WindowsVersion().dwPlatformId == VER_PLATFORM_WIN32_NT); });
}

TOVRINSUPPORTFBE_API esIsHostWin95(VARIANT_BOOL* result)
{
    return Export(result, [] { return ToVariantBool(IsWindows9x(0)); });
}

TOVRINSUPPORTFBE_API esIsHostWin98(VARIANT_BOOL* result)
{
    return Export(result, [] { return ToVariantBool(IsWindows9x(10)); });
}

TOVRINSUPPORTFBE_API esIsHostWinME(VARIANT_BOOL* result)
{
    return Export(result, [] { return ToVariantBool(IsWindows9x(90)); });
}

TOVRINSUPPORTFBE_API esIsHostWin64(VARIANT_BOOL* result)
{
    return Export(result, [] {
        if (sizeof(void*) == 8)
            return VARIANT_TRUE;
        BOOL wow64 = FALSE;
        if (!::IsWow64Process(::GetCurrentProcess(), &wow64))
            FailLastError();
        return ToVariantBool(wow64 != FALSE);
    });
}

TOVRINSUPPORTFBE_API esWindowsVersionMajor(LONG* result)
{
    return Export(result, [] { return static_cast<LONG>(WindowsVersion().dwMajorVersion); });
}

TOVRINSUPPORTFBE_API esWindowsVersionMinor(LONG* result)
{
    return Export(result, [] { return static_cast<LONG>(WindowsVersion().dwMinorVersion); });
}

TOVRINSUPPORTFBE_API esGetFullFileName(BSTR path, VARIANT_BOOL longNames, BSTR* result)
{
    return ExportString(result, [&] { return FullPath(Text(path), longNames != VARIANT_FALSE); });
}

TOVRINSUPPORTFBE_API esGetFileName(BSTR path, VARIANT_BOOL withoutExtension, BSTR* result)
{
    return ExportString(result, [&] { return FileName(Text(path), withoutExtension != VARIANT_FALSE); });
}

TOVRINSUPPORTFBE_API esGetFilePath(BSTR path, BSTR* result)
{
    return ExportString(result, [&] { return FilePath(Text(path)); });
}

TOVRINSUPPORTFBE_API esBuildFileName(BSTR folder, BSTR name, LONG reserved, BSTR* result)
{
    return ExportString(result, [&] {
        Require(reserved == 0);
        return Join(Text(folder), Text(name));
    });
}

TOVRINSUPPORTFBE_API esBuildFileName2(BSTR part1, BSTR part2, BSTR part3, BSTR part4, BSTR part5, BSTR part6,
                                      BSTR part7, BSTR part8, BSTR part9, BSTR* result)
{
    return ExportString(result, [&] {
        std::wstring path;
        for (BSTR part : {part1, part2, part3, part4, part5, part6, part7, part8, part9})
            path = Join(path, Text(part));
        return path;
    });
}

TOVRINSUPPORTFBE_API esReplaceFileExtension(BSTR path, BSTR extension, BSTR* result)
{
    return ExportString(result, [&] { return ReplaceExtension(Text(path), Text(extension)); });
}

TOVRINSUPPORTFBE_API esIsFileExist(BSTR path, VARIANT_BOOL* result)
{
    return Export(result, [&] {
        DWORD attributes = Attributes(path);
        return ToVariantBool(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY));
    });
}

TOVRINSUPPORTFBE_API esIsDirectory(BSTR path, VARIANT_BOOL* result)
{
    return Export(result, [&] {
        DWORD attributes = Attributes(path);
        return ToVariantBool(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    });
}

TOVRINSUPPORTFBE_API esIsFileOrDirectoryExist(BSTR path, VARIANT_BOOL* result)
{
    return Export(result, [&] { return ToVariantBool(Attributes(path) != INVALID_FILE_ATTRIBUTES); });
}

TOVRINSUPPORTFBE_API esIsJunction(BSTR path, VARIANT_BOOL* result)
{
    return Export(result, [&] {
        DWORD attributes = Attributes(path);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return VARIANT_FALSE;
        WIN32_FIND_DATAW entry = {};
        tovrin::FindHandle find(::FindFirstFileW(path, &entry));
        return ToVariantBool(find && entry.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
    });
}

TOVRINSUPPORTFBE_API esGetFileSizeEx(BSTR path, double* result)
{
    return Export(result, [&] {
        Require(path && *path);
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &data))
            FailLastError();
        ULARGE_INTEGER size = {};
        size.LowPart = data.nFileSizeLow;
        size.HighPart = data.nFileSizeHigh;
        return static_cast<double>(size.QuadPart);
    });
}

TOVRINSUPPORTFBE_API esSwapBytes4(LONG value, LONG* result)
{
    return Export(result, [&] {
        auto v = static_cast<ULONG>(value);
        return static_cast<LONG>((v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24));
    });
}

TOVRINSUPPORTFBE_API esHex2(SHORT value, BSTR* result)
{
    return ExportString(result, [&] { return Hex(static_cast<USHORT>(value), 4); });
}

TOVRINSUPPORTFBE_API esHex4(LONG value, BSTR* result)
{
    return ExportString(result, [&] { return Hex(static_cast<ULONG>(value), 8); });
}

TOVRINSUPPORTFBE_API esHexEx4(LONG value, BSTR* result)
{
    return ExportString(result, [&] { return L"0x" + Hex(static_cast<ULONG>(value), 8); });
}

TOVRINSUPPORTFBE_API esHiByte(SHORT value, BYTE* result)
{
    return Export(result, [&] { return static_cast<BYTE>(static_cast<USHORT>(value) >> 8); });
}

TOVRINSUPPORTFBE_API esLoByte(SHORT value, BYTE* result)
{
    return Export(result, [&] { return static_cast<BYTE>(value & 0xFF); });
}

TOVRINSUPPORTFBE_API esHiWord(LONG value, SHORT* result)
{
    return Export(result, [&] { return static_cast<SHORT>(static_cast<ULONG>(value) >> 16); });
}

TOVRINSUPPORTFBE_API esLoWord(LONG value, SHORT* result)
{
    return Export(result, [&] { return static_cast<SHORT>(value & 0xFFFF); });
}

TOVRINSUPPORTFBE_API esSystemTimeToLocalSystemTime(const SYSTEMTIME* utc, SYSTEMTIME* local)
{
    if (!utc || !local)
        return E_POINTER;
    SYSTEMTIME input = *utc;
    return Guard([&] {
        if (!::SystemTimeToTzSpecificLocalTime(nullptr, &input, local))
            FailLastError();
    });
}

TOVRINSUPPORTFBE_API esLocalSystemTimeToSystemTime(const SYSTEMTIME* local, SYSTEMTIME* utc)
{
    if (!local || !utc)
        return E_POINTER;
    SYSTEMTIME input = *local;
    return Guard([&] {
        if (!::TzSpecificLocalTimeToSystemTime(nullptr, &input, utc))
            FailLastError();
    });
}
