// tovFSO's text files as COM clients use them: reading with detected and
// explicit formats, writing in every format, appending in the file's own
// format, and the errors each method gives for missing files and folders.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include "Ormelin0105.h"

#include "SimulatedFileSystem.h"
#include "classes/tovFSO.h"

#include <gtest/gtest.h>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;

namespace {

struct Format {
    long Encoding, FileBOM, InvertBytes;
    bool operator==(const Format& o) const
    {
        return Encoding == o.Encoding && FileBOM == o.FileBOM && InvertBytes == o.InvertBytes;
    }
};

std::ostream& operator<<(std::ostream& out, const Format& f)
{
    return out << "(" << f.Encoding << ", " << f.FileBOM << ", " << f.InvertBytes << ")";
}

struct ReadResult {
    HRESULT hr = E_UNEXPECTED;
    std::wstring text;
    Format used = {-7, -7, -7};
    VARIANT_BOOL success = 7;
};

class TextFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, m_fso.put_void()), S_OK);
    }

    std::wstring File(const std::string& bytes)
    {
        std::wstring path = m_folder / (L"t" + std::to_wstring(++m_count) + L".txt");
        WriteBytes(path, bytes);
        return path;
    }

    ReadResult Read(const std::wstring& path, Format requested = {0, 0, 0}, bool raiseErrors = true)
    {
        ReadResult r;
        Bstr text;
        r.hr = m_fso->GetFile2(Bstr::From(path).get(), raiseErrors ? VARIANT_TRUE : VARIANT_FALSE,
                               static_cast<FileEncodingConst>(requested.Encoding),
                               static_cast<FileBOMConst>(requested.FileBOM),
                               static_cast<InvertBytesConst>(requested.InvertBytes),
                               reinterpret_cast<FileEncodingConst*>(&r.used.Encoding),
                               reinterpret_cast<FileBOMConst*>(&r.used.FileBOM),
                               reinterpret_cast<InvertBytesConst*>(&r.used.InvertBytes), &r.success, text.put());
        r.text = text.str();
        return r;
    }

    HRESULT Put(const std::wstring& path, const std::wstring& text, Format format, bool raiseErrors = true,
                VARIANT_BOOL* done = nullptr)
    {
        VARIANT_BOOL result = 7;
        HRESULT hr = m_fso->PutFile2(Bstr::From(path).get(), Bstr::From(text).get(),
                                     raiseErrors ? VARIANT_TRUE : VARIANT_FALSE,
                                     static_cast<FileEncodingConst>(format.Encoding),
                                     static_cast<FileBOMConst>(format.FileBOM),
                                     static_cast<InvertBytesConst>(format.InvertBytes), &result);
        if (done)
            *done = result;
        return hr;
    }

    HRESULT Append(const std::wstring& path, const std::wstring& text, Format requested, Format* used = nullptr,
                   bool raiseErrors = true, VARIANT_BOOL* done = nullptr)
    {
        Format reported = {-7, -7, -7};
        VARIANT_BOOL result = 7;
        HRESULT hr = m_fso->AppendFile2(Bstr::From(path).get(), Bstr::From(text).get(),
                                        raiseErrors ? VARIANT_TRUE : VARIANT_FALSE,
                                        static_cast<FileEncodingConst>(requested.Encoding),
                                        static_cast<FileBOMConst>(requested.FileBOM),
                                        static_cast<InvertBytesConst>(requested.InvertBytes),
                                        reinterpret_cast<FileEncodingConst*>(&reported.Encoding),
                                        reinterpret_cast<FileBOMConst*>(&reported.FileBOM),
                                        reinterpret_cast<InvertBytesConst*>(&reported.InvertBytes), &result);
        if (used)
            *used = reported;
        if (done)
            *done = result;
        return hr;
    }

    ComPtr<_tovFSO> m_fso;
    TempFolder m_folder;
    int m_count = 0;
};

const Format Ansi = {1, 1, 1};

} // namespace

