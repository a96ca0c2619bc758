// Late-bound calls through the type information, with the declared defaults
// put in for optional arguments the caller left out anywhere in the list
// (the platform's ITypeInfo::Invoke fills only trailing gaps on some systems;
// doing it here makes Method(a, , c) behave the same everywhere), and with
// scripts' variables taken by typed by-reference parameters, and with
// scripts' objects adapted to the callback interfaces members take.
#pragma once

#include <windows.h>

#include "Module.h"

#include <oaidl.h>

namespace tovrin {

// Scripts cannot implement the library's callback interfaces: a VBScript
// class or a JScript object is a plain dispatch object. A class whose
// members take such an interface gives the dispatch an adapter: S_OK with an
// object that implements the interface by calling the script's object by
// name, S_FALSE when it has none for that interface, a failure (with its
// error record) for an object that lacks what the interface needs.
using ScriptObjectAdapter = HRESULT (*)(REFIID iid, IDispatch* client, IUnknown** adapted);

HRESULT InvokeWithDefaults(const module::InterfaceTypes& types, void* instance, ScriptObjectAdapter adapter,
                           DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                           UINT* argumentError);

} // namespace tovrin
