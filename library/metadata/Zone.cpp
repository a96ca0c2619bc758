#include "metadata/Zone.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/tovrinsupport.h>

namespace tovrin {

namespace {

const wchar_t Section[] = L"ZoneTransfer";
const wchar_t Key[] = L"ZoneId";

std::wstring ZoneStream(const std::wstring& file)
{
    return file + L":Zone.Identifier";
}

} // namespace

long GetZone(const std::wstring& file)
{
    return FileSystem().ProfileInt(Section, Key, 0, ZoneStream(file));
}

bool SetZone(const std::wstring& file, long zone)
{
    if (!FileExists(file))
        return false;
    return FileSystem().WriteProfile(Section, Key, std::to_wstring(zone).c_str(), ZoneStream(file));
}

bool IsZoneDefined(const std::wstring& file)
{
    if (!FileExists(file))
        return false;
    VARIANT_BOOL exists = VARIANT_FALSE;
    Check(asIsINIKeyExist2(Bstr::From(Section).get(), Bstr::From(Key).get(), Bstr::From(ZoneStream(file)).get(), 0, 0,
                           &exists));
    return exists != VARIANT_FALSE;
}

bool DeleteZone(const std::wstring& file)
{
    if (!IsZoneDefined(file))
        return false;
    // A null value deletes the key line.
    return FileSystem().WriteProfile(Section, Key, nullptr, ZoneStream(file));
}

} // namespace tovrin
