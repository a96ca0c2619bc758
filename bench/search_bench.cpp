// The floor and the library's own cost of a recursive search, as compiled
// clients see them:
//   search_bench.exe walk FOLDER        the bare walk: the find functions alone
//   search_bench.exe compressed FOLDER  the walk that also asks
//                                       GetCompressedFileSizeW for every entry
//   search_bench.exe library FOLDER     tovFoundedFiles.Refresh with mask *
//                                       through the vtable: time against the
//                                       bare walk, peak working set, and the
//                                       memory each record costs
//   search_bench.exe volume ENTRIES     the same search over a volume of that
//                                       many entries that the file-system seam
//                                       makes up (names of 30 characters):
//                                       whether a 32-bit host holds it whole
#include "BenchSupport.h"

#include "files/FileSystem.h"
#include "classes/tovFoundedFiles.h"

#include <tovrin/Unique.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

using bench::PeakMiB;
using bench::Since;

namespace {

long Walk(const std::wstring& folder, bool compressed)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    long entries = 0;
    do {
        if (std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0)
            continue;
        std::wstring name = folder + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            entries += Walk(name, compressed);
        if (compressed) {
            DWORD high = 0;
            ::GetCompressedFileSizeW(name.c_str(), &high);
        }
        ++entries;
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return entries;
}

double WorkingSetMiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize / 1048576.0;
}

// A volume made up by the file-system seam: 100 folders of 100 folders,
// whose files share out the entries asked for; every name 30 characters.
class MadeUpVolume final : public tovrin::IFileSystem {
public:
    explicit MadeUpVolume(long entries) : m_filesPerFolder((entries - 10100) / 10000) {}

    HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* entry) override
    {
        const long depth = static_cast<long>(std::count(pattern.begin(), pattern.end(), L'\\')) - 2;
        auto* listing = new Listing{depth < 2 ? 100 : depth == 2 ? m_filesPerFolder : 0, 0, depth};
        if (!Next(listing, entry)) {
            delete listing;
            ::SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        return listing;
    }
    bool FindNext(HANDLE find, WIN32_FIND_DATAW* entry) override { return Next(static_cast<Listing*>(find), entry); }
    void FindClose(HANDLE find) override { delete static_cast<Listing*>(find); }

    DWORD GetAttributes(const std::wstring&) override { return FILE_ATTRIBUTE_DIRECTORY; }
    bool SetAttributes(const std::wstring&, DWORD) override { return false; }
    HANDLE Open(const std::wstring&, DWORD, DWORD, DWORD, DWORD) override { return INVALID_HANDLE_VALUE; }
    bool Read(HANDLE, void*, DWORD, DWORD*) override { return false; }
    bool Write(HANDLE, const void*, DWORD, DWORD*) override { return false; }
    bool Delete(const std::wstring&) override { return false; }
    bool Replace(const std::wstring&, const std::wstring&) override { return false; }
    bool ReplaceExisting(const std::wstring&, const std::wstring&, const std::wstring&) override { return false; }
    bool Flush(HANDLE) override { return false; }
    bool Control(HANDLE, DWORD, void*, DWORD, void*, DWORD, DWORD*) override { return false; }
    bool BackupRead(HANDLE, BYTE*, DWORD, DWORD*, bool, void**) override { return false; }
    void BackupEnd(HANDLE, void**) override {}
    DWORD CompressedSize(const std::wstring&, DWORD*) override { return INVALID_FILE_SIZE; }
    DWORD_PTR ShellFileInfo(const std::wstring&, SHFILEINFOW&, UINT) override { return 0; }
    HRESULT ShellDelete(const std::wstring&, DWORD, IFileOperationProgressSink*, bool*) override { return E_NOTIMPL; }
    int ShellOperation(SHFILEOPSTRUCTW&) override { return 1; }
    bool Identity(const std::wstring&, BY_HANDLE_FILE_INFORMATION&) override { return false; }
    bool BackupSeek(HANDLE, DWORD, DWORD, DWORD*, DWORD*, void**) override { return false; }
    bool GetTimes(HANDLE, FILETIME*, FILETIME*, FILETIME*) override { return false; }
    bool Size(HANDLE, LONGLONG*) override { return false; }
    bool Seek(HANDLE, LONGLONG) override { return false; }
    bool RemoveFolder(const std::wstring&) override { return false; }
    UINT ProfileInt(const wchar_t*, const wchar_t*, INT fallback, const std::wstring&) override { return fallback; }
    bool WriteProfile(const wchar_t*, const wchar_t*, const wchar_t*, const std::wstring&) override { return false; }
    bool SetTimes(HANDLE, const FILETIME*, const FILETIME*, const FILETIME*) override { return false; }

private:
    struct Listing {
        long Count, Next, Depth;
    };
    static bool Next(Listing* listing, WIN32_FIND_DATAW* entry)
    {
        if (listing->Next >= listing->Count)
            return false;
        *entry = WIN32_FIND_DATAW();
        const long n = listing->Next++;
        const bool folder = listing->Depth < 2;
        entry->dwFileAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        entry->nFileSizeLow = folder ? 0 : static_cast<DWORD>(n + 1);
        std::swprintf(entry->cFileName, MAX_PATH,
                      folder ? L"folder-%06ld-of-the-made-up-vol" : L"file-%06ld-on-the-made-up-vol.txt", n);
        entry->cFileName[30] = L'\0';
        return true;
    }

    long m_filesPerFolder;
};

