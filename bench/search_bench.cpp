// The floor and the library's own cost of a recursive search, as compiled
// clients see them:
//   search_bench.exe floor FOLDER    the same Win32 calls as the walk (find
//                                    functions and one GetCompressedFileSizeA
//                                    per entry), no objects
//   search_bench.exe library FOLDER  tovFoundedFiles.Refresh with mask *
//                                    through the vtable, with peak memory
#include "BenchSupport.h"

#include <tovrin/Unique.h>

#include <cstdio>
#include <cstring>
#include <string>

using bench::PeakMiB;
using bench::Since;

namespace {

long Walk(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    long entries = 0;
    do {
        if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0)
            continue;
        std::string name = folder + "\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            entries += Walk(name);
        DWORD high = 0;
        ::GetCompressedFileSizeA(name.c_str(), &high);
        ++entries;
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
    return entries;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    const std::wstring mode = argv[1];
    char folder[MAX_PATH] = {};
    ::WideCharToMultiByte(CP_ACP, 0, argv[2], -1, folder, MAX_PATH, nullptr, nullptr);
    if (mode == L"floor") {
        auto start = std::chrono::steady_clock::now();
        long entries = Walk(folder);
        std::wprintf(L"  floor (Win32 calls, no objects): %ld entries in %.2f s\n", entries, Since(start));
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
