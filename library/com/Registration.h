// Self-registration driven by one table: the creatable classes with their
// program identifiers, and the type library with the interfaces it owns.
// Unregistration removes exactly what registration wrote and never touches
// keys that belong to others (an interface the platform registered, a
// program identifier another server took over).
#pragma once

#include "ClassFactory.h"

#include <string>

namespace tovrin {

struct ClassEntry {
    const CLSID* Clsid;
    const wchar_t* Name;
    CreateFunction Create;
};

struct ServerDescription {
    const wchar_t* LibraryName; // "Ormelin0105": program identifiers are LibraryName.Class
    const GUID* Libid;
    const wchar_t* VersionText; // "1.0"
    const wchar_t* HelpString;
    const ClassEntry* Classes;
    size_t ClassCount;
};

HRESULT RegisterServer(const ServerDescription& server);
HRESULT UnregisterServer(const ServerDescription& server);

std::wstring GuidText(REFGUID guid);

} // namespace tovrin
