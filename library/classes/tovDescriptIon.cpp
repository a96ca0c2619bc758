#include "classes/tovDescriptIon.h"

#include "files/FileAccess.h"

namespace tovrin {

namespace {

// A position or a name without an entry reads as an empty text.
Bstr NameOf(const DescriptionList::Entry* entry)
{
    return Bstr::From(entry ? entry->Name : std::wstring());
}

Bstr DescriptionOf(const DescriptionList::Entry* entry)
{
    return Bstr::From(entry ? entry->Description : std::wstring());
}

} // namespace

HRESULT STDMETHODCALLTYPE tovDescriptIon::get_UTF8Mode(VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return m_list.UTF8Mode(); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::put_UTF8Mode(VARIANT_BOOL Value)
{
    return Member([&] { m_list.SetUTF8Mode(Value != VARIANT_FALSE); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::get_FileName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_list.FileName()); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::get_ItemFileName(long Index, BSTR* RetVal)
{
    return Member(RetVal, [&] { return NameOf(m_list.At(Index)); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::get_ItemDescription(long Index, BSTR* RetVal)
{
    return Member(RetVal, [&] { return DescriptionOf(m_list.At(Index)); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::get_ItemDescriptionByFileName(BSTR FileName, BSTR* RetVal)
{
    return Member(RetVal, [&] { return DescriptionOf(m_list.Find(Bstr::ToString(FileName))); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::get_ItemCount(long* RetVal)
{
    return Member(RetVal, [&] { return m_list.Count(); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::RemoveItem(long Index, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return m_list.Remove(Index); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::RemoveItemByFileName(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return m_list.Remove(Bstr::ToString(FileName)); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::AddItem(BSTR FileName, BSTR Description)
{
    return Member([&] { m_list.Add(Bstr::ToString(FileName), Bstr::ToString(Description)); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::Clear()
{
    return Member([&] { m_list.Clear(); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::ReadFile(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return m_list.Read(CheckedFileName(FileName)); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::WriteFile(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return m_list.Write(CheckedFileName(FileName)); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::ReadDirectoryFile(BSTR PathName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return m_list.Read(DescriptionFileOf(CheckedFileName(PathName))); });
}

HRESULT STDMETHODCALLTYPE tovDescriptIon::WriteDirectoryFile(BSTR PathName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        if (::SysStringLen(PathName) == 0)
            return m_list.Write(std::wstring()); // the file last read
        return m_list.Write(DescriptionFileOf(CheckedFileName(PathName)));
    });
}

} // namespace tovrin
