#include "search/tovFoundedFiles.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupport.h>
#include <tovrin/tovrinsupportfbe.h>

#include <shlwapi.h>

#include <algorithm>
#include <optional>
#include <cwchar>

namespace tovrin {

namespace {

// A find handle of the seam, closed when the listing ends, however it ends.
class Listing {
public:
    explicit Listing(HANDLE find) : m_find(find) {}
    ~Listing() { Close(); }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    bool Opened() const { return m_find != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& entry) { return FileSystem().FindNext(m_find, &entry); }
    void Close()
    {
        if (Opened())
            FileSystem().FindClose(m_find);
        m_find = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_find;
};

std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The record's folder when the search named the item itself: the path
// without the item's name and one backslash before it, when it ends in the
// name (a short 8.3 spelling does not, and stays as it is).
std::wstring ParentPart(const std::wstring& path, const std::wstring& name)
{
    if (name.size() > path.size() || Upper(path.substr(path.size() - name.size())) != Upper(name))
        return path;
    std::wstring parent = path.substr(0, path.size() - name.size());
    if (!parent.empty() && parent.back() == L'\\')
        parent.pop_back();
    return parent;
}

// A folder's name as the walk compares it: upper case, without a trailing
// backslash (a root keeps its own).
std::wstring Comparable(const std::wstring& name)
{
    std::wstring upper = Upper(name);
    while (upper.size() > 1 && upper.back() == L'\\' && upper[upper.size() - 2] != L':' && upper != L"\\\\")
        upper.pop_back();
    return upper;
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& info, const tovFoundedFiles::Ancestor& ancestor)
{
    return ancestor.HasIdentity && info.dwVolumeSerialNumber == ancestor.Volume &&
           info.nFileIndexHigh == ancestor.IndexHigh && info.nFileIndexLow == ancestor.IndexLow;
}

// Whether the folder is one the walk is already inside: by name always (an
// empty or separator-only name joined to a folder is the folder again), and,
// for a link that is followed, by its target's identity on the volume, so
// that a junction back to an ancestor is not descended again.
bool OnCurrentPath(const std::wstring& folder, bool link, std::vector<tovFoundedFiles::Ancestor>& ancestors)
{
    const std::wstring name = Comparable(folder);
    for (const tovFoundedFiles::Ancestor& ancestor : ancestors)
        if (ancestor.UpperName == name)
            return true;
    if (!link)
        return false;
    BY_HANDLE_FILE_INFORMATION target = {};
    if (!FileSystem().Identity(folder, target))
        return false;
    for (tovFoundedFiles::Ancestor& ancestor : ancestors) {
        if (!ancestor.IdentityKnown) {
            BY_HANDLE_FILE_INFORMATION info = {};
            ancestor.HasIdentity = FileSystem().Identity(ancestor.UpperName, info);
            ancestor.Volume = info.dwVolumeSerialNumber;
            ancestor.IndexHigh = info.nFileIndexHigh;
            ancestor.IndexLow = info.nFileIndexLow;
            ancestor.IdentityKnown = true;
        }
        if (SameIdentity(target, ancestor))
            return true;
    }
    return false;
}

// A flag that holds while its scope runs, however the scope ends.
class Raised {
public:
    explicit Raised(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Raised() { m_flag = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& m_flag;
};

// The folder a level lists, on the current path while the level runs.
class Entered {
public:
    Entered(std::vector<tovFoundedFiles::Ancestor>& ancestors, const std::wstring& folder) : m_ancestors(ancestors)
    {
        tovFoundedFiles::Ancestor ancestor;
        ancestor.UpperName = Comparable(folder);
        m_ancestors.push_back(std::move(ancestor));
    }
    ~Entered() { m_ancestors.pop_back(); }
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;

private:
    std::vector<tovFoundedFiles::Ancestor>& m_ancestors;
};

} // namespace

void tovFoundedFiles::Empty()
{
    m_items.Clear();
    m_hasSubItems = false;
}

ComPtr<FoundedFile> tovFoundedFiles::Record(const WIN32_FIND_DATAW& entry,
                                            const std::shared_ptr<const std::wstring>& searched,
                                            const Options& options, bool searchWithParent)
{
    const bool directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (directory && (std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0))
        return ComPtr<FoundedFile>();
    ComPtr<FoundedFile> record;
    if (searchWithParent) {
        const std::wstring name(entry.cFileName, wcsnlen(entry.cFileName, MAX_PATH));
        record = FoundedFile::Create(entry, searched, std::make_shared<const std::wstring>(ParentPart(*searched, name)));
    } else {
        record = FoundedFile::Create(entry, searched);
    }
    // A link that is not followed stays a record with nothing below; so does
    // a folder the walk is already inside. Any other reparse point is walked
    // as what it is: a folder a cloud provider keeps (OneDrive's Files
    // On-Demand) holds its files as any folder does.
    if (directory && (!record->IsLink() || options.FollowReparsePoints)) {
        const std::wstring fullName = record->FullName();
        if (!OnCurrentPath(fullName, record->IsLink(), *options.Ancestors))
            record->Children().Search(fullName, options, false);
    }
    return record;
}

bool tovFoundedFiles::Search(const std::wstring& path, const Options& options, bool searchWithParent)
{
    const Raised searching(m_searching);
    m_items.Clear();
    m_path = path;
    m_hasSubItems = true;

    std::wstring pattern = path;
    if (!searchWithParent) {
        Bstr trimmed;
        Check(asTrimEx(Bstr::From(*options.Mask).get(), trimmed.put()));
        if (trimmed.length() > 0)
            pattern = JoinFileName(path, *options.Mask);
    }

    // A drive or share root has no entry of its own to find: it is given one.
    WIN32_FIND_DATAW entry = {};
    const bool root = ::PathIsRootW(pattern.c_str()) != FALSE;
    Listing listing(root || pattern.empty() ? INVALID_HANDLE_VALUE : FileSystem().FindFirst(pattern, &entry));
    if (root) {
        entry.dwFileAttributes = FileSystem().GetAttributes(pattern);
        pattern.copy(entry.cFileName, std::min<size_t>(pattern.size(), MAX_PATH - 1));
    } else if (!listing.Opened()) {
        Empty();
        return false;
    }

    // The folder whose entries this level lists is on the current path; a
    // search that names the item itself lists no folder.
    std::optional<Entered> entered;
    if (!searchWithParent)
        entered.emplace(*options.Ancestors, path);
    const auto searched = std::make_shared<const std::wstring>(path);
    do {
        ComPtr<FoundedFile> record = Record(entry, searched, options, searchWithParent);
        if (!record)
            continue;
        if (record->Cancelled()) {
            // A folder below was cancelled: this level is abandoned too, and
            // so on up to the top, whose search then fails.
            listing.Close();
            m_cancelled = true;
            Empty();
            return false;
        }
        m_items.Add(std::move(record));
    } while (!root && listing.Next(entry));
    listing.Close();

    m_hasSubItems = m_items.Count() > 0;
    m_cancelled = options.Callback->DirectoryCompleted(path);
    return true;
}

double tovFoundedFiles::Size() const
{
    double size = 0;
    for (const ComPtr<FoundedFile>& record : m_items.Items())
        size += record->FileSize();
    return size;
}

HRESULT tovFoundedFiles::AdaptScriptObject(REFIID iid, IDispatch* client, IUnknown** adapted)
{
    *adapted = nullptr;
    if (iid != IID__IFindFilesCallback)
        return S_FALSE;
    return Firewall(iid, IFindFilesCallback::Source, [&] { *adapted = AdaptFindCallback(client).release(); });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_HasSubItems(VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return m_hasSubItems; });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_Path(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_path); });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_Size(double* RetVal)
{
    return Member(RetVal, [&] { return Size(); });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::Refresh(BSTR Path, BSTR Mask, VARIANT_BOOL* RetVal)
{
    return RefreshEx(Path, Mask, VARIANT_TRUE, nullptr, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::RefreshEx(BSTR Path, BSTR Mask, VARIANT_BOOL FollowReparsePoints,
                                                     _IFindFilesCallback* CallBackObject, VARIANT_BOOL* RetVal)
{
    return RefreshEx2(Path, Mask, FollowReparsePoints, CallBackObject, VARIANT_FALSE, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::RefreshEx2(BSTR Path, BSTR Mask, VARIANT_BOOL FollowReparsePoints,
                                                      _IFindFilesCallback* CallBackObject,
                                                      VARIANT_BOOL SearchWithParent, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] {
        // One search at a time: a callback that searches a collection whose
        // search is still running would mix two results.
        if (m_searching)
            throw AutomationError(ErrInvalidCall);
        // The client's callback may drop the last reference to this object.
        ComPtr<tovFoundedFiles> alive = KeepAlive();
        const FindCallback callback(CallBackObject); // refused before the walk starts
        const std::wstring mask = Bstr::ToString(Mask);
        // A path or mask with a NUL names nothing: no search, no callback.
        const std::optional<std::wstring> path = CheckedFileName(Path);
        if (!path || mask.find(L'\0') != std::wstring::npos) {
            Empty();
            return false;
        }
        std::vector<Ancestor> ancestors;
        return Search(*path, {&mask, FollowReparsePoints != VARIANT_FALSE, &callback, &ancestors},
                      SearchWithParent != VARIANT_FALSE);
    });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_Item(long Index, _FoundedFile** RetVal)
{
    return Member(RetVal, [&] {
        if (Index == 2147483647)
            throw AutomationError(ErrOverflow); // the position after it cannot be counted
        return m_items.At(Index);
    });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_Count(long* RetVal)
{
    return Member(RetVal, [&] { return m_items.Count(); });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_NewEnum(IUnknown** RetVal)
{
    return Member(RetVal, [&] { return m_items.NewEnum(); });
}

} // namespace tovrin
