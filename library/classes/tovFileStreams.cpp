#include "classes/tovFileStreams.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupportfbe.h>

#include <algorithm>

namespace tovrin {

namespace {

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

const ItemList<_FileStream>& tovFileStreams::Streams() const
{
    if (!m_hasList)
        throw AutomationError(ErrObjectNotSet);
    return m_streams;
}

HRESULT STDMETHODCALLTYPE tovFileStreams::get_Count(long* RetVal)
{
    return Member(RetVal, [&] { return Streams().Count(); });
}

HRESULT STDMETHODCALLTYPE tovFileStreams::get_Item(long Index, _FileStream** RetVal)
{
    return Member(RetVal, [&] { return Streams().At(Index); });
}

HRESULT STDMETHODCALLTYPE tovFileStreams::get_NewEnum(IUnknown** RetVal)
{
    return Member(RetVal, [&] { return Streams().NewEnum(); });
}

HRESULT STDMETHODCALLTYPE tovFileStreams::ReadFileStreams(BSTR FileName, VARIANT_BOOL ProcessSecurity,
                                                          VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        m_streams.Clear();
        m_hasList = true;
        VARIANT_BOOL nt = VARIANT_FALSE;
        Check(esIsHostWinNT(&nt));
        if (!nt)
            return false;
        const std::optional<std::wstring> name = CheckedFileName(FileName);
        if (!name)
            return false;
        Handle file(FileSystem().Open(*name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
        if (!file)
            return false;
        BackupReading reading(file.get(), ProcessSecurity != VARIANT_FALSE);
        // The list ends at the first header or name that comes short; a
        // reading that fails leaves no list, not part of one.
        for (;;) {
            BYTE bytes[FileStream::HeaderSize] = {};
            std::wstring name;
            BackupReading::Outcome outcome = reading.Read(bytes, sizeof(bytes));
            FileStream::Header header = FileStream::ParseHeader(bytes);
            if (outcome == BackupReading::Outcome::Whole)
                outcome = reading.ReadName(header.NameSize, name);
            if (outcome == BackupReading::Outcome::Failed) {
                m_streams.Clear();
                return false;
            }
            if (outcome == BackupReading::Outcome::Short)
                break;
            const bool added = ErrorNumberOf([&] {
                m_streams.Add(ComPtr<_FileStream>::Attach(FileStream::Create(header, name).release()));
            }) == 0;
            if (!added) {
                m_streams.Clear();
                m_hasList = false;
                return false;
            }
            reading.Skip(header.Size);
        }
        return true;
    });
}

} // namespace tovrin
