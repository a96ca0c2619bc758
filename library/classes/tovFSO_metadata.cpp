// tovFSO: NTFS compression of a file or folder, deletion through the shell's
// recycle bin, and the three time stamps of a file or folder in local time.
#include "classes/tovFSO.h"

#include "files/FileAccess.h"
#include "metadata/Compression.h"
#include "metadata/FileTimes.h"
#include "metadata/Recycle.h"

#include <tovrin/ErrorNumbers.h>

namespace tovrin {

namespace {

void RequireName(BSTR fileName)
{
    if (::SysStringLen(fileName) == 0)
        throw AutomationError(ErrInvalidCall);
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::SetFileCompression(BSTR FileName, CompressionFormatConst CompressionFormat,
                                                     long* lpErrorCode, VARIANT_BOOL* RetVal)
{
    // A compression member raises nothing: a name with a NUL fails as the
    // system fails an invalid name.
    return Member(
        RetVal,
        [&] {
            const std::optional<std::wstring> name = CheckedFileName(FileName);
            DWORD error = ERROR_INVALID_NAME;
            if (name && SetCompression(*name, CompressionFormat, error))
                return true;
            if (lpErrorCode)
                *lpErrorCode = static_cast<long>(error);
            return false;
        },
        lpErrorCode);
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFileCompression(BSTR FileName, long* lpErrorCode, CompressionFormatConst* RetVal)
{
    return Member(
        RetVal,
        [&] {
            const std::optional<std::wstring> name = CheckedFileName(FileName);
            long format = 0;
            DWORD error = ERROR_INVALID_NAME;
            if (name && GetCompression(*name, format, error))
                return static_cast<CompressionFormatConst>(format);
            if (lpErrorCode)
                *lpErrorCode = static_cast<long>(error);
            return cfError;
        },
        lpErrorCode);
}

HRESULT STDMETHODCALLTYPE tovFSO::RecycleFile(BSTR FileName, VARIANT_BOOL SkipRecycleBin, VARIANT_BOOL RaiseErrors,
                                              VARIANT_BOOL* RetVal)
{
    return FileMember(RaiseErrors, RetVal, [&] {
        RecycleItem(RequireFileName(FileName), SkipRecycleBin != VARIANT_FALSE);
        return true;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::RecycleFolder(BSTR FileName, VARIANT_BOOL SkipRecycleBin, VARIANT_BOOL RaiseErrors,
                                                VARIANT_BOOL* RetVal)
{
    return RecycleFile(FileName, SkipRecycleBin, RaiseErrors, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFileDateTime(BSTR FileName, DATE* lpCreationTime, DATE* lpLastAccessTime,
                                                  DATE* lpLastWriteTime, VARIANT_BOOL RaiseErrors, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        RequireName(FileName);
        return Guarded(RaiseErrors, false, [&] {
            const FileDates dates = ReadFileDates(RequireFileName(FileName));
            const DATE times[] = {dates.Creation, dates.LastAccess, dates.LastWrite};
            DATE* const targets[] = {lpCreationTime, lpLastAccessTime, lpLastWriteTime};
            for (int i = 0; i < 3; ++i)
                if (targets[i])
                    *targets[i] = times[i];
            return true;
        });
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileDateTime(BSTR FileName, DATE CreationTime, DATE LastAccessTime,
                                                  DATE LastWriteTime, VARIANT_BOOL RaiseErrors, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        RequireName(FileName);
        return Guarded(RaiseErrors, false, [&] {
            WriteFileDates(RequireFileName(FileName), {CreationTime, LastAccessTime, LastWriteTime});
            return true;
        });
    });
}

} // namespace tovrin
