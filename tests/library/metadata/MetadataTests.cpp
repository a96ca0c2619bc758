// tovFSO's file metadata as clients call it: download zones, compression,
// the recycle bin and local time stamps, for real under Wine where Wine has
// the feature, and through the file-system seam where it has not (NTFS
// compression), where it does not refuse what Windows refuses (a read-only
// file opened for writing by the super-user) or where the shell cannot be
// made to misbehave.
#include "ComTestSupport.h"
#include "SimulatedFileSystem.h"
#include "TestFiles.h"

#include "Ormelin0105.h"
#include "classes/tovFSO.h"

#include <gtest/gtest.h>

#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <map>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;

namespace {

class Metadata : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, m_fso.put_void()), S_OK);
    }

    std::wstring NewFile(const std::wstring& name, const std::string& bytes = "content")
    {
        std::wstring path = m_folder / name;
        WriteBytes(path, bytes);
        return path;
    }

    TempFolder m_folder;
    ComPtr<_tovFSO> m_fso;
};

// ---- Zones: the stream is a plain file named "...:Zone.Identifier" under Wine.

TEST_F(Metadata, ZonesAreKeptInTheStreamAndOtherLinesStay)
{
    std::wstring file = NewFile(L"download.exe");
    Bstr name = Bstr::From(file);
    const std::wstring stream = file + L":Zone.Identifier";
    FileZoneConst zone = static_cast<FileZoneConst>(99);
    VARIANT_BOOL ok = 7;

    EXPECT_EQ(m_fso->GetFileZone(name.get(), &zone), S_OK);
    EXPECT_EQ(zone, fzLocalMachine) << "no stream";
    EXPECT_EQ(m_fso->DeleteFileZone(name.get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_FALSE(Exists(stream));

    EXPECT_EQ(m_fso->SetFileZone(name.get(), fzInternet, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(ReadBytes(stream), "[ZoneTransfer]\r\nZoneId=3\r\n");

    WriteBytes(stream, "[ZoneTransfer]\r\nReferrerUrl=x\r\nZoneId=3\r\n[Other]\r\nk=v\r\n");
    EXPECT_EQ(m_fso->SetFileZone(name.get(), static_cast<FileZoneConst>(7), &ok), S_OK);
    EXPECT_EQ(ReadBytes(stream), "[ZoneTransfer]\r\nReferrerUrl=x\r\nZoneId=7\r\n[Other]\r\nk=v\r\n")
        << "replaced in place, no range test";
    EXPECT_EQ(m_fso->GetFileZone(name.get(), &zone), S_OK);
    EXPECT_EQ(zone, 7);
    EXPECT_EQ(m_fso->IsFileZoneDefined(name.get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);

    EXPECT_EQ(m_fso->DeleteFileZone(name.get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(ReadBytes(stream), "[ZoneTransfer]\r\nReferrerUrl=x\r\n[Other]\r\nk=v\r\n");
    EXPECT_EQ(m_fso->IsFileZoneDefined(name.get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(m_fso->GetFileZone(name.get(), &zone), S_OK);
    EXPECT_EQ(zone, fzLocalMachine);
}

TEST_F(Metadata, ZonesOfAMissingFileAreZeroAndFalse)
{
    Bstr missing = Bstr::From(m_folder / L"missing.exe");
    FileZoneConst zone = static_cast<FileZoneConst>(99);
    EXPECT_EQ(m_fso->GetFileZone(missing.get(), &zone), S_OK);
    EXPECT_EQ(zone, fzLocalMachine);
    VARIANT_BOOL results[3] = {7, 7, 7};
    EXPECT_EQ(m_fso->SetFileZone(missing.get(), fzInternet, &results[0]), S_OK);
    EXPECT_EQ(m_fso->IsFileZoneDefined(missing.get(), &results[1]), S_OK);
    EXPECT_EQ(m_fso->DeleteFileZone(missing.get(), &results[2]), S_OK);
    for (VARIANT_BOOL result : results)
        EXPECT_EQ(result, VARIANT_FALSE);
    EXPECT_FALSE(Exists(m_folder / L"missing.exe:Zone.Identifier"));
}

// ---- Compression: Wine has none.

TEST_F(Metadata, CompressionReportsTheSystemsOwnErrorCode)
{
    std::wstring file = NewFile(L"plain.txt");
    // What the platform itself answers to the control code in this prefix.
    tovrin::Handle handle(::CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    USHORT state = 0;
    DWORD returned = 0;
    BOOL supported =
        ::DeviceIoControl(handle.get(), FSCTL_GET_COMPRESSION, nullptr, 0, &state, sizeof(state), &returned, nullptr);
    const long platformError = supported ? 0 : static_cast<long>(::GetLastError());
    handle.reset();

    const struct {
        std::wstring path;
        long error;
    } cases[] = {{m_folder / L"missing.txt", ERROR_FILE_NOT_FOUND}, {file, platformError}};
    for (const auto& c : cases) {
        long error = 12345;
        CompressionFormatConst format = cfNone;
        EXPECT_EQ(m_fso->GetFileCompression(Bstr::From(c.path).get(), &error, &format), S_OK);
        EXPECT_EQ(error, c.error) << Narrow(c.path);
        if (c.error != 0) {
            EXPECT_EQ(format, cfError);
        }
        error = 12345;
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(m_fso->SetFileCompression(Bstr::From(c.path).get(), cfDefault, &error, &ok), S_OK);
        EXPECT_EQ(ok, c.error ? VARIANT_FALSE : VARIANT_TRUE);
        EXPECT_EQ(error, c.error);
    }
}

// NTFS as Windows judges an open and a control code, simulated: Wine has no
// compression, and as the super-user it opens a read-only file for writing.
// Every open is recorded and judged before it reaches the real file system,
// and refused with the error Windows gives:
// - generic rights count as the specific rights they map to ("File Security
//   and Access Rights");
// - a folder opens only with FILE_FLAG_BACKUP_SEMANTICS (CreateFile,
//   "Directories"), else with ERROR_ACCESS_DENIED;
// - a read-only file refuses FILE_WRITE_DATA and FILE_APPEND_DATA with
//   ERROR_ACCESS_DENIED ([MS-FSA] 2.1.5.1.2.1, "Algorithm to Check Access to
//   an Existing File");
// - an open that asks to read, write or delete data is refused with
//   ERROR_SHARING_VIOLATION where another open of the file that reads,
//   writes or deletes data does not share that, or where the new open does
//   not share what the other one does; an open that asks for none of them
//   is not checked ([MS-FSA] 2.1.5.1.2.2, "Algorithm to Check Sharing Access
//   to an Existing Stream or Directory");
// - a control code is refused with ERROR_ACCESS_DENIED on a handle without
//   the access its definition requires (CTL_CODE's RequiredAccess, "Defining
//   I/O Control Codes"): FSCTL_SET_COMPRESSION requires FILE_READ_DATA and
//   FILE_WRITE_DATA, FSCTL_GET_COMPRESSION nothing (FILE_ANY_ACCESS);
// - reading a file's times is refused with ERROR_ACCESS_DENIED on a handle
//   without FILE_READ_ATTRIBUTES, setting them on one without
//   FILE_WRITE_ATTRIBUTES (ZwQueryInformationFile and ZwSetInformationFile,
//   FileBasicInformation), which Wine does not check.
// The other opens are real handles that the test holds as another program
// would. Each file keeps its compression format as NTFS does, in 16 bits;
// the default format is LZNT1, the only one NTFS has.
class SimulatedNtfs final : public SimulatedFileSystem {
public:
    ~SimulatedNtfs() override
    {
        for (const Holder& other : m_others)
            ::CloseHandle(other.Handle);
    }

    // An open of the file by another program, held until the volume goes.
    void HoldOpen(const std::wstring& name, DWORD access, DWORD share)
    {
        HANDLE handle = ::CreateFileW(name.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << Narrow(name);
        m_others.push_back({Key(name), Specific(access), share, handle});
    }
    void SetFormat(const std::wstring& name, USHORT format) { m_formats[Key(name)] = format; }
    // How many opens of the file the volume judged.
    int Judged(const std::wstring& name) const
    {
        return static_cast<int>(std::count(m_opened.begin(), m_opened.end(), Key(name)));
    }

    HANDLE Open(const std::wstring& name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override
    {
        m_opened.push_back(Key(name));
        const DWORD specific = Specific(access);
        if (const DWORD refusal = Refusal(name, specific, share, flags)) {
            ::SetLastError(refusal);
            return INVALID_HANDLE_VALUE;
        }
        HANDLE handle = Real().Open(name, access, share, disposition, flags);
        if (handle != INVALID_HANDLE_VALUE)
            m_handles[handle] = {Key(name), specific};
        return handle;
    }

    bool Control(HANDLE file, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned) override
    {
        const DWORD requiredAccess = (code >> 14) & 3;
        const DWORD required = ((requiredAccess & FILE_READ_ACCESS) ? FILE_READ_DATA : 0) |
                               ((requiredAccess & FILE_WRITE_ACCESS) ? FILE_WRITE_DATA : 0);
        if (!Grants(file, required))
            return false;
        USHORT& format = m_formats[m_handles.at(file).Name];
        if (code == FSCTL_SET_COMPRESSION && in && inSize >= sizeof(USHORT)) {
            USHORT asked = 0;
            std::memcpy(&asked, in, sizeof(asked));
            if (asked > COMPRESSION_FORMAT_LZNT1) {
                ::SetLastError(ERROR_INVALID_PARAMETER);
                return false;
            }
            format = asked == COMPRESSION_FORMAT_DEFAULT ? COMPRESSION_FORMAT_LZNT1 : asked;
            *returned = 0;
            return true;
        }
        if (code == FSCTL_GET_COMPRESSION && out && outSize >= sizeof(USHORT)) {
            std::memcpy(out, &format, sizeof(format));
            *returned = sizeof(format);
            return true;
        }
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }

    bool GetTimes(HANDLE file, FILETIME* creation, FILETIME* access, FILETIME* write) override
    {
        return Grants(file, FILE_READ_ATTRIBUTES) && Real().GetTimes(file, creation, access, write);
    }
    bool SetTimes(HANDLE file, const FILETIME* creation, const FILETIME* access, const FILETIME* write) override
    {
        return Grants(file, FILE_WRITE_ATTRIBUTES) && Real().SetTimes(file, creation, access, write);
    }

private:
    struct Holder {
        std::wstring Name;
        DWORD Access, Share;
        HANDLE Handle;
    };
    struct Opened {
        std::wstring Name;
        DWORD Access;
    };

    // Whether the handle, opened through the volume, has the access; if not,
    // the error Windows gives.
    bool Grants(HANDLE file, DWORD required) const
    {
        const auto opened = m_handles.find(file);
        if (opened == m_handles.end()) {
            ::SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        if ((opened->second.Access & required) != required) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        return true;
    }
    static std::wstring Key(std::wstring name)
    {
        ::CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
        return name;
    }
    static DWORD Specific(DWORD access)
    {
        const DWORD generic[][2] = {{GENERIC_READ, FILE_GENERIC_READ},
                                    {GENERIC_WRITE, FILE_GENERIC_WRITE},
                                    {GENERIC_EXECUTE, FILE_GENERIC_EXECUTE},
                                    {GENERIC_ALL, FILE_ALL_ACCESS}};
        for (const auto& right : generic)
            if (access & right[0])
                access = (access & ~right[0]) | right[1];
        return access;
    }
    DWORD Refusal(const std::wstring& name, DWORD access, DWORD share, DWORD flags) const
    {
        const DWORD attributes = Real().GetAttributes(name);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return 0; // the real open gives the system's own error
        const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (folder && !(flags & FILE_FLAG_BACKUP_SEMANTICS))
            return ERROR_ACCESS_DENIED;
        if (!folder && (attributes & FILE_ATTRIBUTE_READONLY) && (access & (FILE_WRITE_DATA | FILE_APPEND_DATA)))
            return ERROR_ACCESS_DENIED;
        const DWORD reads = FILE_READ_DATA | FILE_EXECUTE, writes = FILE_WRITE_DATA | FILE_APPEND_DATA;
        if (!(access & (reads | writes | DELETE)))
            return 0;
        for (const Holder& other : m_others) {
            if (other.Name != Key(name) || !(other.Access & (reads | writes | DELETE)))
                continue;
            if (((access & reads) && !(other.Share & FILE_SHARE_READ)) ||
                ((access & writes) && !(other.Share & FILE_SHARE_WRITE)) ||
                ((access & DELETE) && !(other.Share & FILE_SHARE_DELETE)) ||
                ((other.Access & reads) && !(share & FILE_SHARE_READ)) ||
                ((other.Access & writes) && !(share & FILE_SHARE_WRITE)) ||
                ((other.Access & DELETE) && !(share & FILE_SHARE_DELETE)))
                return ERROR_SHARING_VIOLATION;
        }
        return 0;
    }

    std::vector<Holder> m_others;
    std::vector<std::wstring> m_opened;
    std::map<HANDLE, Opened> m_handles;
    std::map<std::wstring, USHORT> m_formats;
};

// What a file's state is, whoever else has it open: reading the state asks
// no access to the data, setting it only what its control code requires.
TEST_F(Metadata, SimulatedNtfsCompressionOfFoldersReadOnlyAndBusyFiles)
{
    ComPtr<tovrin::tovFSO> local = tovrin::tovFSO::Create();
    const std::wstring plain = NewFile(L"plain.txt"), readOnly = NewFile(L"read-only.txt");
    const std::wstring log = NewFile(L"log.txt"), sharedLog = NewFile(L"shared log.txt");
    ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    SimulatedNtfs ntfs;
    ntfs.HoldOpen(log, GENERIC_WRITE, FILE_SHARE_READ);
    ntfs.HoldOpen(sharedLog, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ntfs.SetFormat(readOnly, COMPRESSION_FORMAT_LZNT1);
    ntfs.SetFormat(log, COMPRESSION_FORMAT_LZNT1);
    const struct {
        const char* what;
        std::wstring path;
        CompressionFormatConst before; // read first
        CompressionFormatConst asked;  // then set
        long setError;                 // 0: the set succeeds
        CompressionFormatConst after;  // and read again
    } cases[] = {
        {"plain file", plain, cfNone, cfDefault, 0, cfLZNT1},
        {"folder", m_folder.Path(), cfNone, cfLZNT1, 0, cfLZNT1},
        {"read-only file", readOnly, cfLZNT1, cfNone, ERROR_ACCESS_DENIED, cfLZNT1},
        {"log another program writes, sharing reads", log, cfLZNT1, cfNone, ERROR_SHARING_VIOLATION, cfLZNT1},
        {"log another program writes, sharing reads and writes", sharedLog, cfNone, cfLZNT1, 0, cfLZNT1},
    };
    for (const auto& c : cases) {
        const Bstr name = Bstr::From(c.path);
        long error = 12345;
        CompressionFormatConst format = static_cast<CompressionFormatConst>(99);
        EXPECT_EQ(local->GetFileCompression(name.get(), &error, &format), S_OK) << c.what;
        EXPECT_EQ(format, c.before) << c.what;
        EXPECT_EQ(error, 0) << c.what;
        error = 12345;
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(local->SetFileCompression(name.get(), c.asked, &error, &ok), S_OK) << c.what;
        EXPECT_EQ(ok, c.setError ? VARIANT_FALSE : VARIANT_TRUE) << c.what;
        EXPECT_EQ(error, c.setError) << c.what;
        error = 12345;
        format = static_cast<CompressionFormatConst>(99);
        EXPECT_EQ(local->GetFileCompression(name.get(), &error, &format), S_OK) << c.what;
        EXPECT_EQ(format, c.after) << c.what;
        EXPECT_EQ(error, 0) << c.what;
        EXPECT_EQ(ntfs.Judged(c.path), 3) << c.what << ": every open went through the volume";
    }
}

// ---- The recycle bin: under Wine, the desktop's trash.

// What the trash holds under the name, which Wine may give a suffix; it is
// removed from the trash again.
bool TakeFromTrash(const std::wstring& name)
{
    wchar_t trash[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TOVRIN_TRASH_FILES", trash, MAX_PATH);
    WIN32_FIND_DATAW found = {};
    tovrin::FindHandle search(::FindFirstFileW((std::wstring(trash) + L"\\" + name + L"*").c_str(), &found));
    if (!search.valid())
        return false;
    std::wstring path = std::wstring(trash) + L"\\" + found.cFileName;
    SHFILEOPSTRUCTW operation = {};
    std::wstring from = path + L'\0';
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    ::SHFileOperationW(&operation);
    return true;
}

TEST_F(Metadata, RecyclingMovesFilesAndFoldersToTheTrashUnlessSkipped)
{
    for (bool folder : {false, true}) {
        for (VARIANT_BOOL skip : {VARIANT_FALSE, VARIANT_TRUE}) {
            std::wstring name = std::wstring(L"tovrin-recycled-") + (folder ? L"folder-" : L"file-") +
                                (skip ? L"skipped" : L"kept") + L"-" + std::to_wstring(::GetTickCount());
            std::wstring path = m_folder / name;
            if (folder) {
                ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
                WriteBytes(path + L"\\inside.txt", "x");
            } else {
                WriteBytes(path, "x");
            }
            VARIANT_BOOL ok = VARIANT_FALSE;
            HRESULT hr = folder ? m_fso->RecycleFolder(Bstr::From(path).get(), skip, VARIANT_TRUE, &ok)
                                : m_fso->RecycleFile(Bstr::From(path).get(), skip, VARIANT_TRUE, &ok);
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(ok, VARIANT_TRUE);
            EXPECT_FALSE(Exists(path)) << Narrow(name);
            EXPECT_EQ(TakeFromTrash(name), !skip) << Narrow(name);
        }
    }
}

TEST_F(Metadata, RecyclingAMissingPathFollowsRaiseErrors)
{
    Bstr missing = Bstr::From(m_folder / L"missing.txt");
    VARIANT_BOOL ok = 7;
    EXPECT_EQ(m_fso->RecycleFile(missing.get(), VARIANT_FALSE, VARIANT_FALSE, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(m_fso->RecycleFile(missing.get(), VARIANT_FALSE, VARIANT_TRUE, &ok), ErrorStatus(53));
    EXPECT_EQ(TakeErrorInfo().Source, L"tovFSO");
}

// A shell that reports success for a delete it gave up on, or left undone:
// simulated, since Wine's shell cannot be made to do either.
class ShellThatGivesUp final : public SimulatedFileSystem {
public:
    explicit ShellThatGivesUp(bool saysAborted) : m_saysAborted(saysAborted) {}
    int ShellOperation(SHFILEOPSTRUCTW& operation) override
    {
        operation.fAnyOperationsAborted = m_saysAborted;
        return 0;
    }
    // A shell of before IFileOperation: the library falls back to SHFileOperation.
    HRESULT ShellDelete(const std::wstring&, DWORD, IFileOperationProgressSink*, bool*) override { return E_NOTIMPL; }

private:
    bool m_saysAborted;
};

TEST_F(Metadata, SimulatedShellSuccessThatLeftTheFileIsAFailure)
{
    std::wstring file = NewFile(L"stays.txt");
    ComPtr<tovrin::tovFSO> local = tovrin::tovFSO::Create();
    for (bool saysAborted : {true, false}) {
        ShellThatGivesUp shell(saysAborted);
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(local->RecycleFile(Bstr::From(file).get(), VARIANT_FALSE, VARIANT_FALSE, &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_FALSE) << saysAborted;
        EXPECT_EQ(local->RecycleFile(Bstr::From(file).get(), VARIANT_FALSE, VARIANT_TRUE, &ok), ErrorStatus(75));
    }
    EXPECT_TRUE(Exists(file));
}

// The shell's delete, simulated as Windows documents and reports it, since
// Wine's shell has no IFileOperation, no connected files and no bin quota:
// - IFileOperationProgressSink::PreDeleteItem tells the sink of the item
//   first, with TSF_DELETE_RECYCLE_IF_POSSIBLE only where it can go to the
//   recycle bin (a network share cannot); a sink that returns a failure
//   makes the shell skip the item, which stays, and report the operation
//   aborted. Without the flag, with no confirmation asked, Windows deletes
//   the item for good.
// - An item too large for the bin comes with the same flags as any other
//   (0x282, as a public project that logged them on Windows reports); with
//   FOF_NOCONFIRMATION the shell deletes it for good and reports success;
//   PostDeleteItem then has a null psiNewlyCreated, which its documentation
//   gives for an item that "was fully deleted".
// - An HTML page's folder ("page.htm" and "page_files") goes with the page,
//   and the page with the folder, unless FOF_NO_CONNECTED_ELEMENTS is set
//   (SHFILEOPSTRUCT's documentation), through either interface.
// - Neither interface takes the "\\?\" form: the names given are kept.
class SimulatedShell final : public SimulatedFileSystem {
public:
    enum Bin { Recycles, NoBin, TooLargeForBin };
    explicit SimulatedShell(Bin bin, bool fileOperation = true) : m_bin(bin), m_fileOperation(fileOperation)
    {
        ::SHCreateItemFromParsingName(m_trash.Path().c_str(), nullptr, IID_IShellItem, m_inTheBin.put_void());
    }
    HRESULT ShellDelete(const std::wstring& name, DWORD flags, IFileOperationProgressSink* sink,
                        bool* aborted) override
    {
        if (!m_fileOperation)
            return E_NOTIMPL; // a shell of before IFileOperation
        Names.push_back(name);
        Flags = flags;
        *aborted = false;
        sink->StartOperations();
        for (const std::wstring& item : WithConnected(name, flags)) {
            if (FAILED(sink->PreDeleteItem(m_bin == NoBin ? 0x202 : 0x282, nullptr))) {
                *aborted = true;
                continue;
            }
            DeleteForGood(item); // to the bin, or for good: gone from its folder either way
            sink->PostDeleteItem(0, nullptr, S_OK, m_bin == Recycles ? m_inTheBin.get() : nullptr);
        }
        sink->FinishOperations(S_OK);
        return S_OK;
    }
    int ShellOperation(SHFILEOPSTRUCTW& operation) override
    {
        Names.push_back(operation.pFrom);
        Flags = operation.fFlags;
        for (const std::wstring& item : WithConnected(operation.pFrom, operation.fFlags))
            DeleteForGood(item);
        return 0;
    }
    std::vector<std::wstring> Names;
    DWORD Flags = 0;

private:
    static std::vector<std::wstring> WithConnected(const std::wstring& name, DWORD flags)
    {
        std::vector<std::wstring> items{name};
        const size_t dot = name.rfind(L'.');
        std::wstring connected;
        if (dot != std::wstring::npos && name.substr(dot) == L".htm")
            connected = name.substr(0, dot) + L"_files";
        else if (name.size() > 6 && name.substr(name.size() - 6) == L"_files")
            connected = name.substr(0, name.size() - 6) + L".htm";
        if (!(flags & FOF_NO_CONNECTED_ELEMENTS) && !connected.empty() && Exists(connected))
            items.push_back(connected);
        return items;
    }
    void DeleteForGood(const std::wstring& item)
    {
        std::wstring from = item + L'\0';
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        Real().ShellOperation(operation);
    }

    Bin m_bin;
    bool m_fileOperation;
    TempFolder m_trash;
    ComPtr<IShellItem> m_inTheBin;
};

TEST_F(Metadata, SimulatedRecyclingWhereThereIsNoBinDeletesNothing)
{
    ComPtr<tovrin::tovFSO> local = tovrin::tovFSO::Create();
    std::wstring file = NewFile(L"on a share.txt");
    {
        SimulatedShell shell(SimulatedShell::NoBin);
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(local->RecycleFile(Bstr::From(file).get(), VARIANT_FALSE, VARIANT_FALSE, &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_FALSE);
        EXPECT_EQ(local->RecycleFile(Bstr::From(file).get(), VARIANT_FALSE, VARIANT_TRUE, &ok), ErrorStatus(75));
        EXPECT_TRUE(Exists(file)) << "never deleted for good when the caller asked to recycle";
        EXPECT_EQ(shell.Names.size(), 2u);
        EXPECT_TRUE(shell.Flags & FOF_ALLOWUNDO);
        EXPECT_TRUE(shell.Flags & FOF_NOCONFIRMATION);
    }
    {
        SimulatedShell shell(SimulatedShell::Recycles);
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(local->RecycleFile(Bstr::From(file).get(), VARIANT_FALSE, VARIANT_FALSE, &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_TRUE) << "where there is a bin the item goes there";
        EXPECT_FALSE(Exists(file));
    }
    file = NewFile(L"skipping the bin.txt");
    {
        SimulatedShell shell(SimulatedShell::NoBin);
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(local->RecycleFile(Bstr::From(file).get(), VARIANT_TRUE, VARIANT_FALSE, &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_TRUE) << "SkipRecycleBin deletes for good, as asked";
        EXPECT_EQ(shell.Names.size(), 1u) << "through SHFileOperation";
        EXPECT_FALSE(shell.Flags & FOF_ALLOWUNDO);
        EXPECT_FALSE(Exists(file));
    }
}

// What reaches the shell and what it may take: the item named and only it,
// never in the "\\?\" form, and never a True for an item the shell deleted
// for good instead of recycling it.
TEST_F(Metadata, SimulatedRecyclingTouchesTheNamedItemOnlyAndOnlyRecycles)
{
    ComPtr<tovrin::tovFSO> local = tovrin::tovFSO::Create();
    const std::wstring page = m_folder / L"page.htm", pageFolder = m_folder / L"page_files";
    const std::wstring dotted = L"\\\\?\\" + (m_folder / L"page.htm."); // "page.htm" in the plain form
    tovrin::Handle file(::CreateFileW(dotted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.valid());
    file.reset();
    const struct {
        const char* what;
        SimulatedShell::Bin bin;
        bool fileOperation;
        VARIANT_BOOL skip;
        std::wstring given;    // the name the caller gives
        std::wstring deleted;  // what must go; empty: nothing may
        HRESULT status;
    } cases[] = {
        {"recycled page", SimulatedShell::Recycles, true, VARIANT_FALSE, page, page, S_OK},
        {"recycled folder", SimulatedShell::Recycles, true, VARIANT_FALSE, pageFolder, pageFolder, S_OK},
        {"page, older shell", SimulatedShell::Recycles, false, VARIANT_FALSE, page, page, S_OK},
        {"page past the bin", SimulatedShell::Recycles, true, VARIANT_TRUE, page, page, S_OK},
        {"too large for the bin", SimulatedShell::TooLargeForBin, true, VARIANT_FALSE, page, page, ErrorStatus(75)},
        {"\\\\?\\ name", SimulatedShell::Recycles, true, VARIANT_FALSE, L"\\\\?\\" + page, page, S_OK},
        {"\\\\?\\ name, older shell", SimulatedShell::Recycles, false, VARIANT_FALSE, L"\\\\?\\" + page, page,
         S_OK},
        {"\\\\?\\ name no plain form names", SimulatedShell::Recycles, true, VARIANT_FALSE, dotted, L"",
         ErrorStatus(52)},
    };
    for (const auto& c : cases) {
        WriteBytes(page, "<html>");
        ::CreateDirectoryW(pageFolder.c_str(), nullptr);
        WriteBytes(pageFolder + L"\\picture.png", "png");
        SimulatedShell shell(c.bin, c.fileOperation);
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(local->RecycleFile(Bstr::From(c.given).get(), c.skip, VARIANT_TRUE, &ok), c.status) << c.what;
        EXPECT_EQ(ok, c.status == S_OK ? VARIANT_TRUE : VARIANT_FALSE) << c.what;
        for (const std::wstring& item : {page, pageFolder, dotted})
            EXPECT_EQ(Exists(item), item != c.deleted) << c.what << ": " << Narrow(item);
        for (const std::wstring& name : shell.Names)
            EXPECT_EQ(name.find(L"\\\\?\\"), std::wstring::npos) << c.what << ": " << Narrow(name);
        EXPECT_EQ(shell.Names.empty(), c.deleted.empty()) << c.what;
    }
    ::DeleteFileW(dotted.c_str()); // the folder's clean-up knows only plain names
}

// ---- Time stamps in local time; this test runs in Europe/Berlin.

SYSTEMTIME StoredUtc(const std::wstring& path, int which)
{
    tovrin::Handle file(::CreateFileW(path.c_str(), GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME times[3] = {};
    ::GetFileTime(file.get(), &times[0], &times[1], &times[2]);
    SYSTEMTIME utc = {};
    ::FileTimeToSystemTime(&times[which], &utc);
    return utc;
}

// Whether a creation time set alone reads back while the last write stays.
bool KeepsCreationTime(const std::wstring& probe)
{
    WriteBytes(probe, "x");
    tovrin::Handle file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 7, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME old = {};
    old.dwHighDateTime = 0x01D00000;
    ::SetFileTime(file.get(), &old, nullptr, nullptr);
    file.reset();
    tovrin::Handle read(::CreateFileW(probe.c_str(), GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME creation = {}, access = {}, write = {};
    ::GetFileTime(read.get(), &creation, &access, &write);
    return ::CompareFileTime(&creation, &old) == 0 && ::CompareFileTime(&write, &old) != 0;
}

DATE LocalDate(WORD year, WORD month, WORD day, WORD hour)
{
    SYSTEMTIME local = {year, month, 0, day, hour, 0, 0, 0};
    DATE date = 0;
    ::SystemTimeToVariantTime(&local, &date);
    return date;
}

TEST_F(Metadata, TimeStampsAreLocalTimeAcrossDaylightSaving)
{
    std::wstring file = NewFile(L"stamped.txt");
    Bstr name = Bstr::From(file);
    const SYSTEMTIME creationBefore = StoredUtc(file, 0), accessBefore = StoredUtc(file, 1);
    const struct {
        DATE local;
        WORD utcHour;
    } cases[] = {{LocalDate(2026, 1, 15, 12), 11}, {LocalDate(2026, 7, 15, 12), 10}};
    for (const auto& c : cases) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_EQ(m_fso->SetFileDateTime(name.get(), 0.0, 0.0, c.local, VARIANT_TRUE, &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_TRUE);
        SYSTEMTIME utc = StoredUtc(file, 2);
        EXPECT_EQ(utc.wHour, c.utcHour);
        EXPECT_EQ(utc.wMinute, 0);
        DATE creation = -1, access = -1, write = -1;
        ASSERT_EQ(m_fso->GetFileDateTime(name.get(), &creation, &access, &write, VARIANT_TRUE, &ok), S_OK);
        EXPECT_EQ(write, c.local) << "read back exactly";
    }
    SYSTEMTIME creationAfter = StoredUtc(file, 0), accessAfter = StoredUtc(file, 1);
    EXPECT_EQ(std::memcmp(&accessBefore, &accessAfter, sizeof(SYSTEMTIME)), 0) << "0.0 leaves a time unchanged";
    // Wine keeps no creation time of its own on Linux: it reports the last
    // write. Where the platform keeps one, it too must stay as it was.
    if (KeepsCreationTime(m_folder / L"probe.txt")) {
        EXPECT_EQ(std::memcmp(&creationBefore, &creationAfter, sizeof(SYSTEMTIME)), 0) << "0.0 leaves a time unchanged";
    }
}

// A folder's times, and those of files other programs hold open, for real:
// the members ask for no more than the file's attributes, which no other
// open can deny them. Wine refuses access to data that another open does
// not share, as Windows does.
TEST_F(Metadata, TimeStampsOfFoldersAndOfFilesOthersHoldOpen)
{
    const std::wstring folder = m_folder / L"folder", log = NewFile(L"log.txt"), locked = NewFile(L"locked.db");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    tovrin::Handle writer(
        ::CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    tovrin::Handle exclusive(
        ::CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer.valid());
    ASSERT_TRUE(exclusive.valid());
    const DATE wanted = LocalDate(2025, 7, 15, 12);
    const struct {
        const char* what;
        std::wstring path;
    } cases[] = {{"folder", folder}, {"log another program writes", log}, {"file another program holds alone", locked}};
    for (const auto& c : cases) {
        const Bstr name = Bstr::From(c.path);
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_EQ(m_fso->SetFileDateTime(name.get(), 0.0, 0.0, wanted, VARIANT_TRUE, &ok), S_OK) << c.what;
        EXPECT_EQ(ok, VARIANT_TRUE) << c.what;
        DATE written = -1;
        ok = VARIANT_FALSE;
        EXPECT_EQ(m_fso->GetFileDateTime(name.get(), nullptr, nullptr, &written, VARIANT_TRUE, &ok), S_OK) << c.what;
        EXPECT_EQ(ok, VARIANT_TRUE) << c.what;
        EXPECT_EQ(written, wanted) << c.what;
    }
}

// A read-only file's times can be set, and it stays read-only: setting the
// times asks to write the attributes, not the data (SetFileTime: the handle
// "must have been created using the CreateFile function with the
// FILE_WRITE_ATTRIBUTES access right"), and reading them to read the
// attributes.
TEST_F(Metadata, SimulatedReadOnlyFilesTimesCanBeSetAndItStaysReadOnly)
{
    const std::wstring file = NewFile(L"read-only.txt");
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    ComPtr<tovrin::tovFSO> local = tovrin::tovFSO::Create();
    SimulatedNtfs ntfs;
    const Bstr name = Bstr::From(file);
    const DATE wanted = LocalDate(2025, 7, 15, 12);
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(local->SetFileDateTime(name.get(), 0.0, 0.0, wanted, VARIANT_TRUE, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    DATE written = -1;
    EXPECT_EQ(local->GetFileDateTime(name.get(), nullptr, nullptr, &written, VARIANT_TRUE, &ok), S_OK);
    EXPECT_EQ(written, wanted);
    EXPECT_EQ(::GetFileAttributesW(file.c_str()), attributes) << "still read-only, nothing else changed";
    EXPECT_EQ(ntfs.Judged(file), 2) << "both members opened the file through the volume";
}

TEST_F(Metadata, TimeStampErrors)
{
    DATE sentinel = 42.0;
    VARIANT_BOOL ok = 7;
    Bstr empty = Bstr::From(L"");
    EXPECT_EQ(m_fso->GetFileDateTime(empty.get(), &sentinel, nullptr, nullptr, VARIANT_FALSE, &ok), ErrorStatus(5));
    EXPECT_EQ(m_fso->SetFileDateTime(empty.get(), 1.0, 1.0, 1.0, VARIANT_FALSE, &ok), ErrorStatus(5));
    Bstr missing = Bstr::From(m_folder / L"missing.txt");
    EXPECT_EQ(m_fso->GetFileDateTime(missing.get(), &sentinel, nullptr, nullptr, VARIANT_FALSE, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(sentinel, 42.0) << "nothing is written on failure";
    EXPECT_EQ(m_fso->GetFileDateTime(missing.get(), &sentinel, nullptr, nullptr, VARIANT_TRUE, &ok), ErrorStatus(53));
    EXPECT_EQ(m_fso->SetFileDateTime(missing.get(), 1.0, 0, 0, VARIANT_TRUE, &ok), ErrorStatus(53));
}

} // namespace
