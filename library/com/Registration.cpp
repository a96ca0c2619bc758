#include "Registration.h"

#include "AutomationError.h"
#include "Module.h"

#include <tovrin/Unique.h>

#include <map>
#include <vector>

namespace tovrin {

namespace {

// The marshaler of dual and automation-compatible interfaces.
const wchar_t* const AutomationMarshaler = L"{00020424-0000-0000-C000-000000000046}";

void Fail(LONG status)
{
    throw AutomationError(static_cast<long>(HRESULT_FROM_WIN32(status)));
}

void SetText(const std::wstring& keyName, const wchar_t* valueName, const std::wstring& value)
{
    RegKey key;
    LONG status = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    key.put(), nullptr);
    if (status != ERROR_SUCCESS)
        Fail(status);
    status = ::RegSetValueExW(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        Fail(status);
}

// The text of a value, or "" when the key or value is missing.
std::wstring ReadText(const std::wstring& keyName, const wchar_t* valueName)
{
    wchar_t text[512] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CLASSES_ROOT, keyName.c_str(), valueName, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return std::wstring();
    return text;
}

bool KeyExists(const std::wstring& keyName)
{
    RegKey key;
    return ::RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void DeleteTree(const std::wstring& keyName)
{
    LONG status = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, keyName.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        status = ::RegDeleteKeyW(HKEY_CLASSES_ROOT, keyName.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Fail(status);
}

void DeleteIfEmpty(const std::wstring& keyName)
{
    RegKey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    DWORD subKeys = 0;
    DWORD values = 0;
    ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr);
    key.reset();
    if (subKeys == 0 && values == 0)
        ::RegDeleteKeyW(HKEY_CLASSES_ROOT, keyName.c_str());
}

struct InterfaceEntry {
    IID Iid;
    std::wstring Name;
};

// The dual and automation-compatible interfaces the type library declares.
std::vector<InterfaceEntry> LibraryInterfaces()
{
    std::vector<InterfaceEntry> interfaces;
    ComPtr<ITypeLib> library = module::TypeLibrary();
    UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        TYPEKIND kind = TKIND_MAX;
        if (FAILED(library->GetTypeInfoType(i, &kind)) || (kind != TKIND_DISPATCH && kind != TKIND_INTERFACE))
            continue;
        ComPtr<ITypeInfo> info;
        TYPEATTR* attributes = nullptr;
        if (FAILED(library->GetTypeInfo(i, info.put())) || FAILED(info->GetTypeAttr(&attributes)))
            continue;
        bool automation = (attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION)) != 0;
        IID iid = attributes->guid;
        info->ReleaseTypeAttr(attributes);
        Bstr name;
        library->GetDocumentation(static_cast<INT>(i), name.put(), nullptr, nullptr, nullptr);
        if (automation)
            interfaces.push_back({iid, name.str()});
    }
    return interfaces;
}

std::wstring Folder(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

void Register(const ServerDescription& server)
{
    const std::wstring libid = GuidText(*server.Libid);
    std::map<std::wstring, bool> othersOwn; // decided before the first value is written
    for (const RegistryValue& value : RegistryValues(server, module::Path(), sizeof(void*) == 8)) {
        if (!value.SharedKey.empty()) {
            auto decided = othersOwn.find(value.SharedKey);
            if (decided == othersOwn.end())
                decided = othersOwn
                              .emplace(value.SharedKey, KeyExists(value.SharedKey) &&
                                                            ReadText(value.SharedKey + L"\\TypeLib", nullptr) != libid)
                              .first;
            if (decided->second)
                continue; // registered by someone else, such as the platform's Collection
        }
        SetText(value.Key, value.Name.empty() ? nullptr : value.Name.c_str(), value.Value);
    }
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Removes this architecture's registration. On 64-bit Windows the class and
// interface keys are kept per registry view, while the program identifiers
// and the type library's key are one for both: those go only when no
// architecture is left registered, so that unregistering the 32-bit library
// never breaks the 64-bit one, or the other way round. A class key that
// points at another copy of the library is left to that copy.
void Unregister(const ServerDescription& server)
{
    const std::wstring libid = GuidText(*server.Libid);
    const std::wstring library = L"TypeLib\\" + libid + L"\\" + server.VersionText;
    const bool win64 = sizeof(void*) == 8;
    const std::wstring self = module::Path();
    for (size_t i = 0; i < server.ClassCount; ++i) {
        const std::wstring key = L"CLSID\\" + GuidText(*server.Classes[i].Clsid);
        const std::wstring inproc = ReadText(key + L"\\InprocServer32", nullptr);
        if (inproc.empty() || SamePath(inproc, self))
            DeleteTree(key);
    }
    for (const InterfaceEntry& entry : LibraryInterfaces()) {
        const std::wstring key = L"Interface\\" + GuidText(entry.Iid);
        if (ReadText(key + L"\\TypeLib", nullptr) == libid)
            DeleteTree(key);
    }
    DeleteTree(library + L"\\0\\" + (win64 ? L"win64" : L"win32"));
    DeleteIfEmpty(library + L"\\0");
    if (KeyExists(library + L"\\0\\" + (win64 ? L"win32" : L"win64")))
        return; // the other architecture is still registered: the shared values stay
    for (size_t i = 0; i < server.ClassCount; ++i) {
        const std::wstring progId = std::wstring(server.LibraryName) + L"." + server.Classes[i].Name;
        if (ReadText(progId + L"\\CLSID", nullptr) == GuidText(*server.Classes[i].Clsid))
            DeleteTree(progId);
    }
    DeleteTree(library);
    DeleteIfEmpty(L"TypeLib\\" + libid);
}

template <typename Body>
HRESULT RegistrationStep(Body body)
{
    try {
        body();
        return S_OK;
    } catch (const AutomationError& error) {
        return error.Status();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace

std::vector<RegistryValue> RegistryValues(const ServerDescription& server, const std::wstring& path, bool win64)
{
    std::vector<RegistryValue> values;
    auto add = [&](const std::wstring& key, const wchar_t* name, const std::wstring& value,
                   const std::wstring& sharedKey = std::wstring()) {
        values.push_back({key, name ? name : L"", value, sharedKey});
    };
    const std::wstring libid = GuidText(*server.Libid);

    const std::wstring library = L"TypeLib\\" + libid + L"\\" + server.VersionText;
    add(library, nullptr, server.HelpString);
    add(library + L"\\0\\" + (win64 ? L"win64" : L"win32"), nullptr, path);
    add(library + L"\\FLAGS", nullptr, L"0");
    add(library + L"\\HELPDIR", nullptr, Folder(path));

    for (const InterfaceEntry& entry : LibraryInterfaces()) {
        const std::wstring key = L"Interface\\" + GuidText(entry.Iid);
        add(key, nullptr, entry.Name, key);
        add(key + L"\\ProxyStubClsid", nullptr, AutomationMarshaler, key);
        add(key + L"\\ProxyStubClsid32", nullptr, AutomationMarshaler, key);
        add(key + L"\\TypeLib", nullptr, libid, key);
        add(key + L"\\TypeLib", L"Version", server.VersionText, key);
    }

    for (size_t i = 0; i < server.ClassCount; ++i) {
        const ClassEntry& entry = server.Classes[i];
        const std::wstring clsid = GuidText(*entry.Clsid);
        const std::wstring progId = std::wstring(server.LibraryName) + L"." + entry.Name;
        const std::wstring key = L"CLSID\\" + clsid;
        add(key, nullptr, progId);
        add(key + L"\\InprocServer32", nullptr, path);
        add(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        add(key + L"\\ProgID", nullptr, progId);
        add(key + L"\\TypeLib", nullptr, libid);
        add(key + L"\\VERSION", nullptr, server.VersionText);
        add(progId, nullptr, progId);
        add(progId + L"\\CLSID", nullptr, clsid);
    }
    return values;
}

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT RegisterServer(const ServerDescription& server)
{
    return RegistrationStep([&] { Register(server); });
}

HRESULT UnregisterServer(const ServerDescription& server)
{
    return RegistrationStep([&] { Unregister(server); });
}

} // namespace tovrin
