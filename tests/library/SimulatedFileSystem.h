// The base of the tests' stand-in file systems: it takes the real one's
// place for its lifetime and forwards every call the stand-in leaves alone.
#pragma once

#include "files/FileSystem.h"

namespace testing_support {

class SimulatedFileSystem : public tovrin::IFileSystem {
public:
    SimulatedFileSystem() { tovrin::SetFileSystem(this); }
    ~SimulatedFileSystem() override { tovrin::SetFileSystem(nullptr); }
    SimulatedFileSystem(const SimulatedFileSystem&) = delete;
    SimulatedFileSystem& operator=(const SimulatedFileSystem&) = delete;

    DWORD GetAttributes(const std::wstring& name) override { return Real().GetAttributes(name); }
    bool SetAttributes(const std::wstring& name, DWORD attributes) override
    {
        return Real().SetAttributes(name, attributes);
    }
    HANDLE Open(const std::wstring& name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override
    {
        return Real().Open(name, access, share, disposition, flags);
    }
    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read) override
    {
        return Real().Read(file, buffer, size, read);
    }
    bool Write(HANDLE file, const void* buffer, DWORD size, DWORD* written) override
    {
        return Real().Write(file, buffer, size, written);
    }
    bool Delete(const std::wstring& name) override { return Real().Delete(name); }
    bool Replace(const std::wstring& from, const std::wstring& to) override { return Real().Replace(from, to); }
    bool ReplaceExisting(const std::wstring& replacement, const std::wstring& existing,
                         const std::wstring& backup) override
    {
        return Real().ReplaceExisting(replacement, existing, backup);
    }
    bool Flush(HANDLE file) override { return Real().Flush(file); }
    bool Control(HANDLE file, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override
    {
        return Real().Control(file, code, in, inSize, out, outSize, returned);
    }
    bool GetTimes(HANDLE file, FILETIME* creation, FILETIME* access, FILETIME* write) override
    {
        return Real().GetTimes(file, creation, access, write);
    }
    bool SetTimes(HANDLE file, const FILETIME* creation, const FILETIME* access, const FILETIME* write) override
    {
        return Real().SetTimes(file, creation, access, write);
    }
    bool BackupRead(HANDLE file, BYTE* buffer, DWORD size, DWORD* read, bool processSecurity,
                    void** context) override
    {
        return Real().BackupRead(file, buffer, size, read, processSecurity, context);
    }
    void BackupEnd(HANDLE file, void** context) override { Real().BackupEnd(file, context); }
    int ShellOperation(SHFILEOPSTRUCTW& operation) override { return Real().ShellOperation(operation); }
    HRESULT ShellDelete(const std::wstring& name, DWORD flags, IFileOperationProgressSink* sink,
                        bool* aborted) override
    {
        return Real().ShellDelete(name, flags, sink, aborted);
    }
    bool Identity(const std::wstring& name, BY_HANDLE_FILE_INFORMATION& info) override
    {
        return Real().Identity(name, info);
    }
    DWORD_PTR ShellFileInfo(const std::wstring& name, SHFILEINFOW& info, UINT flags) override
    {
        return Real().ShellFileInfo(name, info, flags);
    }
    HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* entry) override
    {
        return Real().FindFirst(pattern, entry);
    }
    bool FindNext(HANDLE find, WIN32_FIND_DATAW* entry) override { return Real().FindNext(find, entry); }
    void FindClose(HANDLE find) override { Real().FindClose(find); }
    DWORD CompressedSize(const std::wstring& name, DWORD* high) override { return Real().CompressedSize(name, high); }
    bool BackupSeek(HANDLE file, DWORD low, DWORD high, DWORD* lowSeeked, DWORD* highSeeked,
                    void** context) override
    {
        return Real().BackupSeek(file, low, high, lowSeeked, highSeeked, context);
    }

    bool Size(HANDLE file, LONGLONG* size) override { return Real().Size(file, size); }
    bool Seek(HANDLE file, LONGLONG position) override { return Real().Seek(file, position); }
    bool RemoveFolder(const std::wstring& name) override { return Real().RemoveFolder(name); }
    UINT ProfileInt(const wchar_t* section, const wchar_t* key, INT fallback, const std::wstring& file) override
    {
        return Real().ProfileInt(section, key, fallback, file);
    }
    bool WriteProfile(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                      const std::wstring& file) override
    {
        return Real().WriteProfile(section, key, value, file);
    }

protected:
    static tovrin::IFileSystem& Real() { return tovrin::Win32FileSystem(); }
};

} // namespace testing_support
