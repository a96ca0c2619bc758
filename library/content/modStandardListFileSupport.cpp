#include "content/modStandardListFileSupport.h"

#include "files/FileReader.h"

#include <tovrin/CodePage.h>
#include <tovrin/Trim.h>

namespace tovrin {

namespace {

std::wstring Upper(const wchar_t* text, size_t length)
{
    std::wstring upper(text, length);
    if (!upper.empty())
        ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

} // namespace

std::vector<std::wstring> LoadStandardListFile(const std::wstring& fileName, bool isOem,
                                               const std::wstring& commentChar, bool ignoreBlanks, bool trimStrings)
{
    std::vector<std::wstring> entries;
    std::string bytes = ReadWholeFile(fileName, FILE_SHARE_READ); // others may read, not write
    std::wstring text = FromCodePage(CP_ACP, bytes);
    bytes = std::string();

    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find(L'\r', position);
        if (end == std::wstring::npos)
            end = text.size();
        const wchar_t* line = text.data() + position;
        size_t length = end - position;
        position = end + 1;
        if (position < text.size() && text[end] == L'\r' && text[position] == L'\n')
            ++position;

        size_t first = 0, last = 0;
        TrimBounds(line, length, first, last);
        const wchar_t* trimmed = line + first;
        size_t trimmedLength = last - first;
        if (trimmedLength == 0 && ignoreBlanks)
            continue;
        if (!commentChar.empty() && trimmedLength >= commentChar.size() &&
            std::wstring::traits_type::compare(trimmed, commentChar.data(), commentChar.size()) == 0)
            continue;
        if (trimStrings) {
            line = trimmed;
            length = trimmedLength;
        }
        if (isOem) // the line's characters stand for bytes of the OEM code page
            entries.push_back(FromCodePage(CP_OEMCP, ToCodePage(CP_ACP, line, length)));
        else
            entries.emplace_back(line, length);
    }
    return entries;
}

std::vector<std::wstring> SplitStandardList(const wchar_t* text, size_t length, const std::wstring& commentChar,
                                            bool ignoreBlanks, bool trimStrings)
{
    const std::wstring comment = Upper(commentChar.data(), commentChar.size());
    std::vector<std::wstring> entries;
    for (size_t position = 0; length > 0 && position <= length;) {
        size_t end = position;
        while (end < length && !(text[end] == L'\r' && end + 1 < length && text[end + 1] == L'\n'))
            ++end;
        const wchar_t* line = text + position;
        size_t lineLength = end - position;
        position = end + 2;
        if (trimStrings) {
            size_t first = 0, last = 0;
            TrimBounds(line, lineLength, first, last);
            line += first;
            lineLength = last - first;
        }
        if (ignoreBlanks && lineLength == 0)
            continue;
        if (!comment.empty() && lineLength >= comment.size() && Upper(line, comment.size()) == comment)
            continue;
        entries.emplace_back(line, lineLength);
    }
    return entries;
}

} // namespace tovrin
