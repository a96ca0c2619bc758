// What the library keeps for the whole module: its instance handle, the
// counts DllCanUnloadNow reports on, and the type library loaded once from
// the DLL's own resources.
#pragma once

#include <windows.h>

#include <tovrin/ComPtr.h>

#include <oaidl.h>

#include <string>

namespace tovrin::module {

void SetInstance(HINSTANCE instance);
HINSTANCE Instance();
std::wstring Path(); // the DLL's own file

void ObjectCreated();
void ObjectDestroyed();
void Lock();
void Unlock();
bool CanUnload();

// The embedded type library, loaded on first use; never looked up in the registry.
ComPtr<ITypeLib> TypeLibrary();
ComPtr<ITypeInfo> TypeInfo(REFGUID guid);
// The vtable side of a dual interface, which ITypeInfo::Invoke calls through.
ComPtr<ITypeInfo> VtableTypeInfo(REFGUID guid);
// Drops the cached type library when the module may unload.
void ReleaseTypeLibrary();

} // namespace tovrin::module
