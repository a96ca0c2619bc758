// FoundedFile: one entry a search matched, as the find functions reported
// it, with the search of its folder below it (Childs). Made only by the
// walk of tovFoundedFiles, read-only afterwards but for the sizes, which are
// found at their first read and kept: a folder's size sums its Childs, the
// compressed size asks the system then, so that a search costs no system
// call per entry for a value most callers never read.
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

    // A record of the entry found in the searched folder; the records of one
    // folder share its path. With a path of its own (the search named the
    // item itself), the searched name is the item's full name.
    static ComPtr<FoundedFile> Create(const WIN32_FIND_DATAW& entry, std::shared_ptr<const std::wstring> searched,
                                      std::shared_ptr<const std::wstring> path = nullptr);

    bool IsDirectory() const { return (m_entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A reparse point that leads to another item: a junction, a symbolic
    // link or a mount point, whose tag is a name surrogate. Any other reparse
    // point (a cloud provider's file or folder, a deduplicated file) is the
    // item itself. The find record holds the tag only for a reparse point.
    bool IsLink() const
    {
        return (m_entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
               IsReparseTagNameSurrogate(m_entry.dwReserved0) != 0;
    }
    // The search below this record, made on first use.
    tovFoundedFiles& Children();
    // Whether the search below this record was cancelled.
    bool Cancelled() const;
    double FileSize();
    // The entry's full name.
    std::wstring FullName() const;

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
    FoundedFile(const WIN32_FIND_DATAW& entry, std::shared_ptr<const std::wstring> searched,
                std::shared_ptr<const std::wstring> path);
    ~FoundedFile() override;

    HRESULT HasAttribute(DWORD bit, VARIANT_BOOL* RetVal) const;
    HRESULT LocalTime(const FILETIME& time, DATE* RetVal) const;

    const WIN32_FIND_DATAW m_entry;
    const std::shared_ptr<const std::wstring> m_searched; // the folder searched, or the item itself
    const std::shared_ptr<const std::wstring> m_path;     // the Path property: m_searched unless the item was named
    ComPtr<tovFoundedFiles> m_children;
    double m_compressedSizeCache = -1;
    double m_fileSizeCache = -1;
};

} // namespace tovrin
