// The two list-file readers and their different rules, as COM clients see
// them: what each form keeps, the keys of the items, and failures.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include "Ormelin0105.h"

#include <gtest/gtest.h>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;

namespace {

struct Options {
    std::wstring Comment = L";";
    bool IgnoreBlanks = true;
    bool TrimStrings = true;
};

class ListFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, m_fso.put_void()), S_OK);
    }

    std::wstring File(const std::string& bytes)
    {
        std::wstring path = m_folder / (L"l" + std::to_wstring(++m_count) + L".txt");
        WriteBytes(path, bytes);
        return path;
    }

    // The items, joined with "|", or "(none)" when no collection came back.
    static std::wstring Items(Collection* list)
    {
        if (!list)
            return L"(none)";
        long count = 0;
        list->Count(&count);
        std::wstring all;
        for (long i = 1; i <= count; ++i) {
            tovrin::Variant index = Arg(i), item;
            list->Item(index.get(), item.put());
            all += (i > 1 ? L"|" : L"") + Text(item.get());
        }
        return all;
    }

    std::wstring First(const std::wstring& path, const Options& o = Options(), bool isOem = false)
    {
        ComPtr<Collection> list;
        EXPECT_EQ(m_fso->ReadStandardListFile(Bstr::From(path).get(), Bstr::From(o.Comment).get(),
                                              o.IgnoreBlanks ? VARIANT_TRUE : VARIANT_FALSE,
                                              o.TrimStrings ? VARIANT_TRUE : VARIANT_FALSE,
                                              isOem ? VARIANT_TRUE : VARIANT_FALSE, VARIANT_FALSE, list.put()),
                  S_OK);
        return Items(list.get());
    }

    std::wstring Second(const std::wstring& path, const Options& o = Options(), VARIANT_BOOL* success = nullptr,
                        long encoding = 0)
    {
        ComPtr<Collection> list;
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(m_fso->ReadStandardListFile2(Bstr::From(path).get(), Bstr::From(o.Comment).get(),
                                               o.IgnoreBlanks ? VARIANT_TRUE : VARIANT_FALSE,
                                               o.TrimStrings ? VARIANT_TRUE : VARIANT_FALSE, VARIANT_FALSE,
                                               static_cast<FileEncodingConst>(encoding), fbAuto, ibAuto, nullptr,
                                               nullptr, nullptr, &ok, list.put()),
                  S_OK);
        if (success)
            *success = ok;
        return Items(list.get());
    }

    ComPtr<_tovFSO> m_fso;
    TempFolder m_folder;
    int m_count = 0;
};

const std::string FourLines = "a\r\n;x\r\n\r\n  b  \r\n";

} // namespace

TEST_F(ListFiles, DefaultsLeaveOutBlanksAndComments)
{
    std::wstring path = File(FourLines);
    EXPECT_EQ(First(path), L"a|b");
    EXPECT_EQ(Second(path), L"a|b");
}

TEST_F(ListFiles, KeepingBlanksShowsHowEachFormSplits)
{
    Options keep;
    keep.IgnoreBlanks = false;
    std::wstring path = File(FourLines);
    EXPECT_EQ(First(path, keep), L"a||b");
    EXPECT_EQ(Second(path, keep), L"a||b|") << "the piece after the last CR LF";
}

TEST_F(ListFiles, EachFormTestsCommentsItsOwnWay)
{
    Options untrimmed;
    untrimmed.TrimStrings = false;
    std::wstring indented = File("  ;x\r\nz");
    EXPECT_EQ(First(indented, untrimmed), L"z") << "the first form tests the trimmed text";
    EXPECT_EQ(Second(indented, untrimmed), L"  ;x|z");

    Options rem;
    rem.Comment = L"REM";
    std::wstring remarks = File("rem lower\r\nREM upper\r\nkept");
    EXPECT_EQ(First(remarks, rem), L"rem lower|kept") << "the first form compares with case";
    EXPECT_EQ(Second(remarks, rem), L"kept");

    Options none;
    none.Comment = L"";
    EXPECT_EQ(First(File(";a\r\nb"), none), L";a|b") << "an empty marker tests nothing";
}

