// The first form of list file: ANSI text (or OEM text) read line by line,
// blanks and comments tested on the trimmed line, the marker compared with
// case. Lines end at CR or CR LF; a lone LF stays inside its line.
#pragma once

#include "Ormelin0105.h"

#include <tovrin/ComPtr.h>

#include <string>

namespace tovrin {

// Raises the error of the open or the read, whatever the caller asked for.
ComPtr<::Collection> LoadStandardListFile(const std::wstring& fileName, bool isOem, const std::wstring& commentChar,
                                          bool ignoreBlanks, bool trimStrings);

// Adds text to the collection under the key of its position (1, 2, ...).
void AddListItem(::Collection* collection, long& count, const wchar_t* text, size_t length);

} // namespace tovrin
