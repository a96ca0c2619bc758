#include "search/Walk.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/Unique.h>
#include <tovrin/tovrinsupport.h>

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <vector>

namespace tovrin {

namespace {

std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
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

// One walk's state. Each level lists its folder's matching entries into the
// tree, one after the other, then descends into those that are folders, in
// order, then tells the caller. While the top level runs, the collection
// being filled counts the entries whose folders are done (Visible), as a
// callback sees it.
struct WalkState {
    FoundTree& Tree;
    const WalkRequest& Request;
    std::vector<Ancestor> Ancestors;
    uint32_t* Visible;
};

// One level: its outcome is Cancelled where its own callback cancelled.
WalkOutcome Level(WalkState& walk, const std::wstring& path, bool searchWithParent, uint32_t& first, uint32_t& count)
{
    std::wstring pattern = path;
    if (!searchWithParent) {
        Bstr trimmed;
        Check(asTrimEx(Bstr::From(walk.Request.Mask).get(), trimmed.put()));
        if (trimmed.length() > 0)
            pattern = JoinFileName(path, walk.Request.Mask);
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
        return WalkOutcome::NothingFound;
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
        if (walk.Tree.IsDirectory(position) && (!link || walk.Request.FollowReparsePoints)) {
            const std::wstring fullName = searchWithParent ? path : JoinFileName(path, walk.Tree.Name(position));
            if (!OnCurrentPath(fullName, link, walk.Ancestors)) {
                uint32_t childFirst = 0, childCount = 0;
                const WalkOutcome below = Level(walk, fullName, false, childFirst, childCount);
                if (below == WalkOutcome::Cancelled || below == WalkOutcome::CancelledBelow)
                    return WalkOutcome::CancelledBelow;
                FoundTree::Entry& folder = walk.Tree.At(position);
                folder.Flags |= FoundTree::Searched;
                folder.FirstChild = childFirst;
                folder.ChildCount = childCount;
            }
        }
        if (visible)
            *visible = i + 1;
    }
    const auto& completed = walk.Request.FolderCompleted;
    return completed && completed(path) ? WalkOutcome::Cancelled : WalkOutcome::Listed;
}

} // namespace

std::wstring ParentPart(const std::wstring& path, const std::wstring& name)
{
    if (name.size() > path.size() || Upper(path.substr(path.size() - name.size())) != Upper(name))
        return path;
    std::wstring parent = path.substr(0, path.size() - name.size());
    if (!parent.empty() && parent.back() == L'\\')
        parent.pop_back();
    return parent;
}

WalkResult Walk(FoundTree& tree, const WalkRequest& request)
{
    WalkState walk{tree, request, {}, request.Visible};
    WalkResult result = {};
    result.Outcome = Level(walk, request.Path, request.SearchWithParent, result.First, result.Count);
    return result;
}

} // namespace tovrin
