// The three time stamps of a file or folder, as the local dates scripts see
// (files/LocalTime's rule, so that a file never shows two times).
#pragma once

#include <string>

namespace tovrin {

struct FileDates {
    double Creation = 0;
    double LastAccess = 0;
    double LastWrite = 0;
};

// Raises the mapped error where the item cannot be opened or read, and the
// conversion's error for a time that has no local date.
FileDates ReadFileDates(const std::wstring& name);

// A date of 0 leaves that time as it is. Raises as ReadFileDates does.
void WriteFileDates(const std::wstring& name, const FileDates& dates);

} // namespace tovrin
