#include "search/FoundTree.h"

#include <cwchar>

namespace tovrin {

uint32_t FoundTree::Add(const WIN32_FIND_DATAW& found)
{
    const size_t name = wcsnlen(found.cFileName, MAX_PATH);
    const size_t shortName = wcsnlen(found.cAlternateFileName, 14);
    // A name never straddles two blocks.
    if (BlockSize - m_used < name + shortName) {
        m_blocks.push_back(std::make_unique<wchar_t[]>(BlockSize));
        m_used = 0;
    }
    Entry entry = {};
    entry.CreationTime = found.ftCreationTime;
    entry.LastAccessTime = found.ftLastAccessTime;
    entry.LastWriteTime = found.ftLastWriteTime;
    entry.SizeLow = found.nFileSizeLow;
    entry.SizeHigh = found.nFileSizeHigh;
    entry.Attributes = found.dwFileAttributes;
    entry.Name = static_cast<uint32_t>((m_blocks.size() - 1) * BlockSize + m_used);
    entry.NameLength = static_cast<uint16_t>(name);
    entry.ShortNameLength = static_cast<uint8_t>(shortName);
    m_entries.push_back(entry);
    wchar_t* text = m_blocks.back().get() + m_used;
    std::wmemcpy(text, found.cFileName, name);
    std::wmemcpy(text + name, found.cAlternateFileName, shortName);
    m_used += static_cast<uint32_t>(name + shortName);
    return Count() - 1;
}

const wchar_t* FoundTree::Text(uint32_t position) const
{
    const uint32_t name = At(position).Name;
    return m_blocks[name / BlockSize].get() + name % BlockSize;
}

std::wstring FoundTree::Name(uint32_t position) const
{
    return std::wstring(Text(position), At(position).NameLength);
}

std::wstring FoundTree::ShortName(uint32_t position) const
{
    const Entry& entry = At(position);
    return std::wstring(Text(position) + entry.NameLength, entry.ShortNameLength);
}

uint64_t FoundTree::Size(uint32_t position)
{
    Entry& entry = At(position);
    if ((entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.Flags & SizeKnown)) {
        uint64_t sum = 0;
        for (uint32_t child = entry.FirstChild; child < entry.FirstChild + entry.ChildCount; ++child)
            sum += Size(child);
        entry.SizeLow = static_cast<DWORD>(sum);
        entry.SizeHigh = static_cast<DWORD>(sum >> 32);
        entry.Flags |= SizeKnown;
    }
    return (static_cast<uint64_t>(entry.SizeHigh) << 32) | entry.SizeLow;
}

} // namespace tovrin
