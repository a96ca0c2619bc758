// tovFileStreams against recorded backup-stream bytes: Wine has no
// BackupRead, so the reading is simulated through the file-system seam,
// which hands out the records below as NTFS would, and counts what is read.
#include "ComTestSupport.h"
#include "SimulatedFileSystem.h"
#include "TestFiles.h"

#include "Ormelin0105.h"
#include "classes/tovFileStreams.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;

namespace {

// One stream record: its header and name as backup reading delivers them,
// then data of the announced size (never stored, only skipped).
struct Record {
    DWORD Id;
    DWORD Attributes;
    ULONGLONG Size;
    std::wstring Name;
    DWORD NameSize; // as announced; the name's own size unless a test lies
};

Record Stream(DWORD id, DWORD attributes, ULONGLONG size, const std::wstring& name = L"")
{
    return {id, attributes, size, name, static_cast<DWORD>(name.size() * sizeof(wchar_t))};
}

class SimulatedBackupReading final : public SimulatedFileSystem {
public:
    explicit SimulatedBackupReading(std::vector<Record> records) : m_records(std::move(records))
    {
        for (const Record& r : m_records) {
            std::string bytes(20, '\0');
            std::memcpy(&bytes[0], &r.Id, 4);
            std::memcpy(&bytes[4], &r.Attributes, 4);
            std::memcpy(&bytes[8], &r.Size, 8);
            std::memcpy(&bytes[16], &r.NameSize, 4);
            bytes.append(reinterpret_cast<const char*>(r.Name.data()), r.Name.size() * sizeof(wchar_t));
            m_framing.push_back(bytes);
        }
    }

    bool BackupRead(HANDLE, BYTE* buffer, DWORD size, DWORD* read, bool, void** context) override
    {
        *context = this;
        *read = 0;
        if (++m_calls == FailingCall) {
            ::SetLastError(FailingError);
            return false;
        }
        while (*read < size && m_record < m_framing.size()) {
            const std::string& framing = m_framing[m_record];
            if (m_offset < framing.size()) {
                DWORD n = static_cast<DWORD>(std::min<size_t>(size - *read, framing.size() - m_offset));
                std::memcpy(buffer + *read, framing.data() + m_offset, n);
                m_offset += n;
                *read += n;
                FramingBytesRead += n;
            } else if (m_skipped < m_records[m_record].Size) {
                DataBytesRead += 1; // the library took data for framing
                buffer[(*read)++] = 'D';
                ++m_skipped;
            } else {
                ++m_record;
                m_offset = 0;
                m_skipped = 0;
            }
        }
        return true;
    }
    // As Windows documents BackupSeek: it does not seek across stream
    // headers; asked to go past the end of the stream it fails, reports what
    // it skipped and leaves the position at the start of the next header.
    // It fails for a zero-length stream, as a public NTFS-streams library
    // found ("Zero-length alternate data streams prevent enumeration").
    bool BackupSeek(HANDLE, DWORD low, DWORD high, DWORD* lowSeeked, DWORD* highSeeked, void**) override
    {
        ULONGLONG wanted = (static_cast<ULONGLONG>(high) << 32) | low;
        ULONGLONG left = m_record < m_records.size() ? m_records[m_record].Size - m_skipped : 0;
        ULONGLONG done = std::min(wanted, left);
        m_skipped += done;
        *lowSeeked = static_cast<DWORD>(done);
        *highSeeked = static_cast<DWORD>(done >> 32);
        ++Seeks;
        if (left == 0 || wanted > left) {
            ::SetLastError(ERROR_SEEK);
            return FALSE;
        }
        return TRUE;
    }
    void BackupEnd(HANDLE, void** context) override
    {
        ++Ends;
        *context = nullptr;
    }

    size_t FramingBytesRead = 0, DataBytesRead = 0, Seeks = 0, Ends = 0;
    // The call that fails (counted from 1; 0 for none), and how.
    size_t FailingCall = 0;
    DWORD FailingError = 0;

private:
    size_t m_calls = 0;
    std::vector<Record> m_records;
    std::vector<std::string> m_framing;
    size_t m_record = 0, m_offset = 0;
    ULONGLONG m_skipped = 0;
};

struct Seen {
    long Id, Attributes;
    double Size;
    std::wstring Name, ShortName;
    bool operator==(const Seen& o) const
    {
        return Id == o.Id && Attributes == o.Attributes && Size == o.Size && Name == o.Name && ShortName == o.ShortName;
    }
};

std::ostream& operator<<(std::ostream& out, const Seen& s)
{
    return out << s.Id << "/" << s.Attributes << "/" << s.Size << "/" << Narrow(s.Name) << "/" << Narrow(s.ShortName);
}

class FileStreams : public ::testing::Test {
protected:
    // Reads the file's streams with the simulated volume giving the records.
    std::vector<Seen> ReadWith(SimulatedBackupReading& volume, bool expected = true)
    {
        (void)volume;
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_EQ(m_streams->ReadFileStreams(Bstr::From(m_file).get(), VARIANT_FALSE, &ok), S_OK);
        EXPECT_EQ(ok != VARIANT_FALSE, expected);
        std::vector<Seen> seen;
        long count = -1;
        m_streams->get_Count(&count);
        for (long i = 0; i < count; ++i) {
            ComPtr<_FileStream> stream;
            EXPECT_EQ(m_streams->get_Item(i, stream.put()), S_OK);
            Seen s = {};
            Bstr name, shortName;
            stream->get_StreamID(&s.Id);
            stream->get_Attributes(&s.Attributes);
            stream->get_Size(&s.Size);
            stream->get_Name(name.put());
            stream->get_ShortName(shortName.put());
            s.Name = name.str();
            s.ShortName = shortName.str();
            seen.push_back(s);
        }
        return seen;
    }

