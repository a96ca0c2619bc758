// Standard list files: one entry per line, blank lines and comment lines
// left out, the entries in the file's order.
#pragma once

#include <string>
#include <vector>

namespace tovrin {

// The first form of list file: ANSI text (or OEM text) read line by line,
// blanks and comments tested on the trimmed line, the marker compared with
// case. Lines end at CR or CR LF; a lone LF stays inside its line. Raises the
// error of the open or the read, whatever the caller asked for.
std::vector<std::wstring> LoadStandardListFile(const std::wstring& fileName, bool isOem,
                                               const std::wstring& commentChar, bool ignoreBlanks, bool trimStrings);

// The entries of the second form's text. Lines end at CR LF only; a lone CR
// or LF stays inside its line. Blanks and comments are tested on the line as
// it is kept (trimmed or not), the marker compared without case.
std::vector<std::wstring> SplitStandardList(const wchar_t* text, size_t length, const std::wstring& commentChar,
                                            bool ignoreBlanks, bool trimStrings);

} // namespace tovrin
