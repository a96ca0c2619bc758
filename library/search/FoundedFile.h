// FoundedFile: one entry a search matched, as the find functions reported
// it, with the search of its folder below it (Childs). Made only by the
// walk of tovFoundedFiles, read-only afterwards but for the size, which is
// summed at its first read and kept.
#pragma once

#include "com/Dispatch.h"

#include "Ormelin0105.h"

#include <memory>
#include <string>

namespace tovrin {

class tovFoundedFiles;

class FoundedFile final : public Dispatch<FoundedFile, _FoundedFile> {
public:
    static REFIID InterfaceId() { return IID__FoundedFile; }
    static constexpr wchar_t Source[] = L"FoundedFile";

    // A record of the entry found in the folder; the records of one folder
    // share its path.
    static ComPtr<FoundedFile> Create(const WIN32_FIND_DATAW& entry, std::shared_ptr<const std::wstring> path);

    bool IsDirectory() const { return (m_entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsReparsePoint() const { return (m_entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    // The search below this record, made on first use.
    tovFoundedFiles& Children();
    // Whether the search below this record was cancelled.
    bool Cancelled() const;
    void SetCompressedFileSize(double size) { m_compressedFileSize = size; }
    double FileSize();

    HRESULT STDMETHODCALLTYPE get_Childs(_tovFoundedFiles** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Path(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileAttributes(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeReadOnly(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeHidden(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeSystem(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeDirectory(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeArchive(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeDevice(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeTemporary(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeSparseFile(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeReparsePoint(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeCompressed(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeOffline(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeNotContentIndexed(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AttributeEncrypted(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_CreationTime(DATE* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_LastAccessTime(DATE* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_LastWriteTime(DATE* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileSize(double* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_CompressedFileSize(double* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_AlternateFileName(BSTR* RetVal) override;

private:
    friend class Dispatch<FoundedFile, _FoundedFile>;
    FoundedFile(const WIN32_FIND_DATAW& entry, std::shared_ptr<const std::wstring> path);
    ~FoundedFile() override;

    HRESULT HasAttribute(DWORD bit, VARIANT_BOOL* RetVal) const;
    HRESULT LocalTime(const FILETIME& time, DATE* RetVal) const;

    const WIN32_FIND_DATAW m_entry;
    const std::shared_ptr<const std::wstring> m_path;
    ComPtr<tovFoundedFiles> m_children;
    double m_compressedFileSize = 0;
    double m_fileSizeCache = -1;
};

} // namespace tovrin
