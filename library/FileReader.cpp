#include "FileReader.h"

#include "FileSystem.h"
#include "Guarded.h"
#include "tovFSO.h"

#include <tovrin/ErrorNumbers.h>

#include <climits>

namespace tovrin {

namespace {

[[noreturn]] void RaiseLastFileError()
{
    throw text::SourceError(MapWin32FileError(::GetLastError()), FsoSource);
}

} // namespace

FileReader::FileReader(BSTR fileName)
    : m_file(::CreateFileA(AnsiFileName(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
{
    if (!m_file)
        RaiseLastFileError();
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(m_file.get(), &size))
        RaiseLastFileError();
    if (size.QuadPart > INT_MAX)
        throw AutomationError(ErrOverflow, FsoSource, L"Overflow: files must stay below 2 GiB (2,147,483,648 bytes)");
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
