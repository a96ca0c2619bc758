#include "files/FileSystem.h"

namespace tovrin {

namespace {

class RealFileSystem final : public IFileSystem {
public:
    DWORD GetAttributes(const std::string& name) override { return ::GetFileAttributesA(name.c_str()); }

    bool SetAttributes(const std::string& name, DWORD attributes) override
    {
        return ::SetFileAttributesA(name.c_str(), attributes) != FALSE;
    }

    HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override
    {
        return ::CreateFileA(name.c_str(), access, share, nullptr, disposition, flags, nullptr);
    }

    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read) override
    {
        return ::ReadFile(file, buffer, size, read, nullptr) != FALSE;
    }

    bool Write(HANDLE file, const void* buffer, DWORD size, DWORD* written) override
    {
        return ::WriteFile(file, buffer, size, written, nullptr) != FALSE;
    }

    bool Replace(const std::string& from, const std::string& to) override
    {
        return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

    bool Control(HANDLE file, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override
    {
        return ::DeviceIoControl(file, code, in, inSize, out, outSize, returned, nullptr) != FALSE;
    }

    bool BackupRead(HANDLE file, BYTE* buffer, DWORD size, DWORD* read, bool processSecurity,
                    void** context) override
    {
        return ::BackupRead(file, buffer, size, read, FALSE, processSecurity, context) != FALSE;
    }

    HANDLE FindFirst(const std::string& pattern, WIN32_FIND_DATAA* entry) override
    {
        return ::FindFirstFileA(pattern.c_str(), entry);
    }

    bool FindNext(HANDLE find, WIN32_FIND_DATAA* entry) override { return ::FindNextFileA(find, entry) != FALSE; }

    void FindClose(HANDLE find) override { ::FindClose(find); }

    DWORD CompressedSize(const std::string& name, DWORD* high) override
    {
        return ::GetCompressedFileSizeA(name.c_str(), high);
    }

    DWORD_PTR ShellFileInfo(const std::string& name, SHFILEINFOA& info, UINT flags) override
    {
        return ::SHGetFileInfoA(name.c_str(), 0, &info, sizeof(info), flags);
    }

    int ShellOperation(SHFILEOPSTRUCTA& operation) override { return ::SHFileOperationA(&operation); }

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

void SetFileSystem(IFileSystem* fileSystem)
{
    g_override = fileSystem;
}

} // namespace tovrin
