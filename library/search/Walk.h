// The recursive search's walk: it lists the entries of a folder that match
// a mask into a FoundTree, depth first in the order of the find functions,
// tells the caller as each folder's listing completes (post-order), and
// stops at once when the caller cancels. The COM collection (tovFoundedFiles)
// runs it and shows what it found.
#pragma once

#include "search/FoundTree.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tovrin {

struct WalkRequest {
    std::wstring Path;
    std::wstring Mask; // blank: the path itself is the pattern
    bool FollowReparsePoints = true;
    bool SearchWithParent = false; // the path names the item itself, not a folder to list
    // Called with a listed folder's name once it and every folder below it
    // are done; true cancels. None: the walk is never cancelled.
    std::function<bool(const std::wstring& folder)> FolderCompleted;
    // The count a client sees while the top level runs: the top level's
    // entries whose folders are done, raised as each one completes.
    uint32_t* Visible = nullptr;
};

enum class WalkOutcome {
    Listed,
    NothingFound,   // the find functions found nothing for the path and mask
    Cancelled,      // the top level's own callback cancelled: what was found stands
    CancelledBelow, // a level below cancelled: every level up to the top is abandoned
};

struct WalkResult {
    WalkOutcome Outcome;
    uint32_t First; // the top level's entries in the tree: First ... First + Count - 1
    uint32_t Count;
};

// Appends what the walk finds to the tree. A failure of the file functions'
// support calls, of the callback or of memory leaves as an exception, with
// every listing closed.
WalkResult Walk(FoundTree& tree, const WalkRequest& request);

// The folder of an item that a search named itself (SearchWithParent): the
// path without the item's name and one backslash before it, when it ends in
// the name (a short 8.3 spelling does not, and stays as it is).
std::wstring ParentPart(const std::wstring& path, const std::wstring& name);

} // namespace tovrin
