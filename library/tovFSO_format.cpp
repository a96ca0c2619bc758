// tovFSO: the text format of a file, read from its first bytes.
#include "tovFSO.h"

#include "Guarded.h"
#include "TextFormat.h"
#include "com/AutomationError.h"
#include "com/ScriptTwin.h"

#include <tovrin/CodePage.h>
#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupportfbe.h>

namespace tovrin {

HRESULT STDMETHODCALLTYPE tovFSO::GetFileFormat2(BSTR FileName, VARIANT_BOOL RaiseErrors,
                                                 FileEncodingConst* lpEncoding, FileBOMConst* lpFileBOM,
                                                 InvertBytesConst* lpInvertBytes, VARIANT_BOOL* RetVal)
{
    if (!RetVal)
        return E_POINTER;
    *RetVal = VARIANT_FALSE;
    return Firewall(IID__tovFSO, FsoSource, [&] {
        *RetVal = Guarded(RaiseErrors, VARIANT_FALSE, [&] {
            if (!FileExists(FileName))
                throw AutomationError(ErrFileNotFound, FsoSource);
            std::string head = ReadHead(FileName, 3);
            text::Format format = text::DetectTextFormat(head.data(), head.size() >= 2 ? head.size() : 0);
            if (lpEncoding)
                *lpEncoding = static_cast<FileEncodingConst>(format.Encoding);
            if (lpFileBOM)
                *lpFileBOM = static_cast<FileBOMConst>(format.FileBOM);
            if (lpInvertBytes)
                *lpInvertBytes = static_cast<InvertBytesConst>(format.InvertBytes);
            return VARIANT_TRUE;
        });
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFileFormat2ByVar(VARIANT FileName, VARIANT RaiseErrors, VARIANT* lpEncoding,
                                                      VARIANT* lpFileBOM, VARIANT* lpInvertBytes, VARIANT* RetVal)
{
    if (!RetVal)
        return E_POINTER;
    ::VariantInit(RetVal);
    return Firewall(IID__tovFSO, FsoSource, [&] {
        Bstr fileName = twin::String(&FileName);
        VARIANT_BOOL raiseErrors = twin::Boolean(&RaiseErrors, false);
        twin::InOutLong encoding(lpEncoding), fileBOM(lpFileBOM), invertBytes(lpInvertBytes);
        VARIANT_BOOL result = VARIANT_FALSE;
        Check(GetFileFormat2(fileName.get(), raiseErrors, encoding.as<FileEncodingConst>(),
                             fileBOM.as<FileBOMConst>(), invertBytes.as<InvertBytesConst>(), &result),
              FsoSource);
        encoding.WriteBack();
        fileBOM.WriteBack();
        invertBytes.WriteBack();
        V_VT(RetVal) = VT_BOOL;
        V_BOOL(RetVal) = result;
    });
}

} // namespace tovrin
