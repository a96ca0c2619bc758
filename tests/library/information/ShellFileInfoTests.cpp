// tovShellFileInfo as clients use it. Wine's shell answers differently from
// Windows for some files (no executable type for console programs, for
// one), so the expected values are what SHGetFileInfoA itself answers in
// the same prefix, not fixed ones. Icon handles are counted through the
// seam: Wine keeps no count of GDI and USER objects to compare.
#include "ComTestSupport.h"
#include "SimulatedFileSystem.h"
#include "TestFiles.h"

#include "Ormelin0105.h"
#include "classes/tovShellFileInfo.h"

#include <gtest/gtest.h>

#include <tovrin/CodePage.h>

#include <olectl.h>
#include <shellapi.h>

#include <set>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;

namespace {

class ShellFileInfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovShellFileInfo, nullptr, CLSCTX_INPROC_SERVER, IID__tovShellFileInfo,
                                     m_info.put_void()),
                  S_OK);
    }

    bool Read(const std::wstring& path)
    {
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(m_info->ReadFile(Bstr::From(path).get(), &ok), S_OK);
        return ok != VARIANT_FALSE;
    }

    TempFolder m_folder;
    ComPtr<_tovShellFileInfo> m_info;
};

// What the platform's shell answers for the file, call by call.
struct PlatformAnswer {
    bool ok = true;
    long attributes = 0;
    std::wstring typeName;
    DWORD_PTR exeType = 0;
};

PlatformAnswer AskPlatform(const std::wstring& path)
{
    const std::string name = tovrin::ToCodePage(CP_ACP, path);
    PlatformAnswer answer;
    SHFILEINFOA info = {};
    for (UINT flags : {SHGFI_ATTRIBUTES, SHGFI_DISPLAYNAME, SHGFI_ICONLOCATION, SHGFI_SYSICONINDEX, SHGFI_TYPENAME}) {
        answer.ok = answer.ok && ::SHGetFileInfoA(name.c_str(), 0, &info, sizeof(info), flags) != 0;
        if (flags == SHGFI_ATTRIBUTES)
            answer.attributes = static_cast<long>(info.dwAttributes);
    }
    answer.typeName = tovrin::FromCodePage(CP_ACP, info.szTypeName, strnlen(info.szTypeName, 80));
    SHFILEINFOA exe = {};
    answer.exeType = ::SHGetFileInfoA(name.c_str(), 0, &exe, sizeof(exe), SHGFI_EXETYPE);
    return answer;
}

TEST_F(ShellFileInfo, AnswersAsThePlatformsShellDoes)
{
    WriteBytes(m_folder / L"notes.txt", "text");
    WriteBytes(m_folder / L"with blank \u00E9.txt", "text");
    const std::wstring files[] = {m_folder / L"notes.txt", m_folder / L"with blank \u00E9.txt",
                                  ProgramFolder() + L"\\Veskar.exe", ProgramFolder() + L"\\library_tests.exe",
                                  m_folder.Path(), L"C:\\", m_folder / L"missing.txt"};
    for (const std::wstring& file : files) {
        PlatformAnswer platform = AskPlatform(file);
        EXPECT_EQ(Read(file), platform.ok) << Narrow(file);
        long attributes = -1;
        Bstr typeName, name;
        m_info->get_Attributes(&attributes);
        m_info->get_TypeName(typeName.put());
        m_info->get_FileName(name.put());
        EXPECT_EQ(attributes, platform.ok ? platform.attributes : 0);
        EXPECT_EQ(typeName.str(), platform.ok ? platform.typeName : L"");
        EXPECT_EQ(name.str(), platform.ok ? file : L"");
        ComPtr<_ShellFileEXE> exe;
        ASSERT_EQ(m_info->get_EXEType(exe.put()), S_OK);
        if (!platform.ok) {
            EXPECT_FALSE(exe) << "no file read, no executable type";
            continue;
        }
        ASSERT_TRUE(exe);
        Bstr signature;
        long major = -1, minor = -1;
        exe->get_Signature(signature.put());
        exe->get_OSVersionMajor(&major);
        exe->get_OSVersionMinor(&minor);
        const WORD low = LOWORD(platform.exeType), high = HIWORD(platform.exeType);
        std::wstring expected;
        if (low)
            expected = {wchar_t(LOBYTE(low)), wchar_t(HIBYTE(low))};
        EXPECT_EQ(signature.str(), expected) << Narrow(file);
        EXPECT_EQ(major, HIBYTE(high));
        EXPECT_EQ(minor, LOBYTE(high));
    }
    ASSERT_TRUE(Read(ProgramFolder() + L"\\Veskar.exe"));
    ComPtr<_ShellFileEXE> veskar;
    m_info->get_EXEType(veskar.put());
    Bstr signature;
    veskar->get_Signature(signature.put());
    EXPECT_EQ(signature.str(), L"PE") << "a windowed 32-bit program";

    // The shell does not know the "\\?\" form: it is asked the plain one.
    ASSERT_TRUE(Read(L"\\\\?\\" + (m_folder / L"notes.txt")));
    Bstr asked;
    m_info->get_FileName(asked.put());
    EXPECT_EQ(asked.str(), m_folder / L"notes.txt");
}

