// One class factory for every creatable class: it makes objects through the
// creation function of the class table and counts as an object itself.
#pragma once

#include <windows.h>

#include <tovrin/ComPtr.h>

#include <unknwn.h>

namespace tovrin {

using CreateFunction = HRESULT (*)(REFIID iid, void** object);

// Creates a factory for the class; the caller owns the reference.
HRESULT CreateClassFactory(CreateFunction create, REFIID iid, void** factory);

// The creation function for a class made by Dispatch<Class, ...>::Create.
template <typename Class>
HRESULT CreateInstanceOf(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    try {
        return Class::Create()->QueryInterface(iid, object);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace tovrin
