// Files for tests: a temporary folder per test, always removed, and helpers
// that read and write whole files without the code under test.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);

// The folder of the running test executable, and a sample file beside it.
std::wstring ProgramFolder();
std::wstring SamplePath(const std::wstring& name);

std::string Narrow(const std::wstring& text); // UTF-8, for test messages

} // namespace testing_support
