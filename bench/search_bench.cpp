// The floor and the library's own cost of a recursive search, as compiled
// clients see them:
//   search_bench.exe walk FOLDER        the bare walk: the find functions alone
//   search_bench.exe compressed FOLDER  the walk that also asks
//                                       GetCompressedFileSizeW for every entry
//   search_bench.exe library FOLDER     tovFoundedFiles.Refresh with mask *
//                                       through the vtable, with peak memory
#include "BenchSupport.h"

#include <tovrin/Unique.h>

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
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    _tovFoundedFiles* found = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_tovFoundedFiles, nullptr, CLSCTX_INPROC_SERVER, IID__tovFoundedFiles,
                                  reinterpret_cast<void**>(&found))))
        return 1;
    double before = PeakMiB();
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    SIZE_T workingBefore = counters.WorkingSetSize;
    auto start = std::chrono::steady_clock::now();
    VARIANT_BOOL ok = VARIANT_FALSE;
    found->Refresh(tovrin::Bstr::From(argv[2]).get(), tovrin::Bstr::From(L"*").get(), &ok);
    double seconds = Since(start);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    double size = 0;
    found->get_Size(&size);
    std::wprintf(L"  library (Refresh through the vtable): %.2f s, Size %.0f, peak %.0f MiB (%.0f before), "
                 L"%.0f bytes of working set per record (33,330 records)\n",
                 seconds, size, PeakMiB(), before, double(counters.WorkingSetSize - workingBefore) / 33330);
    found->Release();
    ::CoUninitialize();
    return ok ? 0 : 1;
}
