#include "classes/tovFileStreams.h"

#include "files/FileAccess.h"
#include "metadata/Streams.h"

#include <tovrin/ErrorNumbers.h>

namespace tovrin {

const ItemList<_FileStream>& tovFileStreams::Streams() const
{
    if (!m_hasList)
        throw AutomationError(ErrObjectNotSet);
    return m_streams;
}

HRESULT STDMETHODCALLTYPE tovFileStreams::get_Count(long* RetVal)
{
    return Member(RetVal, [&] { return Streams().Count(); });
}

HRESULT STDMETHODCALLTYPE tovFileStreams::get_Item(long Index, _FileStream** RetVal)
{
    return Member(RetVal, [&] { return Streams().At(Index); });
}

HRESULT STDMETHODCALLTYPE tovFileStreams::get_NewEnum(IUnknown** RetVal)
{
    return Member(RetVal, [&] { return Streams().NewEnum(); });
}

// A read that fails leaves no list, not part of one; a record that cannot
// be made leaves the object without a list.
HRESULT STDMETHODCALLTYPE tovFileStreams::ReadFileStreams(BSTR FileName, VARIANT_BOOL ProcessSecurity,
                                                          VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        m_streams.Clear();
        m_hasList = true;
        const std::optional<std::vector<StreamHeader>> streams =
            ReadStreams(CheckedFileName(FileName), ProcessSecurity != VARIANT_FALSE);
        if (!streams)
            return false;
        auto makeRecords = [&] {
            for (const StreamHeader& stream : *streams)
                m_streams.Add(ComPtr<_FileStream>::Attach(FileStream::Create(stream).release()));
        };
        m_hasList = ErrorNumberOf(makeRecords) == 0;
        if (!m_hasList)
            m_streams.Clear();
        return m_hasList;
    });
}

} // namespace tovrin
