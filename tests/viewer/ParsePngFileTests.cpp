// ParsePNGFile on real files: the rows and records it makes, and what the user
// sees for every kind of bad input. The boxes are recorded by the doubles.
#include "Png.h"
#include "TestFiles.h"
#include "VeskarDoubles.h"

#include <modPNG.h>

#include <tovrin/Unique.h>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const wchar_t* const ParseMessage = L"\r\n\r\nError occured during PNG file parsing.";
const wchar_t* const SignatureMessage = L"\r\n\r\nCan't parse file: invalid PNG signature.";

struct Row {
    std::wstring Text, Offset, Size, Crc, Key;
};

class RecordingList final : public veskar::IChunkList {
public:
    void Clear() override
    {
        Rows.clear();
        ++Clears;
    }
    void AddRow(const std::wstring& text, const std::wstring& offset, const std::wstring& size, const std::wstring& crc,
                const std::wstring& key) override
    {
        Rows.push_back({text, offset, size, crc, key});
    }
    int RowCount() const override { return static_cast<int>(Rows.size()); }
    void SelectFirstRow() override { FirstSelected = true; }

    std::vector<Row> Rows;
    int Clears = 0;
    bool FirstSelected = false;
};

class ParsePNGFile : public ::testing::Test {
protected:
    void Parse(const std::wstring& path) { veskar::ParsePNGFile(path, m_list, m_chunks); }

    void ExpectParseError(const std::wstring& path, long number)
    {
        ASSERT_EQ(m_objects.Errors.size(), 1u);
        EXPECT_EQ(m_objects.Errors[0].Error.Number, number);
        EXPECT_EQ(m_objects.Errors[0].Style, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(m_objects.Errors[0].Message, path + ParseMessage);
        EXPECT_TRUE(m_objects.Messages.empty());
    }

    TestObjects m_objects;
    TempFolder m_folder;
    RecordingList m_list;
    veskar::ChunkCollection m_chunks;
};

} // namespace

TEST_F(ParsePNGFile, FillsRowsAndRecordsWithMatchingKeys)
{
    std::wstring path = m_folder / L"with blanks in name.png";
    std::string file = MinimalPng();
    WriteBytes(path, file);
    Parse(path);

    EXPECT_TRUE(m_objects.Errors.empty());
    EXPECT_TRUE(m_objects.Messages.empty());
    ASSERT_EQ(m_list.Rows.size(), 3u);
    EXPECT_EQ(m_list.Rows[0].Text, L"IHDR");
    EXPECT_EQ(m_list.Rows[0].Offset, L"0x00000008");
    EXPECT_EQ(m_list.Rows[0].Size, L"13 bytes");
    wchar_t crc[16] = {};
    swprintf(crc, 16, L"0x%08X", IndependentWalk(file)[0].Crc);
    EXPECT_EQ(m_list.Rows[0].Crc, crc);
    EXPECT_EQ(m_list.Rows[2].Text, L"IEND");
    EXPECT_EQ(m_list.Rows[2].Size, L"0 bytes");
    EXPECT_TRUE(m_list.FirstSelected);

    ASSERT_EQ(m_chunks.Count(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m_list.Rows[i].Key, std::to_wstring(i));
        const veskar::CChunk* chunk = m_chunks.Item(m_list.Rows[i].Key);
        ASSERT_NE(chunk, nullptr);
        EXPECT_EQ(chunk->NameStr, m_list.Rows[i].Text);
    }
    EXPECT_EQ(m_chunks.Item(L"2")->Offset, 8 + 25 + 22);
}

TEST_F(ParsePNGFile, ASecondWalkReplacesTheFirst)
{
    std::wstring first = m_folder / L"first.png";
    std::wstring second = m_folder / L"second.png";
    WriteBytes(first, MinimalPng());
    WriteBytes(second, Signature() + Chunk("IEND", ""));
    Parse(first);
    Parse(second);
    ASSERT_EQ(m_list.Rows.size(), 1u);
    EXPECT_EQ(m_list.Rows[0].Key, L"0");
    EXPECT_EQ(m_chunks.Count(), 1u);
}

