// Whole files as bytes: read in one piece, written in one piece. A file never
// grows to 2 GiB, which no reader takes whole.
#pragma once

#include "files/FileReader.h"

#include <string>

namespace tovrin {

// An existing file, opened to be read whole; error 53 when the name is no file.
FileReader OpenWholeFile(const std::wstring& name);

// The file holds exactly the bytes afterwards, created when missing. A hidden
// or system file is replaced all the same and keeps those attributes.
void PutBytes(const std::wstring& name, const void* data, size_t size);

// The bytes at the end of the file, created when missing.
void AppendBytes(const std::wstring& name, const void* data, size_t size);

// Empties an existing file, alone among the writes refusing to share it;
// a missing file is no error.
void TruncateExisting(const std::wstring& name);

} // namespace tovrin
