// Late-bound calls through the type information, with the declared defaults
// put in for optional arguments the caller left out anywhere in the list
// (the platform's ITypeInfo::Invoke fills only trailing gaps on some systems;
// doing it here makes Method(a, , c) behave the same everywhere), and with
// scripts' variables taken by typed by-reference parameters.
#pragma once

#include <windows.h>

#include "Module.h"

#include <oaidl.h>

namespace tovrin {

HRESULT InvokeWithDefaults(const module::InterfaceTypes& types, void* instance, DISPID member, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

} // namespace tovrin
