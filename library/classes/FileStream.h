// FileStream: one stream of a file as backup reading reports it (its kind,
// attributes, size and name; StreamHeader). Made and filled only by
// tovFileStreams, read-only afterwards.
#pragma once

#include "com/Dispatch.h"
#include "metadata/Streams.h"

#include "Ormelin0105.h"

#include <string>

namespace tovrin {

class FileStream final : public Dispatch<FileStream, _FileStream> {
public:
    static REFIID InterfaceId() { return IID__FileStream; }
    static constexpr wchar_t Source[] = L"FileStream";

    HRESULT STDMETHODCALLTYPE get_StreamID(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Attributes(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Size(double* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ShortName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDInvalid(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDData(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDEAData(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDSecurityData(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDAlternateData(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDLink(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDPropertyData(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDObjectID(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDReparseData(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StreamIDSparseBlock(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeModifiedWhenRead(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeContainsSecurity(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeContainsProperties(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeSparseAttribute(VARIANT_BOOL* RetVal) override;

private:
    friend class Dispatch<FileStream, _FileStream>;
    explicit FileStream(const StreamHeader& header);

    HRESULT IdIs(DWORD id, VARIANT_BOOL* RetVal) const;
    HRESULT HasAttribute(DWORD bit, VARIANT_BOOL* RetVal) const;

    const DWORD m_streamId;
    const DWORD m_attributes;
    const double m_size;
    const std::wstring m_name;
};

} // namespace tovrin
