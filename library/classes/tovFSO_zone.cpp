// tovFSO: the security zone the system records for a downloaded file. An
// empty name or one with a NUL names no file: no zone, and nothing changes.
#include "classes/tovFSO.h"

#include "files/FileAccess.h"
#include "metadata/Zone.h"

namespace tovrin {

namespace {

std::optional<std::wstring> ZoneFile(BSTR fileName)
{
    std::optional<std::wstring> name = CheckedFileName(fileName);
    if (name && name->empty())
        return std::nullopt;
    return name;
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::GetFileZone(BSTR FileName, FileZoneConst* RetVal)
{
    return Member(RetVal, [&] {
        const std::optional<std::wstring> file = ZoneFile(FileName);
        return file ? static_cast<FileZoneConst>(GetZone(*file)) : fzLocalMachine;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileZone(BSTR FileName, FileZoneConst FileZone, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        const std::optional<std::wstring> file = ZoneFile(FileName);
        return file && SetZone(*file, FileZone);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::IsFileZoneDefined(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        const std::optional<std::wstring> file = ZoneFile(FileName);
        return file && IsZoneDefined(*file);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::DeleteFileZone(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        const std::optional<std::wstring> file = ZoneFile(FileName);
        return file && DeleteZone(*file);
    });
}

} // namespace tovrin
