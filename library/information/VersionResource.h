// A file's version resource as plain data: the whole block, its fixed
// information and its first translation, read once; its values are found by
// our own walk of the block's records, each checked to lie inside its
// parent. The platform never parses the block: a malformed one cannot make
// it write or read outside it. tovFileVersion shows what is read here.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovrin {

struct VersionResource {
    std::vector<uint8_t> Block; // as the file holds it; empty for none
    VS_FIXEDFILEINFO Fixed = {};
    // Of the first translation, the only one that counts.
    uint16_t Language = 0;
    uint16_t CodePage = 0;
};

// The version resource of a file (a full name); nothing when the file has
// none, or one without fixed information or a translation.
std::optional<VersionResource> ReadVersionResource(const std::wstring& fileName);

// A value of the block under a path of keys ("\\", "\\VarFileInfo\\Translation"),
// compared without regard to case: its bytes, none when there is none or the
// block does not hold together.
std::optional<std::vector<uint8_t>> VersionValue(const std::vector<uint8_t>& block, const std::wstring& path);

// A standard string ("CompanyName") of the first translation's table, up to
// its terminating NUL; nothing when the table has none.
std::optional<std::wstring> VersionString(const VersionResource& resource, const std::wstring& name);

// The language's name as the system gives it.
std::wstring LanguageName(uint16_t language);

} // namespace tovrin
