// The entries one search found, kept compactly: a fixed record per entry
// and its names in a pool of large blocks, so that a 32-bit host holds a
// whole volume's tree. The entries of one folder are consecutive; a
// folder's record gives the range of its own. Records are only appended,
// and stay where they are: a record object made for a client refers to its
// entry by position.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tovrin {

class FoundTree {
public:
    struct Entry {
        FILETIME CreationTime;
        FILETIME LastAccessTime;
        FILETIME LastWriteTime;
        DWORD SizeLow;
        DWORD SizeHigh;
        DWORD Attributes;
        uint32_t Name;       // position of the name in the pool; the short name follows it
        uint32_t FirstChild; // the folder's own entries, once it was searched
        uint32_t ChildCount;
        uint16_t NameLength;
        uint8_t ShortNameLength;
        uint8_t Flags;
    };
    // Entry::Flags
    static constexpr uint8_t Searched = 1;  // the walk listed the folder (its Childs has a Path)
    static constexpr uint8_t SizeKnown = 2; // a folder's size is summed and kept in SizeLow/SizeHigh
    static constexpr uint8_t Link = 4;      // a reparse point that leads elsewhere (not a cloud file's)

    // Appends the entry the find functions reported; its position.
    uint32_t Add(const WIN32_FIND_DATAW& found);
    uint32_t Count() const { return static_cast<uint32_t>(m_entries.size()); }
    Entry& At(uint32_t position) { return m_entries[position]; }
    const Entry& At(uint32_t position) const { return m_entries[position]; }

    std::wstring Name(uint32_t position) const;
    std::wstring ShortName(uint32_t position) const;
    bool IsDirectory(uint32_t position) const { return (At(position).Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

    // A file's size; a folder's is that of the entries below it, summed at
    // the first read and kept.
    uint64_t Size(uint32_t position);

private:
    static constexpr uint32_t BlockSize = 1 << 16; // UTF-16 units

    const wchar_t* Text(uint32_t position) const;

    std::deque<Entry> m_entries;
    std::vector<std::unique_ptr<wchar_t[]>> m_blocks;
    uint32_t m_used = BlockSize; // in the last block
};

} // namespace tovrin
