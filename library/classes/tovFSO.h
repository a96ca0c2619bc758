// tovFSO: whole-file reading and writing of text and bytes, list files,
// descriptions, zones, compression, recycling and time stamps. It holds no
// state; every call stands alone. Members are split over files by topic.
#pragma once

#include "com/Dispatch.h"

#include "Ormelin0105.h"

namespace tovrin {

class tovFSO final : public Dispatch<tovFSO, _tovFSO> {
public:
    static REFIID InterfaceId() { return IID__tovFSO; }
    static constexpr wchar_t Source[] = L"tovFSO";

    // Text format detection (tovFSO_format.cpp)
    HRESULT STDMETHODCALLTYPE GetFileFormat2ByVar(VARIANT FileName, VARIANT RaiseErrors, VARIANT* lpEncoding,
                                                  VARIANT* lpFileBOM, VARIANT* lpInvertBytes,
                                                  VARIANT* RetVal) override;
    HRESULT STDMETHODCALLTYPE GetFileFormat2(BSTR FileName, VARIANT_BOOL RaiseErrors, FileEncodingConst* lpEncoding,
                                             FileBOMConst* lpFileBOM, InvertBytesConst* lpInvertBytes,
                                             VARIANT_BOOL* RetVal) override;

    // Whole text files (tovFSO_text.cpp)
    HRESULT STDMETHODCALLTYPE GetFile2ByVar(BSTR FileName, VARIANT RaiseErrors, VARIANT Encoding, VARIANT FileBOM,
                                            VARIANT InvertBytes, VARIANT* lpEncoding, VARIANT* lpFileBOM,
                                            VARIANT* lpInvertBytes, VARIANT* lpSuccess, VARIANT* RetVal) override;
    HRESULT STDMETHODCALLTYPE GetFile2(BSTR FileName, VARIANT_BOOL RaiseErrors, FileEncodingConst Encoding,
                                       FileBOMConst FileBOM, InvertBytesConst InvertBytes,
                                       FileEncodingConst* lpEncoding, FileBOMConst* lpFileBOM,
                                       InvertBytesConst* lpInvertBytes, VARIANT_BOOL* lpSuccess,
                                       BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE PutFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors, FileEncodingConst Encoding,
                                       FileBOMConst FileBOM, InvertBytesConst InvertBytes,
                                       VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE OverwriteFile2ByVar(VARIANT FileName, VARIANT Data, VARIANT RaiseErrors,
                                                  VARIANT Encoding, VARIANT FileBOM, VARIANT InvertBytes,
                                                  VARIANT* RetVal) override;
    HRESULT STDMETHODCALLTYPE OverwriteFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                             FileEncodingConst Encoding, FileBOMConst FileBOM,
                                             InvertBytesConst InvertBytes, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE AppendFile2ByVar(VARIANT FileName, VARIANT Data, VARIANT RaiseErrors, VARIANT Encoding,
                                               VARIANT FileBOM, VARIANT InvertBytes, VARIANT* lpEncoding,
                                               VARIANT* lpFileBOM, VARIANT* lpInvertBytes, VARIANT* RetVal) override;
    HRESULT STDMETHODCALLTYPE AppendFile2(BSTR FileName, BSTR Data, VARIANT_BOOL RaiseErrors,
                                          FileEncodingConst Encoding, FileBOMConst FileBOM,
                                          InvertBytesConst InvertBytes, FileEncodingConst* lpEncoding,
                                          FileBOMConst* lpFileBOM, InvertBytesConst* lpInvertBytes,
                                          VARIANT_BOOL* RetVal) override;

    // Whole files as byte arrays (tovFSO_binary.cpp)
    HRESULT STDMETHODCALLTYPE GetFileB(BSTR FileName, VARIANT_BOOL RaiseErrors, VARIANT_BOOL* lpSuccess,
                                       SAFEARRAY** RetVal) override;
    HRESULT STDMETHODCALLTYPE PutFileB(BSTR FileName, SAFEARRAY** Data, VARIANT_BOOL RaiseErrors,
                                       VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE AppendFileB(BSTR FileName, SAFEARRAY** Data, VARIANT_BOOL RaiseErrors,
                                          VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE OverwriteFileB(BSTR FileName, SAFEARRAY** Data, VARIANT_BOOL RaiseErrors,
                                             VARIANT_BOOL* RetVal) override;

    // Standard list files (tovFSO_list.cpp)
    HRESULT STDMETHODCALLTYPE ReadStandardListFile(BSTR FileName, BSTR CommentChar, VARIANT_BOOL IgnoreBlanks,
                                                   VARIANT_BOOL TrimStrings, VARIANT_BOOL IsOem,
                                                   VARIANT_BOOL RaiseErrors, Collection** RetVal) override;
    HRESULT STDMETHODCALLTYPE ReadStandardListFile2ByVar(VARIANT FileName, VARIANT CommentChar, VARIANT IgnoreBlanks,
                                                         VARIANT TrimStrings, VARIANT RaiseErrors, VARIANT Encoding,
                                                         VARIANT FileBOM, VARIANT InvertBytes, VARIANT* lpEncoding,
                                                         VARIANT* lpFileBOM, VARIANT* lpInvertBytes,
                                                         VARIANT* lpSuccess, VARIANT* RetVal) override;
    HRESULT STDMETHODCALLTYPE ReadStandardListFile2(BSTR FileName, BSTR CommentChar, VARIANT_BOOL IgnoreBlanks,
                                                    VARIANT_BOOL TrimStrings, VARIANT_BOOL RaiseErrors,
                                                    FileEncodingConst Encoding, FileBOMConst FileBOM,
                                                    InvertBytesConst InvertBytes, FileEncodingConst* lpEncoding,
                                                    FileBOMConst* lpFileBOM, InvertBytesConst* lpInvertBytes,
                                                    VARIANT_BOOL* lpSuccess, Collection** RetVal) override;

    // Download zones (tovFSO_zone.cpp)
    HRESULT STDMETHODCALLTYPE GetFileZone(BSTR FileName, FileZoneConst* RetVal) override;
    HRESULT STDMETHODCALLTYPE SetFileZone(BSTR FileName, FileZoneConst FileZone, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE IsFileZoneDefined(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE DeleteFileZone(BSTR FileName, VARIANT_BOOL* RetVal) override;
    // Descriptions in the folder's Descript.ion file (tovFSO_description.cpp)
    HRESULT STDMETHODCALLTYPE GetFileDescription(BSTR FileName, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE SetFileDescription(BSTR FileName, BSTR DescriptionText, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE SetFileDescription2(BSTR FileName, BSTR DescriptionText, VARIANT_BOOL AutoUTF8Mode,
                                                  VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE DeleteFileDescription(BSTR FileName, VARIANT_BOOL* RetVal) override;
    // Compression, recycling and time stamps (tovFSO_metadata.cpp)
    HRESULT STDMETHODCALLTYPE SetFileCompression(BSTR FileName, CompressionFormatConst CompressionFormat,
                                                 long* lpErrorCode, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE GetFileCompression(BSTR FileName, long* lpErrorCode,
                                                 CompressionFormatConst* RetVal) override;
    HRESULT STDMETHODCALLTYPE RecycleFile(BSTR FileName, VARIANT_BOOL SkipRecycleBin, VARIANT_BOOL RaiseErrors,
                                          VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE RecycleFolder(BSTR FileName, VARIANT_BOOL SkipRecycleBin, VARIANT_BOOL RaiseErrors,
                                            VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE GetFileDateTime(BSTR FileName, DATE* lpCreationTime, DATE* lpLastAccessTime,
                                              DATE* lpLastWriteTime, VARIANT_BOOL RaiseErrors,
                                              VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE SetFileDateTime(BSTR FileName, DATE CreationTime, DATE LastAccessTime,
                                              DATE LastWriteTime, VARIANT_BOOL RaiseErrors,
                                              VARIANT_BOOL* RetVal) override;

private:
    friend class Dispatch<tovFSO, _tovFSO>;
    tovFSO() = default;

};

} // namespace tovrin
