#include "content/TextFile.h"

#include "files/FileAccess.h"

#include <tovrin/ErrorNumbers.h>

#include <algorithm>

namespace tovrin::text {

namespace {

// Only UTF-8 and UTF-16 have a mark.
bool WritesMark(const Format& format)
{
    return format.Encoding != ANSI && format.FileBOM == BOM;
}

} // namespace

Format ReadFileFormat(const std::wstring& name)
{
    if (!FileExists(name))
        throw AutomationError(ErrFileNotFound);
    FileReader file(name, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    char head[3];
    size_t read = file.Read(head, sizeof(head));
    return DetectTextFormat(head, read >= 2 ? read : 0);
}

OpenedText OpenTextFile(const std::wstring& name, const Format& requested)
{
    if (!FileExists(name))
        throw AutomationError(ErrFileNotFound);
    OpenedText opened{FileReader(name), requested};
    char head[3];
    const size_t headLength = std::min<size_t>(sizeof(head), opened.File.Length());
    if (opened.File.Read(head, headLength) != headLength)
        throw AutomationError(ErrInputPastEnd);
    opened.Format = Resolve(requested, DetectTextFormat(head, headLength));
    return opened;
}

Writing WritingNew(const Format& requested)
{
    const Format format = WritingDefaults(requested);
    return {format, WritesMark(format)};
}

Writing WritingAppended(const Format& format, const std::wstring& name)
{
    return {format, WritesMark(format) && ListedFileSize(name) == 0};
}

} // namespace tovrin::text
