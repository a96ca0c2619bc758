// PNG files made and walked by the tests themselves, independently of the
// program's own walk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

std::string Signature();
uint32_t Crc32(const std::string& bytes);
std::string BigEndian(uint32_t value);
// A complete chunk: length, type, data and the CRC over type and data.
std::string Chunk(const std::string& type, const std::string& data);
// Signature, IHDR of a 1x1 grey image, one IDAT, IEND.
std::string MinimalPng();

struct WalkedChunk {
    std::string Type;
    uint32_t Offset = 0;
    uint32_t Size = 0;
    uint32_t Crc = 0;
};

// Every complete chunk of the bytes after the signature.
std::vector<WalkedChunk> IndependentWalk(const std::string& file);

} // namespace testing_support
