// tovFSO: the text format of a file, read from its first bytes.
#include "classes/tovFSO.h"

#include "com/ScriptTwin.h"
#include "content/TextFile.h"
#include "files/FileAccess.h"

namespace tovrin {

HRESULT STDMETHODCALLTYPE tovFSO::GetFileFormat2(BSTR FileName, VARIANT_BOOL RaiseErrors,
                                                 FileEncodingConst* lpEncoding, FileBOMConst* lpFileBOM,
                                                 InvertBytesConst* lpInvertBytes, VARIANT_BOOL* RetVal)
{
    return FileMember(RaiseErrors, RetVal, [&] {
        const text::Format format = text::ReadFileFormat(RequireFileName(FileName));
        if (lpEncoding)
            *lpEncoding = static_cast<FileEncodingConst>(format.Encoding);
        if (lpFileBOM)
            *lpFileBOM = static_cast<FileBOMConst>(format.FileBOM);
        if (lpInvertBytes)
            *lpInvertBytes = static_cast<InvertBytesConst>(format.InvertBytes);
        return true;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFileFormat2ByVar(VARIANT FileName, VARIANT RaiseErrors, VARIANT* lpEncoding,
                                                      VARIANT* lpFileBOM, VARIANT* lpInvertBytes, VARIANT* RetVal)
{
    return Member(RetVal, [&] {
        Bstr fileName = twin::String(&FileName);
        VARIANT_BOOL raiseErrors = twin::Boolean(&RaiseErrors, false);
        twin::InOutLong encoding(lpEncoding), fileBOM(lpFileBOM), invertBytes(lpInvertBytes);
        VARIANT_BOOL result = VARIANT_FALSE;
        Check(GetFileFormat2(fileName.get(), raiseErrors, encoding.as<FileEncodingConst>(),
                             fileBOM.as<FileBOMConst>(), invertBytes.as<InvertBytesConst>(), &result));
        encoding.WriteBack();
        fileBOM.WriteBack();
        invertBytes.WriteBack();
        return result;
    });
}

} // namespace tovrin
