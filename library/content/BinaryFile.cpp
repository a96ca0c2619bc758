#include "content/BinaryFile.h"

#include "files/CFileAttributesReset.h"
#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/ErrorNumbers.h>

#include <climits>

namespace tovrin {

namespace {

// Opens through the file-system seam; raises the mapped error on failure.
Handle Open(const std::wstring& name, DWORD access, DWORD share, DWORD disposition)
{
    Handle file(FileSystem().Open(name, access, share, disposition));
    if (!file)
        RaiseLastFileError(MapWin32WriteError);
    return file;
}

// Opened for writing only, created when missing; others may read, not write.
Handle OpenForWriting(const std::wstring& name)
{
    return Open(name, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
}

int64_t Length(HANDLE file)
{
    LONGLONG size = 0;
    if (!FileSystem().Size(file, &size))
        RaiseLastFileError(MapWin32WriteError);
    return size;
}

// Writes the bytes at the end of the file; the file must stay below 2 GiB.
void Append(HANDLE file, const void* data, size_t size)
{
    const int64_t end = Length(file);
    if (end + static_cast<int64_t>(size) > INT32_MAX)
        RaiseFileTooLarge();
    if (!FileSystem().Seek(file, end))
        RaiseLastFileError(MapWin32WriteError);
    if (size == 0)
        return;
    DWORD written = 0;
    if (!FileSystem().Write(file, data, static_cast<DWORD>(size), &written))
        RaiseLastFileError(MapWin32WriteError);
    if (written != size)
        throw AutomationError(ErrDiskFull);
}

} // namespace

FileReader OpenWholeFile(const std::wstring& name)
{
    if (!FileExists(name))
        throw AutomationError(ErrFileNotFound);
    return FileReader(name);
}

void PutBytes(const std::wstring& name, const void* data, size_t size)
{
    {
        // Empties the file with a create-always open; a hidden or
        // system file gets those attributes back right after.
        CFileAttributesReset attributes;
        attributes.ResetAttributes(name);
        Open(name, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    }
    AppendBytes(name, data, size);
}

void AppendBytes(const std::wstring& name, const void* data, size_t size)
{
    Handle file = OpenForWriting(name);
    Append(file.get(), data, size);
}

void TruncateExisting(const std::wstring& name)
{
    Handle truncated(FileSystem().Open(name, GENERIC_WRITE, 0, TRUNCATE_EXISTING));
    DWORD error = ::GetLastError();
    if (!truncated && error != ERROR_FILE_NOT_FOUND)
        throw AutomationError(MapWin32FileError(error));
}

} // namespace tovrin