TEST_F(TextFiles, ReadsWhatTheMarksSayAndReportsTheFormatUsed)
{
    struct Case {
        std::string bytes;
        Format requested;
        std::wstring text;
        Format used;
    } cases[] = {
        {"", {0, 0, 0}, L"", Ansi},
        {"\xEF\xBB\xBF" "h\xC3\xA9!", {0, 0, 0}, L"h\u00E9!", {2, 2, 1}},
        {std::string("\xFE\xFF\x00h\x00i", 6), {0, 0, 0}, L"hi", {3, 2, 2}},
        {std::string("h\0i\0", 4), {3, 0, 0}, L"hi", {3, 1, 1}},
        {"\xEF\xBB\xBF" "a", {1, 0, 0}, L"\u00EF\u00BB\u00BF" L"a", {1, 2, 1}},
        {"h\xC3\xA9", {0, 0, 0}, L"h\u00C3\u00A9", Ansi}, // UTF-8 without a mark reads as ANSI
        {"abcdef", {2, 2, 0}, L"def", {2, 2, 1}},          // a forced mark costs three bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        ReadResult r = Read(File(c.bytes), c.requested);
        ASSERT_EQ(r.hr, S_OK);
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.used, c.used);
        EXPECT_EQ(r.success, VARIANT_TRUE);
    }
}

TEST_F(TextFiles, RangeErrorsAreRaisedWhateverRaiseErrorsSays)
{
    std::wstring path = File("abc");
    for (Format bad : {Format{4, 0, 0}, Format{0, 3, 0}, Format{0, 0, -1}}) {
        ReadResult r = Read(path, bad, false);
        EXPECT_EQ(r.hr, ErrorStatus(5));
        EXPECT_EQ(r.success, VARIANT_FALSE);
        EXPECT_EQ(TakeErrorInfo().Source, L"tovFSO");
        EXPECT_EQ(Put(path, L"new", bad, false), ErrorStatus(5));
        EXPECT_EQ(Append(path, L"new", bad, nullptr, false), ErrorStatus(5));
    }
    EXPECT_EQ(ReadBytes(path), "abc") << "nothing written on a range error";
}

TEST_F(TextFiles, OddByteSwappedUtf16IsError9WhateverRaiseErrorsSays)
{
    ReadResult r = Read(File(std::string("\xFE\xFF\x00h\x00", 5)), {0, 0, 0}, false);
    EXPECT_EQ(r.hr, ErrorStatus(9));
    EXPECT_EQ(r.success, VARIANT_FALSE);
}

namespace {

// Simulated: a read that fails once the file is open and its first bytes
// have been read (Windows gives ERROR_CRC for a bad sector; Wine cannot be
// made to). Every other call is the real one.
class FailingReads final : public testing_support::SimulatedFileSystem {
public:
    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read) override
    {
        if (++m_reads == 1)
            return Real().Read(file, buffer, size, read);
        ::SetLastError(ERROR_CRC);
        return false;
    }

private:
    int m_reads = 0;
};

} // namespace

TEST_F(TextFiles, AReadFailingAfterTheOpenFollowsRaiseErrors)
{
    // The simulated file system reaches the library's code only in this
    // process, so the object is made here rather than by the registered DLL.
    std::wstring path = File("\xEF\xBB\xBF" + std::string(100, 'x'));
    tovrin::ComPtr<tovrin::tovFSO> local = tovrin::tovFSO::Create();
    for (VARIANT_BOOL raiseErrors : {VARIANT_FALSE, VARIANT_TRUE}) {
        FailingReads simulated;
        FileEncodingConst encoding = static_cast<FileEncodingConst>(-7);
        FileBOMConst mark = static_cast<FileBOMConst>(-7);
        InvertBytesConst order = static_cast<InvertBytesConst>(-7);
        VARIANT_BOOL success = 7;
        Bstr text;
        HRESULT hr = local->GetFile2(Bstr::From(path).get(), raiseErrors, feAuto, fbAuto, ibAuto, &encoding, &mark,
                                     &order, &success, text.put());
        EXPECT_EQ(hr, raiseErrors ? ErrorStatus(75) : S_OK);
        EXPECT_EQ(success, VARIANT_FALSE);
        EXPECT_EQ(text.str(), L"");
        EXPECT_EQ((Format{encoding, mark, order}), (Format{-7, -7, -7})) << "the caller's values stay";
    }
    EXPECT_EQ(Read(path).text, std::wstring(100, L'x'));
}

