// One million property reads through IDispatch, as a late-bound compiled
// client makes them: Count of Scripting.Dictionary beside Count of the
// library's Collection and of tovFoundedFiles, in alternating rounds. The
// difference is the cost of each object's dispatch (type information,
// argument handling, the member boundary) per call.
//   dispatch_bench.exe LISTFILE FOLDER
#include "BenchSupport.h"

#include <tovrin/ComPtr.h>
#include <tovrin/Unique.h>
#include <tovrin/Variant.h>

#include <cstdio>

using bench::Since;
using tovrin::ComPtr;

namespace {

ComPtr<IDispatch> Create(const wchar_t* progId)
{
    CLSID clsid = {};
    ComPtr<IDispatch> object;
    if (SUCCEEDED(::CLSIDFromProgID(progId, &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void());
    return object;
}

DISPID IdOf(IDispatch* object, const wchar_t* member)
{
    std::wstring name = member;
    LPOLESTR names[] = {&name[0]};
    DISPID id = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// Reads Count count times; the seconds it took.
double ReadCount(IDispatch* object, int count)
{
    DISPID id = IdOf(object, L"Count");
    DISPPARAMS none = {};
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        VARIANT value;
        ::VariantInit(&value);
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    }
    return Since(start);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        ComPtr<IDispatch> dictionary = Create(L"Scripting.Dictionary");
        ComPtr<IDispatch> fso = Create(L"Ormelin0105.tovFSO");
        ComPtr<IDispatch> found = Create(L"Ormelin0105.tovFoundedFiles");
        if (!dictionary || !fso || !found)
            return 1;
        tovrin::Variant list;
        tovrin::Variant name, comment, yes, no;
        V_VT(name.get()) = VT_BSTR;
        V_BSTR(name.get()) = ::SysAllocString(argv[1]);
        DISPPARAMS read = {name.get(), nullptr, 1, 0};
        if (FAILED(fso.get()->Invoke(IdOf(fso.get(), L"ReadStandardListFile"), IID_NULL, LOCALE_USER_DEFAULT,
                                     DISPATCH_METHOD, &read, list.get(), nullptr, nullptr)) ||
            V_VT(list.get()) != VT_DISPATCH)
            return 1;
        tovrin::Variant folder, mask;
        V_VT(folder.get()) = VT_BSTR;
        V_BSTR(folder.get()) = ::SysAllocString(argv[2]);
        V_VT(mask.get()) = VT_BSTR;
        V_BSTR(mask.get()) = ::SysAllocString(L"*");
        VARIANT refresh[] = {*mask.get(), *folder.get()};
        DISPPARAMS search = {refresh, nullptr, 2, 0};
        tovrin::Variant ignored;
        found.get()->Invoke(IdOf(found.get(), L"Refresh"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &search,
                            ignored.get(), nullptr, nullptr);

        const int reads = 1000000, rounds = 4;
        IDispatch* objects[] = {dictionary.get(), V_DISPATCH(list.get()), found.get()};
        const wchar_t* names[] = {L"Scripting.Dictionary.Count", L"Collection.Count", L"tovFoundedFiles.Count"};
        double seconds[3] = {};
        for (int round = 0; round < rounds; ++round)
            for (int k = 0; k < 3; ++k)
                seconds[k] += ReadCount(objects[k], reads / rounds);
        for (int k = 0; k < 3; ++k)
            std::wprintf(L"  compiled client: %d reads of %ls in %.2f s = %.3f us a read\n", reads, names[k],
                         seconds[k], seconds[k] * 1e6 / reads);
    }
    ::CoUninitialize();
    return 0;
}
