#include "classes/ShellFileRecords.h"

#include <tovrin/CodePage.h>

namespace tovrin {

ComPtr<ShellFileEXE> ShellFileEXE::FromExeType(DWORD_PTR value)
{
    const WORD low = LOWORD(value), high = HIWORD(value);
    const char signature[] = {static_cast<char>(LOBYTE(low)), static_cast<char>(HIBYTE(low))};
    return Create(low == 0 ? std::wstring() : FromCodePage(CP_ACP, signature, 2), HIBYTE(high), LOBYTE(high));
}

HRESULT STDMETHODCALLTYPE ShellFileEXE::get_OSVersionMinor(long* RetVal)
{
    return Member(RetVal, [&] { return m_minor; });
}

HRESULT STDMETHODCALLTYPE ShellFileEXE::get_OSVersionMajor(long* RetVal)
{
    return Member(RetVal, [&] { return m_major; });
}

HRESULT STDMETHODCALLTYPE ShellFileEXE::get_Signature(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_signature); });
}

HRESULT STDMETHODCALLTYPE ShellFileIcon::get_Icon(IPictureDisp** RetVal)
{
    return Member(RetVal, [&] { return m_picture; });
}

HRESULT STDMETHODCALLTYPE ShellFileIcon::get_Index(long* RetVal)
{
    return Member(RetVal, [&] { return m_index; });
}

} // namespace tovrin
