// The records tovShellFileInfo hands out: the executable type of a file
// (ShellFileEXE) and one rendering of its icon (ShellFileIcon). Made and
// filled only by tovShellFileInfo, read-only afterwards.
#pragma once

#include "com/Dispatch.h"

#include "Ormelin0105.h"

#include <string>

namespace tovrin {

class ShellFileEXE final : public Dispatch<ShellFileEXE, _ShellFileEXE> {
public:
    static REFIID InterfaceId() { return IID__ShellFileEXE; }
    static constexpr wchar_t Source[] = L"ShellFileEXE";

    HRESULT STDMETHODCALLTYPE get_OSVersionMinor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_OSVersionMajor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Signature(BSTR* RetVal) override;

private:
    friend class Dispatch<ShellFileEXE, _ShellFileEXE>;
    ShellFileEXE(std::wstring signature, long major, long minor)
        : m_signature(std::move(signature)), m_major(major), m_minor(minor)
    {
    }

    const std::wstring m_signature;
    const long m_major;
    const long m_minor;
};

class ShellFileIcon final : public Dispatch<ShellFileIcon, _ShellFileIcon> {
public:
    static REFIID InterfaceId() { return IID__ShellFileIcon; }
    static constexpr wchar_t Source[] = L"ShellFileIcon";

    HRESULT STDMETHODCALLTYPE get_Icon(IPictureDisp** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Index(long* RetVal) override;

private:
    friend class Dispatch<ShellFileIcon, _ShellFileIcon>;
    ShellFileIcon(long index, ComPtr<IPictureDisp> picture) : m_index(index), m_picture(std::move(picture)) {}

    const long m_index;
    const ComPtr<IPictureDisp> m_picture;
};

} // namespace tovrin
