// The chunk walk over bytes in memory: what it finds, what it reads, and how
// it ends on malformed framing.
#include "Png.h"
#include "TestFiles.h"

#include <RunTimeError.h>
#include <modPNG.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace testing_support;

namespace {

// Bytes in memory that count how the walk reads them. Positions past the
// bytes read as nothing, like a file's end.
class CountingSource final : public veskar::IChunkSource {
public:
    explicit CountingSource(std::string bytes, int64_t length = -1)
        : m_bytes(std::move(bytes)), m_length(length < 0 ? static_cast<int64_t>(m_bytes.size()) : length)
    {
        m_position = 8; // the walk starts after the signature
    }

    int64_t Length() override { return m_length; }

    uint32_t Read(void* buffer, uint32_t count) override
    {
        ++Reads;
        BytesRead += count;
        uint32_t n = 0;
        while (n < count && m_position + n < static_cast<int64_t>(m_bytes.size())) {
            static_cast<char*>(buffer)[n] = m_bytes[static_cast<size_t>(m_position + n)];
            ++n;
        }
        m_position += n;
        return n;
    }

    void Seek(int64_t position) override
    {
        ++Seeks;
        m_position = position;
    }

    int Reads = 0;
    int Seeks = 0;
    int64_t BytesRead = 0;

private:
    std::string m_bytes;
    int64_t m_length;
    int64_t m_position;
};

struct WalkResult {
    std::vector<veskar::CChunk> Chunks;
    long Error = 0;
};

WalkResult Walk(veskar::IChunkSource& source)
{
    WalkResult result;
    try {
        veskar::WalkChunks(source, [&](veskar::CChunk&& chunk) { result.Chunks.push_back(chunk); });
    } catch (const veskar::RunTimeError& error) {
        result.Error = error.Record().Number;
    }
    return result;
}

WalkResult Walk(const std::string& bytes)
{
    CountingSource source(bytes);
    return Walk(source);
}

void ExpectSameAsIndependentWalk(const std::string& file)
{
    std::vector<WalkedChunk> expected = IndependentWalk(file);
    WalkResult walked = Walk(file);
    EXPECT_EQ(walked.Error, 0);
    ASSERT_EQ(walked.Chunks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const veskar::CChunk& chunk = walked.Chunks[i];
        EXPECT_EQ(Narrow(chunk.NameStr), expected[i].Type);
        EXPECT_EQ(static_cast<uint32_t>(chunk.Offset), expected[i].Offset);
        EXPECT_EQ(static_cast<uint32_t>(chunk.Size), expected[i].Size);
        EXPECT_EQ(static_cast<uint32_t>(chunk.CRC32), expected[i].Crc);
        uint32_t name = 0;
        std::memcpy(&name, expected[i].Type.data(), 4);
        EXPECT_EQ(static_cast<uint32_t>(chunk.Name), name) << "type bytes in file order, first byte low";
    }
}

} // namespace

TEST(IsPNGSignature, NeedsAllEightBytes)
{
    std::string good = Signature();
    auto bytes = reinterpret_cast<const unsigned char*>(good.data());
    EXPECT_TRUE(veskar::IsPNGSignature(bytes, 8));
    EXPECT_FALSE(veskar::IsPNGSignature(bytes, 7));
    EXPECT_FALSE(veskar::IsPNGSignature(nullptr, 8));
    for (size_t i = 0; i < 8; ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x20);
        EXPECT_FALSE(veskar::IsPNGSignature(reinterpret_cast<const unsigned char*>(bad.data()), 8)) << i;
    }
}

TEST(ChunkTypeToString, OneAnsiCharacterPerByteLowByteFirst)
{
    EXPECT_EQ(veskar::ChunkTypeToString(0x52444849), L"IHDR");
    if (::GetACP() == 1252) {
        EXPECT_EQ(veskar::ChunkTypeToString(static_cast<int32_t>(0x80E961C0u)),
                  (std::wstring{0x00C0, L'a', 0x00E9, 0x20AC}));
    }
    EXPECT_EQ(veskar::ChunkTypeToString(0).size(), 4u);
}

TEST(WalkChunks, ListsRealFilesAsAnIndependentWalkDoes)
{
    for (const wchar_t* name : {L"sample.png", L"palette.png"}) {
        SCOPED_TRACE(Narrow(name));
        std::string file = ReadBytes(SamplePath(name));
        ASSERT_GT(file.size(), 8u);
        ExpectSameAsIndependentWalk(file);
    }
    ExpectSameAsIndependentWalk(MinimalPng());
}

