// tovDescriptIon: a folder's file descriptions (DescriptionList) for
// clients: positions and names in, names and descriptions out.
#pragma once

#include "com/Dispatch.h"
#include "metadata/DescriptionList.h"

#include "Ormelin0105.h"

namespace tovrin {

class tovDescriptIon final : public Dispatch<tovDescriptIon, _tovDescriptIon> {
public:
    static REFIID InterfaceId() { return IID__tovDescriptIon; }
    static constexpr wchar_t Source[] = L"tovDescriptIon";

    HRESULT STDMETHODCALLTYPE get_UTF8Mode(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE put_UTF8Mode(VARIANT_BOOL Value) override;
    HRESULT STDMETHODCALLTYPE get_FileName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemFileName(long Index, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemDescription(long Index, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemDescriptionByFileName(BSTR FileName, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemCount(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE RemoveItem(long Index, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE RemoveItemByFileName(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE AddItem(BSTR FileName, BSTR Description) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE ReadFile(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE WriteFile(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE ReadDirectoryFile(BSTR PathName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE WriteDirectoryFile(BSTR PathName, VARIANT_BOOL* RetVal) override;

private:
    friend class Dispatch<tovDescriptIon, _tovDescriptIon>;
    tovDescriptIon() = default;

    DescriptionList m_list;
};

} // namespace tovrin
