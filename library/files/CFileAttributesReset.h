// Clears the hidden and system attributes of one file for the lifetime of the
// object and puts them back when it goes, so that PutFileB can replace such a
// file with a create-always open, which the file system refuses while either
// attribute is set. The read-only attribute is never touched. It never raises.
#pragma once

#include <windows.h>

#include <string>

namespace tovrin {

class CFileAttributesReset {
public:
    CFileAttributesReset() = default;
    ~CFileAttributesReset();
    CFileAttributesReset(const CFileAttributesReset&) = delete;
    CFileAttributesReset& operator=(const CFileAttributesReset&) = delete;

    void ResetAttributes(const std::wstring& fileName);

private:
    std::wstring m_fileName;
    DWORD m_savedAttributes = 0;
    bool m_reset = false;
};

} // namespace tovrin
