// One chunk of a PNG file as the walk found it, and the keyed collection the
// main window keeps them in.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace veskar {

struct CChunk {
    int32_t Name = 0;     // the four type bytes as a little-endian value, first byte low
    std::wstring NameStr; // the four type bytes through the ANSI code page
    int32_t Offset = 0;   // where the chunk's length field starts
    int32_t Size = 0;     // the data length
    int32_t CRC32 = 0;    // the CRC field as stored
};

// Chunks in file order, each under a string key.
class ChunkCollection {
public:
    void Clear()
    {
        m_chunks.clear();
        m_index.clear();
    }

    // Adds the chunk under the key; false when the key is taken.
    bool Add(const std::wstring& key, CChunk chunk)
    {
        if (!m_index.emplace(key, m_chunks.size()).second)
            return false;
        m_chunks.push_back(std::move(chunk));
        return true;
    }

    // The chunk under the key, or null.
    const CChunk* Item(const std::wstring& key) const
    {
        auto found = m_index.find(key);
        return found == m_index.end() ? nullptr : &m_chunks[found->second];
    }

    size_t Count() const { return m_chunks.size(); }
    const std::vector<CChunk>& Items() const { return m_chunks; }

private:
    std::vector<CChunk> m_chunks;
    std::unordered_map<std::wstring, size_t> m_index;
};

} // namespace veskar
