// tovFSO: the description of one file, kept in the "Descript.ion" file of
// its folder. Each call reads that file into a fresh tovDescriptIon and,
// when it changes anything, writes the whole file back.
#include "classes/tovFSO.h"

#include "files/FileAccess.h"
#include "metadata/tovDescriptIon.h"

#include <tovrin/CodePage.h>
#include <tovrin/tovrinsupportfbe.h>

namespace tovrin {

namespace {

// The folder's descriptions, read; null when the description file cannot be
// read (a missing one reads as an empty list).
struct FolderDescriptions {
    ComPtr<tovDescriptIon> List;
    Bstr Folder;
    Bstr Name;
};

// The file is named as the file members name it: its full path, the last
// component the name. A name with a NUL names no file: no list. A name that
// leaves no file name (blanks only, which the system cannot make a full
// path of; a folder's path) has nothing to describe: an empty list that no
// file is read into or written from.
FolderDescriptions ReadFolderOf(BSTR fileName)
{
    FolderDescriptions read;
    const std::optional<std::wstring> name = CheckedFileName(fileName);
    if (!name)
        return read;
    const size_t last = name->rfind(L'\\');
    if (last == std::wstring::npos || last + 1 == name->size()) {
        read.List = tovDescriptIon::Create();
        return read;
    }
    const Bstr checked = Bstr::From(*name);
    Check(esGetFilePath(checked.get(), read.Folder.put()));
    ComPtr<tovDescriptIon> list = tovDescriptIon::Create();
    VARIANT_BOOL ok = VARIANT_FALSE;
    Check(list->ReadDirectoryFile(read.Folder.get(), &ok));
    if (!ok)
        return read;
    Check(esGetFileName(checked.get(), VARIANT_FALSE, read.Name.put()));
    read.List = std::move(list);
    return read;
}

bool WriteBack(const FolderDescriptions& read)
{
    VARIANT_BOOL written = VARIANT_FALSE;
    Check(read.List->WriteDirectoryFile(read.Folder.get(), &written));
    return written != VARIANT_FALSE;
}

// Whether the text comes back unchanged through the OEM code page.
bool SurvivesOem(BSTR text)
{
    std::wstring original = Bstr::ToString(text);
    return FromCodePage(CP_OEMCP, ToCodePage(CP_OEMCP, original)) == original;
}

} // namespace

HRESULT STDMETHODCALLTYPE tovFSO::GetFileDescription(BSTR FileName, BSTR* RetVal)
{
    return Member(RetVal, [&] {
        FolderDescriptions read = ReadFolderOf(FileName);
        Bstr description;
        if (read.List)
            Check(read.List->get_ItemDescriptionByFileName(read.Name.get(), description.put()));
        return description;
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileDescription(BSTR FileName, BSTR DescriptionText, VARIANT_BOOL* RetVal)
{
    return SetFileDescription2(FileName, DescriptionText, VARIANT_TRUE, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFSO::SetFileDescription2(BSTR FileName, BSTR DescriptionText, VARIANT_BOOL AutoUTF8Mode,
                                                      VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        FolderDescriptions read = ReadFolderOf(FileName);
        if (!read.List)
            return false;
        // A change that changes nothing (the same description, no name)
        // leaves the file as it is.
        if (read.Name.length() == 0 || read.List->Holds(read.Name.str(), Bstr::ToString(DescriptionText)))
            return true;
        Check(read.List->AddItem(read.Name.get(), DescriptionText));
        VARIANT_BOOL utf8 = VARIANT_FALSE;
        Check(read.List->get_UTF8Mode(&utf8));
        // A description or a name the OEM code page cannot hold turns the
        // whole file to UTF-8, for good: nothing is ever written as "?".
        if (AutoUTF8Mode && !utf8 && (!SurvivesOem(DescriptionText) || !SurvivesOem(read.Name.get())))
            Check(read.List->put_UTF8Mode(VARIANT_TRUE));
        return WriteBack(read);
    });
}

HRESULT STDMETHODCALLTYPE tovFSO::DeleteFileDescription(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        FolderDescriptions read = ReadFolderOf(FileName);
        if (!read.List)
            return false;
        VARIANT_BOOL removed = VARIANT_FALSE;
        Check(read.List->RemoveItemByFileName(read.Name.get(), &removed));
        return !removed || WriteBack(read); // nothing removed, nothing to write
    });
}

} // namespace tovrin
