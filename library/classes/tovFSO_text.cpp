// tovFSO: whole text files in ANSI, UTF-8 or UTF-16, read with GetFileB and
// written with PutFileB, OverwriteFileB and AppendFileB through the object's
// own interface, each passing its RaiseErrors on.
#include "classes/tovFSO.h"

#include "files/FileReader.h"
#include "files/FileAccess.h"
#include "content/TextFormat.h"
#include "com/ScriptTwin.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/SafeArrayBytes.h>

#include <algorithm>
#include <memory>

namespace tovrin {

namespace {

text::Format FormatOf(long encoding, long fileBOM, long invertBytes)
{
    return {encoding, fileBOM, invertBytes};
}

void TellFormat(const text::Format& format, FileEncodingConst* lpEncoding, FileBOMConst* lpFileBOM,
            InvertBytesConst* lpInvertBytes)
{
    if (lpEncoding)
        *lpEncoding = static_cast<FileEncodingConst>(format.Encoding);
    if (lpFileBOM)
        *lpFileBOM = static_cast<FileBOMConst>(format.FileBOM);
    if (lpInvertBytes)
        *lpInvertBytes = static_cast<InvertBytesConst>(format.InvertBytes);
}

// Whether the bytes start with a mark: only UTF-8 and UTF-16 have one.
bool WritesMark(const text::Format& format)
{
    return format.Encoding != text::ANSI && format.FileBOM == text::BOM;
}

SafeArray EncodeText(BSTR data, const text::Format& format, bool withMark)
{
    return text::Encode(data ? data : L"", data ? ::SysStringLen(data) : 0, format, withMark);
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::GetFile2(BSTR FileName, VARIANT_BOOL RaiseErrors, FileEncodingConst Encoding,
                                           FileBOMConst FileBOM, InvertBytesConst InvertBytes,
                                           FileEncodingConst* lpEncoding, FileBOMConst* lpFileBOM,
                                           InvertBytesConst* lpInvertBytes, VARIANT_BOOL* lpSuccess, BSTR* RetVal)
{
    // Reading follows GetFileB's rules, RaiseErrors included; a format
    // argument out of range and text that cannot be decoded (error 9, a text
    // too long for a string) raise always. The text is decoded from the file
    // piece by piece, so that the whole file is never in memory beside its
    // text, and the format used is told once the text is whole.
    return FileMember(RaiseErrors, RetVal, lpSuccess, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        const std::wstring name = RequireFileName(FileName);
        if (!FileExists(name))
            throw AutomationError(ErrFileNotFound);
        FileReader file(name);
        char head[3];
        const size_t headLength = std::min<size_t>(sizeof(head), file.Length());
        if (file.Read(head, headLength) != headLength)
            throw AutomationError(ErrInputPastEnd);
        const text::Format effective =
            text::Resolve(FormatOf(Encoding, FileBOM, InvertBytes), text::DetectTextFormat(head, headLength));
        Bstr decoded = text::DecodeStream(file, 0, file.Length(), effective);
        TellFormat(effective, lpEncoding, lpFileBOM, lpInvertBytes);
        return decoded;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFile2ByVar(BSTR FileName, VARIANT RaiseErrors, VARIANT Encoding,
                                                VARIANT FileBOM, VARIANT InvertBytes, VARIANT* lpEncoding,
                                                VARIANT* lpFileBOM, VARIANT* lpInvertBytes, VARIANT* lpSuccess,
                                                VARIANT* RetVal)
{
    return Member(RetVal, [&] {
        VARIANT_BOOL raiseErrors = twin::Boolean(&RaiseErrors, false);
        long encoding = twin::Long(&Encoding, 0), fileBOM = twin::Long(&FileBOM, 0);
        long invertBytes = twin::Long(&InvertBytes, 0);
        twin::InOutLong outEncoding(lpEncoding), outFileBOM(lpFileBOM), outInvertBytes(lpInvertBytes);
        twin::InOutBoolean success(lpSuccess);
        Bstr result;
        Check(GetFile2(FileName, raiseErrors, static_cast<FileEncodingConst>(encoding),
                       static_cast<FileBOMConst>(fileBOM), static_cast<InvertBytesConst>(invertBytes),
                       outEncoding.as<FileEncodingConst>(), outFileBOM.as<FileBOMConst>(),
                       outInvertBytes.as<InvertBytesConst>(), success.get(), result.put()));
        outEncoding.WriteBack();
        outFileBOM.WriteBack();
        outInvertBytes.WriteBack();
        success.WriteBack();
        return result;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::PutFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                           FileEncodingConst Encoding, FileBOMConst FileBOM,
                                           InvertBytesConst InvertBytes, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        text::Format format = text::WritingDefaults(FormatOf(Encoding, FileBOM, InvertBytes));
        SafeArray bytes = EncodeText(Data, format, WritesMark(format));
        SAFEARRAY* passed = bytes.get();
        VARIANT_BOOL written = VARIANT_FALSE;
        Check(PutFileB(FileName, &passed, RaiseErrors, &written));
        return written;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::OverwriteFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                                 FileEncodingConst Encoding, FileBOMConst FileBOM,
                                                 InvertBytesConst InvertBytes, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        text::Format format = text::WritingDefaults(FormatOf(Encoding, FileBOM, InvertBytes));
        SafeArray bytes = EncodeText(Data, format, WritesMark(format));
        SAFEARRAY* passed = bytes.get();
        VARIANT_BOOL written = VARIANT_FALSE;
        Check(OverwriteFileB(FileName, &passed, RaiseErrors, &written));
        return written;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::OverwriteFile2ByVar(VARIANT FileName, VARIANT Data, VARIANT RaiseErrors,
                                                      VARIANT Encoding, VARIANT FileBOM, VARIANT InvertBytes,
                                                      VARIANT* RetVal)
{
    return Member(RetVal, [&] {
        Bstr fileName = twin::String(&FileName);
        Bstr data = twin::String(&Data);
        VARIANT_BOOL result = VARIANT_FALSE;
        Check(OverwriteFile2(fileName.get(), data.get(), twin::Boolean(&RaiseErrors, false),
                             static_cast<FileEncodingConst>(twin::Long(&Encoding, text::ANSI)),
                             static_cast<FileBOMConst>(twin::Long(&FileBOM, text::BOM)),
                             static_cast<InvertBytesConst>(twin::Long(&InvertBytes, text::DontInvertBytes)),
                             &result));
        return result;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::AppendFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                              FileEncodingConst Encoding, FileBOMConst FileBOM,
                                              InvertBytesConst InvertBytes, FileEncodingConst* lpEncoding,
                                              FileBOMConst* lpFileBOM, InvertBytesConst* lpInvertBytes,
                                              VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        text::Format requested = FormatOf(Encoding, FileBOM, InvertBytes);
        text::Format effective;
        bool withMark = false;
        // A name with a NUL goes on to AppendFileB, which refuses it.
        const std::optional<std::wstring> name = CheckedFileName(FileName);
        if (name && FileExists(*name)) {
            // The existing file's own format, unless the caller says otherwise.
            FileEncodingConst encoding = feAuto;
            FileBOMConst fileBOM = fbAuto;
            InvertBytesConst invertBytes = ibAuto;
            VARIANT_BOOL sampled = VARIANT_FALSE;
            Check(GetFileFormat2(FileName, RaiseErrors, &encoding, &fileBOM, &invertBytes, &sampled));
            if (!sampled)
                return VARIANT_FALSE;
            effective = text::Resolve(requested, FormatOf(encoding, fileBOM, invertBytes));
            TellFormat(effective, lpEncoding, lpFileBOM, lpInvertBytes);
            withMark = WritesMark(effective) && ListedFileSize(*name) == 0; // never a mark in the middle of a file
        } else {
            effective = text::WritingDefaults(requested);
            TellFormat(effective, lpEncoding, lpFileBOM, lpInvertBytes);
            withMark = WritesMark(effective);
        }
        SafeArray bytes = EncodeText(Data, effective, withMark);
        SAFEARRAY* passed = bytes.get();
        VARIANT_BOOL written = VARIANT_FALSE;
        Check(AppendFileB(FileName, &passed, RaiseErrors, &written));
        return written;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::AppendFile2ByVar(VARIANT FileName, VARIANT Data, VARIANT RaiseErrors,
                                                   VARIANT Encoding, VARIANT FileBOM, VARIANT InvertBytes,
                                                   VARIANT* lpEncoding, VARIANT* lpFileBOM, VARIANT* lpInvertBytes,
                                                   VARIANT* RetVal)
{
    return Member(RetVal, [&] {
        Bstr fileName = twin::String(&FileName);
        Bstr data = twin::String(&Data);
        VARIANT_BOOL raiseErrors = twin::Boolean(&RaiseErrors, false);
        long encoding = twin::Long(&Encoding, 0), fileBOM = twin::Long(&FileBOM, 0);
        long invertBytes = twin::Long(&InvertBytes, 0);
        twin::InOutLong outEncoding(lpEncoding), outFileBOM(lpFileBOM), outInvertBytes(lpInvertBytes);
        VARIANT_BOOL result = VARIANT_FALSE;
        Check(AppendFile2(fileName.get(), data.get(), raiseErrors, static_cast<FileEncodingConst>(encoding),
                          static_cast<FileBOMConst>(fileBOM), static_cast<InvertBytesConst>(invertBytes),
                          outEncoding.as<FileEncodingConst>(), outFileBOM.as<FileBOMConst>(),
                          outInvertBytes.as<InvertBytesConst>(), &result));
        outEncoding.WriteBack();
        outFileBOM.WriteBack();
        outInvertBytes.WriteBack();
        return result;
    });
}

} // namespace tovrin
