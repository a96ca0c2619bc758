#include "classes/ShellFileRecords.h"

namespace tovrin {

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
