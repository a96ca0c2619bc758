// tovFSO members whose work is not in this build yet. Each fails with a
// clear automation error (E_NOTIMPL, Source "tovFSO") and never pretends to
// succeed; the members move to their topic's file as they are built.
#include "tovFSO.h"

namespace tovrin {

namespace {

HRESULT NotImplemented(const wchar_t* member)
{
    return Report(AutomationError(static_cast<long>(E_NOTIMPL),
                                  std::wstring(L"tovFSO.") + member + L" is not implemented in this build of Ormelin0105"),
                  IID__tovFSO, tovFSO::Source);
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::GetFileZone(BSTR, FileZoneConst*)
{
    return NotImplemented(L"GetFileZone");
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileZone(BSTR, FileZoneConst, VARIANT_BOOL*)
{
    return NotImplemented(L"SetFileZone");
}

HRESULT STDMETHODCALLTYPE tovFSO::IsFileZoneDefined(BSTR, VARIANT_BOOL*)
{
    return NotImplemented(L"IsFileZoneDefined");
}

HRESULT STDMETHODCALLTYPE tovFSO::DeleteFileZone(BSTR, VARIANT_BOOL*)
{
    return NotImplemented(L"DeleteFileZone");
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileCompression(BSTR, CompressionFormatConst, long*, VARIANT_BOOL*)
{
    return NotImplemented(L"SetFileCompression");
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFileCompression(BSTR, long*, CompressionFormatConst*)
{
    return NotImplemented(L"GetFileCompression");
}

HRESULT STDMETHODCALLTYPE tovFSO::RecycleFile(BSTR, VARIANT_BOOL, VARIANT_BOOL, VARIANT_BOOL*)
{
    return NotImplemented(L"RecycleFile");
}

HRESULT STDMETHODCALLTYPE tovFSO::RecycleFolder(BSTR, VARIANT_BOOL, VARIANT_BOOL, VARIANT_BOOL*)
{
    return NotImplemented(L"RecycleFolder");
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFileDateTime(BSTR, DATE*, DATE*, DATE*, VARIANT_BOOL, VARIANT_BOOL*)
{
    return NotImplemented(L"GetFileDateTime");
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileDateTime(BSTR, DATE, DATE, DATE, VARIANT_BOOL, VARIANT_BOOL*)
{
    return NotImplemented(L"SetFileDateTime");
}

} // namespace tovrin
