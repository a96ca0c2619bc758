// Whole text files: which format a file's text is read in, and which format
// and mark text written to a file gets. The text itself is turned into bytes
// and back by TextFormat, straight into the string or array handed out.
#pragma once

#include "content/TextFormat.h"
#include "files/FileReader.h"

#include <string>

namespace tovrin::text {

// The format a file's first bytes show (marks only); error 53 when the name
// is no file. Others may read, write and delete the file meanwhile.
Format ReadFileFormat(const std::wstring& name);

// A text file opened to be read whole, and the format its text is in: each
// member of the requested format that is 0 taken from the file's first bytes.
struct OpenedText {
    FileReader File;
    text::Format Format;
};

// Error 53 when the name is no file.
OpenedText OpenTextFile(const std::wstring& name, const text::Format& requested);

// The format text is written in, and whether a mark goes in front of it.
struct Writing {
    text::Format Format;
    bool WithMark = false;
};

// Text that makes a new file, or replaces a whole one: the writing defaults
// for what the caller left at 0, a mark where the format asks for one.
Writing WritingNew(const text::Format& requested);

// Text added in the (resolved) format to the existing file of that name: a
// mark goes only into an empty file, never into the middle of one.
Writing WritingAppended(const text::Format& format, const std::wstring& name);

} // namespace tovrin::text
