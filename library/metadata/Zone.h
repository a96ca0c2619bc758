// The security zone the system records for a downloaded file, kept as a
// profile (INI) text in the file's "Zone.Identifier" stream. Other keys and
// sections of the stream are left alone, and nothing here raises: a failure
// shows as false or as zone 0. Each function takes a checked, full name: the
// profile functions would take a bare name for one in the Windows folder.
#pragma once

#include <string>

namespace tovrin {

// The zone recorded for the file; 0 where none is.
long GetZone(const std::wstring& file);

// Records the zone for an existing file.
bool SetZone(const std::wstring& file, long zone);

// True when the file exists and records a zone.
bool IsZoneDefined(const std::wstring& file);

// Removes a recorded zone; the stream and its other lines stay.
bool DeleteZone(const std::wstring& file);

} // namespace tovrin
