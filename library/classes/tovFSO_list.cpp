// tovFSO: standard list files, one entry per line, blank lines and comment
// lines left out, read into a Collection keyed by position.
#include "classes/tovFSO.h"

#include "com/Collection.h"
#include "files/FileAccess.h"
#include "com/ScriptTwin.h"
#include "content/modStandardListFileSupport.h"

#include <tovrin/Trim.h>

namespace tovrin {

namespace {

std::wstring Upper(const wchar_t* text, size_t length)
{
    std::wstring upper(text, length);
    if (!upper.empty())
        ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

// The entries of a list file's text. Lines end at CR LF only; a lone CR or
// LF stays inside its line.
ComPtr<Collection> SplitLines(const Bstr& text, BSTR commentChar, bool ignoreBlanks, bool trimStrings)
{
    const std::wstring comment = Upper(commentChar, commentChar ? ::SysStringLen(commentChar) : 0);
    ComPtr<Collection> lines = NewCollection();
    const wchar_t* all = text.get() ? text.get() : L"";
    size_t size = text.length();
    long count = 0;
    for (size_t position = 0; size > 0 && position <= size;) {
        size_t end = position;
        while (end < size && !(all[end] == L'\r' && end + 1 < size && all[end + 1] == L'\n'))
            ++end;
        const wchar_t* line = all + position;
        size_t length = end - position;
        position = end + 2;
        if (trimStrings) {
            size_t first = 0, last = 0;
            TrimBounds(line, length, first, last);
            line += first;
            length = last - first;
        }
        if (ignoreBlanks && length == 0)
            continue;
        if (!comment.empty() && length >= comment.size() && Upper(line, comment.size()) == comment)
            continue;
        AddListItem(lines.get(), count, line, length);
    }
    return lines;
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::ReadStandardListFile(BSTR FileName, BSTR CommentChar, VARIANT_BOOL IgnoreBlanks,
                                                       VARIANT_BOOL TrimStrings, VARIANT_BOOL IsOem,
                                                       VARIANT_BOOL RaiseErrors, Collection** RetVal)
{
    return FileMember(RaiseErrors, RetVal, [&] {
        return LoadStandardListFile(RequireFileName(FileName), IsOem != VARIANT_FALSE, Bstr::ToString(CommentChar),
                                    IgnoreBlanks != VARIANT_FALSE, TrimStrings != VARIANT_FALSE);
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
        return SplitLines(text, CommentChar, IgnoreBlanks, TrimStrings);
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
