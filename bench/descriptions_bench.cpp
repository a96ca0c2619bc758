// A large Descript.ion file through tovDescriptIon, as a compiled client
// uses it: the read, 10,000 AddItem calls (half of them replacing an entry
// whose name differs only in letter case), 1,000 lookups by name and the
// write, each timed, with the process's peak memory.
//   descriptions_bench.exe SOURCE TARGET ENTRIES
// SOURCE holds ENTRIES lines "file<i>.txt description <i>".
#include "BenchSupport.h"

#include <tovrin/Unique.h>

#include <cstdio>
#include <string>

using bench::PeakMiB;
using bench::Since;
using tovrin::Bstr;

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 2;
    const long entries = std::wcstol(argv[3], nullptr, 10);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    _tovDescriptIon* list = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_tovDescriptIon, nullptr, CLSCTX_INPROC_SERVER, IID__tovDescriptIon,
                                  reinterpret_cast<void**>(&list))))
        return 1;
    double before = PeakMiB();
    VARIANT_BOOL ok = VARIANT_FALSE;
    auto start = std::chrono::steady_clock::now();
    list->ReadFile(Bstr::From(argv[1]).get(), &ok);
    double read = Since(start);
    long count = 0;
    list->get_ItemCount(&count);

    start = std::chrono::steady_clock::now();
    for (long i = 0; i < 10000; ++i) {
        std::wstring name = i % 2 ? L"new" + std::to_wstring(i) + L".txt"
                                  : L"FILE" + std::to_wstring(i * (entries / 10000)) + L".TXT";
        list->AddItem(Bstr::From(name).get(), Bstr::From(L"added " + std::to_wstring(i)).get());
    }
    double added = Since(start);

    start = std::chrono::steady_clock::now();
    long found = 0;
    for (long i = 0; i < 1000; ++i) {
        Bstr text;
        list->get_ItemDescriptionByFileName(Bstr::From(L"File" + std::to_wstring(i * 7 + 1) + L".Txt").get(),
                                            text.put());
        found += text.length() > 0;
    }
    double looked = Since(start);

    start = std::chrono::steady_clock::now();
    VARIANT_BOOL written = VARIANT_FALSE;
    list->WriteFile(Bstr::From(argv[2]).get(), &written);
    double write = Since(start);
    std::wprintf(L"  compiled client, %6ld entries: read %.3f s (%ld), 10000 AddItem %.3f s, 1000 lookups %.3f s "
                 L"(%ld found), write %.3f s (%ls); peak %.0f MiB (%.0f before)\n",
                 entries, read, count, added, looked, found, write, written ? L"ok" : L"FAILED", PeakMiB(), before);
    list->Release();
    ::CoUninitialize();
    return 0;
}