TEST_F(ParsePNGFile, MissingFileIsError53)
{
    std::wstring path = m_folder / L"missing.png";
    Parse(path);
    ExpectParseError(path, 53);
    EXPECT_EQ(m_objects.Errors[0].Error.Description, L"File not found");
    EXPECT_TRUE(m_list.Rows.empty());
    EXPECT_FALSE(m_list.FirstSelected);
}

TEST_F(ParsePNGFile, FileLockedByAnotherHandleIsError70)
{
    std::wstring path = m_folder / L"locked.png";
    WriteBytes(path, MinimalPng());
    tovrin::Handle lock(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.valid());
    Parse(path);
    ExpectParseError(path, 70);
    EXPECT_TRUE(m_list.Rows.empty());
}

TEST_F(ParsePNGFile, WrongOrShortSignatureShowsTheSignatureMessage)
{
    std::string signature = Signature();
    std::vector<std::string> files = {"", "GIF89a\0\0 and more", signature.substr(0, 7) + 'X'};
    for (size_t n = 1; n <= 7; ++n)
        files.push_back(signature.substr(0, n));
    for (const std::string& bytes : files) {
        SCOPED_TRACE(bytes.size());
        m_objects.Messages.clear();
        std::wstring path = m_folder / L"bad.png";
        WriteBytes(path, bytes);
        Parse(path);
        ASSERT_EQ(m_objects.Messages.size(), 1u);
        EXPECT_EQ(m_objects.Messages[0].Text, path + SignatureMessage);
        EXPECT_EQ(m_objects.Messages[0].Style, static_cast<UINT>(MB_ICONERROR | MB_OK));
        EXPECT_TRUE(m_objects.Errors.empty());
        EXPECT_TRUE(m_list.Rows.empty());
    }
}

TEST_F(ParsePNGFile, SignatureOnlyIsAnEmptyListWithoutMessages)
{
    std::wstring path = m_folder / L"empty.png";
    WriteBytes(path, Signature());
    Parse(path);
    EXPECT_TRUE(m_objects.Messages.empty());
    EXPECT_TRUE(m_objects.Errors.empty());
    EXPECT_TRUE(m_list.Rows.empty());
}

TEST_F(ParsePNGFile, TruncatedDataKeepsEarlierRowsAndReports62)
{
    std::wstring path = m_folder / L"cut.png";
    std::string file = MinimalPng();
    WriteBytes(path, file.substr(0, file.size() - 20));
    Parse(path);
    ExpectParseError(path, 62);
    ASSERT_EQ(m_list.Rows.size(), 1u);
    EXPECT_EQ(m_chunks.Count(), 1u);
    EXPECT_TRUE(m_list.FirstSelected);
}

TEST_F(ParsePNGFile, TopBitLengthReportsAnOverflowAfterEarlierRows)
{
    std::wstring path = m_folder / L"negative.png";
    WriteBytes(path, Signature() + Chunk("IHDR", std::string(13, 'h')) + BigEndian(0x80000010u) + "IDAT" +
                         std::string(40, 'd'));
    Parse(path);
    ExpectParseError(path, 6);
    EXPECT_EQ(m_list.Rows.size(), 1u);
}

TEST_F(ParsePNGFile, SparseFileOverTwoGigabytesIsRefusedClearly)
{
    std::wstring path = m_folder / L"huge.png";
    WriteBytes(path, MinimalPng());
    {
        tovrin::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file.valid());
        LARGE_INTEGER end = {};
        end.QuadPart = 0x90000000LL; // 2.25 GiB, mostly a hole
        ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.get()));
    }
    Parse(path);
    ExpectParseError(path, 6);
    EXPECT_NE(m_objects.Errors[0].Error.Description.find(L"larger than 2,147,483,647 bytes"), std::wstring::npos);
    EXPECT_TRUE(m_list.Rows.empty());
}
