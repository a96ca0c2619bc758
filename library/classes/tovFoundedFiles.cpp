#include "classes/tovFoundedFiles.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"
#include "com/Enumerator.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupport.h>
#include <tovrin/tovrinsupportfbe.h>

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <optional>

namespace tovrin {

namespace {

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

// A folder on the path from the top of the walk down to the folder being
// listed: its name, and its identity on the volume once asked for.
struct Ancestor {
    std::wstring UpperName;
    bool IdentityKnown = false;
    bool HasIdentity = false;
    DWORD Volume = 0, IndexHigh = 0, IndexLow = 0;
};

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& info, const Ancestor& ancestor)
{
    return ancestor.HasIdentity && info.dwVolumeSerialNumber == ancestor.Volume &&
           info.nFileIndexHigh == ancestor.IndexHigh && info.nFileIndexLow == ancestor.IndexLow;
}

// Whether the folder is one the walk is already inside: by name always (an
// empty or separator-only name joined to a folder is the folder again), and,
// for a link that is followed, by its target's identity on the volume, so
// that a junction back to an ancestor is not descended again.
bool OnCurrentPath(const std::wstring& folder, bool link, std::vector<Ancestor>& ancestors)
{
    const std::wstring name = Comparable(folder);
    for (const Ancestor& ancestor : ancestors)
        if (ancestor.UpperName == name)
            return true;
    if (!link)
        return false;
    BY_HANDLE_FILE_INFORMATION target = {};
    if (!FileSystem().Identity(folder, target))
        return false;
    for (Ancestor& ancestor : ancestors) {
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

// The folder a level lists, on the current path while the level runs.
class Entered {
public:
    Entered(std::vector<Ancestor>& ancestors, const std::wstring& folder) : m_ancestors(ancestors)
    {
        Ancestor ancestor;
        ancestor.UpperName = Comparable(folder);
        m_ancestors.push_back(std::move(ancestor));
    }
    ~Entered() { m_ancestors.pop_back(); }
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;

private:
    std::vector<Ancestor>& m_ancestors;
};

// A reparse point that leads to another item: a junction, a symbolic link
// or a mount point, whose tag is a name surrogate. Any other reparse point
// (a cloud provider's file or folder, a deduplicated file) is the item
// itself. The find record holds the tag only for a reparse point.
bool IsLink(const WIN32_FIND_DATAW& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(entry.dwReserved0);
}

// One search's walk: what it is asked and what it keeps. Each level lists
// its folder's matching entries into the tree, one after the other, then
// descends into those that are folders, in order, then tells the callback.
// While the top level runs, the collection being filled counts the entries
// whose folders are done (Visible), as a callback sees it.
struct Walk {
    FoundTree& Tree;
    const std::wstring& Mask;
    bool FollowReparsePoints;
    const FindCallback& Callback;
    std::vector<Ancestor> Ancestors;
    uint32_t* Visible;
};

enum class Level {
    Listed,
    NothingFound,   // the find functions found nothing for the path and mask
    Cancelled,      // this level's callback cancelled
    CancelledBelow, // a level below cancelled: this one is abandoned too
};

Level Search(Walk& walk, const std::wstring& path, bool searchWithParent, uint32_t& first, uint32_t& count)
{
    std::wstring pattern = path;
    if (!searchWithParent) {
        Bstr trimmed;
        Check(asTrimEx(Bstr::From(walk.Mask).get(), trimmed.put()));
        if (trimmed.length() > 0)
            pattern = JoinFileName(path, walk.Mask);
    }
    uint32_t* const visible = walk.Visible; // the top level's alone
    walk.Visible = nullptr;
    first = walk.Tree.Count();
    count = 0;

    // A drive or share root has no entry of its own to find: it is given one.
    WIN32_FIND_DATAW entry = {};
    const bool root = ::PathIsRootW(pattern.c_str()) != FALSE;
    SeamFind listing(root || pattern.empty() ? INVALID_HANDLE_VALUE : FileSystem().FindFirst(pattern, &entry));
    if (root) {
        entry.dwFileAttributes = FileSystem().GetAttributes(pattern);
        pattern.copy(entry.cFileName, std::min<size_t>(pattern.size(), MAX_PATH - 1));
    } else if (!listing) {
        return Level::NothingFound;
    }
    do {
        const bool directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (directory && (std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0))
            continue;
        const uint32_t position = walk.Tree.Add(entry);
        if (IsLink(entry))
            walk.Tree.At(position).Flags |= FoundTree::Link;
    } while (!root && FileSystem().FindNext(listing.get(), &entry));
    listing.reset();
    count = walk.Tree.Count() - first;

    // The folder whose entries this level lists is on the current path; a
    // search that names the item itself lists no folder.
    std::optional<Entered> entered;
    if (!searchWithParent)
        entered.emplace(walk.Ancestors, path);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t position = first + i;
        const bool link = (walk.Tree.At(position).Flags & FoundTree::Link) != 0;
        // A link that is not followed stays a record with nothing below; so
        // does a folder the walk is already inside. Any other reparse point
        // is walked as what it is: a folder a cloud provider keeps
        // (OneDrive's Files On-Demand) holds its files as any folder does.
        if (walk.Tree.IsDirectory(position) && (!link || walk.FollowReparsePoints)) {
            const std::wstring fullName = searchWithParent ? path : JoinFileName(path, walk.Tree.Name(position));
            if (!OnCurrentPath(fullName, link, walk.Ancestors)) {
                uint32_t childFirst = 0, childCount = 0;
                const Level below = Search(walk, fullName, false, childFirst, childCount);
                if (below == Level::Cancelled || below == Level::CancelledBelow)
                    return Level::CancelledBelow;
                FoundTree::Entry& folder = walk.Tree.At(position);
                folder.Flags |= FoundTree::Searched;
                folder.FirstChild = childFirst;
                folder.ChildCount = childCount;
            }
        }
        if (visible)
            *visible = i + 1;
    }
    return walk.Callback.DirectoryCompleted(path) ? Level::Cancelled : Level::Listed;
}

// The collection is emptied when its search does not complete (a nested
// cancel, memory that runs out), however the search ends.
class EmptiedUnlessKept {
public:
    explicit EmptiedUnlessKept(std::function<void()> empty) : m_empty(std::move(empty)) {}
    ~EmptiedUnlessKept()
    {
        if (m_empty)
            m_empty();
    }
    void Keep() { m_empty = nullptr; }
    EmptiedUnlessKept(const EmptiedUnlessKept&) = delete;
    EmptiedUnlessKept& operator=(const EmptiedUnlessKept&) = delete;

private:
    std::function<void()> m_empty;
};

// The record of the tree's entry at the position, in the collection of
// its folder (path), or of the item the search named itself.
ComPtr<FoundedFile> RecordOf(const std::shared_ptr<FoundTree>& tree, uint32_t position,
                             const std::shared_ptr<const std::wstring>& path,
                             const std::shared_ptr<const std::wstring>& named)
{
    if (!named)
        return FoundedFile::Create(tree, position, path);
    return FoundedFile::Create(tree, position,
                               std::make_shared<const std::wstring>(ParentPart(*named, tree->Name(position))), named);
}

// A collection's records as they are when an enumeration begins, made as
// the enumerator reaches them; the enumeration keeps their tree.
class Records final : public EnumerationSource {
public:
    Records(std::shared_ptr<FoundTree> tree, uint32_t first, uint32_t count, std::shared_ptr<const std::wstring> path,
            std::shared_ptr<const std::wstring> named)
        : m_tree(std::move(tree)), m_first(first), m_count(count), m_path(std::move(path)), m_named(std::move(named))
    {
    }
    size_t Count() const override { return m_count; }
    Variant At(size_t position) const override
    {
        Variant item;
        V_VT(item.put()) = VT_DISPATCH;
        V_DISPATCH(item.get()) = RecordOf(m_tree, m_first + static_cast<uint32_t>(position), m_path, m_named).release();
        return item;
    }

private:
    std::shared_ptr<FoundTree> m_tree;
    uint32_t m_first, m_count;
    std::shared_ptr<const std::wstring> m_path, m_named;
};

} // namespace

ComPtr<tovFoundedFiles> tovFoundedFiles::View(std::shared_ptr<FoundTree> tree, uint32_t first, uint32_t count,
                                              std::shared_ptr<const std::wstring> path)
{
    ComPtr<tovFoundedFiles> view = Create();
    view->m_tree = std::move(tree);
    view->m_first = first;
    view->m_count = count;
    view->m_path = std::move(path);
    return view;
}

void tovFoundedFiles::Empty()
{
    m_tree.reset();
    m_first = 0;
    m_count = 0;
    m_named.reset();
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
    return Member(RetVal, [&] { return m_count > 0; });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_Path(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(*m_path); });
}

