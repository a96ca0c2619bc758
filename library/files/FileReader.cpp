#include "files/FileReader.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/ErrorNumbers.h>

#include <climits>

namespace tovrin {

FileReader::FileReader(const std::wstring& fileName, DWORD share)
    : m_file(FileSystem().Open(fileName, GENERIC_READ, share, OPEN_EXISTING))
{
    if (!m_file)
        RaiseLastFileError();
    if (!FileSystem().Size(m_file.get(), &m_length))
        RaiseLastFileError();
}

size_t FileReader::Length() const
{
    if (m_length > INT_MAX)
        RaiseFileTooLarge();
    return static_cast<size_t>(m_length);
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
    if (!FileSystem().Seek(m_file.get(), static_cast<LONGLONG>(position)))
        RaiseLastFileError();
}

void FileReader::ReadAll(void* buffer)
{
    if (Read(static_cast<char*>(buffer), Length()) != Length())
        throw AutomationError(ErrInputPastEnd); // the file shrank while being read
}

std::string ReadWholeFile(const std::wstring& fileName, DWORD share)
{
    FileReader file(fileName, share);
    std::string bytes(file.Length(), '\0');
    file.ReadAll(bytes.data());
    return bytes;
}

} // namespace tovrin
