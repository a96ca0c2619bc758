// Descript.ion files as clients use them: tovDescriptIon created from the
// registered library, the four description members of tovFSO, the bytes
// written in each code page, and a write that fails half-way. The prefix's
// OEM code page is 437.
#include "ComTestSupport.h"
#include "SimulatedFileSystem.h"
#include "TestFiles.h"

#include "Ormelin0105.h"
#include "classes/tovDescriptIon.h"

#include <gtest/gtest.h>

#include <functional>

#include <utility>
#include <vector>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;

namespace {

using Entries = std::vector<std::pair<std::wstring, std::wstring>>;

class Descriptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::GetOEMCP(), 437u);
        ASSERT_EQ(::CoCreateInstance(CLSID_tovDescriptIon, nullptr, CLSCTX_INPROC_SERVER, IID__tovDescriptIon,
                                     m_list.put_void()),
                  S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, m_fso.put_void()),
                  S_OK);
    }

    std::wstring DescriptionFile() const { return m_folder / L"Descript.ion"; }

    // The attributes a description file is left with. Wine reports every
    // regular file as archived, so that bit is not compared.
    DWORD Attributes() const { return ::GetFileAttributesW(DescriptionFile().c_str()) & ~FILE_ATTRIBUTE_ARCHIVE; }

    bool Read(const std::string& bytes)
    {
        WriteBytes(DescriptionFile(), bytes);
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_EQ(m_list->ReadFile(Bstr::From(DescriptionFile()).get(), &ok), S_OK);
        return ok != VARIANT_FALSE;
    }

    Entries Listed()
    {
        Entries entries;
        long count = -1;
        m_list->get_ItemCount(&count);
        for (long i = 0; i < count; ++i) {
            Bstr name, description;
            m_list->get_ItemFileName(i, name.put());
            m_list->get_ItemDescription(i, description.put());
            entries.emplace_back(name.str(), description.str());
        }
        return entries;
    }

    bool Utf8Mode()
    {
        VARIANT_BOOL utf8 = 7;
        m_list->get_UTF8Mode(&utf8);
        return utf8 != VARIANT_FALSE;
    }

    bool Write()
    {
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_EQ(m_list->WriteFile(Bstr::From(DescriptionFile()).get(), &ok), S_OK);
        return ok != VARIANT_FALSE;
    }

    void Add(const std::wstring& name, const std::wstring& description)
    {
        ASSERT_EQ(m_list->AddItem(Bstr::From(name).get(), Bstr::From(description).get()), S_OK);
    }

    bool Set(const std::wstring& file, const std::wstring& text, VARIANT_BOOL autoUtf8 = VARIANT_TRUE)
    {
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_EQ(m_fso->SetFileDescription2(Bstr::From(m_folder / file).get(), Bstr::From(text).get(), autoUtf8, &ok),
                  S_OK);
        return ok != VARIANT_FALSE;
    }

    std::wstring Get(const std::wstring& file)
    {
        Bstr text;
        EXPECT_EQ(m_fso->GetFileDescription(Bstr::From(m_folder / file).get(), text.put()), S_OK);
        return text.str();
    }

    TempFolder m_folder;
    ComPtr<_tovDescriptIon> m_list;
    ComPtr<_tovFSO> m_fso;
};

