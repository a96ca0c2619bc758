#include "information/VersionResource.h"

#include "files/FileAccess.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace tovrin {

namespace {

// One record of a version block: a length, a value length, a type (1 for
// text, whose value length counts characters), a key ending in NUL, the
// value and the child records, each part starting on a 4-byte boundary.
struct VersionNode {
    size_t Length = 0;
    std::wstring Key;
    size_t Value = 0, ValueSize = 0; // offsets from the record's start
    size_t Children = 0;
};

size_t Align4(size_t offset)
{
    return (offset + 3) & ~static_cast<size_t>(3);
}

WORD WordAt(const uint8_t* bytes)
{
    WORD value = 0;
    std::memcpy(&value, bytes, sizeof(value));
    return value;
}

// The record at begin, which has room bytes; false when it does not fit.
bool ParseNode(const uint8_t* begin, size_t room, VersionNode& node)
{
    if (room < 6)
        return false;
    const size_t length = WordAt(begin), valueLength = WordAt(begin + 2), type = WordAt(begin + 4);
    if (length < 6 || length > room)
        return false;
    size_t end = 6;
    node.Key.clear();
    for (;; end += 2) {
        if (end + 2 > length)
            return false; // the key runs past the record
        const wchar_t c = static_cast<wchar_t>(WordAt(begin + end));
        if (c == L'\0')
            break;
        node.Key += c;
    }
    node.Length = length;
    node.Value = std::min(Align4(end + 2), length);
    // Text values count characters (some tools write bytes); a value that
    // runs past its record is a record that does not hold together.
    const size_t space = length - node.Value;
    node.ValueSize = type == 1 && valueLength * 2 > space ? valueLength : (type == 1 ? valueLength * 2 : valueLength);
    if (node.ValueSize > space)
        return false;
    node.Children = std::min(Align4(node.Value + node.ValueSize), length);
    return true;
}

} // namespace

std::optional<std::vector<uint8_t>> VersionValue(const std::vector<uint8_t>& block, const std::wstring& path)
{
    VersionNode node;
    const uint8_t* begin = block.data();
    if (!ParseNode(begin, block.size(), node))
        return std::nullopt;
    for (size_t position = 1; position < path.size();) {
        size_t next = path.find(L'\\', position);
        if (next == std::wstring::npos)
            next = path.size();
        const std::wstring wanted = path.substr(position, next - position);
        position = next + 1;
        bool found = false;
        for (size_t child = node.Children; child + 6 <= node.Length && !found;) {
            VersionNode candidate;
            if (!ParseNode(begin + child, node.Length - child, candidate))
                return std::nullopt;
            if (::CompareStringOrdinal(candidate.Key.c_str(), -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL) {
                begin += child;
                node = candidate;
                found = true;
            }
            child = Align4(child + candidate.Length);
        }
        if (!found)
            return std::nullopt;
    }
    if (node.ValueSize == 0)
        return std::nullopt;
    return std::vector<uint8_t>(begin + node.Value, begin + node.Value + node.ValueSize);
}

// The four steps of reading; any failure gives nothing.
std::optional<VersionResource> ReadVersionResource(const std::wstring& fileName)
{
    const std::wstring name = LongForm(fileName);
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(name.c_str(), &handle);
    if (size == 0)
        return std::nullopt;
    VersionResource resource;
    resource.Block.assign(size, 0);
    if (!::GetFileVersionInfoW(name.c_str(), handle, size, resource.Block.data()))
        return std::nullopt;
    const std::optional<std::vector<uint8_t>> fixed = VersionValue(resource.Block, L"\\");
    if (!fixed || fixed->size() != sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    std::memcpy(&resource.Fixed, fixed->data(), sizeof(resource.Fixed));
    const std::optional<std::vector<uint8_t>> translation = VersionValue(resource.Block, L"\\VarFileInfo\\Translation");
    if (!translation || translation->size() % 4 != 0)
        return std::nullopt;
    // Only the first entry counts: its low word is the language, its high
    // word the code page.
    std::memcpy(&resource.Language, translation->data(), 2);
    std::memcpy(&resource.CodePage, translation->data() + 2, 2);
    return resource;
}

std::optional<std::wstring> VersionString(const VersionResource& resource, const std::wstring& name)
{
    wchar_t key[9];
    std::swprintf(key, 9, L"%04X%04X", resource.Language, resource.CodePage);
    const std::optional<std::vector<uint8_t>> text =
        VersionValue(resource.Block, std::wstring(L"\\StringFileInfo\\") + key + L"\\" + name);
    if (!text)
        return std::nullopt;
    std::wstring value(text->size() / 2, L'\0');
    std::memcpy(&value[0], text->data(), value.size() * sizeof(wchar_t));
    value.resize(std::wcslen(value.c_str())); // up to the terminating NUL
    return value;
}

std::wstring LanguageName(uint16_t language)
{
    wchar_t name[1025] = {};
    ::VerLanguageNameW(language, name, 1024);
    return std::wstring(name, wcsnlen(name, 1024));
}

} // namespace tovrin
