// What the library keeps for the whole module: its instance handle, the
// counts DllCanUnloadNow reports on, and the type library loaded once from
// the DLL's own resources.
#pragma once

#include <windows.h>

#include <tovrin/ComPtr.h>

#include <oaidl.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace tovrin::module {

void SetInstance(HINSTANCE instance);
std::wstring Path(); // the DLL's own file

void ObjectCreated();
void ObjectDestroyed();
void Lock();
void Unlock();
bool CanUnload();

// The embedded type library, loaded on first use; never looked up in the registry.
ComPtr<ITypeLib> TypeLibrary();

// The type information of one interface, fetched once for the module: the
// dispatch side answers GetIDsOfNames and GetTypeInfo, the vtable side of a
// dual interface is what ITypeInfo::Invoke calls through, and the function
// descriptions are found by member without asking the type library again.
struct InterfaceTypes {
    ITypeInfo* Dispatch = nullptr;
    ITypeInfo* Vtable = nullptr;

    // The description of the member for the first kind of call in flags
    // that it has (method, property get, put, put by reference); null when
    // it has none.
    const FUNCDESC* Function(DISPID member, WORD flags) const;

    std::unordered_map<unsigned long long, FUNCDESC*> Functions; // by member and kind

    // The member a caller names, whatever the letter case; DISPID_UNKNOWN
    // for a name the interface does not have. Asks nothing of the type
    // library and allocates nothing.
    DISPID IdOfName(const wchar_t* name) const;

    std::vector<std::pair<std::wstring, DISPID>> Names; // upper case, sorted
};

// The interface's types, valid while the caller holds an object of the
// module: only UnloadIfUnused releases them, and only when no object is left.
const InterfaceTypes& TypesOf(REFGUID iid);

// DllCanUnloadNow: when no object and no lock is left, releases the cached
// type library and type information and answers true, in one step that no
// other apartment's lookup can overlap; otherwise answers false.
bool UnloadIfUnused();

// For tests: a function UnloadIfUnused calls after it found no object and
// before it releases anything, to widen the window in which another
// apartment may start a call.
void SetUnloadPause(void (*pause)());

} // namespace tovrin::module
