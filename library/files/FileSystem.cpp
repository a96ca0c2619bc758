#include "files/FileSystem.h"

#include "files/FileAccess.h"

#include <tovrin/ComPtr.h>

namespace tovrin {

namespace {

class RealFileSystem final : public IFileSystem {
public:
    DWORD GetAttributes(const std::wstring& name) override { return ::GetFileAttributesW(LongForm(name).c_str()); }

    bool SetAttributes(const std::wstring& name, DWORD attributes) override
    {
        return ::SetFileAttributesW(LongForm(name).c_str(), attributes) != FALSE;
    }

    HANDLE Open(const std::wstring& name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override
    {
        return ::CreateFileW(LongForm(name).c_str(), access, share, nullptr, disposition, flags, nullptr);
    }

    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read) override
    {
        return ::ReadFile(file, buffer, size, read, nullptr) != FALSE;
    }

    bool Write(HANDLE file, const void* buffer, DWORD size, DWORD* written) override
    {
        return ::WriteFile(file, buffer, size, written, nullptr) != FALSE;
    }

    bool Replace(const std::wstring& from, const std::wstring& to) override
    {
        return ::MoveFileExW(LongForm(from).c_str(), LongForm(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

    bool ReplaceExisting(const std::wstring& replacement, const std::wstring& existing,
                         const std::wstring& backup) override
    {
        return ::ReplaceFileW(LongForm(existing).c_str(), LongForm(replacement).c_str(), LongForm(backup).c_str(),
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
    }

    bool Flush(HANDLE file) override { return ::FlushFileBuffers(file) != FALSE; }

    bool Delete(const std::wstring& name) override { return ::DeleteFileW(LongForm(name).c_str()) != FALSE; }

    bool Control(HANDLE file, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override
    {
        return ::DeviceIoControl(file, code, in, inSize, out, outSize, returned, nullptr) != FALSE;
    }

    bool GetTimes(HANDLE file, FILETIME* creation, FILETIME* access, FILETIME* write) override
    {
        return ::GetFileTime(file, creation, access, write) != FALSE;
    }

    bool SetTimes(HANDLE file, const FILETIME* creation, const FILETIME* access, const FILETIME* write) override
    {
        return ::SetFileTime(file, creation, access, write) != FALSE;
    }

    bool BackupRead(HANDLE file, BYTE* buffer, DWORD size, DWORD* read, bool processSecurity,
                    void** context) override
    {
        return ::BackupRead(file, buffer, size, read, FALSE, processSecurity, context) != FALSE;
    }

    HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* entry) override
    {
        return ::FindFirstFileW(LongForm(pattern).c_str(), entry);
    }

    bool FindNext(HANDLE find, WIN32_FIND_DATAW* entry) override { return ::FindNextFileW(find, entry) != FALSE; }

    void FindClose(HANDLE find) override { ::FindClose(find); }

    DWORD CompressedSize(const std::wstring& name, DWORD* high) override
    {
        return ::GetCompressedFileSizeW(LongForm(name).c_str(), high);
    }

    DWORD_PTR ShellFileInfo(const std::wstring& name, SHFILEINFOW& info, UINT flags) override
    {
        return ::SHGetFileInfoW(name.c_str(), 0, &info, sizeof(info), flags);
    }

    bool Identity(const std::wstring& name, BY_HANDLE_FILE_INFORMATION& info) override
    {
        const Handle file(::CreateFileW(LongForm(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file && ::GetFileInformationByHandle(file.get(), &info) != FALSE;
    }

    HRESULT ShellDelete(const std::wstring& name, DWORD flags, IFileOperationProgressSink* sink,
                        bool* aborted) override
    {
        *aborted = false;
        ComPtr<IFileOperation> operation;
        HRESULT hr = ::CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_IFileOperation,
                                        operation.put_void());
        if (FAILED(hr))
            return hr;
        // Windows 8 and later recycle through FOFX_RECYCLEONDELETE; Windows 7
        // knows only FOF_ALLOWUNDO for it.
        if (FAILED(operation->SetOperationFlags(flags)) &&
            FAILED(hr = operation->SetOperationFlags(flags & ~FOFX_RECYCLEONDELETE)))
            return hr;
        ComPtr<IShellItem> item;
        if (FAILED(hr = ::SHCreateItemFromParsingName(name.c_str(), nullptr, IID_IShellItem, item.put_void())))
            return hr;
        if (FAILED(hr = operation->DeleteItem(item.get(), sink)))
            return hr;
        hr = operation->PerformOperations();
        BOOL any = FALSE;
        if (SUCCEEDED(operation->GetAnyOperationsAborted(&any)))
            *aborted = any != FALSE;
        return hr;
    }

    int ShellOperation(SHFILEOPSTRUCTW& operation) override { return ::SHFileOperationW(&operation); }

    bool Size(HANDLE file, LONGLONG* size) override
    {
        LARGE_INTEGER value = {};
        if (!::GetFileSizeEx(file, &value))
            return false;
        *size = value.QuadPart;
        return true;
    }

    bool Seek(HANDLE file, LONGLONG position) override
    {
        LARGE_INTEGER to = {};
        to.QuadPart = position;
        return ::SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != FALSE;
    }

    bool RemoveFolder(const std::wstring& name) override { return ::RemoveDirectoryW(LongForm(name).c_str()) != FALSE; }

    UINT ProfileInt(const wchar_t* section, const wchar_t* key, INT fallback, const std::wstring& file) override
    {
        return ::GetPrivateProfileIntW(section, key, fallback, file.c_str());
    }

    bool WriteProfile(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                      const std::wstring& file) override
    {
        return ::WritePrivateProfileStringW(section, key, value, file.c_str()) != FALSE;
    }

    void BackupEnd(HANDLE file, void** context) override
    {
        DWORD read = 0;
        ::BackupRead(file, nullptr, 0, &read, TRUE, FALSE, context);
    }

    bool BackupSeek(HANDLE file, DWORD low, DWORD high, DWORD* lowSeeked, DWORD* highSeeked,
                    void** context) override
    {
        return ::BackupSeek(file, low, high, lowSeeked, highSeeked, context) != FALSE;
    }
};

IFileSystem* g_override;

} // namespace

IFileSystem& Win32FileSystem()
{
    static RealFileSystem real;
    return real;
}

IFileSystem& FileSystem()
{
    return g_override ? *g_override : Win32FileSystem();
}

void SeamFindTraits::Close(HANDLE find)
{
    FileSystem().FindClose(find);
}

void SetFileSystem(IFileSystem* fileSystem)
{
    g_override = fileSystem;
}

} // namespace tovrin
