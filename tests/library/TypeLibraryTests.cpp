// The type library embedded in Ormelin0105.dll, read back through ITypeLib
// and compared, table by table, with the published contract: classes and
// their flags, interfaces with slot order, DISPIDs and parameter flags, and
// the enumerations. Also the DLL's version record.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <vector>

struct ContractParam {
    const wchar_t* Name;
    int Flags;
};
struct ContractMember {
    const wchar_t* Name;
    long DispId;
    int InvokeKind;
    std::vector<ContractParam> Params;
};
struct ContractInterface {
    const wchar_t* Name;
    const wchar_t* Iid;
    std::vector<ContractMember> Members;
};
struct ContractClass {
    const wchar_t* Name;
    const wchar_t* Clsid;
    const wchar_t* DefaultInterface;
    bool Creatable;
    bool AppObject;
    bool PredeclId;
};
struct ContractEnumMember {
    const wchar_t* Name;
    long Value;
};
struct ContractEnum {
    const wchar_t* Name;
    const wchar_t* Guid;
    std::vector<ContractEnumMember> Members;
};
#include "TypeLibContract.inc"

using namespace testing_support;
using tovrin::ComPtr;

namespace {

GUID Guid(const wchar_t* text)
{
    GUID guid = {};
    ::CLSIDFromString(text, &guid);
    return guid;
}

std::wstring Name(ITypeInfo* info, MEMBERID member = MEMBERID_NIL)
{
    tovrin::Bstr name;
    info->GetDocumentation(member, name.put(), nullptr, nullptr, nullptr);
    return name.str();
}

std::string N(const wchar_t* text)
{
    return Narrow(text);
}

// Type attributes, released with the holder.
class Attributes {
public:
    explicit Attributes(ITypeInfo* info) : m_info(info) { info->GetTypeAttr(&m_attributes); }
    ~Attributes() { m_info->ReleaseTypeAttr(m_attributes); }
    const TYPEATTR* operator->() const { return m_attributes; }

private:
    ITypeInfo* m_info;
    TYPEATTR* m_attributes = nullptr;
};

class TypeLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring dll = ProgramFolder() + L"\\Ormelin0105.dll";
        ASSERT_EQ(::LoadTypeLibEx(dll.c_str(), REGKIND_NONE, m_library.put()), S_OK);
    }

    ComPtr<ITypeInfo> Info(const wchar_t* guid)
    {
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(m_library->GetTypeInfoOfGuid(Guid(guid), info.put()), S_OK) << N(guid);
        return info;
    }

    ComPtr<ITypeLib> m_library;
};

} // namespace

TEST_F(TypeLibrary, IdentityVersionAndHelpString)
{
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(m_library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(attributes->guid == Guid(L"{F4E33DFD-390E-4BB0-BC4D-F5EAEE694E2B}"));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0x0409u);
    m_library->ReleaseTLibAttr(attributes);

    tovrin::Bstr name, help;
    m_library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr);
    EXPECT_EQ(name.str(), L"Ormelin0105");
    EXPECT_EQ(help.str(), L"Tovrin - Ormelin 1.05");
}

TEST_F(TypeLibrary, ClassesWithTheirDefaultInterfaceAndFlags)
{
    ASSERT_EQ(ContractClasses.size(), 11u);
    for (const ContractClass& expected : ContractClasses) {
        SCOPED_TRACE(N(expected.Name));
        ComPtr<ITypeInfo> info = Info(expected.Clsid);
        ASSERT_TRUE(info);
        Attributes attributes(info.get());
        EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
        EXPECT_EQ(Name(info.get()), expected.Name);
        EXPECT_EQ((attributes->wTypeFlags & TYPEFLAG_FCANCREATE) != 0, expected.Creatable);
        EXPECT_EQ((attributes->wTypeFlags & TYPEFLAG_FAPPOBJECT) != 0, expected.AppObject);
        EXPECT_EQ((attributes->wTypeFlags & TYPEFLAG_FPREDECLID) != 0, expected.PredeclId);
        ASSERT_EQ(attributes->cImplTypes, 1);
        INT flags = 0;
        info->GetImplTypeFlags(0, &flags);
        EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> defaultInterface;
        ASSERT_EQ(info->GetRefTypeOfImplType(0, &reference), S_OK);
        ASSERT_EQ(info->GetRefTypeInfo(reference, defaultInterface.put()), S_OK);
        EXPECT_EQ(Name(defaultInterface.get()), expected.DefaultInterface);
    }
}

TEST_F(TypeLibrary, TovFsoIsAPredeclaredApplicationObject)
{
    ComPtr<ITypeInfo> info = Info(L"{1C795C50-4D5A-4160-9B5C-8AC07EC3A47E}");
    ASSERT_TRUE(info);
    Attributes attributes(info.get());
    EXPECT_EQ(attributes->wTypeFlags & (TYPEFLAG_FAPPOBJECT | TYPEFLAG_FCANCREATE | TYPEFLAG_FPREDECLID),
              TYPEFLAG_FAPPOBJECT | TYPEFLAG_FCANCREATE | TYPEFLAG_FPREDECLID);
}

