// Ormelin0105.dll's entry points: the class factories and self-registration
// driven by the class table, and the module's unload check.
#include "Classes.h"
#include "com/ClassFactory.h"
#include "com/Module.h"
#include "com/Registration.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        tovrin::module::SetInstance(instance);
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (const tovrin::ClassEntry& entry : tovrin::Classes())
        if (clsid == *entry.Clsid)
            return tovrin::CreateClassFactory(entry.Create, iid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow()
{
    return tovrin::module::UnloadIfUnused() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    return tovrin::RegisterServer(tovrin::Server());
}

STDAPI DllUnregisterServer()
{
    return tovrin::UnregisterServer(tovrin::Server());
}
