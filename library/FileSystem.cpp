#include "FileSystem.h"

namespace tovrin {

namespace {

class RealFileSystem final : public IFileSystem {
public:
    DWORD GetAttributes(const std::string& name) override { return ::GetFileAttributesA(name.c_str()); }

    bool SetAttributes(const std::string& name, DWORD attributes) override
    {
        return ::SetFileAttributesA(name.c_str(), attributes) != FALSE;
    }

    HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition) override
    {
        return ::CreateFileA(name.c_str(), access, share, nullptr, disposition, 0, nullptr);
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
