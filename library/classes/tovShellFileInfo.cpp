#include "classes/tovShellFileInfo.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/CodePage.h>
#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupport.h>

#include <cstdint>
#include <cwchar>
#include <utility>

namespace tovrin {

namespace {

std::wstring Text(const wchar_t* field, size_t size)
{
    return std::wstring(field, wcsnlen(field, size));
}

const struct {
    UINT Flags;
    bool Small;
} RenderingFlags[] = {
    {SHGFI_ICON, false},
    {SHGFI_ICON | SHGFI_SMALLICON, true},
    {SHGFI_ICON | SHGFI_LINKOVERLAY, false},
    {SHGFI_ICON | SHGFI_LINKOVERLAY | SHGFI_SMALLICON, true},
    {SHGFI_ICON | SHGFI_OPENICON, false},
    {SHGFI_ICON | SHGFI_OPENICON | SHGFI_SMALLICON, true},
    {SHGFI_ICON | SHGFI_SELECTED, false},
    {SHGFI_ICON | SHGFI_SELECTED | SHGFI_SMALLICON, true},
    {SHGFI_ICON | SHGFI_SHELLICONSIZE, false},
};

// One rendering of the icon as a picture. The shell's icon handle is ours to
// destroy; the picture keeps a copy of its own. Where the shell has no icon
// the support library's default picture stands in, with index -1.
ComPtr<ShellFileIcon> MakeShellIcon(const std::wstring& fileName, UINT flags, bool small)
{
    SHFILEINFOW info = {};
    ComPtr<IPictureDisp> picture;
    long index = -1;
    if (FileSystem().ShellFileInfo(fileName, info, flags) != 0 && info.hIcon) {
        HRESULT hr = asGetIconFromHandle(info.hIcon, picture.put());
        ::DestroyIcon(info.hIcon);
        Check(hr);
        index = info.iIcon;
    } else {
        Bstr none = Bstr::From(L"");
        Check(small ? asLoadResIconSmall(none.get(), picture.put()) : asLoadResIcon(none.get(), picture.put()));
    }
    return ShellFileIcon::Create(index, std::move(picture));
}

} // namespace

void tovShellFileInfo::Reset()
{
    m_fileName.clear();
    m_attributes = 0;
    m_displayName.clear();
    m_typeName.clear();
    m_iconLocation.clear();
    m_systemIconIndex = 0;
    m_systemImageList = 0;
    m_exeType.reset();
    for (ComPtr<ShellFileIcon>& icon : m_icons)
        icon.reset();
}

// Five questions to the shell in this order; the first it cannot answer
// ends the reading with everything reset.
bool tovShellFileInfo::Read(BSTR fileName)
{
    Reset();
    const std::optional<std::wstring> checked = CheckedFileName(fileName);
    const std::optional<std::wstring> shellName = checked ? ShellFileName(*checked) : std::nullopt;
    if (!shellName)
        return false;
    const std::wstring& name = *shellName;
    // One record serves all five questions, as the shell fills it.
    SHFILEINFOW info = {};
    using Store = void (*)(tovShellFileInfo&, const SHFILEINFOW&, DWORD_PTR);
    const std::pair<UINT, Store> questions[] = {
        {SHGFI_ATTRIBUTES,
         [](tovShellFileInfo& self, const SHFILEINFOW& answer, DWORD_PTR) {
             self.m_attributes = static_cast<long>(answer.dwAttributes);
         }},
        {SHGFI_DISPLAYNAME,
         [](tovShellFileInfo& self, const SHFILEINFOW& answer, DWORD_PTR) {
             self.m_displayName = Text(answer.szDisplayName, MAX_PATH);
         }},
        {SHGFI_ICONLOCATION,
         [](tovShellFileInfo& self, const SHFILEINFOW& answer, DWORD_PTR) {
             self.m_iconLocation = Text(answer.szDisplayName, MAX_PATH);
         }},
        {SHGFI_SYSICONINDEX,
         [](tovShellFileInfo& self, const SHFILEINFOW& answer, DWORD_PTR imageList) {
             self.m_systemImageList = imageList;
             self.m_systemIconIndex = answer.iIcon;
         }},
        {SHGFI_TYPENAME,
         [](tovShellFileInfo& self, const SHFILEINFOW& answer, DWORD_PTR) {
             self.m_typeName = Text(answer.szTypeName, 80);
         }},
    };
    for (const auto& question : questions) {
        DWORD_PTR answer = FileSystem().ShellFileInfo(name, info, question.first);
        if (!answer) {
            Reset();
            return false;
        }
        question.second(*this, info, answer);
    }
    m_fileName = name;
    return true;
}

HRESULT tovShellFileInfo::IconOf(Rendering rendering, _ShellFileIcon** RetVal)
{
    return Member(RetVal, [&] {
        ComPtr<ShellFileIcon>& icon = m_icons[rendering];
        if (!m_fileName.empty() && !icon)
            icon = MakeShellIcon(m_fileName, RenderingFlags[rendering].Flags, RenderingFlags[rendering].Small);
        return icon;
    });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::ReadFile(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return Read(FileName); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_FileName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_fileName); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_Attributes(long* RetVal)
{
    return Member(RetVal, [&] { return m_attributes; });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_DisplayName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_displayName); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_TypeName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_typeName); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_EXEType(_ShellFileEXE** RetVal)
{
    return Member(RetVal, [&] {
        if (!m_fileName.empty() && !m_exeType) {
            SHFILEINFOW info = {};
            m_exeType = ShellFileEXE::FromExeType(FileSystem().ShellFileInfo(m_fileName, info, SHGFI_EXETYPE));
        }
        return m_exeType;
    });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_Icon(_ShellFileIcon** RetVal)
{
    return IconOf(Large, RetVal);
}
HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_SmallIcon(_ShellFileIcon** RetVal)
{
    return IconOf(Small, RetVal);
}
HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_LinkOverlayIcon(_ShellFileIcon** RetVal)
{
    return IconOf(LinkOverlay, RetVal);
}
HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_LinkOverlaySmallIcon(_ShellFileIcon** RetVal)
{
    return IconOf(LinkOverlaySmall, RetVal);
}
HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_OpenIcon(_ShellFileIcon** RetVal)
{
    return IconOf(Open, RetVal);
}
HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_OpenSmallIcon(_ShellFileIcon** RetVal)
{
    return IconOf(OpenSmall, RetVal);
}
HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_SelectedIcon(_ShellFileIcon** RetVal)
{
    return IconOf(Selected, RetVal);
}
HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_SelectedSmallIcon(_ShellFileIcon** RetVal)
{
    return IconOf(SelectedSmall, RetVal);
}
HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_ShellSizeIcon(_ShellFileIcon** RetVal)
{
    return IconOf(ShellSize, RetVal);
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_IconLocation(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_iconLocation); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_SystemIconIndex(long* RetVal)
{
    return Member(RetVal, [&] { return m_systemIconIndex; });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_hSystemImageList(long* RetVal)
{
    return Member(RetVal, [&] { return ImageListHandleAsLong(m_systemImageList); });
}

long ImageListHandleAsLong(unsigned long long handle)
{
    const long value = static_cast<long>(static_cast<int32_t>(handle));
    if (static_cast<unsigned long long>(static_cast<long long>(value)) != handle &&
        static_cast<unsigned long long>(static_cast<uint32_t>(value)) != handle)
        throw AutomationError(ErrOverflow, L"Overflow: the system image list's handle does not fit in 32 bits");
    return value;
}

} // namespace tovrin
