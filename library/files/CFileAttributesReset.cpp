#include "files/CFileAttributesReset.h"

#include "files/FileSystem.h"

namespace tovrin {

void CFileAttributesReset::ResetAttributes(const std::wstring& fileName)
{
    m_fileName = fileName;
    m_savedAttributes = FileSystem().GetAttributes(fileName);
    if (m_savedAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    const DWORD hiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (m_savedAttributes & hiddenOrSystem)
        m_reset = FileSystem().SetAttributes(fileName, m_savedAttributes & ~hiddenOrSystem);
}

CFileAttributesReset::~CFileAttributesReset()
{
    if (m_reset) {
        DWORD lastError = ::GetLastError();
        FileSystem().SetAttributes(m_fileName, m_savedAttributes);
        ::SetLastError(lastError);
    }
}

} // namespace tovrin
