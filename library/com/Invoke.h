// Late-bound calls through the type information, with the declared defaults
// put in for optional arguments the caller left out anywhere in the list.
// The platform's ITypeInfo::Invoke fills only trailing gaps on some systems;
// doing it here makes Method(a, , c) behave the same everywhere.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace tovrin {

HRESULT InvokeWithDefaults(ITypeInfo* info, void* instance, DISPID member, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

} // namespace tovrin
