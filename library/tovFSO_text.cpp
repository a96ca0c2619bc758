// tovFSO: whole text files in ANSI, UTF-8 or UTF-16, read with GetFileB and
// written with PutFileB, OverwriteFileB and AppendFileB through the object's
// own interface, each passing its RaiseErrors on.
#include "tovFSO.h"

#include "FileReader.h"
#include "Guarded.h"
#include "TextFormat.h"
#include "com/ScriptTwin.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/SafeArrayBytes.h>
#include <tovrin/tovrinsupportfbe.h>

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
    if (!RetVal)
        return E_POINTER;
    *RetVal = nullptr;
    if (lpSuccess)
        *lpSuccess = VARIANT_FALSE;
    return Firewall(IID__tovFSO, FsoSource, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        // Reading follows GetFileB's rules, RaiseErrors included, but the
        // text is decoded from the file piece by piece, so that the whole
        // file is never in memory beside its text.
        std::unique_ptr<FileReader> file;
        std::string head;
        bool opened = Guarded(RaiseErrors, false, [&] {
            if (!FileExists(FileName))
                throw AutomationError(ErrFileNotFound, FsoSource);
            file = std::make_unique<FileReader>(FileName);
            head.resize(std::min<size_t>(3, file->Length()));
            if (file->Read(&head[0], head.size()) != head.size())
                throw AutomationError(ErrInputPastEnd, FsoSource);
            return true;
        });
        if (!opened) {
            *RetVal = Bstr::From(std::wstring()).release();
            return;
        }
        // Decoding failures (error 9, a text too long for a string) reach the
        // caller whatever RaiseErrors says. A failed read follows RaiseErrors
        // and leaves the caller's format arguments as they were.
        text::Format detected = text::DetectTextFormat(head.data(), head.size());
        text::Format effective = text::Resolve(FormatOf(Encoding, FileBOM, InvertBytes), detected);
        const FileEncodingConst callerEncoding = lpEncoding ? *lpEncoding : feAuto;
        const FileBOMConst callerFileBOM = lpFileBOM ? *lpFileBOM : fbAuto;
        const InvertBytesConst callerInvertBytes = lpInvertBytes ? *lpInvertBytes : ibAuto;
        TellFormat(effective, lpEncoding, lpFileBOM, lpInvertBytes);
        Bstr decoded;
        try {
            decoded = text::DecodeStream(*file, 0, file->Length(), effective);
        } catch (const text::SourceError&) {
            if (lpEncoding)
                *lpEncoding = callerEncoding;
            if (lpFileBOM)
                *lpFileBOM = callerFileBOM;
            if (lpInvertBytes)
                *lpInvertBytes = callerInvertBytes;
            if (RaiseErrors)
                throw;
            *RetVal = Bstr::From(std::wstring()).release();
            return;
        }
        if (lpSuccess)
            *lpSuccess = VARIANT_TRUE;
        *RetVal = decoded.release();
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::GetFile2ByVar(BSTR FileName, VARIANT RaiseErrors, VARIANT Encoding,
                                                VARIANT FileBOM, VARIANT InvertBytes, VARIANT* lpEncoding,
                                                VARIANT* lpFileBOM, VARIANT* lpInvertBytes, VARIANT* lpSuccess,
                                                VARIANT* RetVal)
{
    if (!RetVal)
        return E_POINTER;
    ::VariantInit(RetVal);
    return Firewall(IID__tovFSO, FsoSource, [&] {
        VARIANT_BOOL raiseErrors = twin::Boolean(&RaiseErrors, false);
        long encoding = twin::Long(&Encoding, 0), fileBOM = twin::Long(&FileBOM, 0);
        long invertBytes = twin::Long(&InvertBytes, 0);
        twin::InOutLong outEncoding(lpEncoding), outFileBOM(lpFileBOM), outInvertBytes(lpInvertBytes);
        twin::InOutBoolean success(lpSuccess);
        Bstr result;
        Check(GetFile2(FileName, raiseErrors, static_cast<FileEncodingConst>(encoding),
                       static_cast<FileBOMConst>(fileBOM), static_cast<InvertBytesConst>(invertBytes),
                       outEncoding.as<FileEncodingConst>(), outFileBOM.as<FileBOMConst>(),
                       outInvertBytes.as<InvertBytesConst>(), success.get(), result.put()),
              FsoSource);
        outEncoding.WriteBack();
        outFileBOM.WriteBack();
        outInvertBytes.WriteBack();
        success.WriteBack();
        V_VT(RetVal) = VT_BSTR;
        V_BSTR(RetVal) = result.release();
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::PutFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                           FileEncodingConst Encoding, FileBOMConst FileBOM,
                                           InvertBytesConst InvertBytes, VARIANT_BOOL* RetVal)
{
    if (!RetVal)
        return E_POINTER;
    *RetVal = VARIANT_FALSE;
    return Firewall(IID__tovFSO, FsoSource, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        text::Format format = text::WritingDefaults(FormatOf(Encoding, FileBOM, InvertBytes));
        SafeArray bytes = EncodeText(Data, format, WritesMark(format));
        SAFEARRAY* passed = bytes.get();
        Check(PutFileB(FileName, &passed, RaiseErrors, RetVal), FsoSource);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::OverwriteFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                                 FileEncodingConst Encoding, FileBOMConst FileBOM,
                                                 InvertBytesConst InvertBytes, VARIANT_BOOL* RetVal)
{
    if (!RetVal)
        return E_POINTER;
    *RetVal = VARIANT_FALSE;
    return Firewall(IID__tovFSO, FsoSource, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        text::Format format = text::WritingDefaults(FormatOf(Encoding, FileBOM, InvertBytes));
        SafeArray bytes = EncodeText(Data, format, WritesMark(format));
        SAFEARRAY* passed = bytes.get();
        Check(OverwriteFileB(FileName, &passed, RaiseErrors, RetVal), FsoSource);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::OverwriteFile2ByVar(VARIANT FileName, VARIANT Data, VARIANT RaiseErrors,
                                                      VARIANT Encoding, VARIANT FileBOM, VARIANT InvertBytes,
                                                      VARIANT* RetVal)
{
    if (!RetVal)
        return E_POINTER;
    ::VariantInit(RetVal);
    return Firewall(IID__tovFSO, FsoSource, [&] {
        Bstr fileName = twin::String(&FileName);
        Bstr data = twin::String(&Data);
        VARIANT_BOOL result = VARIANT_FALSE;
        Check(OverwriteFile2(fileName.get(), data.get(), twin::Boolean(&RaiseErrors, false),
                             static_cast<FileEncodingConst>(twin::Long(&Encoding, text::ANSI)),
                             static_cast<FileBOMConst>(twin::Long(&FileBOM, text::BOM)),
                             static_cast<InvertBytesConst>(twin::Long(&InvertBytes, text::DontInvertBytes)),
                             &result),
              FsoSource);
        V_VT(RetVal) = VT_BOOL;
        V_BOOL(RetVal) = result;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::AppendFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                              FileEncodingConst Encoding, FileBOMConst FileBOM,
                                              InvertBytesConst InvertBytes, FileEncodingConst* lpEncoding,
                                              FileBOMConst* lpFileBOM, InvertBytesConst* lpInvertBytes,
                                              VARIANT_BOOL* RetVal)
{
    if (!RetVal)
        return E_POINTER;
    *RetVal = VARIANT_FALSE;
    return Firewall(IID__tovFSO, FsoSource, [&] {
        text::CheckRange(Encoding, FileBOM, InvertBytes);
        text::Format requested = FormatOf(Encoding, FileBOM, InvertBytes);
        text::Format effective;
        bool withMark = false;
        if (FileExists(FileName)) {
            // The existing file's own format, unless the caller says otherwise.
            FileEncodingConst encoding = feAuto;
            FileBOMConst fileBOM = fbAuto;
            InvertBytesConst invertBytes = ibAuto;
            VARIANT_BOOL sampled = VARIANT_FALSE;
            Check(GetFileFormat2(FileName, RaiseErrors, &encoding, &fileBOM, &invertBytes, &sampled), FsoSource);
            if (!sampled)
                return;
            effective = text::Resolve(requested, FormatOf(encoding, fileBOM, invertBytes));
            TellFormat(effective, lpEncoding, lpFileBOM, lpInvertBytes);
            double size = 0;
            Check(esGetFileSizeEx(FileName, &size), FsoSource);
            withMark = WritesMark(effective) && size <= 0; // never a mark in the middle of a file
        } else {
            effective = text::WritingDefaults(requested);
            TellFormat(effective, lpEncoding, lpFileBOM, lpInvertBytes);
            withMark = WritesMark(effective);
        }
        SafeArray bytes = EncodeText(Data, effective, withMark);
        SAFEARRAY* passed = bytes.get();
        Check(AppendFileB(FileName, &passed, RaiseErrors, RetVal), FsoSource);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::AppendFile2ByVar(VARIANT FileName, VARIANT Data, VARIANT RaiseErrors,
                                                   VARIANT Encoding, VARIANT FileBOM, VARIANT InvertBytes,
                                                   VARIANT* lpEncoding, VARIANT* lpFileBOM, VARIANT* lpInvertBytes,
                                                   VARIANT* RetVal)
{
    if (!RetVal)
        return E_POINTER;
    ::VariantInit(RetVal);
    return Firewall(IID__tovFSO, FsoSource, [&] {
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
                          outInvertBytes.as<InvertBytesConst>(), &result),
              FsoSource);
        outEncoding.WriteBack();
        outFileBOM.WriteBack();
        outInvertBytes.WriteBack();
        V_VT(RetVal) = VT_BOOL;
        V_BOOL(RetVal) = result;
    });
}

} // namespace tovrin
