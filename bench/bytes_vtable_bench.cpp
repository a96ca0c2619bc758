// GetFileB and PutFileB of a large file through the vtable, as a compiled
// client calls them, with the process's peak memory: the library's own cost
// without a script engine in between.
//   bytes_vtable_bench.exe SOURCE TARGET
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
    std::wprintf(L"peak before: %.0f MiB\n", PeakMiB());
    auto start = std::chrono::steady_clock::now();
    tovrin::SafeArray data;
    VARIANT_BOOL success = VARIANT_FALSE;
    HRESULT hr = fso->GetFileB(tovrin::Bstr::From(argv[1]).get(), VARIANT_TRUE, &success, data.put());
    double read = Since(start);
    double size = data ? data.get()->rgsabound[0].cElements / 1048576.0 : 0;
    std::wprintf(L"GetFileB 0x%08lX  %.0f MiB in %.2f s = %.0f MiB/s  peak %.0f MiB\n", hr, size, read, size / read,
                 PeakMiB());
    start = std::chrono::steady_clock::now();
    SAFEARRAY* passed = data.get();
    VARIANT_BOOL done = VARIANT_FALSE;
    hr = fso->PutFileB(tovrin::Bstr::From(argv[2]).get(), &passed, VARIANT_TRUE, &done);
    double written = Since(start);
    std::wprintf(L"PutFileB 0x%08lX  %.0f MiB in %.2f s = %.0f MiB/s  peak %.0f MiB\n", hr, size, written,
                 size / written, PeakMiB());

    // The same write through IDispatch, the array passed by value as scripts pass it.
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(L"PutFileB");
    fso->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    VARIANT arguments[2];
    V_VT(&arguments[1]) = VT_BSTR;
    V_BSTR(&arguments[1]) = ::SysAllocString(argv[2]);
    V_VT(&arguments[0]) = VT_ARRAY | VT_UI1;
    V_ARRAY(&arguments[0]) = data.get();
    DISPPARAMS params = {arguments, nullptr, 2, 0};
    VARIANT result;
    ::VariantInit(&result);
    start = std::chrono::steady_clock::now();
    hr = fso->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    written = Since(start);
    ::SysFreeString(V_BSTR(&arguments[1]));
    std::wprintf(L"PutFileB late-bound 0x%08lX  %.0f MiB in %.2f s = %.0f MiB/s  peak %.0f MiB\n", hr, size, written,
                 size / written, PeakMiB());
    fso->Release();
    ::CoUninitialize();
    return 0;
}
