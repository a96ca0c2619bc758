// Self-registration: what DllRegisterServer writes, that DllUnregisterServer
// removes exactly that, and that a registration owned by someone else (the
// platform's Collection interface) is never touched. The test leaves the DLL
// registered as it found it.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include "Ormelin0105.h"

#include <com/Registration.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace testing_support;

namespace {

const std::wstring Libid = L"{F4E33DFD-390E-4BB0-BC4D-F5EAEE694E2B}";
const std::wstring TovFsoClsid = L"{1C795C50-4D5A-4160-9B5C-8AC07EC3A47E}";
const std::wstring TovFsoIid = L"{989EF825-6B06-49C8-A150-F101C2ACDDB8}";
const std::wstring CollectionIid = L"{A4C46780-499F-101B-BB78-00AA00383CBB}";

bool KeyExists(const std::wstring& name)
{
    tovrin::RegKey key;
    return ::RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::wstring Value(const std::wstring& name, const wchar_t* value = nullptr)
{
    wchar_t text[512] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CLASSES_ROOT, name.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return L"(missing)";
    return text;
}

void SetValue(const std::wstring& name, const std::wstring& text)
{
    tovrin::RegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The names of the keys under the folders registration writes into.
std::vector<std::wstring> Snapshot()
{
    std::vector<std::wstring> names;
    for (const wchar_t* folder : {L"", L"CLSID", L"Interface", L"TypeLib"}) {
        tovrin::RegKey key;
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, folder, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
            continue;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (::RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.push_back(std::wstring(folder) + L"\\" + name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dll = ::LoadLibraryW((ProgramFolder() + L"\\Ormelin0105.dll").c_str());
        ASSERT_NE(m_dll, nullptr);
        m_register = Entry("DllRegisterServer");
        m_unregister = Entry("DllUnregisterServer");
    }
    void TearDown() override
    {
        // Leave the DLL registered, as the other tests expect it.
        EXPECT_EQ(m_register(), S_OK);
        ::FreeLibrary(m_dll);
    }

    using EntryPoint = HRESULT(STDAPICALLTYPE*)();
    EntryPoint Entry(const char* name)
    {
        return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(::GetProcAddress(m_dll, name)));
    }

    HMODULE m_dll = nullptr;
    EntryPoint m_register = nullptr;
    EntryPoint m_unregister = nullptr;
};

} // namespace

TEST_F(Registration, WritesClassProgIdApartmentAndTypeLibrary)
{
    ASSERT_EQ(m_register(), S_OK);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(m_dll, path, MAX_PATH);

    EXPECT_EQ(Value(L"CLSID\\" + TovFsoClsid + L"\\InprocServer32"), path);
    EXPECT_EQ(Value(L"CLSID\\" + TovFsoClsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(L"CLSID\\" + TovFsoClsid + L"\\ProgID"), L"Ormelin0105.tovFSO");
    EXPECT_EQ(Value(L"CLSID\\" + TovFsoClsid + L"\\TypeLib"), Libid);
    EXPECT_EQ(Value(L"Ormelin0105.tovFSO\\CLSID"), TovFsoClsid);
    EXPECT_EQ(Value(L"TypeLib\\" + Libid + L"\\1.0"), L"Tovrin - Ormelin 1.05");
    EXPECT_EQ(Value(L"TypeLib\\" + Libid + L"\\1.0\\0\\" + (sizeof(void*) == 8 ? L"win64" : L"win32")), path);
    EXPECT_EQ(Value(L"Interface\\" + TovFsoIid), L"_tovFSO");
    EXPECT_EQ(Value(L"Interface\\" + TovFsoIid + L"\\TypeLib"), Libid);

    // Registering twice changes nothing.
    EXPECT_EQ(m_register(), S_OK);
    EXPECT_EQ(Value(L"Ormelin0105.tovFSO\\CLSID"), TovFsoClsid);
}

TEST_F(Registration, UnregisterLeavesNoKeyBehind)
{
    ASSERT_EQ(m_unregister(), S_OK);
    std::vector<std::wstring> before = Snapshot();
    ASSERT_EQ(m_register(), S_OK);
    EXPECT_GT(Snapshot().size(), before.size());
    ASSERT_EQ(m_unregister(), S_OK);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(KeyExists(L"CLSID\\" + TovFsoClsid));
    EXPECT_FALSE(KeyExists(L"Ormelin0105.tovFSO"));
    EXPECT_FALSE(KeyExists(L"TypeLib\\" + Libid));
    EXPECT_FALSE(KeyExists(L"Interface\\" + TovFsoIid));
    EXPECT_FALSE(KeyExists(L"Interface\\{E67E987F-CCE0-4203-AD59-27A25D841910}")) << "_tovDescriptIon";
    // Unregistering again is no error.
    EXPECT_EQ(m_unregister(), S_OK);
}

TEST_F(Registration, NeverTouchesTheCollectionInterfaceOfTheRuntime)
{
    const std::wstring key = L"Interface\\" + CollectionIid;
    ASSERT_EQ(m_unregister(), S_OK);
    const std::wstring runtimeLibrary = L"{000204EF-0000-0000-C000-000000000046}";
    SetValue(key, L"_Collection");
    SetValue(key + L"\\TypeLib", runtimeLibrary);

    ASSERT_EQ(m_register(), S_OK);
    EXPECT_EQ(Value(key + L"\\TypeLib"), runtimeLibrary);
    ASSERT_EQ(m_unregister(), S_OK);
    EXPECT_EQ(Value(key), L"_Collection");
    EXPECT_EQ(Value(key + L"\\TypeLib"), runtimeLibrary);

    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
}

TEST_F(Registration, OwnsTheCollectionInterfaceOnlyWhenItWroteIt)
{
    const std::wstring key = L"Interface\\" + CollectionIid;
    ASSERT_EQ(m_unregister(), S_OK);
    ASSERT_FALSE(KeyExists(key));
    ASSERT_EQ(m_register(), S_OK);
    EXPECT_EQ(Value(key + L"\\TypeLib"), Libid);
    ASSERT_EQ(m_unregister(), S_OK);
    EXPECT_FALSE(KeyExists(key));
}
