// Ormelin0105.dll's entry points: the class table that drives the class
// factories and self-registration, and the module's unload check.
#include "com/ClassFactory.h"
#include "com/Module.h"
#include "com/Registration.h"
#include "tovDescriptIon.h"
#include "tovFileStreams.h"
#include "tovFileVersion.h"
#include "tovFoundedFiles.h"
#include "tovShellFileInfo.h"
#include "tovFSO.h"

#include "Ormelin0105.h"

namespace {

// The creatable classes of this build. A class of the type library that is
// not listed here has no factory and no registration: creating it fails with
// CLASS_E_CLASSNOTAVAILABLE instead of giving an object that cannot work.
const tovrin::ClassEntry Classes[] = {
    {&CLSID_tovFSO, L"tovFSO", tovrin::CreateInstanceOf<tovrin::tovFSO>},
    {&CLSID_tovDescriptIon, L"tovDescriptIon", tovrin::CreateInstanceOf<tovrin::tovDescriptIon>},
    {&CLSID_tovFileStreams, L"tovFileStreams", tovrin::CreateInstanceOf<tovrin::tovFileStreams>},
    {&CLSID_tovFileVersion, L"tovFileVersion", tovrin::CreateInstanceOf<tovrin::tovFileVersion>},
    {&CLSID_tovShellFileInfo, L"tovShellFileInfo", tovrin::CreateInstanceOf<tovrin::tovShellFileInfo>},
    {&CLSID_tovFoundedFiles, L"tovFoundedFiles", tovrin::CreateInstanceOf<tovrin::tovFoundedFiles>},
    {&CLSID_IFindFilesCallback, L"IFindFilesCallback", tovrin::CreateInstanceOf<tovrin::IFindFilesCallback>},
};

const tovrin::ServerDescription Server = {
    L"Ormelin0105", &LIBID_Ormelin0105, L"1.0", L"Tovrin - Ormelin 1.05", Classes, ARRAYSIZE(Classes),
};

} // namespace

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
    for (const tovrin::ClassEntry& entry : Classes)
        if (clsid == *entry.Clsid)
            return tovrin::CreateClassFactory(entry.Create, iid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow()
{
    if (!tovrin::module::CanUnload())
        return S_FALSE;
    tovrin::module::ReleaseTypeLibrary();
    return S_OK;
}

STDAPI DllRegisterServer()
{
    return tovrin::RegisterServer(Server);
}

STDAPI DllUnregisterServer()
{
    return tovrin::UnregisterServer(Server);
}
