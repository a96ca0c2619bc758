#include "Module.h"

#include "AutomationError.h"

#include <tovrin/Unique.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>

namespace tovrin::module {

namespace {

HINSTANCE g_instance;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
// The type library and the interfaces' types, each loaded once and kept
// until DllCanUnloadNow finds no object. COM may call that on any thread
// while other apartments start objects and calls: the lock makes the check
// and the release one step that no lookup can overlap, and a call that got
// its types holds an object, so the check cannot pass while it uses them.
SRWLOCK g_cacheLock = SRWLOCK_INIT;
ITypeLib* g_typeLibrary; // one reference, ours
std::vector<std::pair<GUID, InterfaceTypes*>> g_types;
void (*g_unloadPause)();

class CacheLock {
public:
    explicit CacheLock(bool exclusive) : m_exclusive(exclusive)
    {
        m_exclusive ? ::AcquireSRWLockExclusive(&g_cacheLock) : ::AcquireSRWLockShared(&g_cacheLock);
    }
    ~CacheLock() { m_exclusive ? ::ReleaseSRWLockExclusive(&g_cacheLock) : ::ReleaseSRWLockShared(&g_cacheLock); }
    CacheLock(const CacheLock&) = delete;
    CacheLock& operator=(const CacheLock&) = delete;

private:
    bool m_exclusive;
};

// The type library, loaded on first use; the caller holds the lock exclusively.
ITypeLib* LoadedTypeLibrary()
{
    if (!g_typeLibrary)
        Check(::LoadTypeLibEx(Path().c_str(), REGKIND_NONE, &g_typeLibrary));
    return g_typeLibrary;
}

const InterfaceTypes* Cached(REFGUID iid)
{
    for (const auto& entry : g_types)
        if (entry.first == iid)
            return entry.second;
    return nullptr;
}

unsigned long long FunctionKey(DISPID member, INVOKEKIND kind)
{
    return (static_cast<unsigned long long>(static_cast<unsigned long>(member)) << 8) | kind;
}

void Release(InterfaceTypes* types)
{
    if (types->Vtable) {
        for (auto& entry : types->Functions)
            types->Vtable->ReleaseFuncDesc(entry.second);
        types->Vtable->Release();
    }
    if (types->Dispatch)
        types->Dispatch->Release();
    delete types;
}

InterfaceTypes* Fetch(REFGUID iid)
{
    std::unique_ptr<InterfaceTypes, void (*)(InterfaceTypes*)> types(new InterfaceTypes, Release);
    Check(LoadedTypeLibrary()->GetTypeInfoOfGuid(iid, &types->Dispatch));
    ComPtr<ITypeInfo> vtable;
    HREFTYPE reference = 0;
    if (SUCCEEDED(types->Dispatch->GetRefTypeOfImplType(-1, &reference)))
        Check(types->Dispatch->GetRefTypeInfo(reference, vtable.put()));
    else
        vtable = ComPtr<ITypeInfo>::Copy(types->Dispatch); // not dual: the dispatch side is all there is
    types->Vtable = vtable.release();
    TYPEATTR* attributes = nullptr;
    Check(types->Vtable->GetTypeAttr(&attributes));
    WORD count = attributes->cFuncs;
    types->Vtable->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < count; ++i) {
        FUNCDESC* function = nullptr;
        Check(types->Vtable->GetFuncDesc(i, &function));
        try {
            types->Functions[FunctionKey(function->memid, function->invkind)] = function;
        } catch (...) {
            types->Vtable->ReleaseFuncDesc(function);
            throw;
        }
    }
    for (const auto& entry : types->Functions) {
        Bstr name;
        Check(types->Vtable->GetDocumentation(entry.second->memid, name.put(), nullptr, nullptr, nullptr));
        std::wstring upper = name.str();
        if (!upper.empty())
            ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
        types->Names.emplace_back(std::move(upper), entry.second->memid);
    }
    std::sort(types->Names.begin(), types->Names.end());
    return types.release();
}

} // namespace

void SetInstance(HINSTANCE instance)
{
    g_instance = instance;
}

std::wstring Path()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(g_instance, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void ObjectCreated()
{
    ++g_objects;
}

void ObjectDestroyed()
{
    --g_objects;
}

void Lock()
{
    ++g_locks;
}

void Unlock()
{
    --g_locks;
}

bool CanUnload()
{
    return g_objects == 0 && g_locks == 0;
}

ComPtr<ITypeLib> TypeLibrary()
{
    {
        CacheLock shared(false);
        if (g_typeLibrary)
            return ComPtr<ITypeLib>::Copy(g_typeLibrary);
    }
    CacheLock exclusive(true);
    return ComPtr<ITypeLib>::Copy(LoadedTypeLibrary());
}

const FUNCDESC* InterfaceTypes::Function(DISPID member, WORD flags) const
{
    const INVOKEKIND kinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
    const WORD wanted[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF};
    for (int i = 0; i < 4; ++i) {
        if (!(flags & wanted[i]))
            continue;
        auto found = Functions.find(FunctionKey(member, kinds[i]));
        if (found != Functions.end())
            return found->second;
    }
    return nullptr;
}

DISPID InterfaceTypes::IdOfName(const wchar_t* name) const
{
    wchar_t upper[64];
    size_t length = name ? std::wcslen(name) : 0;
    if (length == 0 || length >= std::size(upper))
        return DISPID_UNKNOWN;
    std::wmemcpy(upper, name, length + 1);
    ::CharUpperBuffW(upper, static_cast<DWORD>(length));
    auto found = std::lower_bound(Names.begin(), Names.end(), upper,
                                  [](const std::pair<std::wstring, DISPID>& entry, const wchar_t* wanted) {
                                      return std::wcscmp(entry.first.c_str(), wanted) < 0;
                                  });
    return found != Names.end() && found->first == upper ? found->second : DISPID_UNKNOWN;
}

const InterfaceTypes& TypesOf(REFGUID iid)
{
    {
        CacheLock shared(false);
        if (const InterfaceTypes* types = Cached(iid))
            return *types;
    }
    CacheLock exclusive(true);
    if (const InterfaceTypes* types = Cached(iid)) // another thread was first
        return *types;
    std::unique_ptr<InterfaceTypes, void (*)(InterfaceTypes*)> fetched(Fetch(iid), Release);
    g_types.emplace_back(iid, fetched.get());
    return *fetched.release();
}

bool UnloadIfUnused()
{
    CacheLock exclusive(true);
    if (!CanUnload())
        return false;
    if (g_unloadPause)
        g_unloadPause();
    for (auto& entry : g_types)
        Release(entry.second);
    g_types.clear();
    if (ITypeLib* cached = g_typeLibrary) {
        g_typeLibrary = nullptr;
        cached->Release();
    }
    return true;
}

void SetUnloadPause(void (*pause)())
{
    g_unloadPause = pause;
}

} // namespace tovrin::module
