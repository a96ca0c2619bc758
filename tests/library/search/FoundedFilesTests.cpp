// The found-files search as clients use it: tovFoundedFiles from the
// registered library over real folders, an early-bound callback, and,
// through the file-system seam, the trees Wine cannot make (junctions that
// loop, folders that cannot be listed).
#include "ComTestSupport.h"
#include "SimulatedFileSystem.h"
#include "TestFiles.h"

#include "Ormelin0105.h"
#include "classes/tovFoundedFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;

namespace {

std::wstring NameOf(_FoundedFile* record)
{
    Bstr name;
    record->get_FileName(name.put());
    return name.str();
}

ComPtr<_FoundedFile> At(_tovFoundedFiles* list, long index)
{
    ComPtr<_FoundedFile> record;
    EXPECT_EQ(list->get_Item(index, record.put()), S_OK) << index;
    return record;
}

ComPtr<_tovFoundedFiles> ChildsOf(_FoundedFile* record)
{
    ComPtr<_tovFoundedFiles> childs;
    EXPECT_EQ(record->get_Childs(childs.put()), S_OK);
    return childs;
}

// A date as "2025-07-15 12:00", for messages.
std::string Clock(DATE date)
{
    SYSTEMTIME time = {};
    ::VariantTimeToSystemTime(date, &time);
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
    return text;
}

long CountOf(_tovFoundedFiles* list)
{
    long count = -1;
    list->get_Count(&count);
    return count;
}

// The tree as "name(size)" or "name[children]", in the walk's order.
std::wstring Shape(_tovFoundedFiles* list)
{
    std::wstring shape;
    for (long i = 0; i < CountOf(list); ++i) {
        ComPtr<_FoundedFile> record = At(list, i);
        VARIANT_BOOL directory = VARIANT_FALSE;
        double size = -1;
        record->get_AttributeDirectory(&directory);
        record->get_FileSize(&size);
        shape += (i ? L" " : L"") + NameOf(record.get());
        shape += directory ? L"[" + Shape(ChildsOf(record.get()).get()) + L"]" : L"(" + std::to_wstring(long(size)) + L")";
    }
    return shape;
}

// A client's callback as a compiled client writes it: it records each
// completed folder and cancels at the one it is told to. It may also call
// back into the search it runs in: search the collection being filled
// again (Target), or drop the client's only reference to it (DropTarget).
class Callback final : public _IFindFilesCallback {
public:
    std::wstring CancelAt;
    std::vector<std::wstring> Completed;
    HRESULT Failure = S_OK;
    _tovFoundedFiles* Target = nullptr;
    bool DropTarget = false;
    std::vector<HRESULT> Results; // of the searches it started

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__IFindFilesCallback) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DirectoryCompleted(BSTR Path, VARIANT_BOOL* Cancel) override
    {
        Completed.push_back(Bstr::ToString(Path));
        if (!CancelAt.empty() && Completed.back() == CancelAt)
            *Cancel = VARIANT_TRUE;
        if (DropTarget && Target) {
            Target->Release();
            Target = nullptr;
        } else if (Target) {
            VARIANT_BOOL ok = VARIANT_FALSE;
            Results.push_back(Target->Refresh(Path, Bstr::From(L"*").get(), &ok));
        }
        return Failure;
    }
};

class FoundedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFoundedFiles, nullptr, CLSCTX_INPROC_SERVER, IID__tovFoundedFiles,
                                     m_list.put_void()),
                  S_OK);
        Folder(L"sub");
        Folder(L"sub\\deep");
        Folder(L"empty");
        WriteBytes(m_root / L"a.txt", "12345");
        WriteBytes(m_root / L"b.dat", "123");
        WriteBytes(m_root / L"sp ace \u00E9.txt", "12");
        WriteBytes(m_root / L"sub\\c.txt", "1234567");
        WriteBytes(m_root / L"sub\\x.dat", "1");
        WriteBytes(m_root / L"sub\\deep\\d.txt", "1");
    }

    void Folder(const std::wstring& name) { ASSERT_TRUE(::CreateDirectoryW((m_root / name).c_str(), nullptr)); }

    bool Search(const std::wstring& path, const std::wstring& mask, _IFindFilesCallback* callback = nullptr,
                VARIANT_BOOL withParent = VARIANT_FALSE)
    {
        VARIANT_BOOL ok = 7;
        HRESULT hr = m_list->RefreshEx2(Bstr::From(path).get(), Bstr::From(mask).get(), VARIANT_FALSE, callback,
                                        withParent, &ok);
        EXPECT_EQ(hr, S_OK);
        return ok != VARIANT_FALSE;
    }

    // The walk's order is the find functions': compared as sets of shapes
    // would hide nothing here, since each folder is listed in name order.
    TempFolder m_root;
    ComPtr<_tovFoundedFiles> m_list;
};

