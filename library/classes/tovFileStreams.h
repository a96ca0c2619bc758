// tovFileStreams: the streams that make up a file on NTFS, as ReadStreams
// reads them, held as a zero-based list of FileStream records.
#pragma once

#include "classes/FileStream.h"
#include "com/Dispatch.h"
#include "com/ItemList.h"

#include "Ormelin0105.h"

namespace tovrin {

class tovFileStreams final : public Dispatch<tovFileStreams, _tovFileStreams> {
public:
    static REFIID InterfaceId() { return IID__tovFileStreams; }
    static constexpr wchar_t Source[] = L"tovFileStreams";

    HRESULT STDMETHODCALLTYPE get_Count(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Item(long Index, _FileStream** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** RetVal) override;
    HRESULT STDMETHODCALLTYPE ReadFileStreams(BSTR FileName, VARIANT_BOOL ProcessSecurity,
                                              VARIANT_BOOL* RetVal) override;

private:
    friend class Dispatch<tovFileStreams, _tovFileStreams>;
    tovFileStreams() = default;

    // The list; error 91 when a failed read left the object without one.
    const ItemList<_FileStream>& Streams() const;

    ItemList<_FileStream> m_streams;
    bool m_hasList = true;
};

} // namespace tovrin
