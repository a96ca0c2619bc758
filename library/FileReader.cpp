#include "FileReader.h"

#include "FileSystem.h"
#include "FileAccess.h"
#include "tovFSO.h"

#include <tovrin/ErrorNumbers.h>

#include <climits>

namespace tovrin {

namespace {

[[noreturn]] void RaiseLastFileError()
{
    throw text::SourceError(MapWin32FileError(::GetLastError()));
}

} // namespace

FileReader::FileReader(BSTR fileName)
    : m_file(FileSystem().Open(AnsiFileName(fileName), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING))
{
    if (!m_file)
        RaiseLastFileError();
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(m_file.get(), &size))
        RaiseLastFileError();
    if (size.QuadPart > INT_MAX)
        RaiseFileTooLarge();
    m_length = static_cast<size_t>(size.QuadPart);
}

size_t FileReader::Read(char* buffer, size_t size)
{
    DWORD read = 0;
    if (size > 0 && !FileSystem().Read(m_file.get(), buffer, static_cast<DWORD>(size), &read))
        RaiseLastFileError();
    return read;
}

void FileReader::Seek(size_t position)
{
    LARGE_INTEGER to = {};
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!::SetFilePointerEx(m_file.get(), to, nullptr, FILE_BEGIN))
        RaiseLastFileError();
}

} // namespace tovrin