TEST_F(TextFiles, WritesEachFormat)
{
    std::wstring path = m_folder / L"w.txt";
    struct Case {
        Format format;
        std::string bytes;
    } cases[] = {
        {{1, 2, 1}, "abc"}, // the declared defaults: ANSI never gets a mark
        {{0, 0, 0}, "abc"},
        {{2, 0, 0}, "\xEF\xBB\xBF" "abc"}, // 0 means a mark when writing
        {{2, 1, 0}, "abc"},
        {{3, 2, 2}, std::string("\xFE\xFF\0a\0b\0c", 8)},
        {{3, 0, 0}, std::string("\xFF\xFE" "a\0b\0c\0", 8)},
        {{3, 1, 2}, std::string("\0a\0b\0c", 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.format));
        VARIANT_BOOL done = VARIANT_FALSE;
        ASSERT_EQ(Put(path, L"abc", c.format, true, &done), S_OK);
        EXPECT_EQ(done, VARIANT_TRUE);
        EXPECT_EQ(ReadBytes(path), c.bytes);
    }
}

TEST_F(TextFiles, EveryFormatRoundTrips)
{
    const std::wstring text = L"line one\r\nGr\u00FC\u00DFe \u20AC \u0416\u0438\u0437\u043D\u044C \U0001F600\r\n";
    const std::wstring ansiText = L"caf\u00E9 \u20AC na\u00EFve";
    struct Case {
        Format written;
        Format read; // what the reader is told: marks speak for themselves
        Format used;
    } cases[] = {
        {{1, 1, 1}, {0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}}, {{2, 2, 1}, {0, 0, 0}, {2, 2, 1}},
        {{2, 0, 0}, {0, 0, 0}, {2, 2, 1}}, {{2, 1, 1}, {2, 0, 0}, {2, 1, 1}}, {{3, 2, 1}, {0, 0, 0}, {3, 2, 1}},
        {{3, 2, 2}, {0, 0, 0}, {3, 2, 2}}, {{3, 1, 1}, {3, 0, 0}, {3, 1, 1}}, {{3, 1, 2}, {3, 0, 2}, {3, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.written));
        const std::wstring& sample = c.written.Encoding <= 1 ? ansiText : text;
        std::wstring path = m_folder / L"round.txt";
        ASSERT_EQ(Put(path, sample, c.written), S_OK);
        ReadResult r = Read(path, c.read);
        ASSERT_EQ(r.hr, S_OK);
        EXPECT_TRUE(r.text == sample) << Narrow(r.text);
        EXPECT_EQ(r.used, c.used);
    }
}

TEST_F(TextFiles, WhatAnsiAndUtf8DoWithCharactersTheyCannotHold)
{
    std::wstring path = m_folder / L"lossy.txt";
    // ANSI (code page 1252 here) has no CJK: the character becomes "?".
    ASSERT_EQ(Put(path, L"a\u4E00b", {1, 0, 0}), S_OK);
    EXPECT_EQ(ReadBytes(path), "a?b");
    // UTF-8 cannot hold a lone surrogate: it becomes U+FFFD.
    ASSERT_EQ(Put(path, std::wstring{L'a', 0xD800, L'b'}, {2, 1, 0}), S_OK);
    EXPECT_EQ(ReadBytes(path), "a\xEF\xBF\xBD" "b");
}

TEST_F(TextFiles, AppendingFollowsTheFilesOwnFormat)
{
    Format used;
    std::wstring fresh = m_folder / L"fresh.txt";
    ASSERT_EQ(Append(fresh, L"a", {2, 0, 0}, &used), S_OK);
    EXPECT_EQ(ReadBytes(fresh), "\xEF\xBB\xBF" "a");
    EXPECT_EQ(used, (Format{2, 2, 1}));

    std::wstring utf8 = File("\xEF\xBB\xBF" "a");
    ASSERT_EQ(Append(utf8, L"\u00E9", {0, 0, 0}, &used), S_OK);
    EXPECT_EQ(ReadBytes(utf8), "\xEF\xBB\xBF" "a\xC3\xA9") << "no second mark";
    EXPECT_EQ(used, (Format{2, 2, 1}));

    std::wstring bigEndian = File(std::string("\xFE\xFF\0a", 4));
    ASSERT_EQ(Append(bigEndian, L"b", {0, 0, 0}, &used), S_OK);
    EXPECT_EQ(ReadBytes(bigEndian), std::string("\xFE\xFF\0a\0b", 6));

    std::wstring empty = File("");
    ASSERT_EQ(Append(empty, L"x", {3, 2, 0}, &used), S_OK);
    EXPECT_EQ(ReadBytes(empty), std::string("\xFF\xFEx\0", 4)) << "an empty file gets the mark";

    std::wstring unmarked = File("h\xC3\xA9");
    ASSERT_EQ(Append(unmarked, L"\u00E9", {0, 0, 0}, &used), S_OK);
    EXPECT_EQ(ReadBytes(unmarked), "h\xC3\xA9\xE9") << "detection says ANSI";
    EXPECT_EQ(used, Ansi);
}

