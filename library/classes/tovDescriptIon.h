// tovDescriptIon: the file descriptions of one folder as its "Descript.ion"
// file keeps them, one line per file: the name (quoted when it holds a blank
// or a tab), one space, the description. The entries keep the file's order;
// names are looked up without regard to letter case through an index, so
// that lookups and AddItem cost the same in a folder of ten files or of a
// hundred thousand.
#pragma once

#include "com/Dispatch.h"

#include "Ormelin0105.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tovrin {

class tovDescriptIon final : public Dispatch<tovDescriptIon, _tovDescriptIon> {
public:
    static REFIID InterfaceId() { return IID__tovDescriptIon; }
    static constexpr wchar_t Source[] = L"tovDescriptIon";

    HRESULT STDMETHODCALLTYPE get_UTF8Mode(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE put_UTF8Mode(VARIANT_BOOL Value) override;
    HRESULT STDMETHODCALLTYPE get_FileName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemFileName(long Index, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemDescription(long Index, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemDescriptionByFileName(BSTR FileName, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemCount(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE RemoveItem(long Index, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE RemoveItemByFileName(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE AddItem(BSTR FileName, BSTR Description) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE ReadFile(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE WriteFile(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE ReadDirectoryFile(BSTR PathName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE WriteDirectoryFile(BSTR PathName, VARIANT_BOOL* RetVal) override;

    // Whether the list already says this: an entry spelled exactly so with
    // this description, or for an empty description no entry for the name.
    bool Holds(const std::wstring& name, const std::wstring& description) const;

private:
    friend class Dispatch<tovDescriptIon, _tovDescriptIon>;
    tovDescriptIon() = default;

    struct Entry {
        std::wstring Name;
        std::wstring Description;
        std::wstring Key; // the name in upper case; empty once removed
    };

    void ClearAll();
    void Parse(const char* line, size_t length);
    // Names that have passed CheckedFileName: nothing for a name that
    // names no file. Writing to an empty name writes the file last read.
    bool Read(const std::optional<std::wstring>& fileName);
    bool Write(const std::optional<std::wstring>& fileName);
    std::string Encode(const std::wstring& text) const;
    // The slot of the entry whose name matches, or -1.
    std::ptrdiff_t Find(const std::wstring& name) const;
    void Append(const std::wstring& name, const std::wstring& description);
    void RemoveSlot(size_t slot);
    void CloseGaps();
    // The entry at a zero-based position among the entries left, or null.
    const Entry* At(long index);

    // Entries in file order; a removed entry leaves a gap until the next
    // lookup by position closes the gaps, so that removing costs no shift.
    std::vector<Entry> m_entries;
    std::unordered_map<std::wstring, size_t> m_slots; // upper-case name -> slot
    size_t m_removed = 0;
    std::wstring m_fileName;
    bool m_utf8Mode = false;
};

// The path of a folder's description file.
std::optional<std::wstring> DescriptionFileOf(const std::optional<std::wstring>& folder);

} // namespace tovrin
