// tovFSO: whole files to and from byte arrays. Each method moves the file in
// one piece: one array of the file's size, one read or one write.
#include "classes/tovFSO.h"

#include "files/CFileAttributesReset.h"
#include "files/FileReader.h"
#include "files/FileSystem.h"
#include "files/FileAccess.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/SafeArrayBytes.h>

#include <climits>
#include <memory>

namespace tovrin {

namespace {

[[noreturn]] void RaiseFileError(DWORD error)
{
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        throw AutomationError(ErrDiskFull);
    throw AutomationError(MapWin32FileError(error));
}

// Opens through the file-system seam; raises the mapped error on failure.
Handle Open(const std::wstring& name, DWORD access, DWORD share, DWORD disposition)
{
    Handle file(FileSystem().Open(name, access, share, disposition));
    if (!file)
        RaiseFileError(::GetLastError());
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
        RaiseFileError(::GetLastError());
    return size;
}

// The caller's array, read in place: it is never changed.
class CallerBytes {
public:
    explicit CallerBytes(SAFEARRAY** data) : m_array(data ? *data : nullptr)
    {
        if (!IsByteArray(m_array))
            throw AutomationError(ErrTypeMismatch);
        m_length = ByteArrayLength(m_array);
        if (m_length > 0)
            m_access = std::make_unique<SafeArrayData>(m_array);
    }
    const void* data() const { return m_access ? m_access->get() : nullptr; }
    size_t size() const { return m_length; }

private:
    SAFEARRAY* m_array;
    size_t m_length = 0;
    std::unique_ptr<SafeArrayData> m_access;
};

// Writes the bytes at the end of the file; the file must stay below 2 GiB.
void Append(HANDLE file, const CallerBytes& bytes)
{
    const int64_t end = Length(file);
    if (end + static_cast<int64_t>(bytes.size()) > INT32_MAX)
        RaiseFileTooLarge();
    if (!FileSystem().Seek(file, end))
        RaiseFileError(::GetLastError());
    if (bytes.size() == 0)
        return;
    DWORD written = 0;
    if (!FileSystem().Write(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written))
        RaiseFileError(::GetLastError());
    if (written != bytes.size())
        throw AutomationError(ErrDiskFull);
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::GetFileB(BSTR FileName, VARIANT_BOOL RaiseErrors, VARIANT_BOOL* lpSuccess,
                                           SAFEARRAY** RetVal)
{
    return FileMember(RaiseErrors, RetVal, lpSuccess, [&] {
        const std::wstring name = RequireFileName(FileName);
        if (!FileExists(name))
            throw AutomationError(ErrFileNotFound);
        FileReader file(name);
        SafeArray bytes;
        if (file.Length() > 0) {
            bytes = MakeUnfilledByteArray(file.Length());
            SafeArrayData data(bytes.get());
            file.ReadAll(data.get());
        }
        return bytes;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::PutFileB(BSTR FileName, SAFEARRAY** Data, VARIANT_BOOL RaiseErrors,
                                           VARIANT_BOOL* RetVal)
{
    return FileMember(RaiseErrors, RetVal, [&] {
        CallerBytes bytes(Data);
        const std::wstring name = RequireFileName(FileName);
        {
            // Empties the file with a create-always open; a hidden or
            // system file gets those attributes back right after.
            CFileAttributesReset attributes;
            attributes.ResetAttributes(name);
            Open(name, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
        }
        Handle file = OpenForWriting(name);
        Append(file.get(), bytes);
        return true;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::AppendFileB(BSTR FileName, SAFEARRAY** Data, VARIANT_BOOL RaiseErrors,
                                              VARIANT_BOOL* RetVal)
{
    return FileMember(RaiseErrors, RetVal, [&] {
        CallerBytes bytes(Data);
        Handle file = OpenForWriting(RequireFileName(FileName));
        Append(file.get(), bytes);
        return true;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::OverwriteFileB(BSTR FileName, SAFEARRAY** Data, VARIANT_BOOL RaiseErrors,
                                                 VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        // The truncation raises whatever RaiseErrors says; a missing file is
        // no error here, the write below creates it.
        const std::wstring name = RequireFileName(FileName);
        {
            Handle truncated(FileSystem().Open(name, GENERIC_WRITE, 0, TRUNCATE_EXISTING));
            DWORD error = ::GetLastError();
            if (!truncated && error != ERROR_FILE_NOT_FOUND)
                throw AutomationError(MapWin32FileError(error));
        }
        return Guarded(RaiseErrors, false, [&] {
            CallerBytes bytes(Data);
            Handle file = OpenForWriting(name);
            Append(file.get(), bytes);
            return true;
        });
    });
}

} // namespace tovrin
