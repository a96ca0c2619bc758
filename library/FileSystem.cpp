#include "FileSystem.h"

namespace tovrin {

namespace {

class Win32FileSystem final : public IFileSystem {
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
};

IFileSystem* g_override;

} // namespace

IFileSystem& FileSystem()
{
    static Win32FileSystem real;
    return g_override ? *g_override : real;
}

void SetFileSystem(IFileSystem* fileSystem)
{
    g_override = fileSystem;
}

} // namespace tovrin
