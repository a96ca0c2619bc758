// The error record a failed automation call left on the thread, read in one
// place for the library (a nested call's failure raised again, a script's
// exception) and for Veskar (a failed save shown to the user).
#pragma once

#include <tovrin/ComPtr.h>
#include <tovrin/Unique.h>

#include <oleauto.h>

#include <optional>
#include <string>

namespace tovrin {

struct ErrorInfoRecord {
    std::wstring Source;
    std::wstring Description;
    std::wstring HelpFile;
    DWORD HelpContext = 0;
};

// Takes the thread's error info (the system hands it out once); nothing
// where the failed call left none.
inline std::optional<ErrorInfoRecord> TakeErrorInfo()
{
    ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) != S_OK || !info)
        return std::nullopt;
    Bstr source, description, helpFile;
    ErrorInfoRecord record;
    info->GetSource(source.put());
    info->GetDescription(description.put());
    info->GetHelpFile(helpFile.put());
    info->GetHelpContext(&record.HelpContext);
    record.Source = source.str();
    record.Description = description.str();
    record.HelpFile = helpFile.str();
    return record;
}

} // namespace tovrin
