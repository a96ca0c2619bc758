// The file descriptions of one folder as its "Descript.ion" file keeps them,
// one line per file: the name (quoted when it holds a blank or a tab), one
// space, the description. The entries keep the file's order; names are
// looked up without regard to letter case through an index, so that lookups
// and Add cost the same in a folder of ten files or of a hundred thousand.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tovrin {

class DescriptionList {
public:
    struct Entry {
        std::wstring Name;
        std::wstring Description;
    };

    // Empties the list and forgets the file it was read from; OEM again.
    void Clear();

    // Whether the file is read and written as UTF-8 (after a byte-order
    // mark) rather than in the OEM code page.
    bool UTF8Mode() const { return m_utf8Mode; }
    void SetUTF8Mode(bool utf8) { m_utf8Mode = utf8; }

    // The file last read; empty when none was.
    const std::wstring& FileName() const { return m_fileName; }

    long Count() const { return static_cast<long>(m_entries.size() - m_removed); }
    // The entry at a zero-based position among the entries left, or null.
    const Entry* At(long index);
    // The entry whose name matches, or null.
    const Entry* Find(const std::wstring& name) const;

    // Replaces the name's entry by one at the end, in this call's letter
    // case; an empty description only removes it. An empty name is no entry.
    void Add(const std::wstring& name, const std::wstring& description);
    bool Remove(long index);
    bool Remove(const std::wstring& name);

    // Whether the list already says this: an entry spelled exactly so with
    // this description, or for an empty description no entry for the name.
    bool Holds(const std::wstring& name, const std::wstring& description) const;

    // Names that have passed CheckedFileName: nothing for a name that names
    // no file. A missing file reads as an empty list. Writing to an empty
    // name writes the file last read; an empty list deletes the file.
    bool Read(const std::optional<std::wstring>& fileName);
    bool Write(const std::optional<std::wstring>& fileName) const;

private:
    struct Slot {
        Entry Kept;
        std::wstring Key; // the name in upper case; empty once removed
    };

    void Parse(const char* line, size_t length);
    std::string Encode(const std::wstring& text) const;
    std::string Content() const;
    std::ptrdiff_t SlotOf(const std::wstring& name) const;
    void Append(const std::wstring& name, const std::wstring& description);
    void RemoveSlot(size_t slot);
    void CloseGaps();

    // Entries in file order; a removed entry leaves a gap until the next
    // lookup by position closes the gaps, so that removing costs no shift.
    std::vector<Slot> m_entries;
    std::unordered_map<std::wstring, size_t> m_slots; // upper-case name -> slot
    size_t m_removed = 0;
    std::wstring m_fileName;
    bool m_utf8Mode = false;
};

// The path of a folder's description file.
std::optional<std::wstring> DescriptionFileOf(const std::optional<std::wstring>& folder);

} // namespace tovrin