int Library(const std::wstring& folder)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    _tovFoundedFiles* found = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_tovFoundedFiles, nullptr, CLSCTX_INPROC_SERVER, IID__tovFoundedFiles,
                                  reinterpret_cast<void**>(&found))))
        return 1;
    const double before = WorkingSetMiB();
    auto start = std::chrono::steady_clock::now();
    VARIANT_BOOL ok = VARIANT_FALSE;
    found->Refresh(tovrin::Bstr::From(folder).get(), tovrin::Bstr::From(L"*").get(), &ok);
    const double seconds = Since(start);
    const double held = WorkingSetMiB() - before, peak = PeakMiB();
    start = std::chrono::steady_clock::now();
    const long entries = Walk(folder, false);
    const double walk = Since(start);
    double size = 0;
    found->get_Size(&size);
    std::wprintf(L"  library (Refresh through the vtable): %ld records in %.2f s, %.2fx the bare walk's %.2f s; "
                 L"Size %.0f; peak working set %.0f MiB, %.0f bytes held per record\n",
                 entries, seconds, seconds / walk, walk, size, peak, held * 1048576.0 / entries);
    found->Release();
    ::CoUninitialize();
    return ok ? 0 : 1;
}

int MadeUp(long entries)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    MadeUpVolume volume(entries);
    tovrin::SetFileSystem(&volume);
    const double before = WorkingSetMiB();
    auto start = std::chrono::steady_clock::now();
    VARIANT_BOOL ok = VARIANT_FALSE;
    HRESULT hr = S_OK;
    {
        tovrin::ComPtr<tovrin::tovFoundedFiles> found = tovrin::tovFoundedFiles::Create();
        hr = found->Refresh(tovrin::Bstr::From(L"V:\\made-up").get(), tovrin::Bstr::From(L"*").get(), &ok);
        std::wprintf(L"  made-up volume of %ld entries: %ls (0x%08lx) in %.2f s, peak working set %.0f MiB, "
                     L"%.0f bytes held per record\n",
                     entries, ok ? L"searched whole" : L"FAILED", static_cast<unsigned long>(hr), Since(start),
                     PeakMiB(), (WorkingSetMiB() - before) * 1048576.0 / entries);
    }
    tovrin::SetFileSystem(nullptr);
    ::CoUninitialize();
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    const std::wstring mode = argv[1];
    if (mode == L"walk" || mode == L"compressed") {
        auto start = std::chrono::steady_clock::now();
        long entries = Walk(argv[2], mode == L"compressed");
        std::wprintf(mode == L"walk" ? L"  bare walk (find functions alone): %ld entries in %.2f s\n"
                                     : L"  walk with GetCompressedFileSizeW per entry: %ld entries in %.2f s\n",
                     entries, Since(start));
        return 0;
    }
    if (mode == L"volume")
        return MadeUp(std::wcstol(argv[2], nullptr, 10));
    return Library(argv[2]);
}