TEST_F(FoundedFiles, MasksAreAppliedAtEveryLevel)
{
    const struct {
        const wchar_t* mask;
        const wchar_t* shape;
        double size;
    } cases[] = {
        {L"*", L"a.txt(5) b.dat(3) empty[] sp ace \u00E9.txt(2) sub[c.txt(7) deep[d.txt(1)] x.dat(1)]", 19},
        {L"*.txt", L"a.txt(5) sp ace \u00E9.txt(2)", 7},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Search(m_root.Path(), c.mask)) << Narrow(c.mask);
        EXPECT_EQ(Shape(m_list.get()), c.shape);
        double size = -1;
        m_list->get_Size(&size);
        EXPECT_EQ(size, c.size);
    }
    EXPECT_FALSE(Search(m_root.Path(), L"*.nothing")) << "no match";
    EXPECT_EQ(CountOf(m_list.get()), 0);
    EXPECT_FALSE(Search(m_root / L"missing", L"*"));
    VARIANT_BOOL has = 7;
    m_list->get_HasSubItems(&has);
    EXPECT_EQ(has, VARIANT_FALSE);
}

TEST_F(FoundedFiles, RecordsAndPositions)
{
    ASSERT_TRUE(Search(m_root.Path(), L"*"));
    ComPtr<_FoundedFile> first = At(m_list.get(), 0);
    Bstr path;
    first->get_Path(path.put());
    EXPECT_EQ(path.str(), m_root.Path());
    ComPtr<_FoundedFile> empty = At(m_list.get(), 2);
    VARIANT_BOOL has = 7;
    ChildsOf(empty.get())->get_HasSubItems(&has);
    EXPECT_EQ(has, VARIANT_FALSE) << "a folder of only . and ..";
    ComPtr<_FoundedFile> none;
    EXPECT_EQ(m_list->get_Item(5, none.put()), ErrorStatus(9));
    EXPECT_EQ(m_list->get_Item(-1, none.put()), ErrorStatus(9));
    EXPECT_EQ(m_list->get_Item(2147483647, none.put()), ErrorStatus(6));

    // A second search replaces the list; records handed out stay whole.
    ASSERT_TRUE(Search(m_root / L"sub", L"*"));
    EXPECT_EQ(NameOf(first.get()), L"a.txt");
    EXPECT_EQ(CountOf(m_list.get()), 3);
    double size = 0;
    first->get_FileSize(&size);
    EXPECT_EQ(size, 5);
}

TEST_F(FoundedFiles, SearchWithParentAndEmptyMasks)
{
    Callback callback;
    ASSERT_TRUE(Search(m_root / L"sub", L"*.txt", &callback, VARIANT_TRUE));
    EXPECT_EQ(Shape(m_list.get()), L"sub[c.txt(7)]");
    Bstr path;
    At(m_list.get(), 0)->get_Path(path.put());
    EXPECT_EQ(path.str(), m_root.Path());
    EXPECT_EQ(callback.Completed, (std::vector<std::wstring>{m_root / L"sub", m_root / L"sub"}));

    ASSERT_TRUE(Search(m_root / L"a.txt", L"*", nullptr, VARIANT_TRUE));
    EXPECT_EQ(Shape(m_list.get()), L"a.txt(5)");

    for (const wchar_t* mask : {L"", L"  \t"}) {
        ASSERT_TRUE(Search(m_root / L"a.txt", mask)) << "the path itself is searched";
        EXPECT_EQ(Shape(m_list.get()), L"a.txt(5)");
    }

    ASSERT_TRUE(Search(L"C:\\", L"*.none-here", nullptr, VARIANT_TRUE));
    ComPtr<_FoundedFile> root = At(m_list.get(), 0);
    EXPECT_EQ(NameOf(root.get()), L"C:\\");
    root->get_Path(path.put());
    EXPECT_EQ(path.str(), L"");
    long attributes = 0;
    root->get_FileAttributes(&attributes);
    EXPECT_EQ(static_cast<DWORD>(attributes), ::GetFileAttributesA("C:\\"));
}

