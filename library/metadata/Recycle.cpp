#include "metadata/Recycle.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/ErrorNumbers.h>

#include <shellapi.h>
#include <shobjidl.h>

namespace tovrin {

namespace {

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

const DWORD Quiet = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_NO_CONNECTED_ELEMENTS;

// To the recycle bin or not at all: where the item cannot go there, it
// stays, and the call fails. False where the shell has no IFileOperation.
bool RecycleThroughFileOperation(const std::wstring& name, const std::wstring& shellName)
{
    RecycleOnly sink;
    bool aborted = false;
    HRESULT hr = FileSystem().ShellDelete(shellName, Quiet | FOF_ALLOWUNDO | FOFX_RECYCLEONDELETE, &sink, &aborted);
    if (NoFileOperation(hr))
        return false;
    if (sink.DeletedForGood)
        throw AutomationError(ErrPathFileAccess, L"Path/File access error: the item could not go to the "
                                                 L"recycle bin, and the shell deleted it for good");
    if (FAILED(hr) || aborted || sink.Refused || Exists(name))
        throw AutomationError(ErrPathFileAccess);
    return true;
}

void DeleteThroughFileOperationStruct(const std::wstring& name, const std::wstring& shellName, bool skipRecycleBin)
{
    std::wstring from = shellName + L'\0'; // a list of one path, ended by two NULs
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = ::GetActiveWindow();
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = Quiet;
    if (!skipRecycleBin)
        operation.fFlags |= FOF_ALLOWUNDO;
    int status = FileSystem().ShellOperation(operation);
    if (status != 0)
        throw AutomationError(MapWin32FileError(static_cast<DWORD>(status)));
    // The shell may report success for an operation it gave up on.
    if (operation.fAnyOperationsAborted || Exists(name))
        throw AutomationError(ErrPathFileAccess);
}

} // namespace

void RecycleItem(const std::wstring& name, bool skipRecycleBin)
{
    if (!Exists(name))
        throw AutomationError(ErrFileNotFound);
    if (IsJunction(name)) {
        // Only the junction goes, never what it points to, and never to the bin.
        if (!FileSystem().RemoveFolder(name))
            RaiseLastFileError();
        return;
    }
    // The shell does not know the "\\?\" form; and an HTML page's
    // folder ("page.htm" and "page_files") would go with the page.
    const std::optional<std::wstring> shellName = ShellFileName(name);
    if (!shellName)
        throw AutomationError(ErrBadFileNameOrNumber);
    if (!skipRecycleBin && RecycleThroughFileOperation(name, *shellName))
        return;
    DeleteThroughFileOperationStruct(name, *shellName, skipRecycleBin);
}

} // namespace tovrin