TEST_F(TypeLibrary, InterfacesInSlotOrderWithDispidsAndParameters)
{
    for (const ContractInterface& expected : ContractInterfaces) {
        SCOPED_TRACE(N(expected.Name));
        ComPtr<ITypeInfo> dispatch = Info(expected.Iid);
        ASSERT_TRUE(dispatch);
        {
            Attributes attributes(dispatch.get());
            EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
            EXPECT_EQ(Name(dispatch.get()), expected.Name);
            WORD wanted = TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE;
            if (expected.Name[0] == L'_')
                wanted |= TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE;
            EXPECT_EQ(attributes->wTypeFlags, wanted);
        }
        // The vtable side of the dual interface.
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &reference), S_OK);
        ASSERT_EQ(dispatch->GetRefTypeInfo(reference, info.put()), S_OK);
        Attributes attributes(info.get());
        EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
        EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
        ASSERT_EQ(attributes->cFuncs, expected.Members.size());
        EXPECT_EQ(attributes->cbSizeVft, (7 + expected.Members.size()) * sizeof(void*));

        for (UINT slot = 0; slot < attributes->cFuncs; ++slot) {
            const ContractMember& member = expected.Members[slot];
            SCOPED_TRACE(N(member.Name));
            FUNCDESC* function = nullptr;
            ASSERT_EQ(info->GetFuncDesc(slot, &function), S_OK);
            BSTR names[32] = {};
            UINT count = 0;
            info->GetNames(function->memid, names, 32, &count);
            EXPECT_EQ(tovrin::Bstr::ToString(names[0]), member.Name);
            EXPECT_EQ(function->memid, member.DispId);
            EXPECT_EQ(function->invkind, member.InvokeKind);
            EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + slot) * sizeof(void*)));
            EXPECT_EQ(function->cParams, static_cast<SHORT>(member.Params.size()));
            for (SHORT p = 0; p < function->cParams && p < static_cast<SHORT>(member.Params.size()); ++p) {
                EXPECT_EQ(function->lprgelemdescParam[p].paramdesc.wParamFlags, member.Params[p].Flags)
                    << "parameter " << N(member.Params[p].Name);
                if (function->invkind != INVOKE_PROPERTYPUT && static_cast<UINT>(p) + 1 < count) {
                    EXPECT_EQ(tovrin::Bstr::ToString(names[p + 1]), member.Params[p].Name);
                }
            }
            for (UINT i = 0; i < count; ++i)
                ::SysFreeString(names[i]);
            info->ReleaseFuncDesc(function);
        }
    }
}

TEST_F(TypeLibrary, EnumerationsWithTheirValues)
{
    ASSERT_EQ(ContractEnums.size(), 8u);
    for (const ContractEnum& expected : ContractEnums) {
        SCOPED_TRACE(N(expected.Name));
        ComPtr<ITypeInfo> info = Info(expected.Guid);
        ASSERT_TRUE(info);
        Attributes attributes(info.get());
        EXPECT_EQ(attributes->typekind, TKIND_ENUM);
        EXPECT_EQ(Name(info.get()), expected.Name);
        ASSERT_EQ(attributes->cVars, expected.Members.size());
        for (UINT i = 0; i < attributes->cVars; ++i) {
            VARDESC* variable = nullptr;
            ASSERT_EQ(info->GetVarDesc(i, &variable), S_OK);
            EXPECT_EQ(Name(info.get(), variable->memid), expected.Members[i].Name);
            tovrin::Variant value;
            ::VariantChangeType(value.get(), variable->lpvarValue, 0, VT_I4);
            EXPECT_EQ(V_I4(value.get()), expected.Members[i].Value) << N(expected.Members[i].Name);
            info->ReleaseVarDesc(variable);
        }
    }
}

TEST(VersionRecord, NamesTheLibraryAndAsksForSelfRegistration)
{
    std::wstring dll = ProgramFolder() + L"\\Ormelin0105.dll";
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(dll.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> record(size);
    ASSERT_TRUE(::GetFileVersionInfoW(dll.c_str(), 0, size, record.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010005u);
    EXPECT_EQ(fixed->dwFileVersionLS, 44u);
    auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT n = 0;
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueW(record.data(), query.c_str(), reinterpret_cast<void**>(&text), &n))
            return std::wstring(L"(missing)");
        return std::wstring(text ? text : L"");
    };
    EXPECT_EQ(value(L"FileDescription"), L"Tovrin - Ormelin 1.05");
    EXPECT_EQ(value(L"Comments"), L"Tovrin - Ormelin 1.05");
    EXPECT_EQ(value(L"ProductName"), L"Tovrin");
    EXPECT_EQ(value(L"InternalName"), L"Ormelin0105");
    EXPECT_EQ(value(L"OriginalFilename"), L"Ormelin0105.DLL");
    EXPECT_EQ(value(L"FileVersion"), L"1.05.0044");
    EXPECT_EQ(value(L"OLESelfRegister"), L"");
}