TEST_F(Descriptions, LinesAreSplitOnTheirBytes)
{
    const struct {
        const char* what;
        std::string bytes;
        bool utf8;
        Entries entries;
    } cases[] = {
        {"quoted, bare, and a quoted name right before its text",
         "\"my file.txt\" Quarterly report\r\nnotes.txt  two blanks\r\n\"b c\"text\r\n", false,
         {{L"my file.txt", L"Quarterly report"}, {L"notes.txt", L"two blanks"}, {L"b c", L"text"}}},
        {"skipped: no separator, a leading blank or tab, a name of quotes, a lone quote as text",
         "alone\r\n lead x\r\n\tlead x\r\n\"\" x\r\n\"\"\"\" x\r\nq.txt \"\r\nkept.txt  \r\n", false,
         {{L"kept.txt", L""}}},
        {"a lone CR ends a line, a lone LF does not, the last line needs no end",
         "a.txt one\rb.txt two\nstill two\r\nc.txt three", false,
         {{L"a.txt", L"one"}, {L"b.txt", L"two\nstill two"}, {L"c.txt", L"three"}}},
        {"the first line for a name wins, whatever its letter case", "A.TXT first\r\na.txt second\r\n", false,
         {{L"A.TXT", L"first"}}},
        {"NUL inside a text, markers and continuation bytes at its end stay",
         std::string("n.txt a\0b \x04\xC2\r\n", 14), false, {{L"n.txt", std::wstring(L"a\0b \x0004\x252C", 6)}}},
        {"OEM letters", "caf\x82.txt na\x8Bve\r\n", false, {{L"caf\u00E9.txt", L"na\u00EFve"}}},
        {"UTF-8 after a mark", "\xEF\xBB\xBF" "caf\xC3\xA9.txt \xE2\x82\xAC 5\r\n", true,
         {{L"caf\u00E9.txt", L"\u20AC 5"}}},
        {"invalid UTF-8 after a mark decodes to replacement characters", "\xEF\xBB\xBF" "x.txt \xC3(\xFF\r\n", true,
         {{L"x.txt", L"\uFFFD(\uFFFD"}}},
        {"a mark alone", "\xEF\xBB\xBF", true, {}},
        {"a line of a megabyte", "big.txt " + std::string(1 << 20, 'x'), false,
         {{L"big.txt", std::wstring(1 << 20, L'x')}}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Read(c.bytes)) << c.what;
        EXPECT_EQ(Utf8Mode(), c.utf8) << c.what;
        EXPECT_EQ(Listed(), c.entries) << c.what;
    }
}

