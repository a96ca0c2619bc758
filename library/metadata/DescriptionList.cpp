#include "metadata/DescriptionList.h"

#include "com/Member.h"
#include "files/FileAccess.h"
#include "files/FileReader.h"
#include "files/FileSystem.h"

#include <tovrin/CodePage.h>
#include <tovrin/ErrorNumbers.h>

#include <algorithm>

namespace tovrin {

namespace {

const char Utf8Mark[] = "\xEF\xBB\xBF";

std::wstring Folded(const std::wstring& name)
{
    std::wstring key = name;
    if (!key.empty())
        ::CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

// The white space the support library's trim removes: U+0000, tab, LF, VT,
// FF, CR and blank, all single bytes in the OEM code pages and in UTF-8.
bool IsBlank(char c)
{
    return c == 0 || c == ' ' || (c >= '\t' && c <= '\r');
}

// ReplaceFileW failed. Where it stopped decides where the files are (its
// documentation): the old file still in place with the new one beside it,
// or the old file under the backup name and the new one under its own. The
// target's name gets a file back, the new one where it can, else the old
// one; what is left beside it goes. Nothing goes while it is the only copy.
bool RecoverFailedReplace(const std::wstring& target, const std::wstring& temporary, const std::wstring& backup)
{
    IFileSystem& files = FileSystem();
    bool replaced = false;
    if (files.GetAttributes(target) == INVALID_FILE_ATTRIBUTES) {
        replaced = files.Replace(temporary, target);
        if (!replaced && !files.Replace(backup, target))
            return false; // both stay, under the names the system left them
    }
    files.Delete(temporary);
    files.Delete(backup);
    return replaced;
}

// Writes the bytes to a new file beside the target, flushes them and puts
// the file in the target's place, so that a write that fails half-way (a
// full disk, a network drive gone) leaves the old file as it was. An existing
// target is replaced in place (ReplaceFileW), so that it keeps its security,
// alternate streams, hard links and the letter case of its name.
bool ReplaceContent(const std::wstring& target, const std::string& content, bool targetExists)
{
    IFileSystem& files = FileSystem();
    std::wstring temporary, backup;
    Handle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        const std::wstring stem = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(attempt);
        temporary = stem + L".tmp";
        backup = stem + L".bak";
        if (files.GetAttributes(backup) != INVALID_FILE_ATTRIBUTES)
            continue; // someone's file: never the backup
        file.reset(files.Open(temporary, GENERIC_WRITE, 0, CREATE_NEW));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    if (!file)
        return false;
    bool written = true;
    for (size_t done = 0; written && done < content.size();) {
        DWORD piece = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1 << 20));
        DWORD count = 0;
        written = files.Write(file.get(), content.data() + done, piece, &count) && count == piece;
        done += count;
    }
    written = written && files.Flush(file.get());
    file.reset();
    if (!written) {
        files.Delete(temporary);
        return false;
    }
    if (!targetExists) {
        if (files.Replace(temporary, target))
            return true;
        files.Delete(temporary);
        return false;
    }
    if (!files.ReplaceExisting(temporary, target, backup))
        return RecoverFailedReplace(target, temporary, backup);
    files.Delete(backup);
    return true;
}

} // namespace

std::optional<std::wstring> DescriptionFileOf(const std::optional<std::wstring>& folder)
{
    if (!folder)
        return std::nullopt;
    return JoinFileName(*folder, L"Descript.ion");
}

void DescriptionList::Clear()
{
    m_entries.clear();
    m_slots.clear();
    m_removed = 0;
    m_fileName.clear();
    m_utf8Mode = false;
}

std::ptrdiff_t DescriptionList::SlotOf(const std::wstring& name) const
{
    auto found = m_slots.find(Folded(name));
    return found == m_slots.end() ? -1 : static_cast<std::ptrdiff_t>(found->second);
}

const DescriptionList::Entry* DescriptionList::Find(const std::wstring& name) const
{
    const std::ptrdiff_t slot = SlotOf(name);
    return slot < 0 ? nullptr : &m_entries[static_cast<size_t>(slot)].Kept;
}

bool DescriptionList::Holds(const std::wstring& name, const std::wstring& description) const
{
    const Entry* entry = Find(name);
    if (!entry)
        return description.empty();
    return entry->Name == name && entry->Description == description;
}

void DescriptionList::Append(const std::wstring& name, const std::wstring& description)
{
    std::wstring key = Folded(name);
    m_slots.emplace(key, m_entries.size());
    m_entries.push_back({{name, description}, std::move(key)});
}

void DescriptionList::Add(const std::wstring& name, const std::wstring& description)
{
    if (name.empty())
        return;
    Remove(name);
    if (!description.empty())
        Append(name, description);
}

bool DescriptionList::Remove(long index)
{
    if (!At(index))
        return false;
    RemoveSlot(static_cast<size_t>(index)); // At closed the gaps: positions are slots
    return true;
}

bool DescriptionList::Remove(const std::wstring& name)
{
    const std::ptrdiff_t slot = SlotOf(name);
    if (slot < 0)
        return false;
    RemoveSlot(static_cast<size_t>(slot));
    return true;
}

