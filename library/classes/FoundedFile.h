// FoundedFile: one entry a search matched, as the find functions reported
// it, with the search of its folder below it (Childs). Made when a client
// asks for the entry, from the search's compact store, which it keeps alive
// however the collection changes afterwards; read-only. The compressed size
// is asked of the system at its first read and kept, so that a search costs
// no system call per entry for a value most callers never read.
#pragma once

#include "com/Dispatch.h"
#include "search/FoundTree.h"

#include "Ormelin0105.h"

#include <memory>
#include <string>

namespace tovrin {

class tovFoundedFiles;

class FoundedFile final : public Dispatch<FoundedFile, _FoundedFile> {
public:
    static REFIID InterfaceId() { return IID__FoundedFile; }
    static constexpr wchar_t Source[] = L"FoundedFile";

    // The record of the tree's entry at the position, found in the folder
    // (the record's Path). A search that named the item itself gives the
    // item's full name (named).
    static ComPtr<FoundedFile> Create(std::shared_ptr<FoundTree> tree, uint32_t position,
                                      std::shared_ptr<const std::wstring> folder,
                                      std::shared_ptr<const std::wstring> named = nullptr);

    double FileSize() const { return SizeOf(*m_tree, m_position); }
    // The size of the tree's entry at the position: a file's own, a
    // folder's summed from the entries below it at the first read.
    static double SizeOf(FoundTree& tree, uint32_t position);
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
    FoundedFile(std::shared_ptr<FoundTree> tree, uint32_t position, std::shared_ptr<const std::wstring> folder,
                std::shared_ptr<const std::wstring> named);
    ~FoundedFile() override;

    const FoundTree::Entry& Entry() const { return m_tree->At(m_position); }
    HRESULT HasAttribute(DWORD bit, VARIANT_BOOL* RetVal) const;
    HRESULT LocalTime(const FILETIME& time, DATE* RetVal) const;

    const std::shared_ptr<FoundTree> m_tree;
    const uint32_t m_position;
    const std::shared_ptr<const std::wstring> m_folder; // the Path property
    const std::shared_ptr<const std::wstring> m_named;  // the item's full name when the search named it
    ComPtr<tovFoundedFiles> m_children;
    double m_compressedSizeCache = -1;
};

} // namespace tovrin
