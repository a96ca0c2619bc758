// The version block's own walk without COM, on blocks built here record by
// record: each value is found where the lengths say, and a length that
// reaches outside its parent finds nothing instead of reading past it.
#include "information/VersionResource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Pad(Bytes& bytes)
{
    while (bytes.size() % 4)
        bytes.push_back(0);
}

void PutWord(Bytes& bytes, size_t at, size_t value)
{
    const uint16_t word = static_cast<uint16_t>(value);
    std::memcpy(&bytes[at], &word, 2);
}

// One record: length, value length (in characters for text), type, the key
// with its NUL, the value and the children, each part on a 4-byte boundary.
Bytes Record(const std::wstring& key, const Bytes& value, bool text, const std::vector<Bytes>& children = {})
{
    Bytes bytes(6, 0);
    for (wchar_t c : key + L'\0') {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    Pad(bytes);
    bytes.insert(bytes.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        Pad(bytes);
        bytes.insert(bytes.end(), child.begin(), child.end());
    }
    PutWord(bytes, 0, bytes.size());
    PutWord(bytes, 2, text ? value.size() / 2 : value.size());
    PutWord(bytes, 4, text ? 1 : 0);
    return bytes;
}

Bytes Text(const std::wstring& text)
{
    Bytes bytes;
    for (wchar_t c : text + L'\0') {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

Bytes Block()
{
    const Bytes fixed(sizeof(VS_FIXEDFILEINFO), 0x5A);
    const Bytes table =
        Record(L"040904B0", {}, true, {Record(L"CompanyName", Text(L"Tovrin"), true), Record(L"Comments", {}, true)});
    return Record(L"VS_VERSION_INFO", fixed, false,
                  {Record(L"StringFileInfo", {}, true, {table}),
                   Record(L"VarFileInfo", {}, true, {Record(L"Translation", {0x09, 0x04, 0xB0, 0x04}, false)})});
}

TEST(VersionValue, KeysAreFoundWithoutRegardToCase)
{
    const Bytes block = Block();
    const auto fixed = tovrin::VersionValue(block, L"\\");
    ASSERT_TRUE(fixed);
    EXPECT_EQ(*fixed, Bytes(sizeof(VS_FIXEDFILEINFO), 0x5A));
    const auto company = tovrin::VersionValue(block, L"\\stringfileinfo\\040904b0\\COMPANYNAME");
    ASSERT_TRUE(company);
    EXPECT_EQ(*company, Text(L"Tovrin"));
    EXPECT_EQ(tovrin::VersionValue(block, L"\\VarFileInfo\\Translation"), (Bytes{0x09, 0x04, 0xB0, 0x04}));
    EXPECT_FALSE(tovrin::VersionValue(block, L"\\StringFileInfo\\040904B0\\Comments")) << "an empty value is none";
    EXPECT_FALSE(tovrin::VersionValue(block, L"\\StringFileInfo\\040904B0\\ProductName"));
}

TEST(VersionValue, ALengthThatReachesOutsideItsParentFindsNothing)
{
    const Bytes block = Block();
    const std::wstring company = L"\\StringFileInfo\\040904B0\\CompanyName";
    for (size_t cut = 0; cut < block.size(); cut += 2) {
        const Bytes shorter(block.begin(), block.begin() + cut);
        EXPECT_FALSE(tovrin::VersionValue(shorter, company)) << "a block cut to " << cut << " bytes";
    }
    // The root says it is longer than the block; then a child says it is
    // longer than the root.
    Bytes longRoot = block;
    PutWord(longRoot, 0, block.size() + 4);
    EXPECT_FALSE(tovrin::VersionValue(longRoot, L"\\"));
    Bytes longChild = block;
    const size_t child = 4 * ((6 + 2 * 16 + 3) / 4) + sizeof(VS_FIXEDFILEINFO);
    PutWord(longChild, child, block.size());
    EXPECT_FALSE(tovrin::VersionValue(longChild, company));
    EXPECT_TRUE(tovrin::VersionValue(longChild, L"\\")) << "the root itself still holds together";
}

TEST(VersionString, OnlyTheFirstTranslationsTableUpToTheNul)
{
    tovrin::VersionResource resource;
    resource.Block = Block();
    resource.Language = 0x0409;
    resource.CodePage = 0x04B0;
    EXPECT_EQ(tovrin::VersionString(resource, L"CompanyName"), std::wstring(L"Tovrin"));
    resource.CodePage = 1251;
    EXPECT_FALSE(tovrin::VersionString(resource, L"CompanyName"));
}

} // namespace
