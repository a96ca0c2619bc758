#include "Png.h"

namespace testing_support {

namespace {

uint32_t ReadBigEndian(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

std::string Signature()
{
    return std::string("\x89PNG\r\n\x1a\n", 8);
}

uint32_t Crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string BigEndian(uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

std::string Chunk(const std::string& type, const std::string& data)
{
    return BigEndian(static_cast<uint32_t>(data.size())) + type + data + BigEndian(Crc32(type + data));
}

std::string MinimalPng()
{
    std::string ihdr = BigEndian(1) + BigEndian(1) + std::string("\x08\x00\x00\x00\x00", 5);
    std::string idat("\x78\x01\x63\x60\x00\x00\x00\x02\x00\x01", 10);
    return Signature() + Chunk("IHDR", ihdr) + Chunk("IDAT", idat) + Chunk("IEND", "");
}

std::vector<WalkedChunk> IndependentWalk(const std::string& file)
{
    std::vector<WalkedChunk> chunks;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        WalkedChunk chunk;
        chunk.Offset = static_cast<uint32_t>(at);
        chunk.Size = ReadBigEndian(file, at);
        chunk.Type = file.substr(at + 4, 4);
        if (chunk.Size > file.size() - at - 12)
            break;
        chunk.Crc = ReadBigEndian(file, at + 8 + chunk.Size);
        chunks.push_back(chunk);
        at += 12 + chunk.Size;
    }
    return chunks;
}

} // namespace testing_support
