// tovFoundedFiles: a recursive search that returns the matched part of a
// folder tree as objects, one FoundedFile per matched entry, each with the
// search of its own folder below it. The walk is depth first in the order of
// the find functions, calls the client's callback as each folder's listing
// completes (post-order), and stops at once when a callback cancels.
#pragma once

#include "search/FoundedFile.h"
#include "search/IFindFilesCallback.h"
#include "com/Dispatch.h"
#include "com/ItemList.h"

#include "Ormelin0105.h"

#include <string>
#include <vector>

namespace tovrin {

class tovFoundedFiles final : public Dispatch<tovFoundedFiles, _tovFoundedFiles> {
public:
    static REFIID InterfaceId() { return IID__tovFoundedFiles; }
    static constexpr wchar_t Source[] = L"tovFoundedFiles";

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

    // The sum of the records' sizes, in list order.
    double Size() const;
    // Whether the last search here ended by cancellation, its own or a nested one's.
    bool Cancelled() const { return m_cancelled; }

    // A folder on the path from the top of the walk down to the folder being
    // listed: its name, and its identity on the volume once asked for.
    struct Ancestor {
        std::wstring UpperName;
        bool IdentityKnown = false;
        bool HasIdentity = false;
        DWORD Volume = 0, IndexHigh = 0, IndexLow = 0;
    };
    struct Options {
        const std::wstring* Mask;
        bool FollowReparsePoints;
        const FindCallback* Callback;
        std::vector<Ancestor>* Ancestors;
    };
    // One level of the walk; false when the find functions found nothing
    // for the path and mask, or a nested level was cancelled.
    bool Search(const std::wstring& path, const Options& options, bool searchWithParent);
    // The record of one entry, with the search of its folder done; null for "." and "..".
    static ComPtr<FoundedFile> Record(const WIN32_FIND_DATAW& entry,
                                      const std::shared_ptr<const std::wstring>& searched, const Options& options,
                                      bool searchWithParent);

private:
    friend class Dispatch<tovFoundedFiles, _tovFoundedFiles>;
    tovFoundedFiles() = default;

    // Emptied, as a failed or cancelled search leaves it.
    void Empty();

    ItemList<FoundedFile> m_items;
    std::wstring m_path;
    bool m_hasSubItems = false;
    bool m_cancelled = false;
    bool m_searching = false; // a search of this collection is running (its callback may call in)
};

} // namespace tovrin
