// tovShellFileInfo: what the Windows shell knows about one file or folder:
// its shell attributes, display and type names, where its icon comes from
// and its place in the system image list, read at once; the executable type
// and nine renderings of the icon, asked for on first read and kept until
// the next ReadFile.
#pragma once

#include "classes/ShellFileRecords.h"
#include "com/Dispatch.h"
#include "information/ShellInfo.h"

#include "Ormelin0105.h"

#include <string>

namespace tovrin {

class tovShellFileInfo final : public Dispatch<tovShellFileInfo, _tovShellFileInfo> {
public:
    static REFIID InterfaceId() { return IID__tovShellFileInfo; }
    static constexpr wchar_t Source[] = L"tovShellFileInfo";

    HRESULT STDMETHODCALLTYPE ReadFile(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Attributes(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_DisplayName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_TypeName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_EXEType(_ShellFileEXE** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Icon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_SmallIcon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_LinkOverlayIcon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_LinkOverlaySmallIcon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_OpenIcon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_OpenSmallIcon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_SelectedIcon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_SelectedSmallIcon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ShellSizeIcon(_ShellFileIcon** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_IconLocation(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_SystemIconIndex(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_hSystemImageList(long* RetVal) override;

private:
    friend class Dispatch<tovShellFileInfo, _tovShellFileInfo>;
    tovShellFileInfo() = default;

    // The nine renderings, in the order of their properties.
    enum Rendering {
        Large,
        Small,
        LinkOverlay,
        LinkOverlaySmall,
        Open,
        OpenSmall,
        Selected,
        SelectedSmall,
        ShellSize,
        Renderings
    };

    void Reset();
    bool Read(BSTR fileName);
    HRESULT IconOf(Rendering rendering, _ShellFileIcon** RetVal);

    std::wstring m_fileName;
    ShellAnswers m_answers;
    ComPtr<ShellFileEXE> m_exeType;
    ComPtr<ShellFileIcon> m_icons[Renderings];
};

} // namespace tovrin
