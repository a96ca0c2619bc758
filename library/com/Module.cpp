#include "Module.h"

#include "AutomationError.h"

#include <atomic>
#include <string>

namespace tovrin::module {

namespace {

HINSTANCE g_instance;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
ITypeLib* g_typeLibrary; // the cache: one reference, released by ReleaseTypeLibrary

} // namespace

void SetInstance(HINSTANCE instance)
{
    g_instance = instance;
}

HINSTANCE Instance()
{
    return g_instance;
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
    if (!g_typeLibrary) {
        ITypeLib* loaded = nullptr;
        Check(::LoadTypeLibEx(Path().c_str(), REGKIND_NONE, &loaded), L"Ormelin0105");
        g_typeLibrary = loaded;
    }
    return ComPtr<ITypeLib>::Copy(g_typeLibrary);
}

ComPtr<ITypeInfo> TypeInfo(REFGUID guid)
{
    ComPtr<ITypeInfo> info;
    Check(TypeLibrary()->GetTypeInfoOfGuid(guid, info.put()), L"Ormelin0105");
    return info;
}

ComPtr<ITypeInfo> VtableTypeInfo(REFGUID guid)
{
    ComPtr<ITypeInfo> dispatch = TypeInfo(guid);
    HREFTYPE reference = 0;
    if (FAILED(dispatch->GetRefTypeOfImplType(-1, &reference)))
        return dispatch; // not dual: the dispatch side is all there is
    ComPtr<ITypeInfo> vtable;
    Check(dispatch->GetRefTypeInfo(reference, vtable.put()), L"Ormelin0105");
    return vtable;
}

void ReleaseTypeLibrary()
{
    if (ITypeLib* cached = g_typeLibrary) {
        g_typeLibrary = nullptr;
        cached->Release();
    }
}

} // namespace tovrin::module
