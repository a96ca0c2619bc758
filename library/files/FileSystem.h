// The file-system calls that decide whether a file can be replaced: reading
// and changing attributes and opening with a disposition. tovFSO's byte-array
// methods and CFileAttributesReset make them through this seam, so that
// tests can stand in for Windows' refusals where Wine does not refuse (a
// create-always open of a hidden or system file, writing a read-only file as
// the super-user). Text reading reads through it too, so that tests can
// stand in for a read that fails once the file is open (a bad sector, a
// network drive gone), which Wine cannot be made to give. Description files
// are written and put in place through it, so that tests can stand in for a
// disk that fills in the middle of a write. Compression control and backup
// reading go through it because Wine has neither: tests stand in for NTFS;
// and the shell's delete, so that tests can stand in for a shell that gives
// up on an item and still reports success; and the find functions, so that
// tests can stand in for junctions and unreadable folders; and the shell's
// file information, so that tests can count the icon handles it gives out;
// and reading and setting a file's times, since Wine does not refuse them
// on a handle without the right to the attributes, as Windows does.
// The sizes and positions of open files, folders removed and the INI files
// of streams go through it too: it is the library's only way to the disk.
// The real calls are the wide Win32 functions, so that any name Windows can
// hold works; names longer than the plain calls take go to them in the
// "\\?\" form (LongForm), which the shell's functions do not know.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shobjidl.h>

#include <tovrin/Unique.h>

#include <string>

namespace tovrin {

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // GetFileAttributesW: INVALID_FILE_ATTRIBUTES with the last error on failure.
    virtual DWORD GetAttributes(const std::wstring& name) = 0;
    // SetFileAttributesW.
    virtual bool SetAttributes(const std::wstring& name, DWORD attributes) = 0;
    // CreateFileW with no security attributes or template:
    // INVALID_HANDLE_VALUE with the last error on failure.
    virtual HANDLE Open(const std::wstring& name, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0) = 0;
    // ReadFile, synchronous: false with the last error on failure.
    virtual bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read) = 0;
    // WriteFile, synchronous: false with the last error on failure.
    virtual bool Write(HANDLE file, const void* buffer, DWORD size, DWORD* written) = 0;
    // DeleteFileW.
    virtual bool Delete(const std::wstring& name) = 0;
    // MoveFileExW replacing an existing target, written through.
    virtual bool Replace(const std::wstring& from, const std::wstring& to) = 0;
    // ReplaceFileW: the replacement takes the existing file's place, which
    // keeps its security, alternate streams, hard links and the letter case
    // of its name; the existing file goes to the backup name on the way, so
    // that a replace that fails half-way leaves it under a name we know.
    virtual bool ReplaceExisting(const std::wstring& replacement, const std::wstring& existing,
                                 const std::wstring& backup) = 0;
    // FlushFileBuffers.
    virtual bool Flush(HANDLE file) = 0;
    // DeviceIoControl, synchronous: false with the last error on failure.
    virtual bool Control(HANDLE file, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned) = 0;
    // GetFileTime and SetFileTime (a null time stays as it is): false with the last error on failure.
    virtual bool GetTimes(HANDLE file, FILETIME* creation, FILETIME* access, FILETIME* write) = 0;
    virtual bool SetTimes(HANDLE file, const FILETIME* creation, const FILETIME* access, const FILETIME* write) = 0;
    // BackupRead without abort, and BackupRead with abort, which releases the context.
    virtual bool BackupRead(HANDLE file, BYTE* buffer, DWORD size, DWORD* read, bool processSecurity,
                            void** context) = 0;
    virtual void BackupEnd(HANDLE file, void** context) = 0;
    // FindFirstFileW, FindNextFileW, FindClose; GetCompressedFileSizeW.
    virtual HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* entry) = 0;
    virtual bool FindNext(HANDLE find, WIN32_FIND_DATAW* entry) = 0;
    virtual void FindClose(HANDLE find) = 0;
    virtual DWORD CompressedSize(const std::wstring& name, DWORD* high) = 0;
    // SHGetFileInfoW on a file (no attributes given) into a zeroed record.
    virtual DWORD_PTR ShellFileInfo(const std::wstring& name, SHFILEINFOW& info, UINT flags) = 0;
    // IFileOperation deleting one item with these operation flags and the
    // sink told of it: the status of the operation (a shell without
    // IFileOperation answers E_NOTIMPL or the class's absence), and whether
    // any part of it was aborted.
    virtual HRESULT ShellDelete(const std::wstring& name, DWORD flags, IFileOperationProgressSink* sink,
                                bool* aborted) = 0;
    // SHFileOperationW: the shell's status, 0 for success.
    virtual int ShellOperation(SHFILEOPSTRUCTW& operation) = 0;
    // The volume serial number and file index of what the name opens (a
    // junction's target), from GetFileInformationByHandle on a handle opened
    // with backup semantics: false when it cannot be opened.
    virtual bool Identity(const std::wstring& name, BY_HANDLE_FILE_INFORMATION& info) = 0;
    // GetFileSizeEx, and SetFilePointerEx to a position from the file's
    // start: false with the last error on failure.
    virtual bool Size(HANDLE file, LONGLONG* size) = 0;
    virtual bool Seek(HANDLE file, LONGLONG position) = 0;
    // RemoveDirectoryW: an empty folder, or a junction itself, never what it
    // leads to.
    virtual bool RemoveFolder(const std::wstring& name) = 0;
    // GetPrivateProfileIntW, and WritePrivateProfileStringW, whose null
    // value deletes the key: the INI files of a file's streams.
    virtual UINT ProfileInt(const wchar_t* section, const wchar_t* key, INT fallback, const std::wstring& file) = 0;
    virtual bool WriteProfile(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                              const std::wstring& file) = 0;
    // BackupSeek: false when it could not skip the whole amount.
    virtual bool BackupSeek(HANDLE file, DWORD low, DWORD high, DWORD* lowSeeked, DWORD* highSeeked,
                            void** context) = 0;
};

IFileSystem& FileSystem();

// A find handle of the seam, closed by the seam.
struct SeamFindTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type find);
};
using SeamFind = Unique<SeamFindTraits>;
// The real calls, whatever stands in: for stand-ins that change only some.
IFileSystem& Win32FileSystem();
// Puts another file system in place of the real one; null brings it back.
void SetFileSystem(IFileSystem* fileSystem);

} // namespace tovrin