    TempFolder m_folder;
    std::wstring m_file = [this] {
        WriteBytes(m_folder / L"file.txt", "data");
        return m_folder / L"file.txt";
    }();
    ComPtr<tovrin::tovFileStreams> m_streams = tovrin::tovFileStreams::Create();
};

TEST_F(FileStreams, SimulatedRecordsGiveOneObjectPerStreamAndTheDataIsNeverRead)
{
    const ULONGLONG fiveGiB = 5ULL << 30;
    SimulatedBackupReading volume({Stream(BACKUP_DATA, 0, 5), Stream(BACKUP_ALTERNATE_DATA, 0, 26, L":Zone.Identifier:$DATA"),
                                   Stream(BACKUP_SECURITY_DATA, STREAM_CONTAINS_SECURITY, 76),
                                   Stream(BACKUP_SPARSE_BLOCK, STREAM_SPARSE_ATTRIBUTE, 4096),
                                   Stream(BACKUP_ALTERNATE_DATA, 0, fiveGiB, L":big:$DATA"), Stream(42, 0, 1)});
    std::vector<Seen> expected = {
        {BACKUP_DATA, 0, 5, L"::$DATA", L""},
        {BACKUP_ALTERNATE_DATA, 0, 26, L":Zone.Identifier:$DATA", L"Zone.Identifier"},
        {BACKUP_SECURITY_DATA, STREAM_CONTAINS_SECURITY, 76, L"", L""},
        {BACKUP_SPARSE_BLOCK, STREAM_SPARSE_ATTRIBUTE, 4096, L"", L""},
        {BACKUP_ALTERNATE_DATA, 0, 5368709120.0, L":big:$DATA", L"big"},
        {42, 0, 1, L"", L""},
    };
    EXPECT_EQ(ReadWith(volume), expected);
    EXPECT_EQ(volume.DataBytesRead, 0u);
    EXPECT_EQ(volume.Seeks, 6u) << "one seek per stream";
    EXPECT_EQ(volume.Ends, 1u) << "the backup context is released";

    // Each kind answers exactly one of the ten id flags; 42 answers none.
    HRESULT (STDMETHODCALLTYPE _FileStream::*const flags[])(VARIANT_BOOL*) = {
        &_FileStream::get_StreamIDInvalid,       &_FileStream::get_StreamIDData,
        &_FileStream::get_StreamIDEAData,        &_FileStream::get_StreamIDSecurityData,
        &_FileStream::get_StreamIDAlternateData, &_FileStream::get_StreamIDLink,
        &_FileStream::get_StreamIDPropertyData,  &_FileStream::get_StreamIDObjectID,
        &_FileStream::get_StreamIDReparseData,   &_FileStream::get_StreamIDSparseBlock};
    HRESULT (STDMETHODCALLTYPE _FileStream::*const attributes[])(VARIANT_BOOL*) = {
        &_FileStream::get_AttributeModifiedWhenRead, &_FileStream::get_AttributeContainsSecurity,
        &_FileStream::get_AttributeContainsProperties, &_FileStream::get_AttributeSparseAttribute};
    for (long i = 0; i < 6; ++i) {
        ComPtr<_FileStream> stream;
        ASSERT_EQ(m_streams->get_Item(i, stream.put()), S_OK);
        for (long id = 0; id < 10; ++id) {
            VARIANT_BOOL set = 7;
            (stream.get()->*flags[id])(&set);
            EXPECT_EQ(set != VARIANT_FALSE, expected[static_cast<size_t>(i)].Id == id) << i << " flag " << id;
        }
        for (long bit = 0; bit < 4; ++bit) {
            VARIANT_BOOL set = 7;
            (stream.get()->*attributes[bit])(&set);
            EXPECT_EQ(set != VARIANT_FALSE, (expected[static_cast<size_t>(i)].Attributes & (1 << bit)) != 0);
        }
    }
}

TEST_F(FileStreams, SimulatedBadRecordsEndTheListWithoutOverflowOrLoop)
{
    Record longName = Stream(BACKUP_ALTERNATE_DATA, 0, 3, L":" + std::wstring(600, L'n') + L":$DATA");
    Record oddName = Stream(BACKUP_ALTERNATE_DATA, 0, 3, L":odd:$DATA");
    oddName.NameSize = 7; // three units and a stray byte
    Record hugeName = Stream(BACKUP_ALTERNATE_DATA, 0, 3, L":x");
    hugeName.NameSize = 0x7FFFFFFF;
    {
        SimulatedBackupReading volume({longName, Stream(BACKUP_DATA, 0, 1)});
        std::vector<Seen> seen = ReadWith(volume);
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].Name, longName.Name.substr(0, 262)) << "cut at the buffer";
        EXPECT_EQ(seen[1].Name, L"::$DATA") << "the next header is read where it starts";
    }
    {
        SimulatedBackupReading volume({oddName, Stream(BACKUP_DATA, 0, 1)});
        std::vector<Seen> seen = ReadWith(volume);
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].Name, L":od");
    }
    {
        SimulatedBackupReading volume({Stream(BACKUP_DATA, 0, 1), hugeName});
        EXPECT_EQ(ReadWith(volume).size(), 1u) << "a name that runs past the end ends the list";
        EXPECT_EQ(volume.Ends, 1u);
    }
}