// The sum of the records' sizes, in list order.
HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_Size(double* RetVal)
{
    return Member(RetVal, [&] {
        double size = 0;
        for (uint32_t i = 0; i < m_count; ++i)
            size += FoundedFile::SizeOf(*m_tree, m_first + i);
        return size;
    });
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
        Empty();
        const FindCallback callback(CallBackObject); // refused before the walk starts
        const std::wstring mask = Bstr::ToString(Mask);
        // A path or mask with a NUL names nothing: no search, no callback.
        const std::optional<std::wstring> path = CheckedFileName(Path);
        if (!path || mask.find(L'\0') != std::wstring::npos)
            return false;
        m_path = std::make_shared<const std::wstring>(*path);
        const bool withParent = SearchWithParent != VARIANT_FALSE;
        if (withParent)
            m_named = m_path;
        EmptiedUnlessKept emptied([this] { Empty(); });
        m_searching = true;
        EmptiedUnlessKept searchEnds([this] { m_searching = false; });
        m_tree = std::make_shared<FoundTree>();
        Walk walk{*m_tree, mask, FollowReparsePoints != VARIANT_FALSE, callback, {}, &m_count};
        uint32_t first = 0, count = 0;
        const Level top = Search(walk, *path, withParent, first, count);
        if (top == Level::NothingFound || top == Level::CancelledBelow)
            return false; // a cancel below abandons every level up to the top; the top's own changes nothing
        m_count = count;
        emptied.Keep();
        return true;
    });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_Item(long Index, _FoundedFile** RetVal)
{
    return Member(RetVal, [&] {
        if (Index == 2147483647)
            throw AutomationError(ErrOverflow); // the position after it cannot be counted
        if (Index < 0 || static_cast<unsigned long>(Index) >= m_count)
            throw AutomationError(ErrSubscriptOutOfRange);
        return RecordOf(m_tree, m_first + static_cast<uint32_t>(Index), m_path, m_named);
    });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_Count(long* RetVal)
{
    return Member(RetVal, [&] { return static_cast<long>(m_count); });
}

HRESULT STDMETHODCALLTYPE tovFoundedFiles::get_NewEnum(IUnknown** RetVal)
{
    return Member(RetVal, [&] {
        auto records = std::make_shared<const Records>(m_tree, m_first, m_count, m_path, m_named);
        return NewEnumerator(records).query<IUnknown>(IID_IUnknown);
    });
}

} // namespace tovrin
