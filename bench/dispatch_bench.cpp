// One million property reads of one library object through IDispatch, as a
// late-bound compiled client makes them: the cost of the library's dispatch
// (type information, argument handling, the member boundary) per call.
//   dispatch_bench.exe LISTFILE
// The object is the collection ReadStandardListFile returns; the property
// read is its Count.
#include "BenchSupport.h"

#include <tovrin/Unique.h>

#include <cstdio>

using bench::Since;

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    _tovFSO* fso = bench::CreateTovFso();
    if (!fso)
        return 1;
    Collection* list = nullptr;
    HRESULT hr = fso->ReadStandardListFile(tovrin::Bstr::From(argv[1]).get(), tovrin::Bstr::From(L";").get(),
                                           VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE, VARIANT_TRUE, &list);
    if (FAILED(hr) || !list)
        return 1;

    OLECHAR name[] = L"Count";
    LPOLESTR names[] = {name};
    DISPID count = DISPID_UNKNOWN;
    list->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &count);
    const int reads = 1000000;
    long sum = 0;
    DISPPARAMS none = {};
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < reads; ++i) {
        VARIANT value;
        ::VariantInit(&value);
        list->Invoke(count, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
        sum += V_I4(&value);
    }
    double seconds = Since(start);
    std::wprintf(L"  compiled client: %d reads of Count in %.2f s = %.2f us a read (items %ld)\n", reads, seconds,
                 seconds * 1e6 / reads, sum / reads);
    list->Release();
    fso->Release();
    ::CoUninitialize();
    return 0;
}
