// tovFSO: the security zone the system records for a downloaded file, kept
// as a profile (INI) text in the file's "Zone.Identifier" stream. Other keys
// and sections of the stream are left alone, and nothing here raises: a
// failure shows as False or as zone 0.
#include "content/tovFSO.h"

#include "files/FileAccess.h"

#include <tovrin/tovrinsupport.h>

#include <string>

namespace tovrin {

namespace {

const char Section[] = "ZoneTransfer";
const char Key[] = "ZoneId";

// The stream's path in the ANSI code page; empty for a name the code page
// cannot express, which names no file.
std::string ZoneStream(BSTR fileName)
{
    const std::optional<std::string> name = SystemFileName(fileName);
    return !name || name->empty() ? std::string() : *name + ":Zone.Identifier";
}

bool ZoneDefined(BSTR fileName)
{
    if (!FileExists(fileName))
        return false;
    VARIANT_BOOL exists = VARIANT_FALSE;
    Check(asIsINIKeyExist2(Bstr::From(L"ZoneTransfer").get(), Bstr::From(L"ZoneId").get(),
                           Bstr::From(Bstr::ToString(fileName) + L":Zone.Identifier").get(), 0, 0, &exists));
    return exists != VARIANT_FALSE;
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::GetFileZone(BSTR FileName, FileZoneConst* RetVal)
{
    return Member(RetVal, [&] {
        std::string stream = ZoneStream(FileName);
        if (stream.empty())
            return fzLocalMachine;
        return static_cast<FileZoneConst>(::GetPrivateProfileIntA(Section, Key, 0, stream.c_str()));
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileZone(BSTR FileName, FileZoneConst FileZone, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        std::string stream = ZoneStream(FileName);
        if (stream.empty() || !FileExists(FileName))
            return false;
        std::string value = std::to_string(static_cast<long>(FileZone));
        return ::WritePrivateProfileStringA(Section, Key, value.c_str(), stream.c_str()) != FALSE;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::IsFileZoneDefined(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return ZoneDefined(FileName); });
}

HRESULT STDMETHODCALLTYPE tovFSO::DeleteFileZone(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        std::string stream = ZoneStream(FileName);
        if (stream.empty() || !ZoneDefined(FileName))
            return false;
        // A null value deletes the key line; the stream and its other lines stay.
        return ::WritePrivateProfileStringA(Section, Key, nullptr, stream.c_str()) != FALSE;
    });
}

} // namespace tovrin
