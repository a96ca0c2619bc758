#include "classes/tovFoundedFiles.h"

#include "files/FileAccess.h"
#include "search/Walk.h"
#include "com/Enumerator.h"

#include <tovrin/ErrorNumbers.h>

#include <functional>
#include <optional>

namespace tovrin {

namespace {

// An action run when its scope ends, however it ends (a nested cancel,
// memory that runs out, a callback's error), unless dismissed first.
class AtScopeEnd {
public:
    explicit AtScopeEnd(std::function<void()> action) : m_action(std::move(action)) {}
    ~AtScopeEnd()
    {
        if (m_action)
            m_action();
    }
    void Dismiss() { m_action = nullptr; }
    AtScopeEnd(const AtScopeEnd&) = delete;
    AtScopeEnd& operator=(const AtScopeEnd&) = delete;

private:
    std::function<void()> m_action;
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
        // A search that does not complete leaves the collection empty.
        AtScopeEnd emptied([this] { Empty(); });
        m_searching = true;
        const AtScopeEnd searchEnds([this] { m_searching = false; });
        m_tree = std::make_shared<FoundTree>();
        WalkRequest request;
        request.Path = *path;
        request.Mask = mask;
        request.FollowReparsePoints = FollowReparsePoints != VARIANT_FALSE;
        request.SearchWithParent = withParent;
        request.FolderCompleted = [&](const std::wstring& folder) { return callback.DirectoryCompleted(folder); };
        request.Visible = &m_count;
        const WalkResult top = Walk(*m_tree, request);
        if (top.Outcome == WalkOutcome::NothingFound || top.Outcome == WalkOutcome::CancelledBelow)
            return false; // a cancel below abandons every level up to the top; the top's own changes nothing
        m_first = top.First;
        m_count = top.Count;
        emptied.Dismiss();
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
