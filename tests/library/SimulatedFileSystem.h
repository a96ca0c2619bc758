// The base of the tests' stand-in file systems: it takes the real one's
// place for its lifetime and forwards every call the stand-in leaves alone.
#pragma once

#include "FileSystem.h"

namespace testing_support {

class SimulatedFileSystem : public tovrin::IFileSystem {
public:
    SimulatedFileSystem() { tovrin::SetFileSystem(this); }
    ~SimulatedFileSystem() override { tovrin::SetFileSystem(nullptr); }
    SimulatedFileSystem(const SimulatedFileSystem&) = delete;
    SimulatedFileSystem& operator=(const SimulatedFileSystem&) = delete;

    DWORD GetAttributes(const std::string& name) override { return Real().GetAttributes(name); }
    bool SetAttributes(const std::string& name, DWORD attributes) override
    {
        return Real().SetAttributes(name, attributes);
    }
    HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition) override
    {
        return Real().Open(name, access, share, disposition);
    }
    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read) override
    {
        return Real().Read(file, buffer, size, read);
    }
    bool Write(HANDLE file, const void* buffer, DWORD size, DWORD* written) override
    {
        return Real().Write(file, buffer, size, written);
    }
    bool Replace(const std::string& from, const std::string& to) override { return Real().Replace(from, to); }

protected:
    static tovrin::IFileSystem& Real() { return tovrin::Win32FileSystem(); }
};

} // namespace testing_support
