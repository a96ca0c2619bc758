// tovFSO: the security zone the system records for a downloaded file, kept
// as a profile (INI) text in the file's "Zone.Identifier" stream. Other keys
// and sections of the stream are left alone, and nothing here raises: a
// failure shows as False or as zone 0.
#include "classes/tovFSO.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/tovrinsupport.h>

#include <string>

namespace tovrin {

namespace {

const wchar_t Section[] = L"ZoneTransfer";
const wchar_t Key[] = L"ZoneId";

// The file's zone stream; empty for an empty name or one with a NUL, which
// name no file. The path is full: the profile functions would take a bare
// name for one in the Windows folder.
std::wstring ZoneStream(BSTR fileName, std::wstring* file = nullptr)
{
    const std::optional<std::wstring> name = CheckedFileName(fileName);
    if (!name || name->empty())
        return std::wstring();
    if (file)
        *file = *name;
    return *name + L":Zone.Identifier";
}

bool ZoneDefined(const std::wstring& file, const std::wstring& stream)
{
    if (stream.empty() || !FileExists(file))
        return false;
    VARIANT_BOOL exists = VARIANT_FALSE;
    Check(asIsINIKeyExist2(Bstr::From(Section).get(), Bstr::From(Key).get(), Bstr::From(stream).get(), 0, 0,
                           &exists));
    return exists != VARIANT_FALSE;
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::GetFileZone(BSTR FileName, FileZoneConst* RetVal)
{
    return Member(RetVal, [&] {
        std::wstring stream = ZoneStream(FileName);
        if (stream.empty())
            return fzLocalMachine;
        return static_cast<FileZoneConst>(FileSystem().ProfileInt(Section, Key, 0, stream));
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileZone(BSTR FileName, FileZoneConst FileZone, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        std::wstring file;
        std::wstring stream = ZoneStream(FileName, &file);
        if (stream.empty() || !FileExists(file))
            return false;
        std::wstring value = std::to_wstring(static_cast<long>(FileZone));
        return FileSystem().WriteProfile(Section, Key, value.c_str(), stream);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::IsFileZoneDefined(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        std::wstring file;
        std::wstring stream = ZoneStream(FileName, &file);
        return ZoneDefined(file, stream);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::DeleteFileZone(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        std::wstring file;
        std::wstring stream = ZoneStream(FileName, &file);
        if (!ZoneDefined(file, stream))
            return false;
        // A null value deletes the key line; the stream and its other lines stay.
        return FileSystem().WriteProfile(Section, Key, nullptr, stream);
    });
}

} // namespace tovrin
