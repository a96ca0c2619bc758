#include "search/tovFoundedFiles.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"

#include <tovrin/CodePage.h>
#include <tovrin/ErrorNumbers.h>
#include <tovrin/tovrinsupport.h>
#include <tovrin/tovrinsupportfbe.h>

#include <shlwapi.h>

#include <algorithm>
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

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    Bstr joined;
    Check(esBuildFileName(Bstr::From(folder).get(), Bstr::From(name).get(), 0, joined.put()));
    return joined.str();
}

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

double CompressedSize(const std::wstring& fullName, FoundedFile& record)
{
    DWORD high = 0;
    ::SetLastError(0);
    DWORD low = FileSystem().CompressedSize(fullName, &high);
    if (::GetLastError() != 0)
        return record.FileSize();
    LARGE_INTEGER size = {};
    size.LowPart = low;
    size.HighPart = static_cast<LONG>(high);
    double result = 0;
    Check(asLargeIntegerToDouble(&size, &result));
    return result;
}

} // namespace

void tovFoundedFiles::Empty()
{
    m_items.Clear();
    m_hasSubItems = false;
}

ComPtr<FoundedFile> tovFoundedFiles::Record(const WIN32_FIND_DATAW& entry, const std::wstring& path,
                                            const std::shared_ptr<const std::wstring>& recordPath,
                                            const Options& options, bool searchWithParent)
{
    const bool directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (directory && (std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0))
        return ComPtr<FoundedFile>();
    const std::wstring name(entry.cFileName, wcsnlen(entry.cFileName, MAX_PATH));
    ComPtr<FoundedFile> record = FoundedFile::Create(
        entry, searchWithParent ? std::make_shared<const std::wstring>(ParentPart(path, name)) : recordPath);
    const std::wstring fullName = searchWithParent ? path : Join(path, name);
    // A reparse point that is not followed stays a record with nothing below.
    if (directory && (!record->IsReparsePoint() || options.FollowReparsePoints))
        record->Children().Search(fullName, options, false);
    record->SetCompressedFileSize(CompressedSize(fullName, *record.get()));
    return record;
}

bool tovFoundedFiles::Search(const std::wstring& path, const Options& options, bool searchWithParent)
{
    m_items.Clear();
    m_path = path;
    m_hasSubItems = true;

    std::wstring pattern = path;
    if (!searchWithParent) {
        Bstr trimmed;
        Check(asTrimEx(Bstr::From(*options.Mask).get(), trimmed.put()));
        if (trimmed.length() > 0)
            pattern = Join(path, *options.Mask);
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

    const auto recordPath = std::make_shared<const std::wstring>(path);
    do {
        ComPtr<FoundedFile> record = Record(entry, path, recordPath, options, searchWithParent);
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
        return Search(*path, {&mask, FollowReparsePoints != VARIANT_FALSE, &callback},
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
