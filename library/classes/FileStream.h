// FileStream: one stream of a file as backup reading reports it (its kind,
// attributes, size and name). Made and filled only by tovFileStreams,
// read-only afterwards.
#pragma once

#include "com/Dispatch.h"

#include "Ormelin0105.h"

#include <string>

namespace tovrin {

class FileStream final : public Dispatch<FileStream, _FileStream> {
public:
    static REFIID InterfaceId() { return IID__FileStream; }
    static constexpr wchar_t Source[] = L"FileStream";

    // The stream identifier record as backup reading delivers it: id,
    // attributes, 64-bit size and name size, little-endian, 20 bytes.
    static constexpr size_t HeaderSize = 20;
    struct Header {
        DWORD StreamId;
        DWORD Attributes;
        ULONGLONG Size;
        DWORD NameSize;
    };
    static Header ParseHeader(const BYTE (&bytes)[HeaderSize]);

    // The stream's name is the UTF-16 text of the name bytes, up to a NUL;
    // the unnamed data stream is "::$DATA".
    static ComPtr<FileStream> Create(const Header& header, const std::wstring& name);

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
    FileStream(const Header& header, std::wstring name);

    HRESULT IdIs(DWORD id, VARIANT_BOOL* RetVal) const;
    HRESULT HasAttribute(DWORD bit, VARIANT_BOOL* RetVal) const;

    const DWORD m_streamId;
    const DWORD m_attributes;
    const double m_size;
    const std::wstring m_name;
};

} // namespace tovrin
