// tovFSO: NTFS compression of a file or folder, deletion through the shell's
// recycle bin, and the three time stamps of a file or folder in local time.
#include "classes/tovFSO.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"
#include "files/LocalTime.h"

#include <tovrin/ErrorNumbers.h>

#include <shellapi.h>
#include <winioctl.h>

namespace tovrin {

namespace {

// Opened for what one member needs and nothing more, sharing everything,
// so that a read-only file and a file other programs hold open refuse only
// what they must (no other open can deny access to the attributes alone),
// and with backup semantics, so that folders open too.
Handle OpenExisting(const std::wstring& name, DWORD access)
{
    return Handle(FileSystem().Open(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS));
}

// The access each compression control code requires of the handle, the
// RequiredAccess of its definition in winioctl.h:
//   FSCTL_GET_COMPRESSION  CTL_CODE(FILE_DEVICE_FILE_SYSTEM, 15, METHOD_BUFFERED, FILE_ANY_ACCESS)
//   FSCTL_SET_COMPRESSION  CTL_CODE(FILE_DEVICE_FILE_SYSTEM, 16, METHOD_BUFFERED, FILE_READ_DATA | FILE_WRITE_DATA)
// Reading the state needs a handle of any access: the attributes' suffices.
constexpr DWORD GetCompressionAccess = FILE_READ_ATTRIBUTES;
constexpr DWORD SetCompressionAccess = FILE_READ_DATA | FILE_WRITE_DATA;

// A compression member raises nothing: a name with a NUL fails as the
// system fails an invalid name.
Handle OpenForCompression(BSTR fileName, DWORD access)
{
    const std::optional<std::wstring> name = CheckedFileName(fileName);
    if (!name) {
        ::SetLastError(ERROR_INVALID_NAME);
        return Handle();
    }
    return OpenExisting(*name, access);
}

bool Exists(const std::wstring& name)
{
    return FileSystem().GetAttributes(name) != INVALID_FILE_ATTRIBUTES;
}

// A folder that is a mount point's reparse point: the find record gives
// its tag.
bool IsJunction(const std::wstring& name)
{
    const DWORD attributes = FileSystem().GetAttributes(name);
    const DWORD junction = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & junction) != junction)
        return false;
    WIN32_FIND_DATAW entry = {};
    const SeamFind find(FileSystem().FindFirst(name, &entry));
    return find && entry.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT;
}

// Told of each item the shell deletes, so that an item asked to go to the
// recycle bin never goes anywhere else. One that the shell knows it cannot
// put there (a network share, a removable drive) comes without
// TSF_DELETE_RECYCLE_IF_POSSIBLE and would be deleted for good: the sink
// refuses it, and the shell leaves it. One too large for the bin comes with
// the same flags as any other and is deleted for good all the same; the
// shell says so only afterwards, with no item in the bin.
class RecycleOnly final : public IFileOperationProgressSink {
public:
    bool Refused = false;
    bool DeletedForGood = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = iid == IID_IUnknown || iid == IID_IFileOperationProgressSink ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    // Lives on the stack of the one call that hands it to the shell.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD flags, IShellItem*) override
    {
        if (flags & TSF_DELETE_RECYCLE_IF_POSSIBLE)
            return S_OK;
        Refused = true;
        return HRESULT_FROM_WIN32(ERROR_CANCELLED);
    }

    // The item now in the bin, or null where the item was deleted for good.
    HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem*, HRESULT deleted, IShellItem* recycled) override
    {
        if (SUCCEEDED(deleted) && !recycled)
            DeletedForGood = true;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT, IShellItem*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }
};

// A shell that has no IFileOperation (before Vista; Wine's is a stub).
bool NoFileOperation(HRESULT hr)
{
    return hr == E_NOTIMPL || hr == REGDB_E_CLASSNOTREG || hr == CLASS_E_CLASSNOTAVAILABLE || hr == E_NOINTERFACE;
}

DATE LocalDate(const FILETIME& time)
{
    DATE date = 0;
    Check(FileTimeToLocalDate(time, date));
    return date;
}

// The file time for a local date; null for 0.0, which leaves that time as it is.
const FILETIME* FileTimeOf(DATE date, FILETIME& buffer)
{
    if (date == 0.0)
        return nullptr;
    Check(LocalDateToFileTime(date, buffer));
    return &buffer;
}

