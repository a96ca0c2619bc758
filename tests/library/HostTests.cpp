// The library in conditions only a host makes.
//
// DllCanUnloadNow on one thread while apartments on others create objects,
// call them through IDispatch and release them, as COM does it in a host
// with many threads (CoFreeUnusedLibraries, an apartment that ends).
// The window between the unload's finding no object and its releasing the
// type information is widened through the module's seam until an apartment
// that made an object after the check is inside a call (asked by the
// library for an interface of the script object it passed); the apartment
// goes on once the unload is done. This program fills freed memory as a
// debug heap does, so that a call that goes on with released type
// information fails every time. A watchdog ends a hang.
//
// A search whose memory runs out half-way: this program's allocator can be
// told to refuse the nth allocation from now, as a 32-bit host's full
// address space does.
#include "Ormelin0105.h"

#include <tovrin/ComPtr.h>
#include <tovrin/Unique.h>
#include <tovrin/Variant.h>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "com/Module.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

STDAPI DllCanUnloadNow();
STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);

namespace {
std::atomic<long> g_allocationsLeft{-1}; // -1: no limit
}

void* operator new(size_t size)
{
    if (g_allocationsLeft >= 0 && g_allocationsLeft-- == 0)
        throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    if (block) {
        std::memset(block, 0xDD, _msize(block));
        std::free(block);
    }
}

void operator delete(void* block, size_t) noexcept
{
    operator delete(block);
}

namespace {

using tovrin::ComPtr;

struct Shared {
    std::atomic<bool> stop{false};
    std::atomic<bool> unloading{false}; // between the unload's check and its end
    std::atomic<long> inside{0};        // apartments inside a call, waiting for the unload
    std::atomic<long> unloads{0};
    std::atomic<long> calls{0};
    std::atomic<long> wrong{0};
};

Shared* g_shared;

// The unload found no object: it goes on once an apartment is inside a
// call, or after a while (none could start one).
void UntilAnApartmentIsInsideACall()
{
    g_shared->unloading = true;
    for (int waited = 0; g_shared->inside == 0 && waited < 100; ++waited)
        ::Sleep(1);
}

// A script's callback object, as the search is handed one: the library
// asks it for the callback interface while it prepares the call. When the
// call started while an unload was under way, the first question waits
// there until that unload is done.
class ScriptCallback final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
        if (m_waiting && g_shared->unloading) {
            const long seen = g_shared->unloads;
            ++g_shared->inside;
            for (int waited = 0; g_shared->unloads == seen && waited < 100; ++waited)
                ::Sleep(1);
            --g_shared->inside;
        }
        m_waiting = false;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override
    {
        for (UINT i = 0; i < count; ++i)
            ids[i] = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return S_OK; // the folder is done; no cancel
    }

    void WaitInNextCall() { m_waiting = true; }

private:
    bool m_waiting = false;
};

// One apartment: searches made through the class factory, as COM makes
// them, each named and called late-bound with a script's callback, then
// released, so that the module is left with no object between them.
void Apartment(Shared& shared, const std::wstring& folder)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ScriptCallback callback;
    while (!shared.stop) {
        ComPtr<IClassFactory> factory;
        ComPtr<IDispatch> search;
        if (DllGetClassObject(CLSID_tovFoundedFiles, IID_IClassFactory, factory.put_void()) != S_OK ||
            factory->CreateInstance(nullptr, IID_IDispatch, search.put_void()) != S_OK) {
            ++shared.wrong;
            continue;
        }
        factory.reset();
        wchar_t name[] = L"RefreshEx";
        LPOLESTR names[] = {name};
        DISPID id = DISPID_UNKNOWN;
        VARIANT arguments[4]; // in reverse: callback, FollowReparsePoints, Mask, Path
        V_VT(&arguments[0]) = VT_DISPATCH;
        V_DISPATCH(&arguments[0]) = &callback;
        callback.AddRef();
        V_VT(&arguments[1]) = VT_BOOL;
        V_BOOL(&arguments[1]) = VARIANT_FALSE;
        V_VT(&arguments[2]) = VT_BSTR;
        V_BSTR(&arguments[2]) = ::SysAllocString(L"*");
        V_VT(&arguments[3]) = VT_BSTR;
        V_BSTR(&arguments[3]) = ::SysAllocString(folder.c_str());
        DISPPARAMS params = {arguments, nullptr, 4, 0};
        tovrin::Variant result;
        callback.WaitInNextCall();
        if (search->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id) != S_OK ||
            search->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.put(), nullptr,
                           nullptr) != S_OK ||
            V_VT(result.get()) != VT_BOOL || V_BOOL(result.get()) != VARIANT_TRUE)
            ++shared.wrong;
        ++shared.calls;
        for (VARIANT& argument : arguments)
            ::VariantClear(&argument);
        search.reset();
        ::Sleep(1);
    }
    ::CoUninitialize();
}

