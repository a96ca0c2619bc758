// tovFSO: whole text files in ANSI, UTF-8 or UTF-16, read piece by piece
// and written with PutFileB, OverwriteFileB and AppendFileB through the
// object's own interface, each passing its RaiseErrors on.
#include "classes/tovFSO.h"

#include "com/ScriptTwin.h"
#include "content/TextFile.h"
#include "files/FileAccess.h"

#include <tovrin/SafeArrayBytes.h>

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

SafeArray EncodeText(BSTR data, const text::Writing& writing)
{
    SafeArray bytes;
    std::unique_ptr<SafeArrayData> access;
    text::Encode(data ? data : L"", data ? ::SysStringLen(data) : 0, writing.Format, writing.WithMark,
                 [&](size_t size) {
                     bytes = MakeUnfilledByteArray(size);
                     access = std::make_unique<SafeArrayData>(bytes.get());
                     return static_cast<unsigned char*>(access->get());
                 });
    access.reset();
    return bytes;
}

// The text of the file, in a string of exactly its length.
Bstr DecodeText(text::OpenedText& opened)
{
    Bstr decoded;
    text::DecodeStream(opened.File, 0, opened.File.Length(), opened.Format, [&](size_t units) {
        decoded.reset(::SysAllocStringLen(nullptr, static_cast<UINT>(units)));
        if (!decoded)
            throw AutomationError::Always(ErrOutOfMemory);
        return decoded.get();
    });
    return decoded;
}

// One of the object's own byte writers, called as a client calls it, so that
// it follows the caller's RaiseErrors and its errors reach the caller whole.
using ByteWriter = HRESULT (STDMETHODCALLTYPE tovFSO::*)(BSTR, SAFEARRAY**, VARIANT_BOOL, VARIANT_BOOL*);

VARIANT_BOOL WriteBytes(tovFSO& object, ByteWriter writer, BSTR fileName, const SafeArray& bytes,
                        VARIANT_BOOL raiseErrors)
{
    SAFEARRAY* passed = bytes.get();
    VARIANT_BOOL written = VARIANT_FALSE;
    Check((object.*writer)(fileName, &passed, raiseErrors, &written));
    return written;
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
        text::OpenedText opened =
            text::OpenTextFile(RequireFileName(FileName), FormatOf(Encoding, FileBOM, InvertBytes));
        Bstr decoded = DecodeText(opened);
        TellFormat(opened.Format, lpEncoding, lpFileBOM, lpInvertBytes);
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
        const SafeArray bytes = EncodeText(Data, text::WritingNew(FormatOf(Encoding, FileBOM, InvertBytes)));
        return WriteBytes(*this, &tovFSO::PutFileB, FileName, bytes, RaiseErrors);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::OverwriteFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                                 FileEncodingConst Encoding, FileBOMConst FileBOM,
                                                 InvertBytesConst InvertBytes, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        const SafeArray bytes = EncodeText(Data, text::WritingNew(FormatOf(Encoding, FileBOM, InvertBytes)));
        return WriteBytes(*this, &tovFSO::OverwriteFileB, FileName, bytes, RaiseErrors);
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
        const text::Format requested = FormatOf(Encoding, FileBOM, InvertBytes);
        text::Writing writing;
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
            const text::Format format = text::Resolve(requested, FormatOf(encoding, fileBOM, invertBytes));
            TellFormat(format, lpEncoding, lpFileBOM, lpInvertBytes);
            writing = text::WritingAppended(format, *name);
        } else {
            writing = text::WritingNew(requested);
            TellFormat(writing.Format, lpEncoding, lpFileBOM, lpInvertBytes);
        }
        return WriteBytes(*this, &tovFSO::AppendFileB, FileName, EncodeText(Data, writing), RaiseErrors);
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
