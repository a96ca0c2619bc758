// tovFSO: standard list files, one entry per line, blank lines and comment
// lines left out, read into a Collection keyed by position.
#include "classes/tovFSO.h"

#include "classes/Collection.h"
#include "files/FileAccess.h"
#include "com/ScriptTwin.h"
#include "content/modStandardListFileSupport.h"
#include "files/FileAccess.h"

namespace tovrin {

namespace {

// The entries under the keys of their positions (1, 2, ...).
ComPtr<Collection> ListCollection(const std::vector<std::wstring>& entries)
{
    ComPtr<Collection> list = NewCollection();
    for (size_t i = 0; i < entries.size(); ++i)
        AddString(list.get(), entries[i], std::to_wstring(i + 1));
    return list;
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::ReadStandardListFile(BSTR FileName, BSTR CommentChar, VARIANT_BOOL IgnoreBlanks,
                                                       VARIANT_BOOL TrimStrings, VARIANT_BOOL IsOem,
                                                       VARIANT_BOOL RaiseErrors, Collection** RetVal)
{
    return FileMember(RaiseErrors, RetVal, [&] {
        return ListCollection(LoadStandardListFile(RequireFileName(FileName), IsOem != VARIANT_FALSE,
                                                   Bstr::ToString(CommentChar), IgnoreBlanks != VARIANT_FALSE,
                                                   TrimStrings != VARIANT_FALSE));
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::ReadStandardListFile2(BSTR FileName, BSTR CommentChar, VARIANT_BOOL IgnoreBlanks,
                                                        VARIANT_BOOL TrimStrings, VARIANT_BOOL RaiseErrors,
                                                        FileEncodingConst Encoding, FileBOMConst FileBOM,
                                                        InvertBytesConst InvertBytes, FileEncodingConst* lpEncoding,
                                                        FileBOMConst* lpFileBOM, InvertBytesConst* lpInvertBytes,
                                                        VARIANT_BOOL* lpSuccess, Collection** RetVal)
{
    // The text comes from GetFile2 through the object's own interface; every
    // error it raises, a bad format argument too, follows this member's
    // RaiseErrors, and a failure gives an empty collection.
    return FileMember(RaiseErrors, RetVal, lpSuccess, NewCollection(), [&] {
        Bstr text;
        Check(GetFile2(FileName, VARIANT_TRUE, Encoding, FileBOM, InvertBytes, lpEncoding, lpFileBOM, lpInvertBytes,
                       nullptr, text.put()));
        return ListCollection(SplitStandardList(text.get() ? text.get() : L"", text.length(),
                                                Bstr::ToString(CommentChar), IgnoreBlanks != VARIANT_FALSE,
                                                TrimStrings != VARIANT_FALSE));
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::ReadStandardListFile2ByVar(VARIANT FileName, VARIANT CommentChar,
                                                             VARIANT IgnoreBlanks, VARIANT TrimStrings,
                                                             VARIANT RaiseErrors, VARIANT Encoding, VARIANT FileBOM,
                                                             VARIANT InvertBytes, VARIANT* lpEncoding,
                                                             VARIANT* lpFileBOM, VARIANT* lpInvertBytes,
                                                             VARIANT* lpSuccess, VARIANT* RetVal)
{
    return Member(RetVal, [&] {
        Bstr fileName = twin::String(&FileName);
        Bstr commentChar = twin::String(&CommentChar, L";");
        VARIANT_BOOL ignoreBlanks = twin::Boolean(&IgnoreBlanks, true);
        VARIANT_BOOL trimStrings = twin::Boolean(&TrimStrings, true);
        VARIANT_BOOL raiseErrors = twin::Boolean(&RaiseErrors, false);
        long encoding = twin::Long(&Encoding, 0), fileBOM = twin::Long(&FileBOM, 0);
        long invertBytes = twin::Long(&InvertBytes, 0);
        twin::InOutLong outEncoding(lpEncoding), outFileBOM(lpFileBOM), outInvertBytes(lpInvertBytes);
        twin::InOutBoolean success(lpSuccess);
        ComPtr<Collection> result;
        Check(ReadStandardListFile2(fileName.get(), commentChar.get(), ignoreBlanks, trimStrings, raiseErrors,
                                    static_cast<FileEncodingConst>(encoding), static_cast<FileBOMConst>(fileBOM),
                                    static_cast<InvertBytesConst>(invertBytes), outEncoding.as<FileEncodingConst>(),
                                    outFileBOM.as<FileBOMConst>(), outInvertBytes.as<InvertBytesConst>(),
                                    success.get(), result.put()));
        outEncoding.WriteBack();
        outFileBOM.WriteBack();
        outInvertBytes.WriteBack();
        success.WriteBack();
        return result;
    });
}

} // namespace tovrin
