// The description of one file, kept in the "Descript.ion" file of its
// folder. Each call reads that file and, when it changes anything, writes
// the whole file back. A file is named as the file members name it, through
// CheckedFileName: its full path, the last component the name; nothing for
// a name with a NUL, which names no file. A name that leaves no file name
// (blanks only, which the system cannot make a full path of; a folder's
// path) has nothing to describe, and no file is read or written for it.
#pragma once

#include <optional>
#include <string>

namespace tovrin {

// The file's description; empty when it has none or when the description
// file cannot be read.
std::wstring DescriptionOf(const std::optional<std::wstring>& file);

// Gives the file this description; an empty one removes its entry. With
// autoUtf8, a description or a name the OEM code page cannot hold turns the
// whole description file to UTF-8. False when the description file cannot
// be read or written.
bool Describe(const std::optional<std::wstring>& file, const std::wstring& description, bool autoUtf8);

// Removes the file's entry; false when the description file cannot be read
// or written.
bool RemoveDescription(const std::optional<std::wstring>& file);

} // namespace tovrin
