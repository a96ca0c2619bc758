// tovFoundedFiles: a recursive search that returns the matched part of a
// folder tree, one FoundedFile per matched entry, each with the search of
// its own folder below it (Childs). The walk (search/Walk) is depth first in
// the order of the find functions, calls the client's callback as each
// folder's listing completes (post-order), and stops at once when a callback
// cancels. What it finds goes into one compact store (FoundTree); the
// collection of a folder is a view of its consecutive entries there, and
// records are made when a client asks for them.
#pragma once

#include "search/FoundTree.h"
#include "classes/FoundedFile.h"
#include "classes/IFindFilesCallback.h"
#include "com/Dispatch.h"

#include "Ormelin0105.h"

#include <memory>
#include <string>

namespace tovrin {

class tovFoundedFiles final : public Dispatch<tovFoundedFiles, _tovFoundedFiles> {
public:
    static REFIID InterfaceId() { return IID__tovFoundedFiles; }
    static constexpr wchar_t Source[] = L"tovFoundedFiles";

    // The collection of a folder whose entries the tree holds at first ...
    // first + count - 1; its Path is the folder's full name, or empty where
    // the walk did not list it.
    static ComPtr<tovFoundedFiles> View(std::shared_ptr<FoundTree> tree, uint32_t first, uint32_t count,
                                        std::shared_ptr<const std::wstring> path);

    // A script's object given as the search's callback goes on as an
    // adapter that calls it by name (AdaptFindCallback).
    static HRESULT AdaptScriptObject(REFIID iid, IDispatch* client, IUnknown** adapted);

    HRESULT STDMETHODCALLTYPE get_HasSubItems(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Path(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Size(double* RetVal) override;
    HRESULT STDMETHODCALLTYPE Refresh(BSTR Path, BSTR Mask, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE RefreshEx(BSTR Path, BSTR Mask, VARIANT_BOOL FollowReparsePoints,
                                        _IFindFilesCallback* CallBackObject, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE RefreshEx2(BSTR Path, BSTR Mask, VARIANT_BOOL FollowReparsePoints,
                                         _IFindFilesCallback* CallBackObject, VARIANT_BOOL SearchWithParent,
                                         VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Item(long Index, _FoundedFile** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** RetVal) override;

private:
    friend class Dispatch<tovFoundedFiles, _tovFoundedFiles>;
    tovFoundedFiles() = default;

    // Emptied, as a failed or cancelled search leaves it.
    void Empty();

    std::shared_ptr<FoundTree> m_tree; // null: no records
    uint32_t m_first = 0;
    uint32_t m_count = 0; // grows while the search runs, as each entry's folder is done
    std::shared_ptr<const std::wstring> m_path = std::make_shared<const std::wstring>();
    std::shared_ptr<const std::wstring> m_named; // the item's full name, when the search named the item itself
    bool m_searching = false; // a search of this collection is running (its callback may call in)
};

} // namespace tovrin