void DescriptionList::RemoveSlot(size_t slot)
{
    Slot& removed = m_entries[slot];
    m_slots.erase(removed.Key);
    removed = Slot();
    ++m_removed;
    // A long run of replacements leaves gaps: close them before they
    // outnumber the entries.
    if (m_removed > 1024 && m_removed > m_entries.size() / 2)
        CloseGaps();
}

void DescriptionList::CloseGaps()
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [](const Slot& s) { return s.Key.empty(); }),
                    m_entries.end());
    for (size_t slot = 0; slot < m_entries.size(); ++slot)
        m_slots[m_entries[slot].Key] = slot;
    m_removed = 0;
}

const DescriptionList::Entry* DescriptionList::At(long index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size() - m_removed)
        return nullptr;
    if (m_removed > 0)
        CloseGaps();
    return &m_entries[static_cast<size_t>(index)].Kept;
}

// One line of a description file, split on its bytes: a name (bare up to
// the first blank or tab, or between double quotes), then the description,
// trimmed. Lines that do not have this shape are skipped, and so is a second
// line for a name.
void DescriptionList::Parse(const char* line, size_t length)
{
    if (length == 0 || line[0] == ' ' || line[0] == '\t')
        return;
    const char* end = line + length;
    const char* separator = line[0] == '"' ? std::find(line + 1, end, '"')
                                           : std::find_if(line, end, [](char c) { return c == ' ' || c == '\t'; });
    if (separator == end)
        return;
    const char* nameStart = line;
    const char* nameEnd = separator;
    if (nameStart < nameEnd && *nameStart == '"')
        ++nameStart;
    if (nameStart < nameEnd && nameEnd[-1] == '"')
        --nameEnd;
    if (nameStart == nameEnd)
        return;
    const char* text = separator + 1;
    while (text < end && IsBlank(*text))
        ++text;
    while (end > text && IsBlank(end[-1]))
        --end;
    if (end - text == 1 && *text == '"')
        return;
    const UINT codePage = m_utf8Mode ? CP_UTF8 : CP_OEMCP;
    std::wstring name, description;
    if (!TryFromCodePage(codePage, nameStart, static_cast<size_t>(nameEnd - nameStart), name) ||
        !TryFromCodePage(codePage, text, static_cast<size_t>(end - text), description))
        return; // a part that does not decode: the line is skipped
    if (SlotOf(name) < 0)
        Append(name, description);
}

bool DescriptionList::Read(const std::optional<std::wstring>& fileName)
{
    Clear();
    if (!fileName)
        return false;
    std::string bytes;
    const long failure = ErrorNumberOf([&] { bytes = ReadWholeFile(*fileName); });
    if (failure == ErrFileNotFound) {
        m_fileName = *fileName; // no file yet: an empty list
        return true;
    }
    if (failure != 0)
        return false;
    size_t position = 0;
    if (bytes.compare(0, 3, Utf8Mark) == 0) {
        m_utf8Mode = true;
        position = 3;
    }
    // A line ends at CR LF or at a lone CR; a lone LF belongs to its line.
    while (position < bytes.size()) {
        size_t end = bytes.find('\r', position);
        if (end == std::string::npos)
            end = bytes.size();
        Parse(bytes.data() + position, end - position);
        position = end + 1;
        if (position < bytes.size() && bytes[position] == '\n')
            ++position;
    }
    m_fileName = *fileName;
    return true;
}

std::string DescriptionList::Encode(const std::wstring& text) const
{
    return ToCodePage(m_utf8Mode ? CP_UTF8 : CP_OEMCP, text);
}

std::string DescriptionList::Content() const
{
    std::string content = m_utf8Mode ? Utf8Mark : "";
    for (const Slot& slot : m_entries) {
        if (slot.Key.empty())
            continue;
        std::string encodedName = Encode(slot.Kept.Name);
        if (encodedName.find_first_of(" \t") != std::string::npos)
            encodedName = '"' + encodedName + '"';
        content += encodedName;
        content += ' ';
        content += Encode(slot.Kept.Description);
        content += "\r\n";
    }
    return content;
}

// Writes every entry, then leaves the file hidden; an empty list deletes the
// file. Nothing is raised for a file that cannot be written: the result is
// False, and the file that was there keeps its bytes and its attributes.
bool DescriptionList::Write(const std::optional<std::wstring>& fileName) const
{
    if (!fileName)
        return false;
    const std::wstring name = fileName->empty() ? m_fileName : *fileName;
    if (name.empty())
        return false;
    IFileSystem& files = FileSystem();
    const DWORD attributes = files.GetAttributes(name);
    files.SetAttributes(name, FILE_ATTRIBUTE_NORMAL);
    bool done = false;
    if (Count() == 0) {
        done = attributes == INVALID_FILE_ATTRIBUTES || files.Delete(name);
    } else {
        // Once the content is in place the write has succeeded, whatever
        // the attribute step does after it.
        done = ReplaceContent(name, Content(), attributes != INVALID_FILE_ATTRIBUTES);
        if (done)
            files.SetAttributes(name, FILE_ATTRIBUTE_HIDDEN);
    }
    if (!done && attributes != INVALID_FILE_ATTRIBUTES)
        files.SetAttributes(name, attributes);
    return done;
}

} // namespace tovrin
