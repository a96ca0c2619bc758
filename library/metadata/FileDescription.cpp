#include "metadata/FileDescription.h"

#include "files/FileAccess.h"
#include "metadata/DescriptionList.h"

#include <tovrin/CodePage.h>
#include <tovrin/tovrinsupportfbe.h>

namespace tovrin {

namespace {

// The descriptions of the file's folder, read, and the file's name in it.
struct FolderDescriptions {
    DescriptionList List;
    std::optional<std::wstring> File; // the description file; nothing when there is no name
    std::wstring Name;
};

// Nothing when the description file cannot be read (a missing one reads as
// an empty list) or the name names no file.
std::optional<FolderDescriptions> ReadFolderOf(const std::optional<std::wstring>& file)
{
    if (!file)
        return std::nullopt;
    FolderDescriptions read;
    const size_t last = file->rfind(L'\\');
    if (last == std::wstring::npos || last + 1 == file->size())
        return read;
    const Bstr checked = Bstr::From(*file);
    Bstr folder;
    Check(esGetFilePath(checked.get(), folder.put()));
    read.File = DescriptionFileOf(CheckedFileName(folder.get()));
    if (!read.List.Read(read.File))
        return std::nullopt;
    Bstr name;
    Check(esGetFileName(checked.get(), VARIANT_FALSE, name.put()));
    read.Name = name.str();
    return read;
}

// Whether the text comes back unchanged through the OEM code page.
bool SurvivesOem(const std::wstring& text)
{
    return FromCodePage(CP_OEMCP, ToCodePage(CP_OEMCP, text)) == text;
}

} // namespace

std::wstring DescriptionOf(const std::optional<std::wstring>& file)
{
    const std::optional<FolderDescriptions> read = ReadFolderOf(file);
    const DescriptionList::Entry* entry = read ? read->List.Find(read->Name) : nullptr;
    return entry ? entry->Description : std::wstring();
}

bool Describe(const std::optional<std::wstring>& file, const std::wstring& description, bool autoUtf8)
{
    std::optional<FolderDescriptions> read = ReadFolderOf(file);
    if (!read)
        return false;
    // A change that changes nothing (the same description, no name) leaves
    // the file as it is.
    if (read->Name.empty() || read->List.Holds(read->Name, description))
        return true;
    read->List.Add(read->Name, description);
    // Nothing is ever written as "?": the switch to UTF-8 is for good.
    if (autoUtf8 && !read->List.UTF8Mode() && (!SurvivesOem(description) || !SurvivesOem(read->Name)))
        read->List.SetUTF8Mode(true);
    return read->List.Write(read->File);
}

bool RemoveDescription(const std::optional<std::wstring>& file)
{
    std::optional<FolderDescriptions> read = ReadFolderOf(file);
    if (!read)
        return false;
    return !read->List.Remove(read->Name) || read->List.Write(read->File); // nothing removed, nothing to write
}

} // namespace tovrin
