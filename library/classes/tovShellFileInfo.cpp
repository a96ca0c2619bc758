#include "classes/tovShellFileInfo.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/tovrinsupport.h>

#include <utility>

namespace tovrin {

namespace {

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
    m_answers = ShellAnswers();
    m_exeType.reset();
    for (ComPtr<ShellFileIcon>& icon : m_icons)
        icon.reset();
}

// The first question the shell cannot answer ends the reading with
// everything reset.
bool tovShellFileInfo::Read(BSTR fileName)
{
    Reset();
    const std::optional<std::wstring> checked = CheckedFileName(fileName);
    const std::optional<std::wstring> shellName = checked ? ShellFileName(*checked) : std::nullopt;
    if (!shellName)
        return false;
    std::optional<ShellAnswers> answers = AskShell(*shellName);
    if (!answers)
        return false;
    m_answers = std::move(*answers);
    m_fileName = *shellName;
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
    return Member(RetVal, [&] { return static_cast<long>(m_answers.Attributes); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_DisplayName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_answers.DisplayName); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_TypeName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_answers.TypeName); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_EXEType(_ShellFileEXE** RetVal)
{
    return Member(RetVal, [&] {
        if (!m_fileName.empty() && !m_exeType) {
            const ExecutableType type = AskExecutableType(m_fileName);
            m_exeType = ShellFileEXE::Create(type.Signature, type.Major, type.Minor);
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
    return Member(RetVal, [&] { return Bstr::From(m_answers.IconLocation); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_SystemIconIndex(long* RetVal)
{
    return Member(RetVal, [&] { return static_cast<long>(m_answers.SystemIconIndex); });
}

HRESULT STDMETHODCALLTYPE tovShellFileInfo::get_hSystemImageList(long* RetVal)
{
    return Member(RetVal, [&] { return ImageListHandleAsLong(m_answers.SystemImageList); });
}

} // namespace tovrin
