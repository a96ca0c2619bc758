// The Cyrillic help strings of the script twins read back intact on a system
// whose ANSI code page is Cyrillic (1251). CTest runs this program with a
// Russian locale, which gives Wine that code page.
#include "TestFiles.h"

#include <tovrin/Unique.h>

#include <tovrin/ComPtr.h>

#include <gtest/gtest.h>

using namespace testing_support;

TEST(HelpStrings, TwinHelpReadsBackOnACyrillicSystem)
{
    ASSERT_EQ(::GetACP(), 1251u) << "this test needs the Cyrillic ANSI code page";
    tovrin::ComPtr<ITypeLib> library;
    ASSERT_EQ(::LoadTypeLibEx((ProgramFolder() + L"\\Ormelin0105.dll").c_str(), REGKIND_NONE, library.put()), S_OK);
    GUID iid = {};
    ::CLSIDFromString(L"{989EF825-6B06-49C8-A150-F101C2ACDDB8}", &iid);
    tovrin::ComPtr<ITypeInfo> dispatch;
    ASSERT_EQ(library->GetTypeInfoOfGuid(iid, dispatch.put()), S_OK);

    const struct {
        MEMBERID Member;
        const wchar_t* Typed;
    } twins[] = {
        {0x60030001, L"GetFileFormat2"},       {0x60030004, L"OverwriteFile2"}, {0x60030006, L"AppendFile2"},
        {0x60030008, L"GetFile2"},             {0x6003001A, L"ReadStandardListFile2"},
    };
    for (const auto& twin : twins) {
        tovrin::Bstr help;
        ASSERT_EQ(dispatch->GetDocumentation(twin.Member, nullptr, help.put(), nullptr, nullptr), S_OK);
        EXPECT_EQ(help.str(), std::wstring(L"Версия ") + twin.Typed + L"() для использования в скриптах.")
            << Narrow(help.str());
    }
}