// A file's times read the same through the search as through tovFSO, in
// either season: both give the local time by the time zone's rule for the
// date itself, whatever the offset today. This runs in Europe/Berlin, where
// a July time is an hour further from UTC than a January one.
TEST_F(FoundedFiles, TimesAreLocalByTheDatesOwnRuleAsGetFileDateTimeGivesThem)
{
    ComPtr<_tovFSO> fso;
    ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, fso.put_void()), S_OK);
    const Bstr file = Bstr::From(m_root / L"a.txt");
    const struct {
        const char* season;
        SYSTEMTIME local;
    } cases[] = {{"winter", {2026, 1, 0, 15, 12, 0, 0, 0}}, {"summer", {2025, 7, 0, 15, 12, 0, 0, 0}}};
    for (const auto& c : cases) {
        SYSTEMTIME local = c.local;
        DATE written = 0;
        ASSERT_TRUE(::SystemTimeToVariantTime(&local, &written));
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_EQ(fso->SetFileDateTime(file.get(), 0.0, 0.0, written, VARIANT_TRUE, &ok), S_OK) << c.season;
        DATE byFso = -1;
        ASSERT_EQ(fso->GetFileDateTime(file.get(), nullptr, nullptr, &byFso, VARIANT_TRUE, &ok), S_OK) << c.season;
        ASSERT_TRUE(Search(m_root / L"a.txt", L"")) << c.season;
        DATE bySearch = -1;
        EXPECT_EQ(At(m_list.get(), 0)->get_LastWriteTime(&bySearch), S_OK);
        EXPECT_EQ(bySearch, byFso) << c.season << ": " << Clock(bySearch) << " by the search, " << Clock(byFso)
                                   << " by GetFileDateTime";
        EXPECT_EQ(bySearch, written) << c.season << ": " << Clock(bySearch) << ", set " << Clock(written);
    }
}

TEST_F(FoundedFiles, CallbacksComePostOrderAndCancelEveryLevelAbove)
{
    Callback callback;
    ASSERT_TRUE(Search(m_root.Path(), L"*", &callback));
    EXPECT_EQ(callback.Completed, (std::vector<std::wstring>{m_root / L"empty", m_root / L"sub\\deep", m_root / L"sub",
                                                             m_root.Path()}));
    Callback cancelling;
    cancelling.CancelAt = m_root / L"sub\\deep";
    EXPECT_FALSE(Search(m_root.Path(), L"*", &cancelling));
    EXPECT_EQ(CountOf(m_list.get()), 0);
    EXPECT_EQ(cancelling.Completed.back(), m_root / L"sub\\deep") << "no level above is completed";

    Callback atTheTop;
    atTheTop.CancelAt = m_root.Path();
    EXPECT_TRUE(Search(m_root.Path(), L"*", &atTheTop)) << "the top level's own Cancel changes nothing";
    EXPECT_EQ(CountOf(m_list.get()), 5);
}

TEST_F(FoundedFiles, AHundredLevelsDeep)
{
    std::wstring path = m_root / L"deep";
    for (int level = 0; level < 100; ++level) {
        ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << level;
        path += L"\\d";
    }
    ASSERT_TRUE(Search(m_root / L"deep", L"*"));
    int depth = 0;
    for (ComPtr<_tovFoundedFiles> level = m_list; CountOf(level.get()) == 1; level = ChildsOf(At(level.get(), 0).get()))
        ++depth;
    EXPECT_EQ(depth, 99);
}

// Junctions, cloud folders and folders that cannot be listed, simulated:
// Wine can make none of them. The root holds "loop" and "back", two
// junctions to the root itself (a cycle that would double at every level),
// "locked", which cannot be listed, "sub" with "up", a junction to the root,
// and "elsewhere", a junction to a folder outside the root. Identities are
// those GetFileInformationByHandle gives for what a name opens, a junction's
// target (volume serial, file index). Every find opened is counted.
// Beside that tree, "synced" is a folder a sync provider keeps: "cloud", a
// folder of OneDrive's Files On-Demand, is a reparse point whose tag is
// IO_REPARSE_TAG_CLOUD_7, a tag that is no name surrogate (PowerShell walks
// it since the report "Get-ChildItem -Recurse doesn't work on the OneDrive
// sync folder" and its fix "Enable recursion into OneDrive", which took as
// links only name surrogates); "link" is a symbolic link to "elsewhere";
// "plain" is an ordinary folder whose record carries a left-over symbolic
// link tag, since WIN32_FIND_DATA's dwReserved0 holds a tag only when the
// reparse attribute is set ("Otherwise, this value is undefined").
class SimulatedJunctions final : public SimulatedFileSystem {
public:
    explicit SimulatedJunctions(std::wstring root) : m_root(std::move(root)) {}

    HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* entry) override
    {
        if (pattern.compare(0, m_root.size(), m_root) != 0)
            return Real().FindFirst(pattern, entry);
        const std::wstring folder = pattern.substr(m_root.size(), pattern.size() - m_root.size() - 2); // less "\*"
        if (folder == L"\\locked") {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        const Entry* listing = ListingOf(folder);
        if (!listing) {
            ::SetLastError(ERROR_PATH_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        ++Opened;
        m_listings.push_back({listing, 0}); // one listing per open find, each its own handle
        HANDLE find = reinterpret_cast<HANDLE>(m_listings.size());
        Next(find, entry);
        return find;
    }
    bool FindNext(HANDLE find, WIN32_FIND_DATAW* entry) override { return Next(find, entry); }
    void FindClose(HANDLE) override { ++Closed; }
    bool Identity(const std::wstring& name, BY_HANDLE_FILE_INFORMATION& info) override
    {
        std::wstring upper = name;
        ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
        std::wstring root = m_root;
        ::CharUpperBuffW(&root[0], static_cast<DWORD>(root.size()));
        if (upper.compare(0, root.size(), root) != 0)
            return Real().Identity(name, info);
        const std::wstring folder = upper.substr(root.size());
        const auto endsWith = [&](const wchar_t* tail) {
            const size_t length = std::wcslen(tail);
            return folder.size() >= length && folder.compare(folder.size() - length, length, tail) == 0;
        };
        info = BY_HANDLE_FILE_INFORMATION();
        info.dwVolumeSerialNumber = 0x1234;
        if (folder.empty() || endsWith(L"\\LOOP") || endsWith(L"\\BACK") || endsWith(L"\\UP"))
            info.nFileIndexLow = 1; // the root, through any of its junctions
        else if (endsWith(L"\\ELSEWHERE") || endsWith(L"\\LINK"))
            info.nFileIndexLow = 3;
        else
            info.nFileIndexLow = 2 + static_cast<DWORD>(folder.size()) * 10; // a plain folder of its own
        ++Identities;
        return true;
    }
    int Opened = 0, Closed = 0, Identities = 0;

private:
    struct Entry {
        const wchar_t* Name;
        DWORD Attributes;
        DWORD Tag; // dwReserved0
    };
    static const Entry* ListingOf(const std::wstring& folder)
    {
        static const DWORD directory = FILE_ATTRIBUTE_DIRECTORY, file = FILE_ATTRIBUTE_ARCHIVE;
        static const DWORD reparse = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        static const DWORD junction = IO_REPARSE_TAG_MOUNT_POINT, symlink = IO_REPARSE_TAG_SYMLINK;
        static const Entry root[] = {{L".", directory, 0},         {L"loop", reparse, junction},
                                     {L"back", reparse, junction}, {L"locked", directory, 0},
                                     {L"sub", directory, 0},       {L"elsewhere", reparse, junction},
                                     {L"f.txt", file, 0},          {nullptr, 0, 0}};
        static const Entry sub[] = {{L"up", reparse, junction}, {L"g.txt", file, 0}, {nullptr, 0, 0}};
        static const Entry elsewhere[] = {{L"h.txt", file, 0}, {nullptr, 0, 0}};
        static const Entry synced[] = {{L"cloud", reparse, IO_REPARSE_TAG_CLOUD_7},
                                       {L"link", reparse, symlink},
                                       {L"plain", directory, symlink},
                                       {nullptr, 0, 0}};
        static const Entry cloud[] = {{L"i.txt", file | FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_CLOUD_7},
                                      {nullptr, 0, 0}};
        static const Entry plain[] = {{L"j.txt", file, 0}, {nullptr, 0, 0}};
        const auto endsWith = [&](const wchar_t* tail) {
            const size_t length = std::wcslen(tail);
            return folder.size() >= length && folder.compare(folder.size() - length, length, tail) == 0;
        };
        // Followed through a link, a folder lists what its target lists.
        if (folder.empty() || endsWith(L"\\loop") || endsWith(L"\\back") || endsWith(L"\\up"))
            return root;
        if (endsWith(L"\\sub"))
            return sub;
        if (endsWith(L"\\elsewhere") || endsWith(L"\\link"))
            return elsewhere;
        if (folder == L"\\synced")
            return synced;
        if (endsWith(L"\\cloud"))
            return cloud;
        if (endsWith(L"\\plain"))
            return plain;
        return nullptr;
    }
    bool Next(HANDLE find, WIN32_FIND_DATAW* entry)
    {
        auto& listing = m_listings[reinterpret_cast<size_t>(find) - 1];
        const Entry& next = listing.first[listing.second];
        if (!next.Name)
            return false;
        *entry = WIN32_FIND_DATAW();
        std::wcscpy(entry->cFileName, next.Name);
        entry->dwFileAttributes = next.Attributes;
        entry->dwReserved0 = next.Tag;
        entry->nFileSizeLow = 10;
        ++listing.second;
        return true;
    }
    std::wstring m_root;
    std::vector<std::pair<const Entry*, int>> m_listings;
};

TEST_F(FoundedFiles, SimulatedJunctionCyclesAreListedButNotDescended)
{
    ComPtr<tovrin::tovFoundedFiles> local = tovrin::tovFoundedFiles::Create();
    SimulatedJunctions volume(m_root.Path());
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(local->RefreshEx(Bstr::From(m_root.Path()).get(), Bstr::From(L"*").get(), VARIANT_FALSE, nullptr, &ok),
              S_OK);
    EXPECT_EQ(Shape(local.get()), L"loop[] back[] locked[] sub[up[] g.txt(10)] elsewhere[] f.txt(10)")
        << "by default a junction is not followed";
    ComPtr<_FoundedFile> loop = At(local.get(), 0);
    VARIANT_BOOL reparse = VARIANT_FALSE;
    double size = -1;
    loop->get_AttributeReparsePoint(&reparse);
    loop->get_FileSize(&size);
    EXPECT_EQ(reparse, VARIANT_TRUE);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(volume.Identities, 0) << "no junction followed, no identity asked for";

    ASSERT_EQ(local->Refresh(Bstr::From(m_root.Path()).get(), Bstr::From(L"*").get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(Shape(local.get()), L"loop[] back[] locked[] sub[up[] g.txt(10)] elsewhere[h.txt(10)] f.txt(10)")
        << "junctions back to a folder on the current path are listed, not descended; others are followed";
    EXPECT_EQ(volume.Opened, volume.Closed);
}

TEST_F(FoundedFiles, SimulatedCloudFoldersAreSearchedAndOnlyLinksAreNot)
{
    ComPtr<tovrin::tovFoundedFiles> local = tovrin::tovFoundedFiles::Create();
    SimulatedJunctions volume(m_root.Path());
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(
        local->RefreshEx(Bstr::From(m_root / L"synced").get(), Bstr::From(L"*").get(), VARIANT_FALSE, nullptr, &ok),
        S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(Shape(local.get()), L"cloud[i.txt(10)] link[] plain[j.txt(10)]")
        << "a reparse point that is no link is searched as a folder; a link is followed only when asked";
    const struct {
        const wchar_t* name;
        VARIANT_BOOL reparse;
    } cases[] = {{L"cloud", VARIANT_TRUE}, {L"link", VARIANT_TRUE}, {L"plain", VARIANT_FALSE}};
    for (long i = 0; i < CountOf(local.get()); ++i) {
        ComPtr<_FoundedFile> record = At(local.get(), i);
        VARIANT_BOOL reparse = 7;
        record->get_AttributeReparsePoint(&reparse);
        EXPECT_EQ(NameOf(record.get()), cases[i].name);
        EXPECT_EQ(reparse, cases[i].reparse) << Narrow(cases[i].name);
    }
    EXPECT_EQ(volume.Identities, 0) << "no link followed, no identity asked for";
    EXPECT_EQ(volume.Opened, volume.Closed);
}

TEST_F(FoundedFiles, ACallbacksErrorEndsTheWholeSearchWithEveryFindClosed)
{
    ComPtr<tovrin::tovFoundedFiles> local = tovrin::tovFoundedFiles::Create();
    SimulatedJunctions volume(m_root.Path());
    Callback failing;
    failing.Failure = ErrorStatus(1234);
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(local->RefreshEx(Bstr::From(m_root.Path()).get(), Bstr::From(L"*").get(), VARIANT_TRUE, &failing, &ok),
              ErrorStatus(1234));
    EXPECT_EQ(failing.Completed.size(), 1u) << "the first callback's error stops the walk";
    EXPECT_GT(volume.Opened, 1);
    EXPECT_EQ(volume.Opened, volume.Closed);
}

TEST_F(FoundedFiles, ACallbackCannotStartASecondSearchOfARunningOne)
{
    Callback reentering;
    reentering.Target = m_list.get();
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(m_list->RefreshEx(Bstr::From(m_root.Path()).get(), Bstr::From(L"*").get(), VARIANT_FALSE, &reentering,
                                &ok),
              S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    ASSERT_FALSE(reentering.Results.empty());
    for (HRESULT hr : reentering.Results)
        EXPECT_EQ(hr, ErrorStatus(5)) << "a search of a collection whose search runs is refused";
    Bstr path;
    m_list->get_Path(path.put());
    EXPECT_EQ(path.str(), m_root.Path()) << "the outer search completes as if nothing happened";
    EXPECT_EQ(Shape(m_list.get()), L"a.txt(5) b.dat(3) empty[] sp ace \u00E9.txt(2) sub[c.txt(7) deep[d.txt(1)] x.dat(1)]");
}

TEST_F(FoundedFiles, ACallbackMayReleaseTheCollectionItIsFilling)
{
    ASSERT_TRUE(tovrin::module::CanUnload());
    Callback releasing;
    releasing.DropTarget = true;
    _tovFoundedFiles* local = tovrin::tovFoundedFiles::Create().release();
    releasing.Target = local;
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(local->RefreshEx(Bstr::From(m_root.Path()).get(), Bstr::From(L"*").get(), VARIANT_FALSE, &releasing, &ok),
              S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_TRUE(tovrin::module::CanUnload()) << "the search, then every object, went with the last reference";
}

// The compressed size is asked of the system when a record's property is
// first read, never during the walk, and kept; where the system cannot say,
// the record's size stands in (a folder's summed over its Childs).
class CountingCompressedSizes final : public SimulatedFileSystem {
public:
    DWORD CompressedSize(const std::wstring& name, DWORD* high) override
    {
        Asked.push_back(name);
        if (Fail) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_FILE_SIZE;
        }
        return Real().CompressedSize(name, high);
    }
    std::vector<std::wstring> Asked;
    bool Fail = false;
};

TEST_F(FoundedFiles, CompressedSizesAreAskedForAtTheFirstReadOnly)
{
    for (bool fail : {false, true}) {
        CountingCompressedSizes volume;
        volume.Fail = fail;
        ComPtr<tovrin::tovFoundedFiles> local = tovrin::tovFoundedFiles::Create();
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_EQ(local->Refresh(Bstr::From(m_root.Path()).get(), Bstr::From(L"*").get(), &ok), S_OK);
        EXPECT_TRUE(volume.Asked.empty()) << "the walk asks for no compressed size";
        ComPtr<_FoundedFile> sub;
        for (long i = 0; i < CountOf(local.get()); ++i)
            if (NameOf(At(local.get(), i).get()) == L"sub")
                sub = At(local.get(), i);
        ASSERT_TRUE(sub);
        ComPtr<_FoundedFile> file = At(ChildsOf(sub.get()).get(), 0); // sub\c.txt, 7 bytes
        double compressed = -1, again = -1, folder = -1;
        file->get_CompressedFileSize(&compressed);
        file->get_CompressedFileSize(&again);
        sub->get_CompressedFileSize(&folder);
        ASSERT_EQ(volume.Asked.size(), 2u) << "once per record read, then kept";
        EXPECT_EQ(volume.Asked[0], m_root / L"sub\\c.txt");
        EXPECT_EQ(volume.Asked[1], m_root / L"sub");
        EXPECT_EQ(again, compressed);
        if (fail) {
            EXPECT_EQ(compressed, 7) << "the file's size stands in";
            EXPECT_EQ(folder, 9) << "the folder's summed size stands in";
        } else {
            DWORD high = 0;
            ::SetLastError(0);
            DWORD low = ::GetCompressedFileSizeW((m_root / L"sub\\c.txt").c_str(), &high);
            EXPECT_EQ(compressed, ::GetLastError() == 0 ? double(low) + double(high) * 4294967296.0 : 7.0)
                << "what the system says";
        }
    }
}

} // namespace
