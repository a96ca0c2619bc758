// The walk over a PNG file's chunk framing. It reads the 12 framing bytes of
// each chunk (length, type, CRC) and seeks over the data, which it never
// reads, decodes or verifies.
#pragma once

#include "CChunk.h"

#include <cstdint>
#include <functional>
#include <string>

namespace veskar {

// Where the walk reads from: a file, or a buffer in tests.
class IChunkSource {
public:
    virtual ~IChunkSource() = default;
    virtual int64_t Length() = 0;
    // Reads up to count bytes at the current position; gives how many came.
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    virtual void Seek(int64_t position) = 0;
};

// The list the walk fills: one row per chunk, carrying the chunk's key.
class IChunkList {
public:
    virtual ~IChunkList() = default;
    virtual void Clear() = 0;
    virtual void AddRow(const std::wstring& text, const std::wstring& offset, const std::wstring& size,
                        const std::wstring& crc, const std::wstring& key) = 0;
    virtual int RowCount() const = 0;
    virtual void SelectFirstRow() = 0;
};

extern const unsigned char PngSignature[8];

bool IsPNGSignature(const unsigned char* bytes, size_t count);
std::wstring ChunkTypeToString(int32_t value);

// Walks the chunks from offset 8 to the end of the source and hands each
// complete one to onChunk. Raises error 62 when fewer than 8 bytes are left
// for a chunk's length and type or its CRC field would start at or past the
// end, and error 6 for a length with its top bit set or position arithmetic
// past 2^31 - 1.
void WalkChunks(IChunkSource& source, const std::function<void(CChunk&&)>& onChunk);

// Fills the list and the collection with the chunks of the file. Reports its
// own failures to the user and never raises. The list gets its rows as the
// walk finds them.
void ParsePNGFile(const std::wstring& fileName, IChunkList& list, ChunkCollection& chunks);

} // namespace veskar