void RequireName(BSTR fileName)
{
    if (::SysStringLen(fileName) == 0)
        throw AutomationError(ErrInvalidCall);
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::SetFileCompression(BSTR FileName, CompressionFormatConst CompressionFormat,
                                                     long* lpErrorCode, VARIANT_BOOL* RetVal)
{
    return Member(
        RetVal,
        [&] {
            Handle file = OpenForCompression(FileName, SetCompressionAccess);
            long format = CompressionFormat; // passed on as the caller gave it
            DWORD returned = 0;
            if (file &&
                FileSystem().Control(file.get(), FSCTL_SET_COMPRESSION, &format, sizeof(format), nullptr, 0, &returned))
                return true;
            if (lpErrorCode)
                *lpErrorCode = static_cast<long>(::GetLastError());
            return false;
        },
        lpErrorCode);
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFileCompression(BSTR FileName, long* lpErrorCode, CompressionFormatConst* RetVal)
{
    return Member(
        RetVal,
        [&] {
            Handle file = OpenForCompression(FileName, GetCompressionAccess);
            long format = 0;
            DWORD returned = 0;
            if (file &&
                FileSystem().Control(file.get(), FSCTL_GET_COMPRESSION, nullptr, 0, &format, sizeof(format), &returned))
                return static_cast<CompressionFormatConst>(format);
            if (lpErrorCode)
                *lpErrorCode = static_cast<long>(::GetLastError());
            return cfError;
        },
        lpErrorCode);
}

HRESULT STDMETHODCALLTYPE tovFSO::RecycleFile(BSTR FileName, VARIANT_BOOL SkipRecycleBin, VARIANT_BOOL RaiseErrors,
                                              VARIANT_BOOL* RetVal)
{
    return FileMember(RaiseErrors, RetVal, [&] {
        // A full path: the shell would delete a relative one for good, and
        // read a name with a NUL as a list of several.
        const std::wstring name = RequireFileName(FileName);
        if (!Exists(name))
            throw AutomationError(ErrFileNotFound);
        if (IsJunction(name)) {
            // Only the junction goes, never what it points to, and never to the bin.
            if (!FileSystem().RemoveFolder(name))
                RaiseLastFileError();
            return true;
        }
        // The shell does not know the "\\?\" form; and an HTML page's
        // folder ("page.htm" and "page_files") would go with the page.
        const std::optional<std::wstring> shellName = ShellFileName(name);
        if (!shellName)
            throw AutomationError(ErrBadFileNameOrNumber);
        const DWORD quiet =
            FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_NO_CONNECTED_ELEMENTS;
        if (!SkipRecycleBin) {
            // To the recycle bin or not at all: where the item cannot go
            // there, it stays, and the call fails.
            RecycleOnly sink;
            bool aborted = false;
            HRESULT hr =
                FileSystem().ShellDelete(*shellName, quiet | FOF_ALLOWUNDO | FOFX_RECYCLEONDELETE, &sink, &aborted);
            if (!NoFileOperation(hr)) {
                if (sink.DeletedForGood)
                    throw AutomationError(ErrPathFileAccess, L"Path/File access error: the item could not go to the "
                                                             L"recycle bin, and the shell deleted it for good");
                if (FAILED(hr) || aborted || sink.Refused || Exists(name))
                    throw AutomationError(ErrPathFileAccess);
                return true;
            }
        }
        std::wstring from = *shellName + L'\0'; // a list of one path, ended by two NULs
        SHFILEOPSTRUCTW operation = {};
        operation.hwnd = ::GetActiveWindow();
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = quiet;
        if (!SkipRecycleBin)
            operation.fFlags |= FOF_ALLOWUNDO;
        int status = FileSystem().ShellOperation(operation);
        if (status != 0)
            throw AutomationError(MapWin32FileError(static_cast<DWORD>(status)));
        // The shell may report success for an operation it gave up on.
        if (operation.fAnyOperationsAborted || Exists(name))
            throw AutomationError(ErrPathFileAccess);
        return true;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::RecycleFolder(BSTR FileName, VARIANT_BOOL SkipRecycleBin, VARIANT_BOOL RaiseErrors,
                                                VARIANT_BOOL* RetVal)
{
    return RecycleFile(FileName, SkipRecycleBin, RaiseErrors, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFileDateTime(BSTR FileName, DATE* lpCreationTime, DATE* lpLastAccessTime,
                                                  DATE* lpLastWriteTime, VARIANT_BOOL RaiseErrors, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        RequireName(FileName);
        return Guarded(RaiseErrors, false, [&] {
            // Reading the times needs the right to read the attributes
            // (ZwQueryInformationFile, FileBasicInformation), no more.
            Handle file = OpenExisting(RequireFileName(FileName), FILE_READ_ATTRIBUTES);
            FILETIME creation = {}, access = {}, write = {};
            if (!file || !FileSystem().GetTimes(file.get(), &creation, &access, &write))
                RaiseLastFileError();
            const DATE times[] = {LocalDate(creation), LocalDate(access), LocalDate(write)};
            DATE* const targets[] = {lpCreationTime, lpLastAccessTime, lpLastWriteTime};
            for (int i = 0; i < 3; ++i)
                if (targets[i])
                    *targets[i] = times[i];
            return true;
        });
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileDateTime(BSTR FileName, DATE CreationTime, DATE LastAccessTime,
                                                  DATE LastWriteTime, VARIANT_BOOL RaiseErrors, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        RequireName(FileName);
        return Guarded(RaiseErrors, false, [&] {
            // Setting them needs the right to write the attributes (SetFileTime),
            // which a read-only file grants: it stays read-only.
            Handle file = OpenExisting(RequireFileName(FileName), FILE_WRITE_ATTRIBUTES);
            if (!file)
                RaiseLastFileError();
            FILETIME creation = {}, access = {}, write = {};
            if (!FileSystem().SetTimes(file.get(), FileTimeOf(CreationTime, creation),
                                       FileTimeOf(LastAccessTime, access), FileTimeOf(LastWriteTime, write)))
                RaiseLastFileError();
            return true;
        });
    });
}

} // namespace tovrin