TEST(WalkChunks, ReadsOnlyTheFramingOfEachChunk)
{
    std::string file = Signature();
    const int chunks = 50;
    for (int i = 0; i < chunks; ++i)
        file += Chunk("IDAT", std::string(1000 + i * 997, 'x'));
    CountingSource source(file);
    WalkResult walked = Walk(source);
    EXPECT_EQ(walked.Error, 0);
    EXPECT_EQ(walked.Chunks.size(), static_cast<size_t>(chunks));
    EXPECT_EQ(source.Reads, 3 * chunks);
    EXPECT_EQ(source.Seeks, chunks);
    EXPECT_EQ(source.BytesRead, 12 * chunks);
}

TEST(WalkChunks, WalksOnPastIend)
{
    std::string file = MinimalPng() + Chunk("tEXt", "after");
    WalkResult walked = Walk(file);
    EXPECT_EQ(walked.Error, 0);
    ASSERT_EQ(walked.Chunks.size(), 4u);
    EXPECT_EQ(walked.Chunks[3].NameStr, L"tEXt");
}

TEST(WalkChunks, ShowsAWrongCrcAsStored)
{
    std::string file = MinimalPng();
    file[8 + 8 + 13] ^= 0x55; // first byte of IHDR's CRC
    WalkResult walked = Walk(file);
    ASSERT_EQ(walked.Chunks.size(), 3u);
    EXPECT_EQ(static_cast<uint32_t>(walked.Chunks[0].CRC32), IndependentWalk(file)[0].Crc);
}

TEST(WalkChunks, SignatureOnlyGivesNothing)
{
    WalkResult walked = Walk(Signature());
    EXPECT_EQ(walked.Error, 0);
    EXPECT_TRUE(walked.Chunks.empty());
}

TEST(WalkChunks, TrailingBytesThatAreNoChunkEndInError62)
{
    // Fewer than 8 bytes after IEND cannot hold a length and a type, so no chunk whose CRC
    // field starts inside the file, whatever they are: top bits that would read as a negative
    // length and 7F FF FF FF that would run past 2^31 - 1 end as zeros do. Eight zero bytes
    // are a zero-length chunk whose CRC field would start at the end.
    std::vector<std::string> tails;
    for (size_t count = 1; count <= 7; ++count)
        for (char fill : {'\x00', '\x82', '\xFF'})
            tails.push_back(std::string(count, fill));
    for (size_t count = 4; count <= 7; ++count)
        tails.push_back(std::string("\x7F\xFF\xFF\xFF", 4) + std::string(count - 4, 'A'));
    tails.push_back(std::string(8, '\0'));
    for (const std::string& tail : tails) {
        SCOPED_TRACE(::testing::PrintToString(tail));
        WalkResult walked = Walk(MinimalPng() + tail);
        EXPECT_EQ(walked.Error, 62);
        EXPECT_EQ(walked.Chunks.size(), 3u) << "the complete chunks before the error are kept";
    }
    // Eight zero bytes and one more: a zero-length chunk whose CRC field starts inside the file.
    WalkResult walked = Walk(MinimalPng() + std::string(9, '\0'));
    EXPECT_EQ(walked.Error, 0);
    EXPECT_EQ(walked.Chunks.size(), 4u);
}

TEST(WalkChunks, DataRunningPastTheEndEndsInError62)
{
    std::string file = Signature() + Chunk("IHDR", std::string(13, 'h')) + BigEndian(100) + "IDAT" + "short";
    WalkResult walked = Walk(file);
    EXPECT_EQ(walked.Error, 62);
    ASSERT_EQ(walked.Chunks.size(), 1u);
    EXPECT_EQ(walked.Chunks[0].NameStr, L"IHDR");
}

TEST(WalkChunks, LengthWithTheTopBitSetEndsTheWalkWithError6)
{
    for (uint32_t length : {0x80000000u, 0xFFFFFFF4u, 0xFFFFFFFFu}) {
        std::string file = Signature() + Chunk("IHDR", std::string(13, 'h')) + BigEndian(length) + "IDAT" +
                           std::string(64, 'd');
        CountingSource source(file);
        WalkResult walked = Walk(source);
        EXPECT_EQ(walked.Error, 6) << std::hex << length;
        EXPECT_EQ(walked.Chunks.size(), 1u);
        EXPECT_LE(source.Reads, 6) << "the walk must not go backwards and repeat";
    }
}

TEST(WalkChunks, PositionPastTwoGigabytesIsAnOverflow)
{
    std::string file = Signature() + BigEndian(0x7FFFFFF0u) + "IDAT" + std::string(16, 'd');
    EXPECT_EQ(Walk(file).Error, 6);
}

TEST(WalkChunks, FilesOverTwoGigabytesAreRefusedBeforeReading)
{
    CountingSource source(MinimalPng(), 0x80000000LL + 100);
    WalkResult walked = Walk(source);
    EXPECT_EQ(walked.Error, 6);
    EXPECT_TRUE(walked.Chunks.empty());
    EXPECT_EQ(source.Reads, 0);
}