// Ends the program when it hangs, and with a failure when it crashes,
// without the debugger the system would start.
class Watchdog {
public:
    explicit Watchdog(DWORD milliseconds) : m_done(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        ::SetUnhandledExceptionFilter(Crashed);
        m_thread = std::thread([this, milliseconds] {
            if (::WaitForSingleObject(m_done, milliseconds) == WAIT_TIMEOUT) {
                std::fputs("host_tests: hung; ended by the watchdog\n", stderr);
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
        });
    }
    ~Watchdog()
    {
        ::SetEvent(m_done);
        m_thread.join();
        ::CloseHandle(m_done);
    }

private:
    static LONG WINAPI Crashed(EXCEPTION_POINTERS* exception)
    {
        std::fprintf(stderr, "host_tests: exception %08lx at %p\n", exception->ExceptionRecord->ExceptionCode,
                     exception->ExceptionRecord->ExceptionAddress);
        ::TerminateProcess(::GetCurrentProcess(), 4);
        return EXCEPTION_EXECUTE_HANDLER;
    }

    HANDLE m_done;
    std::thread m_thread;
};

TEST(Unloading, SimulatedWideWindowNeverFreesWhatAStartingCallUses)
{
    Watchdog watchdog(120000);
    testing_support::TempFolder folder;
    Shared shared;
    g_shared = &shared;
    tovrin::module::SetUnloadPause(UntilAnApartmentIsInsideACall);
    std::vector<std::thread> apartments;
    for (int i = 0; i < 3; ++i)
        apartments.emplace_back(Apartment, std::ref(shared), folder.Path());
    for (const DWORD start = ::GetTickCount(); shared.unloads < 20 && ::GetTickCount() - start < 30000;)
        if (DllCanUnloadNow() == S_OK) {
            shared.unloading = false;
            ++shared.unloads;
        }
    shared.stop = true;
    for (std::thread& apartment : apartments)
        apartment.join();
    tovrin::module::SetUnloadPause(nullptr);
    EXPECT_EQ(shared.wrong, 0) << "of " << shared.calls << " calls";
    EXPECT_EQ(shared.unloads, 20) << "the type information was released again and again while the apartments worked";
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

// The search's records as a shape: names, and below each folder its own.
std::wstring Shape(_tovFoundedFiles* list)
{
    std::wstring shape;
    long count = 0;
    list->get_Count(&count);
    for (long i = 0; i < count; ++i) {
        ComPtr<_FoundedFile> record;
        ComPtr<_tovFoundedFiles> below;
        tovrin::Bstr name;
        if (list->get_Item(i, record.put()) != S_OK || record->get_FileName(name.put()) != S_OK ||
            record->get_Childs(below.put()) != S_OK)
            return L"?";
        shape += name.str() + L"[" + Shape(below.get()) + L"]";
    }
    return shape;
}

TEST(MemoryRunningOut, ASearchFailsWithError7AndLeavesNothingHalfDone)
{
    Watchdog watchdog(120000);
    testing_support::TempFolder folder;
    for (int a = 0; a < 4; ++a) {
        const std::wstring sub = folder / (L"folder " + std::to_wstring(a));
        ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
        for (int b = 0; b < 20; ++b)
            testing_support::WriteBytes(sub + L"\\a file with a longer name " + std::to_wstring(b) + L".txt", "x");
    }
    ComPtr<IClassFactory> factory;
    ComPtr<_tovFoundedFiles> search;
    ASSERT_EQ(DllGetClassObject(CLSID_tovFoundedFiles, IID_IClassFactory, factory.put_void()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID__tovFoundedFiles, search.put_void()), S_OK);
    const tovrin::Bstr path = tovrin::Bstr::From(folder.Path()), mask = tovrin::Bstr::From(L"*");
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(search->Refresh(path.get(), mask.get(), &ok), S_OK);
    const std::wstring whole = Shape(search.get());
    ASSERT_EQ(std::count(whole.begin(), whole.end(), L'['), 84);

    // Refused at each allocation of the search in turn, until it has enough.
    int failed = 0;
    for (long allowed = 0; allowed < 5000; ++allowed) {
        g_allocationsLeft = allowed;
        const HRESULT hr = search->Refresh(path.get(), mask.get(), &ok);
        g_allocationsLeft = -1;
        if (hr == S_OK) {
            EXPECT_EQ(Shape(search.get()), whole) << allowed << " allocations were enough";
            break;
        }
        ++failed;
        EXPECT_EQ(hr, static_cast<HRESULT>(0x800A0007)) << allowed;
        long count = -1;
        VARIANT_BOOL has = 7;
        search->get_Count(&count);
        search->get_HasSubItems(&has);
        EXPECT_EQ(count, 0) << allowed << ": nothing of the tree is left";
        EXPECT_EQ(has, VARIANT_FALSE) << allowed;
        ASSERT_EQ(search->Refresh(path.get(), mask.get(), &ok), S_OK) << allowed << ": the host goes on";
        EXPECT_EQ(Shape(search.get()), whole) << allowed;
    }
    EXPECT_GE(failed, 20) << "the refusals came at many places of the search";
}

} // namespace