TEST_F(Descriptions, WritesTheExactBytesOfEachCodePageAndLeavesTheFileHidden)
{
    WriteBytes(DescriptionFile(), "old");
    ::SetFileAttributesW(DescriptionFile().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    Add(L"my file.txt", L"Quarterly");
    Add(L"caf\u00E9.txt", L"na\u00EFve \u20AC");
    Add(L"tab\tname", std::wstring(L"lf\nin the middle, NUL\0kept", 26));
    ASSERT_TRUE(Write());
    const std::string nul(1, '\0');
    EXPECT_EQ(ReadBytes(DescriptionFile()), "\"my file.txt\" Quarterly\r\ncaf\x82.txt na\x8Bve ?\r\n"
                                            "\"tab\tname\" lf\nin the middle, NUL" + nul + "kept\r\n");
    EXPECT_EQ(Attributes(), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

    m_list->put_UTF8Mode(VARIANT_TRUE);
    ASSERT_TRUE(Write());
    EXPECT_EQ(ReadBytes(DescriptionFile()), "\xEF\xBB\xBF\"my file.txt\" Quarterly\r\ncaf\xC3\xA9.txt na\xC3\xAFve "
                                            "\xE2\x82\xAC\r\n\"tab\tname\" lf\nin the middle, NUL" + nul + "kept\r\n");
}

TEST_F(Descriptions, ACarriageReturnInATextEndsItWhenReadBack)
{
    Add(L"a.txt", L"first\rb.txt second");
    ASSERT_TRUE(Write());
    ASSERT_TRUE(Read(ReadBytes(DescriptionFile())));
    EXPECT_EQ(Listed(), (Entries{{L"a.txt", L"first"}, {L"b.txt", L"second"}}));
}

TEST_F(Descriptions, PositionsAreZeroBasedAndNamesIgnoreLetterCase)
{
    ASSERT_TRUE(Read("a.txt one\r\nb.txt two\r\nc.txt three\r\n"));
    VARIANT_BOOL removed = 7;
    for (long index : {-1L, 3L}) {
        EXPECT_EQ(m_list->RemoveItem(index, &removed), S_OK);
        EXPECT_EQ(removed, VARIANT_FALSE) << index;
    }
    Bstr text;
    m_list->get_ItemFileName(3, text.put());
    EXPECT_EQ(text.str(), L"");
    m_list->get_ItemDescriptionByFileName(Bstr::From(L"B.TXT").get(), text.put());
    EXPECT_EQ(text.str(), L"two");

    Add(L"A.TXT", L"replaced");
    Add(L"c.txt", L"");
    EXPECT_EQ(Listed(), (Entries{{L"b.txt", L"two"}, {L"A.TXT", L"replaced"}}));
    EXPECT_EQ(m_list->RemoveItem(0, &removed), S_OK);
    EXPECT_EQ(removed, VARIANT_TRUE);
    EXPECT_EQ(m_list->RemoveItemByFileName(Bstr::From(L"a.txt").get(), &removed), S_OK);
    EXPECT_EQ(removed, VARIANT_TRUE);
    EXPECT_EQ(m_list->RemoveItemByFileName(Bstr::From(L"").get(), &removed), S_OK);
    EXPECT_EQ(removed, VARIANT_FALSE);
    EXPECT_TRUE(Listed().empty());
}

TEST_F(Descriptions, AnEmptyListDeletesTheFileAndNeverWritesOne)
{
    ASSERT_TRUE(Read("\xEF\xBB\xBF"));
    EXPECT_TRUE(Write());
    EXPECT_FALSE(Exists(DescriptionFile()));
    EXPECT_TRUE(Write()) << "nothing to delete";
    EXPECT_FALSE(Exists(DescriptionFile()));

    ComPtr<_tovDescriptIon> fresh;
    ASSERT_EQ(::CoCreateInstance(CLSID_tovDescriptIon, nullptr, CLSCTX_INPROC_SERVER, IID__tovDescriptIon,
                                 fresh.put_void()),
              S_OK);
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(fresh->WriteDirectoryFile(Bstr::From(L"").get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "no file was ever read";
}

TEST_F(Descriptions, MissingLockedAndFolderPathsAreResultsNotErrors)
{
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(m_list->ReadFile(Bstr::From(DescriptionFile()).get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE) << "a missing file is an empty list";
    Bstr name;
    m_list->get_FileName(name.put());
    EXPECT_EQ(name.str(), DescriptionFile());

    WriteBytes(DescriptionFile(), "a.txt one\r\n");
    {
        tovrin::Handle lock(::CreateFileW(DescriptionFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                          nullptr));
        ASSERT_TRUE(lock.valid());
        EXPECT_EQ(m_list->ReadFile(Bstr::From(DescriptionFile()).get(), &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_FALSE);
        m_list->get_FileName(name.put());
        EXPECT_EQ(name.str(), L"");
    }
    EXPECT_EQ(m_list->ReadFile(Bstr::From(m_folder / L"missing\\Descript.ion").get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "a missing folder is not a missing file";

    for (const std::wstring& folder : {m_folder.Path(), m_folder.Path() + L"\\"}) {
        EXPECT_EQ(m_list->ReadDirectoryFile(Bstr::From(folder).get(), &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_TRUE);
        EXPECT_EQ(Listed(), (Entries{{L"a.txt", L"one"}}));
    }
}

// A disk that fills after the first bytes of a write: simulated, since a
// full disk cannot be had on demand.
class DiskFillsAfter final : public SimulatedFileSystem {
public:
    explicit DiskFillsAfter(DWORD room) : m_room(room) {}
    bool Write(HANDLE file, const void* buffer, DWORD size, DWORD* written) override
    {
        DWORD fits = size < m_room ? size : m_room;
        m_room -= fits;
        Real().Write(file, buffer, fits, written);
        if (fits == size)
            return true;
        ::SetLastError(ERROR_DISK_FULL);
        return false;
    }

private:
    DWORD m_room;
};

TEST_F(Descriptions, SimulatedFullDiskLeavesThePreviousFileAsItWas)
{
    const std::string before = "a.txt one\r\nb.txt two\r\n";
    WriteBytes(DescriptionFile(), before);
    ::SetFileAttributesW(DescriptionFile().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    // The simulated file system reaches the library's code only in this
    // process, so the object is made here rather than by the registered DLL.
    ComPtr<tovrin::tovDescriptIon> local = tovrin::tovDescriptIon::Create();
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(local->ReadFile(Bstr::From(DescriptionFile()).get(), &ok), S_OK);
    local->AddItem(Bstr::From(L"c.txt").get(), Bstr::From(L"a longer third description").get());
    {
        DiskFillsAfter full(10);
        EXPECT_EQ(local->WriteFile(Bstr::From(L"").get(), &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_FALSE);
    }
    EXPECT_EQ(ReadBytes(DescriptionFile()), before);
    EXPECT_EQ(Attributes(), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    WIN32_FIND_DATAW found = {};
    tovrin::FindHandle search(::FindFirstFileW((m_folder / L"*.tmp").c_str(), &found));
    EXPECT_FALSE(search.valid()) << "no half-written file is left beside it";

    EXPECT_EQ(local->WriteFile(Bstr::From(L"").get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE) << "with room on the disk the same write succeeds";
}

TEST_F(Descriptions, TovFsoSetsGetsAndDeletesOneFilesDescription)
{
    EXPECT_EQ(Get(L"readme.txt"), L"") << "no description file";
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(m_fso->DeleteFileDescription(Bstr::From(m_folder / L"readme.txt").get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_FALSE(Exists(DescriptionFile())) << "deleting nothing creates nothing";

    ASSERT_TRUE(Set(L"readme.txt", L"plain"));
    EXPECT_EQ(ReadBytes(DescriptionFile()), "readme.txt plain\r\n");
    EXPECT_EQ(Attributes(), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(Set(L"other.txt", L"x"));
    ASSERT_TRUE(Set(L"README.TXT", L"new case"));
    EXPECT_EQ(ReadBytes(DescriptionFile()), "other.txt x\r\nREADME.TXT new case\r\n");
    EXPECT_EQ(Get(L"ReadMe.Txt"), L"new case");

    ASSERT_TRUE(Set(L"euro.txt", L"5 \u20AC", VARIANT_FALSE));
    EXPECT_EQ(ReadBytes(DescriptionFile()), "other.txt x\r\nREADME.TXT new case\r\neuro.txt 5 ?\r\n")
        << "without the switch the text goes through the OEM code page";
    ASSERT_TRUE(Set(L"euro.txt", L"5 \u20AC"));
    EXPECT_EQ(ReadBytes(DescriptionFile()),
              "\xEF\xBB\xBF" "other.txt x\r\nREADME.TXT new case\r\neuro.txt 5 \xE2\x82\xAC\r\n");
    ASSERT_TRUE(Set(L"other.txt", L"still UTF-8"));
    EXPECT_EQ(ReadBytes(DescriptionFile()).compare(0, 3, "\xEF\xBB\xBF"), 0) << "the switch never goes back";

    for (const wchar_t* file : {L"other.txt", L"readme.txt"}) {
        EXPECT_EQ(m_fso->DeleteFileDescription(Bstr::From(m_folder / file).get(), &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_TRUE);
    }
    ASSERT_TRUE(Set(L"euro.txt", L"")) << "an empty text removes the last entry";
    EXPECT_FALSE(Exists(DescriptionFile()));
}

TEST_F(Descriptions, TovFsoChangesNothingInAFolderItCannotRead)
{
    WriteBytes(DescriptionFile(), "a.txt one\r\n");
    tovrin::Handle lock(::CreateFileW(DescriptionFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.valid());
    EXPECT_EQ(Get(L"a.txt"), L"");
    EXPECT_FALSE(Set(L"a.txt", L"two"));
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(m_fso->DeleteFileDescription(Bstr::From(m_folder / L"a.txt").get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    lock.reset();
    EXPECT_EQ(ReadBytes(DescriptionFile()), "a.txt one\r\n");
}

// A change that changes nothing leaves the file as it was: its bytes (the
// lines the parser skips too) and its attributes.
TEST_F(Descriptions, TovFsoChangesThatChangeNothingWriteNothing)
{
    const std::string before = " an indented line the parser skips\r\nreadme.txt plain\r\n";
    WriteBytes(DescriptionFile(), before);
    const struct {
        const wchar_t* what;
        std::function<bool()> call;
    } cases[] = {
        {L"the same description again", [&] { return Set(L"readme.txt", L"plain"); }},
        {L"deleting a name without an entry",
         [&] {
             VARIANT_BOOL ok = VARIANT_FALSE;
             m_fso->DeleteFileDescription(Bstr::From(m_folder / L"other.txt").get(), &ok);
             return ok != VARIANT_FALSE;
         }},
        {L"a path ending in a backslash (no name)", [&] { return Set(L"", L"text"); }},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.call()) << Narrow(c.what);
        EXPECT_EQ(ReadBytes(DescriptionFile()), before) << Narrow(c.what);
        EXPECT_EQ(Attributes(), static_cast<DWORD>(0)) << Narrow(c.what) << ": no hidden attribute forced on it";
    }
}

// The file a description is for is named as the file members name it: the
// system's full path (trailing dots and blanks go, a relative name is in
// the current folder), its last component the name. A name that leaves no
// file name writes nothing, here or in the current folder.
TEST_F(Descriptions, TovFsoNamesTheFileAsTheSystemDoes)
{
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(m_folder.Path().c_str()));
    const struct {
        const wchar_t* given;
        bool described; // as a.txt
    } cases[] = {
        {L"a.txt.", true}, {L"a.txt ", true}, {L"a.txt. .", true}, {L"   ", false}, {L".\\", false},
    };
    for (const auto& c : cases) {
        ::SetFileAttributesW(DescriptionFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(DescriptionFile().c_str());
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(m_fso->SetFileDescription(Bstr::From(c.given).get(), Bstr::From(L"one").get(), &ok), S_OK);
        if (c.described) {
            EXPECT_EQ(ok, VARIANT_TRUE);
            EXPECT_EQ(ReadBytes(DescriptionFile()), "a.txt one\r\n") << Narrow(c.given);
        } else {
            EXPECT_FALSE(Exists(DescriptionFile())) << Narrow(c.given);
            EXPECT_FALSE(Exists(m_folder.Path() + L"\\..\\Descript.ion")) << Narrow(c.given);
        }
    }
    ::SetCurrentDirectoryW(saved);
}

// How the description file is put in place, recorded: Windows' ReplaceFile
// keeps the replaced file's security, alternate streams, hard links and the
// letter case of its name (the ReplaceFile documentation), where a rename
// puts a new file there; the bytes are flushed before. An attribute step
// that fails after the file was replaced does not make the write a failure.
class RecordedReplacing final : public SimulatedFileSystem {
public:
    bool Flush(HANDLE file) override
    {
        Calls.push_back(L"flush");
        return Real().Flush(file);
    }
    bool Replace(const std::wstring& from, const std::wstring& to) override
    {
        Calls.push_back(L"move");
        return Real().Replace(from, to);
    }
    bool ReplaceExisting(const std::wstring& replacement, const std::wstring& existing,
                         const std::wstring& backup) override
    {
        Calls.push_back(L"replace");
        return Real().ReplaceExisting(replacement, existing, backup);
    }
    bool SetAttributes(const std::wstring& name, DWORD attributes) override
    {
        if (attributes == FILE_ATTRIBUTE_HIDDEN && RefuseHidden) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        return Real().SetAttributes(name, attributes);
    }
    std::vector<std::wstring> Calls;
    bool RefuseHidden = false;
};

TEST_F(Descriptions, SimulatedReplacingKeepsTheFileAndFlushesFirst)
{
    ComPtr<tovrin::tovDescriptIon> local = tovrin::tovDescriptIon::Create();
    VARIANT_BOOL ok = VARIANT_FALSE;
    local->AddItem(Bstr::From(L"a.txt").get(), Bstr::From(L"one").get());
    {
        RecordedReplacing files;
        ASSERT_EQ(local->WriteFile(Bstr::From(DescriptionFile()).get(), &ok), S_OK);
        EXPECT_TRUE(ok);
        EXPECT_EQ(files.Calls, (std::vector<std::wstring>{L"flush", L"move"})) << "a new file is moved in";
    }
    local->AddItem(Bstr::From(L"b.txt").get(), Bstr::From(L"two").get());
    {
        RecordedReplacing files;
        files.RefuseHidden = true;
        ASSERT_EQ(local->WriteFile(Bstr::From(DescriptionFile()).get(), &ok), S_OK);
        EXPECT_TRUE(ok) << "the content is in place: the write succeeded";
        EXPECT_EQ(files.Calls, (std::vector<std::wstring>{L"flush", L"replace"})) << "an existing file is replaced";
    }
    EXPECT_EQ(ReadBytes(DescriptionFile()), "a.txt one\r\nb.txt two\r\n");
}

// ReplaceFileW failing at each step its documentation names, leaving the
// files where it says: ERROR_UNABLE_TO_REMOVE_REPLACED, both keep their
// names; ERROR_UNABLE_TO_MOVE_REPLACEMENT, both keep their names when a
// backup name is given, else the replaced file no longer exists and the
// replacement keeps its own name; ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, the
// replaced file exists under another name (the backup name when given) and
// the replacement under its own; any other error, both keep their names.
// A scanner holding the just-closed replacement is enough on Windows.
class ReplaceFailsAt final : public SimulatedFileSystem {
public:
    explicit ReplaceFailsAt(DWORD error) : m_error(error) {}
    bool ReplaceExisting(const std::wstring&, const std::wstring& existing, const std::wstring& backup) override
    {
        if (m_error == ERROR_UNABLE_TO_MOVE_REPLACEMENT && backup.empty())
            Real().Delete(existing);
        if (m_error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            Real().Replace(existing, backup.empty() ? existing + L"~RF1.TMP" : backup);
        ::SetLastError(m_error);
        return false;
    }

private:
    DWORD m_error;
};

TEST_F(Descriptions, SimulatedReplaceFailingAtAnyStepLeavesOneDescriptionFileAndNothingElse)
{
    const std::string before = "a.txt one\r\n";
    for (DWORD error : std::initializer_list<DWORD>{ERROR_UNABLE_TO_REMOVE_REPLACED, ERROR_UNABLE_TO_MOVE_REPLACEMENT,
                                                    ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, ERROR_ACCESS_DENIED}) {
        WriteBytes(DescriptionFile(), before);
        ComPtr<tovrin::tovDescriptIon> local = tovrin::tovDescriptIon::Create();
        VARIANT_BOOL ok = 7;
        ASSERT_EQ(local->ReadFile(Bstr::From(DescriptionFile()).get(), &ok), S_OK);
        local->AddItem(Bstr::From(L"b.txt").get(), Bstr::From(L"two").get());
        {
            ReplaceFailsAt files(error);
            ASSERT_EQ(local->WriteFile(Bstr::From(L"").get(), &ok), S_OK);
        }
        ASSERT_TRUE(Exists(DescriptionFile())) << error;
        const std::string after = ReadBytes(DescriptionFile());
        EXPECT_EQ(after, ok ? before + "b.txt two\r\n" : before) << error << ": the result tells which";
        std::vector<std::wstring> left;
        WIN32_FIND_DATAW found = {};
        tovrin::FindHandle search(::FindFirstFileW((m_folder / L"*").c_str(), &found));
        for (bool more = search.valid(); more; more = ::FindNextFileW(search.get(), &found))
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                left.push_back(found.cFileName);
        EXPECT_EQ(left, std::vector<std::wstring>{L"Descript.ion"}) << error;
    }
}

} // namespace
