// tovFSO: whole files to and from byte arrays. Each method moves the file in
// one piece: one array of the file's size, one read or one write.
#include "classes/tovFSO.h"

#include "content/BinaryFile.h"
#include "files/FileAccess.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/SafeArrayBytes.h>

#include <memory>

namespace tovrin {

namespace {

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

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::GetFileB(BSTR FileName, VARIANT_BOOL RaiseErrors, VARIANT_BOOL* lpSuccess,
                                           SAFEARRAY** RetVal)
{
    return FileMember(RaiseErrors, RetVal, lpSuccess, [&] {
        FileReader file = OpenWholeFile(RequireFileName(FileName));
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
        PutBytes(RequireFileName(FileName), bytes.data(), bytes.size());
        return true;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::AppendFileB(BSTR FileName, SAFEARRAY** Data, VARIANT_BOOL RaiseErrors,
                                              VARIANT_BOOL* RetVal)
{
    return FileMember(RaiseErrors, RetVal, [&] {
        CallerBytes bytes(Data);
        AppendBytes(RequireFileName(FileName), bytes.data(), bytes.size());
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
        TruncateExisting(name);
        return Guarded(RaiseErrors, false, [&] {
            CallerBytes bytes(Data);
            AppendBytes(name, bytes.data(), bytes.size());
            return true;
        });
    });
}

} // namespace tovrin
