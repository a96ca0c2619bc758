// The one conversion between the file system's UTC time stamps and the
// local dates that scripts see, shared by every member that shows or takes
// a file's time (tovFSO's time stamps and the search's records), so that a
// file never shows two times. A time turns by the time zone's rule for its
// own date, as Explorer and a file's properties show it: a July time keeps
// its summer offset when read in December. (FileTimeToLocalFileTime applies
// today's offset to every date instead, as FileSystemObject's
// DateLastModified does.)
#pragma once

#include <windows.h>

#include <oleauto.h>

namespace tovrin {

// The local date of a UTC file time. A failure status where the system
// gives the time no local date, or the date lies past the years a DATE
// holds; the date is then left as it was.
HRESULT FileTimeToLocalDate(const FILETIME& time, DATE& date);

// The UTC file time of a local date, the other way by the same rule; a
// failure status, the time left as it was, for a date that has none.
HRESULT LocalDateToFileTime(DATE date, FILETIME& time);

} // namespace tovrin