TEST_F(ShellFileInfo, IconsAreAskedForOnceAndKeptUntilTheNextRead)
{
    ComPtr<_ShellFileIcon> icon;
    ASSERT_EQ(m_info->get_Icon(icon.put()), S_OK);
    EXPECT_FALSE(icon) << "nothing read yet";
    ASSERT_TRUE(Read(ProgramFolder() + L"\\Veskar.exe"));
    ComPtr<_ShellFileIcon> again;
    m_info->get_Icon(icon.put());
    m_info->get_Icon(again.put());
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon.get(), again.get()) << "the same object on each read";
    ComPtr<IPictureDisp> picture;
    ASSERT_EQ(icon->get_Icon(picture.put()), S_OK);
    EXPECT_TRUE(picture);
    ASSERT_TRUE(Read(ProgramFolder() + L"\\Veskar.exe"));
    m_info->get_Icon(again.put());
    EXPECT_NE(icon.get(), again.get()) << "a new read asks again";
    EXPECT_FALSE(Read(m_folder / L"missing.exe"));
    m_info->get_SmallIcon(again.put());
    EXPECT_FALSE(again) << "a failed read leaves no icon";
}

// The shell simulated: every icon it hands out is a handle of its own,
// checked afterwards to be destroyed; for the open renderings it has none.
class CountingShell final : public SimulatedFileSystem {
public:
    DWORD_PTR ShellFileInfo(const std::wstring& name, SHFILEINFOW& info, UINT flags) override
    {
        if (!(flags & SHGFI_ICON))
            return Real().ShellFileInfo(name, info, flags);
        if (flags & SHGFI_OPENICON)
            return 0;
        info.hIcon = ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
        info.iIcon = 7;
        Given.insert(info.hIcon);
        return 1;
    }
    std::set<HICON> Given;
};

long HeightOf(IPictureDisp* picture)
{
    ComPtr<IPicture> bitmap;
    picture->QueryInterface(IID_IPicture, bitmap.put_void());
    OLE_YSIZE_HIMETRIC height = 0;
    bitmap->get_Height(&height);
    return height;
}

TEST_F(ShellFileInfo, SimulatedShellIconsAreDestroyedAndMissingOnesFallBack)
{
    const long before[] = {long(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)),
                           long(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS))};
    WriteBytes(m_folder / L"icon.txt", "x");
    CountingShell shell;
    HRESULT (STDMETHODCALLTYPE _tovShellFileInfo::*const renderings[])(_ShellFileIcon**) = {
        &_tovShellFileInfo::get_Icon,           &_tovShellFileInfo::get_SmallIcon,
        &_tovShellFileInfo::get_LinkOverlayIcon, &_tovShellFileInfo::get_LinkOverlaySmallIcon,
        &_tovShellFileInfo::get_OpenIcon,        &_tovShellFileInfo::get_OpenSmallIcon,
        &_tovShellFileInfo::get_SelectedIcon,    &_tovShellFileInfo::get_SelectedSmallIcon,
        &_tovShellFileInfo::get_ShellSizeIcon};
    ComPtr<tovrin::tovShellFileInfo> local = tovrin::tovShellFileInfo::Create();
    for (int file = 0; file < 1000; ++file) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_EQ(local->ReadFile(Bstr::From(m_folder / L"icon.txt").get(), &ok), S_OK);
        for (auto rendering : renderings) {
            ComPtr<_ShellFileIcon> icon;
            ASSERT_EQ((local.get()->*rendering)(icon.put()), S_OK);
            ASSERT_TRUE(icon);
            long index = 0;
            icon->get_Index(&index);
            bool open = rendering == &_tovShellFileInfo::get_OpenIcon || rendering == &_tovShellFileInfo::get_OpenSmallIcon;
            EXPECT_EQ(index, open ? -1 : 7);
        }
    }
    ComPtr<_ShellFileIcon> large, small;
    local->get_OpenIcon(large.put());
    local->get_OpenSmallIcon(small.put());
    ComPtr<IPictureDisp> largePicture, smallPicture;
    large->get_Icon(largePicture.put());
    small->get_Icon(smallPicture.put());
    EXPECT_GT(HeightOf(largePicture.get()), HeightOf(smallPicture.get())) << "the small fallback for small renderings";
    large.reset();
    small.reset();
    largePicture.reset();
    smallPicture.reset();
    local.reset();
    EXPECT_EQ(shell.Given.size(), 7000u);
    size_t alive = 0;
    for (HICON icon : shell.Given) {
        ICONINFO parts = {};
        if (::GetIconInfo(icon, &parts)) {
            ++alive;
            ::DeleteObject(parts.hbmColor);
            ::DeleteObject(parts.hbmMask);
        }
    }
    EXPECT_EQ(alive, 0u) << "every icon handle the shell gave is destroyed";
    const long after[] = {long(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)),
                          long(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS))};
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
}

} // namespace
