#include "classes/FileStream.h"

#include <tovrin/tovrinsupport.h>

namespace tovrin {

namespace {

double SizeOf(const StreamHeader& header)
{
    LARGE_INTEGER size = {};
    size.QuadPart = static_cast<LONGLONG>(header.Size);
    double result = 0;
    Check(asLargeIntegerToDouble(&size, &result));
    return result;
}

} // namespace

FileStream::FileStream(const StreamHeader& header)
    : m_streamId(header.StreamId), m_attributes(header.Attributes), m_size(SizeOf(header)), m_name(header.Name)
{
}

HRESULT FileStream::IdIs(DWORD id, VARIANT_BOOL* RetVal) const
{
    return Member(RetVal, [&] { return m_streamId == id; });
}

HRESULT FileStream::HasAttribute(DWORD bit, VARIANT_BOOL* RetVal) const
{
    return Member(RetVal, [&] { return (m_attributes & bit) != 0; });
}

HRESULT STDMETHODCALLTYPE FileStream::get_StreamID(long* RetVal)
{
    return Member(RetVal, [&] { return static_cast<long>(m_streamId); });
}

HRESULT STDMETHODCALLTYPE FileStream::get_Attributes(long* RetVal)
{
    return Member(RetVal, [&] { return static_cast<long>(m_attributes); });
}

HRESULT STDMETHODCALLTYPE FileStream::get_Size(double* RetVal)
{
    return Member(RetVal, [&] { return m_size; });
}

HRESULT STDMETHODCALLTYPE FileStream::get_Name(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_name); });
}

HRESULT STDMETHODCALLTYPE FileStream::get_ShortName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(ShortStreamName(m_name)); });
}

HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDInvalid(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_INVALID, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDData(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_DATA, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDEAData(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_EA_DATA, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDSecurityData(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_SECURITY_DATA, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDAlternateData(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_ALTERNATE_DATA, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDLink(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_LINK, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDPropertyData(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_PROPERTY_DATA, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDObjectID(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_OBJECT_ID, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDReparseData(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_REPARSE_DATA, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_StreamIDSparseBlock(VARIANT_BOOL* RetVal)
{
    return IdIs(BACKUP_SPARSE_BLOCK, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_AttributeModifiedWhenRead(VARIANT_BOOL* RetVal)
{
    return HasAttribute(STREAM_MODIFIED_WHEN_READ, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_AttributeContainsSecurity(VARIANT_BOOL* RetVal)
{
    return HasAttribute(STREAM_CONTAINS_SECURITY, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_AttributeContainsProperties(VARIANT_BOOL* RetVal)
{
    return HasAttribute(STREAM_CONTAINS_PROPERTIES, RetVal);
}
HRESULT STDMETHODCALLTYPE FileStream::get_AttributeSparseAttribute(VARIANT_BOOL* RetVal)
{
    return HasAttribute(STREAM_SPARSE_ATTRIBUTE, RetVal);
}

} // namespace tovrin
