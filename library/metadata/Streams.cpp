#include "metadata/Streams.h"

#include "com/AutomationError.h"
#include "files/FileSystem.h"

#include <tovrin/Unique.h>
#include <tovrin/tovrinsupportfbe.h>

#include <algorithm>
#include <cstring>

namespace tovrin {

namespace {

// The stream identifier record as backup reading delivers it: id,
// attributes, 64-bit size and name size, little-endian, 20 bytes.
const DWORD HeaderSize = 20;

struct Record {
    DWORD StreamId;
    DWORD Attributes;
    ULONGLONG Size;
    DWORD NameSize;
};

Record ParseRecord(const BYTE (&bytes)[HeaderSize])
{
    Record record = {};
    std::memcpy(&record.StreamId, bytes, 4);
    std::memcpy(&record.Attributes, bytes + 4, 4);
    std::memcpy(&record.Size, bytes + 8, 8);
    std::memcpy(&record.NameSize, bytes + 16, 4);
    return record;
}

StreamHeader HeaderOf(const Record& record, const std::wstring& name)
{
    std::wstring shown = name.substr(0, name.find(L'\0'));
    if (record.NameSize == 0 && record.StreamId == BACKUP_DATA)
        shown = L"::$DATA";
    return {record.StreamId, record.Attributes, record.Size, std::move(shown)};
}

// The name buffer holds 262 UTF-16 units; a longer name is cut there, and
// its remaining bytes are read and dropped, so that the next header is
// where backup reading puts it.
const DWORD NameBufferBytes = 262 * sizeof(wchar_t);

// One open file read stream by stream; the backup context is released when
// the reading ends, however it ends.
class BackupReading {
public:
    BackupReading(HANDLE file, bool processSecurity) : m_file(file), m_processSecurity(processSecurity) {}
    ~BackupReading()
    {
        if (m_context)
            FileSystem().BackupEnd(m_file, &m_context);
    }
    BackupReading(const BackupReading&) = delete;
    BackupReading& operator=(const BackupReading&) = delete;

    // Whole: exactly the bytes asked for. Short: fewer, the file's streams
    // end there (none at all after the last one). Failed: the backup
    // functions could not read them (an encrypted file, no right to read
    // it, an I/O error, a system without them), which is no end of the list.
    enum class Outcome { Whole, Short, Failed };

    Outcome Read(BYTE* buffer, DWORD size)
    {
        DWORD read = 0;
        if (!FileSystem().BackupRead(m_file, buffer, size, &read, m_processSecurity, &m_context))
            return Outcome::Failed;
        return read == size ? Outcome::Whole : Outcome::Short;
    }

    // The stream's name bytes, cut to the buffer.
    Outcome ReadName(DWORD size, std::wstring& name)
    {
        BYTE buffer[NameBufferBytes] = {};
        DWORD kept = std::min(size, NameBufferBytes);
        Outcome outcome = Read(buffer, kept);
        for (DWORD left = size - kept; left > 0 && outcome == Outcome::Whole;) {
            BYTE dropped[512];
            DWORD piece = std::min<DWORD>(left, sizeof(dropped));
            outcome = Read(dropped, piece);
            left -= piece;
        }
        name.assign(reinterpret_cast<const wchar_t*>(buffer), kept / sizeof(wchar_t));
        return outcome;
    }

    // Skips the stream's data. BackupSeek fails for an empty stream, and a
    // seek that runs past the end of a stream stops at the next header and
    // fails: either way the next read starts at the next header, so the
    // seek's result says nothing about where reading goes on. An empty
    // stream has nothing to skip.
    void Skip(ULONGLONG size)
    {
        if (size == 0)
            return;
        DWORD low = 0, high = 0;
        FileSystem().BackupSeek(m_file, static_cast<DWORD>(size), static_cast<DWORD>(size >> 32), &low, &high,
                                &m_context);
    }

private:
    HANDLE m_file;
    bool m_processSecurity;
    void* m_context = nullptr;
};

} // namespace

std::optional<std::vector<StreamHeader>> ReadStreams(const std::optional<std::wstring>& file, bool processSecurity)
{
    VARIANT_BOOL nt = VARIANT_FALSE;
    Check(esIsHostWinNT(&nt));
    if (!nt || !file)
        return std::nullopt;
    Handle opened(FileSystem().Open(*file, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
    if (!opened)
        return std::nullopt;
    BackupReading reading(opened.get(), processSecurity);
    std::vector<StreamHeader> streams;
    for (;;) {
        BYTE bytes[HeaderSize] = {};
        std::wstring name;
        BackupReading::Outcome outcome = reading.Read(bytes, sizeof(bytes));
        const Record record = ParseRecord(bytes);
        if (outcome == BackupReading::Outcome::Whole)
            outcome = reading.ReadName(record.NameSize, name);
        if (outcome == BackupReading::Outcome::Failed)
            return std::nullopt;
        if (outcome == BackupReading::Outcome::Short)
            return streams;
        streams.push_back(HeaderOf(record, name));
        reading.Skip(record.Size);
    }
}

std::wstring ShortStreamName(const std::wstring& name)
{
    const size_t colon = name.find(L':');
    if (colon == std::wstring::npos)
        return name;
    const std::wstring rest = name.substr(colon + 1);
    return rest.substr(0, rest.find(L':'));
}

} // namespace tovrin
