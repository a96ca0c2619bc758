#include "metadata/FileTimes.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"
#include "files/LocalTime.h"
#include "metadata/ExistingItem.h"

namespace tovrin {

namespace {

double LocalDate(const FILETIME& time)
{
    DATE date = 0;
    Check(FileTimeToLocalDate(time, date));
    return date;
}

// The file time for a local date; null for 0.0, which leaves that time as it is.
const FILETIME* FileTimeOf(double date, FILETIME& buffer)
{
    if (date == 0.0)
        return nullptr;
    Check(LocalDateToFileTime(date, buffer));
    return &buffer;
}

} // namespace

FileDates ReadFileDates(const std::wstring& name)
{
    // Reading the times needs the right to read the attributes
    // (ZwQueryInformationFile, FileBasicInformation), no more.
    Handle file = OpenExistingItem(name, FILE_READ_ATTRIBUTES);
    FILETIME creation = {}, access = {}, write = {};
    if (!file || !FileSystem().GetTimes(file.get(), &creation, &access, &write))
        RaiseLastFileError();
    return {LocalDate(creation), LocalDate(access), LocalDate(write)};
}

void WriteFileDates(const std::wstring& name, const FileDates& dates)
{
    // Setting them needs the right to write the attributes (SetFileTime),
    // which a read-only file grants: it stays read-only.
    Handle file = OpenExistingItem(name, FILE_WRITE_ATTRIBUTES);
    if (!file)
        RaiseLastFileError();
    FILETIME creation = {}, access = {}, write = {};
    if (!FileSystem().SetTimes(file.get(), FileTimeOf(dates.Creation, creation), FileTimeOf(dates.LastAccess, access),
                               FileTimeOf(dates.LastWrite, write)))
        RaiseLastFileError();
}

} // namespace tovrin
