// Self-registration driven by one table: the creatable classes with their
// program identifiers, and the type library with the interfaces it owns.
// Unregistration removes exactly what registration wrote and never touches
// keys that belong to others (an interface the platform registered, a
// program identifier another server took over).
#pragma once

#include "ClassFactory.h"

#include <string>
#include <vector>

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

// One value under HKEY_CLASSES_ROOT that registration writes; an empty Name
// is the key's default value. The values of an interface key (SharedKey)
// are written only where no other type library owns that interface.
struct RegistryValue {
    std::wstring Key;
    std::wstring Name;
    std::wstring Value;
    std::wstring SharedKey;
};

// Everything registration writes for the server at that path, in the
// registry view of a 32-bit or a 64-bit process. Installers write the same.
std::vector<RegistryValue> RegistryValues(const ServerDescription& server, const std::wstring& path, bool win64);

HRESULT RegisterServer(const ServerDescription& server);
HRESULT UnregisterServer(const ServerDescription& server);

std::wstring GuidText(REFGUID guid);

} // namespace tovrin
