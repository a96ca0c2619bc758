// GetFile2 and PutFile2 of large text files through the vtable, as a compiled
// client calls them, with the process's peak memory: the library's own cost
// without a script engine copying the text.
//   text_vtable_bench.exe SOURCE TARGET
// The target is written in the format the source was read in.
#include "BenchSupport.h"

#include <tovrin/Unique.h>

#include <cstdio>

using bench::PeakMiB;
using bench::Since;

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    _tovFSO* fso = bench::CreateTovFso();
    if (!fso)
        return 1;
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    ::GetFileAttributesExW(argv[1], GetFileExInfoStandard, &attributes);
    double size = attributes.nFileSizeLow / 1048576.0 + attributes.nFileSizeHigh * 4096.0;
    std::wprintf(L"  file %.1f MiB, peak before: %.0f MiB\n", size, PeakMiB());

    auto start = std::chrono::steady_clock::now();
    tovrin::Bstr text;
    FileEncodingConst encoding = feAuto;
    FileBOMConst mark = fbAuto;
    InvertBytesConst order = ibAuto;
    VARIANT_BOOL success = VARIANT_FALSE;
    HRESULT hr = fso->GetFile2(tovrin::Bstr::From(argv[1]).get(), VARIANT_TRUE, feAuto, fbAuto, ibAuto, &encoding,
                               &mark, &order, &success, text.put());
    double read = Since(start);
    std::wprintf(L"  GetFile2 0x%08lX  %.2f s = %.0f MiB/s  peak %.0f MiB (%.1fx the file)\n", hr, read, size / read,
                 PeakMiB(), PeakMiB() / size);

    start = std::chrono::steady_clock::now();
    VARIANT_BOOL done = VARIANT_FALSE;
    hr = fso->PutFile2(tovrin::Bstr::From(argv[2]).get(), text.get(), VARIANT_TRUE, encoding, mark, order, &done);
    double written = Since(start);
    std::wprintf(L"  PutFile2 0x%08lX  %.2f s = %.0f MiB/s  peak %.0f MiB (%.1fx the file)\n", hr, written,
                 size / written, PeakMiB(), PeakMiB() / size);
    fso->Release();
    ::CoUninitialize();
    return 0;
}
