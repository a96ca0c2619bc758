// tovFSO: the description of one file, kept in the "Descript.ion" file of
// its folder (FileDescription).
#include "classes/tovFSO.h"

#include "files/FileAccess.h"
#include "metadata/FileDescription.h"

namespace tovrin {

HRESULT STDMETHODCALLTYPE tovFSO::GetFileDescription(BSTR FileName, BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(DescriptionOf(CheckedFileName(FileName))); });
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileDescription(BSTR FileName, BSTR DescriptionText, VARIANT_BOOL* RetVal)
{
    return SetFileDescription2(FileName, DescriptionText, VARIANT_TRUE, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileDescription2(BSTR FileName, BSTR DescriptionText, VARIANT_BOOL AutoUTF8Mode,
                                                      VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        return Describe(CheckedFileName(FileName), Bstr::ToString(DescriptionText), AutoUTF8Mode != VARIANT_FALSE);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::DeleteFileDescription(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return RemoveDescription(CheckedFileName(FileName)); });
}

} // namespace tovrin