TEST_F(TextFiles, AppendingToAFileThatCannotBeReadWritesNothing)
{
    std::wstring path = File("\xEF\xBB\xBF" "kept");
    tovrin::Handle held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(Append(path, L"more", {0, 0, 0}, nullptr, false, &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE);
    EXPECT_EQ(Append(path, L"more", {0, 0, 0}, nullptr, true), ErrorStatus(70));
    held.reset();
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF" "kept");
}

TEST_F(TextFiles, MissingFilesAndFoldersForEveryMethod)
{
    std::wstring missingFile = m_folder / L"missing.txt";
    std::wstring missingFolder = m_folder / L"no folder\\file.txt";

    ReadResult quiet = Read(missingFile, {0, 0, 0}, false);
    EXPECT_EQ(quiet.hr, S_OK);
    EXPECT_EQ(quiet.text, L"");
    EXPECT_EQ(quiet.success, VARIANT_FALSE);
    EXPECT_EQ(quiet.used.Encoding, -7) << "the outputs keep the caller's values";
    EXPECT_EQ(Read(missingFile).hr, ErrorStatus(53));
    EXPECT_EQ(Read(missingFolder).hr, ErrorStatus(53));

    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(Put(missingFolder, L"x", {0, 0, 0}, false, &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE);
    EXPECT_EQ(Put(missingFolder, L"x", {0, 0, 0}, true), ErrorStatus(76));
    EXPECT_EQ(Append(missingFolder, L"x", {0, 0, 0}, nullptr, false, &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE);
    EXPECT_EQ(Append(missingFolder, L"x", {0, 0, 0}, nullptr, true), ErrorStatus(76));
    VARIANT_BOOL overwritten = VARIANT_TRUE;
    EXPECT_EQ(m_fso->OverwriteFile2(Bstr::From(missingFolder).get(), Bstr::From(L"x").get(), VARIANT_FALSE, feAuto,
                                    fbAuto, ibAuto, &overwritten),
              ErrorStatus(76))
        << "the truncation raises whatever RaiseErrors says";

    // Missing files are created by the writers.
    EXPECT_EQ(Put(missingFile, L"p", {0, 0, 0}), S_OK);
    ASSERT_TRUE(::DeleteFileW(missingFile.c_str()));
    EXPECT_EQ(Append(missingFile, L"a", {0, 0, 0}), S_OK);
    ASSERT_TRUE(::DeleteFileW(missingFile.c_str()));
    EXPECT_EQ(m_fso->OverwriteFile2(Bstr::From(missingFile).get(), Bstr::From(L"o").get(), VARIANT_TRUE, feAuto,
                                    fbAuto, ibAuto, &overwritten),
              S_OK);
    EXPECT_EQ(ReadBytes(missingFile), "o");
}

TEST_F(TextFiles, TwinsWriteTheFormatBackIntoScriptVariables)
{
    std::wstring path = File("\xEF\xBB\xBF" "text");
    Bstr name = Bstr::From(path);
    tovrin::Variant encoding = Arg(L"0"), fileBOM, invertBytes = Arg(0L), success;
    tovrin::Variant r1 = Ref(encoding.get()), r2 = Ref(fileBOM.get()), r3 = Ref(invertBytes.get()),
                    r4 = Ref(success.get());
    tovrin::Variant nameArg = Arg(path.c_str()), missing = Missing();
    CallResult result = CallByName(m_fso.get(), L"GetFile2ByVar",
                                   {nameArg.get(), missing.get(), missing.get(), missing.get(), missing.get(), r1.get(),
                                    r2.get(), r3.get(), r4.get()});
    ASSERT_EQ(result.hr, S_OK);
    EXPECT_EQ(Text(result.value.get()), L"text");
    EXPECT_EQ(V_VT(encoding.get()), VT_I4);
    EXPECT_EQ(V_I4(encoding.get()), 2);
    EXPECT_EQ(V_I4(fileBOM.get()), 2);
    EXPECT_EQ(V_I4(invertBytes.get()), 1);
    EXPECT_EQ(V_VT(success.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(success.get()), VARIANT_TRUE);
}