// BackupRead failing at the first header (an encrypted file, whose streams
// only the raw encryption functions read; no right to read the file; a
// system without backup reading, as Wine), at a later header or in a later
// name (an I/O error half-way): its documentation has it return zero with
// the error in GetLastError, which is no end of the list.
TEST_F(FileStreams, SimulatedFailingBackupReadLeavesAnEmptyListAndFalse)
{
    const std::vector<Record> records = {Stream(BACKUP_DATA, 0, 5),
                                         Stream(BACKUP_ALTERNATE_DATA, 0, 26, L":Zone.Identifier:$DATA")};
    const struct {
        size_t call;
        DWORD error;
    } cases[] = {{1, ERROR_ACCESS_DENIED}, {1, ERROR_NOT_SUPPORTED}, {3, ERROR_CRC}, {4, ERROR_CRC}};
    for (const auto& c : cases) {
        SimulatedBackupReading volume(records);
        volume.FailingCall = c.call;
        volume.FailingError = c.error;
        EXPECT_EQ(ReadWith(volume, false).size(), 0u) << c.call;
        EXPECT_EQ(volume.Ends, 1u) << "the backup context is released";
    }
}

// Empty streams anywhere, and an empty main stream with a zone stream after
// it: every stream is listed, none of their data is read.
TEST_F(FileStreams, SimulatedEmptyStreamsListEveryStream)
{
    const Record zone = Stream(BACKUP_ALTERNATE_DATA, 0, 26, L":Zone.Identifier:$DATA");
    const Record empty = Stream(BACKUP_ALTERNATE_DATA, 0, 0, L":empty:$DATA");
    const std::vector<Record> cases[] = {
        {Stream(BACKUP_DATA, 0, 0), zone},
        {empty, Stream(BACKUP_DATA, 0, 5), zone},
        {Stream(BACKUP_DATA, 0, 5), empty, zone},
        {Stream(BACKUP_DATA, 0, 5), zone, empty},
        {Stream(BACKUP_DATA, 0, 0), empty, Stream(BACKUP_ALTERNATE_DATA, 0, 0, L":also:$DATA")},
    };
    for (const std::vector<Record>& records : cases) {
        SimulatedBackupReading volume(records);
        std::vector<Seen> seen = ReadWith(volume);
        ASSERT_EQ(seen.size(), records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(seen[i].Size, static_cast<double>(records[i].Size)) << i;
            EXPECT_EQ(seen[i].Name, records[i].Name.empty() ? L"::$DATA" : records[i].Name) << i;
        }
        EXPECT_EQ(volume.DataBytesRead, 0u);
    }
}

TEST_F(FileStreams, PositionsEnumerationAndAMissingFile)
{
    SimulatedBackupReading volume({Stream(BACKUP_DATA, 0, 1), Stream(BACKUP_ALTERNATE_DATA, 0, 1, L":a:$DATA")});
    ASSERT_EQ(ReadWith(volume).size(), 2u);
    ComPtr<_FileStream> stream;
    EXPECT_EQ(m_streams->get_Item(2, stream.put()), ErrorStatus(9));
    EXPECT_EQ(m_streams->get_Item(-1, stream.put()), ErrorStatus(9));
    EXPECT_EQ(TakeErrorInfo().Source, L"tovFileStreams");
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(m_streams->get_NewEnum(unknown.put()), S_OK);
    ComPtr<IEnumVARIANT> items = unknown.query<IEnumVARIANT>(IID_IEnumVARIANT);
    VARIANT item[3];
    ULONG fetched = 0;
    EXPECT_EQ(items->Next(3, item, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    for (ULONG i = 0; i < fetched; ++i)
        ::VariantClear(&item[i]);

    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(m_streams->ReadFileStreams(Bstr::From(m_folder / L"missing.txt").get(), VARIANT_FALSE, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    long count = -1;
    EXPECT_EQ(m_streams->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
}

} // namespace