TEST_F(ListFiles, LineEndsDifferBetweenTheForms)
{
    std::wstring lineFeed = File("a\nb");
    EXPECT_EQ(First(lineFeed), L"a\nb");
    EXPECT_EQ(Second(lineFeed), L"a\nb");
    std::wstring carriageReturn = File("a\rb\r");
    EXPECT_EQ(First(carriageReturn), L"a|b") << "a lone CR ends a line in the first form";
    EXPECT_EQ(Second(carriageReturn), L"a\rb") << "one line; trimming takes the last CR";
}

TEST_F(ListFiles, ItemsAreKeyedByPosition)
{
    std::wstring path = File("one\r\n;skip\r\ntwo\r\n");
    ComPtr<Collection> list;
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(m_fso->ReadStandardListFile2(Bstr::From(path).get(), Bstr::From(L";").get(), VARIANT_TRUE, VARIANT_TRUE,
                                           VARIANT_FALSE, feAuto, fbAuto, ibAuto, nullptr, nullptr, nullptr, &ok,
                                           list.put()),
              S_OK);
    tovrin::Variant key = Arg(L"2"), item;
    ASSERT_EQ(list->Item(key.get(), item.put()), S_OK);
    EXPECT_EQ(Text(item.get()), L"two");
}

TEST_F(ListFiles, TheSecondFormReadsEveryTextFormat)
{
    std::string utf16("\xFF\xFE" "a\0\r\0\n\0\x16\x04\0", 12);
    utf16.pop_back();
    utf16 += std::string("\0", 1);
    EXPECT_EQ(Second(File(utf16)), L"a|\u0416");
    EXPECT_EQ(Second(File("\xEF\xBB\xBF" "\xC3\xA9t\xC3\xA9\r\n")), L"\u00E9t\u00E9");
}

TEST_F(ListFiles, OemListsComeBackAsText)
{
    if (::GetOEMCP() != 437)
        GTEST_SKIP() << "case written for OEM code page 437";
    EXPECT_EQ(First(File("caf\x82\r\n"), Options(), true), L"caf\u00E9");
}

TEST_F(ListFiles, EmptyAndMissingFiles)
{
    VARIANT_BOOL success = VARIANT_FALSE;
    EXPECT_EQ(First(File("")), L"");
    EXPECT_EQ(Second(File(""), Options(), &success), L"");
    EXPECT_EQ(success, VARIANT_TRUE);

    std::wstring missing = m_folder / L"missing.txt";
    EXPECT_EQ(First(missing), L"(none)") << "the first form gives no object";
    EXPECT_EQ(Second(missing, Options(), &success), L"") << "the second an empty collection";
    EXPECT_EQ(success, VARIANT_FALSE);
    EXPECT_EQ(Second(File("abc"), Options(), &success, 4), L"") << "a range error is suppressed too";
    EXPECT_EQ(success, VARIANT_FALSE);

    ComPtr<Collection> list;
    EXPECT_EQ(m_fso->ReadStandardListFile(Bstr::From(missing).get(), Bstr::From(L";").get(), VARIANT_TRUE,
                                          VARIANT_TRUE, VARIANT_FALSE, VARIANT_TRUE, list.put()),
              ErrorStatus(53));
    EXPECT_EQ(m_fso->ReadStandardListFile2(Bstr::From(missing).get(), Bstr::From(L";").get(), VARIANT_TRUE,
                                           VARIANT_TRUE, VARIANT_TRUE, feAuto, fbAuto, ibAuto, nullptr, nullptr,
                                           nullptr, &success, list.put()),
              ErrorStatus(53));
    EXPECT_EQ(m_fso->ReadStandardListFile2(Bstr::From(m_folder / L"no folder\\x.txt").get(), Bstr::From(L";").get(),
                                           VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE, feAuto, fbAuto, ibAuto, nullptr,
                                           nullptr, nullptr, &success, list.put()),
              ErrorStatus(53));
}
