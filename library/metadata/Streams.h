// The streams that make up a file on NTFS (its data, named streams,
// extended attributes, security and the rest), as backup reading reports
// them. Only each stream's header and name are read; its data is skipped,
// whatever its size.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tovrin {

// One stream as its identifier record announces it. The name is the UTF-16
// text of the name bytes, up to a NUL; the unnamed data stream is "::$DATA".
struct StreamHeader {
    DWORD StreamId;
    DWORD Attributes;
    ULONGLONG Size;
    std::wstring Name;
};

// The file's streams in the order backup reading gives them; the list ends
// at the first header or name that comes short. Nothing when the streams
// cannot be read: a system without backup reading, a name that names no
// file (CheckedFileName), a file that cannot be opened, or a backup read
// that fails (an encrypted file, no right to read it, an I/O error), which
// is no end of the list.
std::optional<std::vector<StreamHeader>> ReadStreams(const std::optional<std::wstring>& file, bool processSecurity);

// The name without its colon parts: ":Zone.Identifier:$DATA" gives
// "Zone.Identifier", "::$DATA" gives "".
std::wstring ShortStreamName(const std::wstring& name);

} // namespace tovrin
