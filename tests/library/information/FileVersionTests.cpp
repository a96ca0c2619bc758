// tovFileVersion as clients use it, on crafted version records (built with
// windres into resource-only libraries, and patched copies of them), on the
// build's own programs, a system library, and files with no record.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include "Ormelin0105.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;

namespace {

class FileVersion : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFileVersion, nullptr, CLSCTX_INPROC_SERVER, IID__tovFileVersion,
                                     m_version.put_void()),
                  S_OK);
    }

    bool Read(const std::wstring& path)
    {
        VARIANT_BOOL ok = 7;
        EXPECT_EQ(m_version->ReadFile(Bstr::From(path).get(), &ok), S_OK);
        return ok != VARIANT_FALSE;
    }

    static std::wstring Fixture(const std::wstring& name) { return ProgramFolder() + L"\\fixtures\\version_" + name + L".dll"; }

    // A copy of a fixture with the Translation value's length field set:
    // the record then announces a table of that many bytes.
    std::wstring WithTranslationLength(WORD length)
    {
        std::string bytes = ReadBytes(Fixture(L"two_translations"));
        const std::wstring key = L"Translation";
        std::string needle(reinterpret_cast<const char*>(key.c_str()), key.size() * 2);
        size_t at = bytes.find(needle);
        EXPECT_NE(at, std::string::npos);
        std::memcpy(&bytes[at - 4], &length, 2); // wLength, wValueLength, wType, then the key
        std::wstring path = m_folder / (L"patched" + std::to_wstring(length) + L".dll");
        WriteBytes(path, bytes);
        return path;
    }

    long Get(HRESULT (STDMETHODCALLTYPE _tovFileVersion::*property)(long*))
    {
        long value = -7;
        EXPECT_EQ((m_version.get()->*property)(&value), S_OK);
        return value;
    }

    std::wstring String(HRESULT (STDMETHODCALLTYPE _tovFileVersion::*property)(VARIANT_BOOL*, BSTR*), bool& exists)
    {
        VARIANT_BOOL found = 7;
        Bstr text;
        EXPECT_EQ((m_version.get()->*property)(&found, text.put()), S_OK);
        exists = found != VARIANT_FALSE;
        EXPECT_TRUE(found == VARIANT_TRUE || found == VARIANT_FALSE);
        return text.str();
    }

    TempFolder m_folder;
    ComPtr<_tovFileVersion> m_version;
};

TEST_F(FileVersion, ACraftedRecordSplitsIntoNumbersFlagsAndTheFirstTranslation)
{
    ASSERT_TRUE(Read(Fixture(L"two_translations")));
    const struct {
        HRESULT (STDMETHODCALLTYPE _tovFileVersion::*property)(long*);
        long expected;
    } numbers[] = {
        {&_tovFileVersion::get_FileVerMajor, 1},         {&_tovFileVersion::get_FileVerMinor, 2},
        {&_tovFileVersion::get_FileVerRevisionMajor, 40000}, {&_tovFileVersion::get_FileVerRevisionMinor, 5},
        {&_tovFileVersion::get_ProductVerMajor, 3},      {&_tovFileVersion::get_ProductVerMinor, 4},
        {&_tovFileVersion::get_ProductVerRevisionMajor, 65535}, {&_tovFileVersion::get_ProductVerRevisionMinor, 6},
        {&_tovFileVersion::get_Signature, static_cast<long>(0xFEEF04BD)},
        {&_tovFileVersion::get_FileFlags, 0x21},         {&_tovFileVersion::get_FileFlagsMask, 0x3E},
    };
    for (const auto& n : numbers)
        EXPECT_EQ(Get(n.property), n.expected);
    VARIANT_BOOL flag = 7;
    m_version->get_FileFlagDebug(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE) << "set, but its mask bit is clear";
    m_version->get_FileFlagSpecialBuild(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
    FileType_Const type = FileType_Unknown;
    m_version->get_FileType(&type);
    EXPECT_EQ(type, FileType_Drv);
    FileSubType_Const subtype = FileSubType_Unknown;
    m_version->get_FileSubType(&subtype);
    EXPECT_EQ(subtype, FileSubType_Drv_Sound);
    FileOS_Const os = FileOS_Unknown;
    m_version->get_FileOS(&os);
    EXPECT_EQ(os, FileOS_NT_Windows32);
    short language = 0, charset = 0;
    m_version->get_TranslationLanguageID(&language);
    m_version->get_TranslationCharset(&charset);
    EXPECT_EQ(language, 0x0409) << "the first entry of two";
    EXPECT_EQ(charset, 1200);

    bool exists = false;
    EXPECT_EQ(String(&_tovFileVersion::get_StrCompanyName, exists), L"Tovrin fixtures");
    EXPECT_TRUE(exists);
    EXPECT_EQ(String(&_tovFileVersion::get_StrFileDescription, exists), std::wstring(1000, L'L'));
    EXPECT_EQ(String(&_tovFileVersion::get_StrComments, exists), L"");
    EXPECT_TRUE(exists) << "an empty string that is there";
    EXPECT_EQ(String(&_tovFileVersion::get_StrProductName, exists), L"");
    EXPECT_FALSE(exists) << "present only under another translation's key";
    EXPECT_EQ(String(&_tovFileVersion::get_StrSpecialBuild, exists), L"");
    EXPECT_FALSE(exists);

    SAFEARRAY* buffer = nullptr;
    ASSERT_EQ(m_version->get_InfoBuffer(&buffer), S_OK);
    ASSERT_NE(buffer, nullptr);
    EXPECT_GT(buffer->rgsabound[0].cElements, 52u);
    ::SafeArrayDestroy(buffer);
}

TEST_F(FileVersion, ACodePageAbove32767ReadsBackNegative)
{
    ASSERT_TRUE(Read(Fixture(L"utf8_code_page")));
    short charset = 0;
    m_version->get_TranslationCharset(&charset);
    EXPECT_EQ(charset, static_cast<short>(65001));
    bool exists = false;
    EXPECT_EQ(String(&_tovFileVersion::get_StrProductName, exists), L"UTF-8 table");
}

TEST_F(FileVersion, EveryFailureLeavesTheObjectCleared)
{
    WriteBytes(m_folder / L"text.txt", "not an executable");
    WriteBytes(m_folder / L"truncated.exe", "MZ\x90\x00\x03");
    const std::wstring failing[] = {
        Fixture(L"no_translation"), WithTranslationLength(6), WithTranslationLength(0x7FF0),
        m_folder / L"missing.dll",  m_folder / L"text.txt",   m_folder / L"truncated.exe",
        m_folder.Path(),            ProgramFolder() + L"\\library_tests.exe",
    };
    for (const std::wstring& path : failing) {
        ASSERT_TRUE(Read(Fixture(L"two_translations")));
        EXPECT_FALSE(Read(path)) << Narrow(path);
        Bstr name;
        m_version->get_FileName(name.put());
        EXPECT_EQ(name.str(), L"") << "the earlier file is gone too";
        EXPECT_EQ(Get(&_tovFileVersion::get_FileVerMajor), 0);
        SAFEARRAY* buffer = reinterpret_cast<SAFEARRAY*>(1);
        m_version->get_InfoBuffer(&buffer);
        EXPECT_EQ(buffer, nullptr) << "an empty array";
    }
}

TEST_F(FileVersion, RealFilesAndLanguageNames)
{
    const struct {
        std::wstring path;
        long major;
    } files[] = {{ProgramFolder() + L"\\Ormelin0105.dll", 1}, {ProgramFolder() + L"\\Veskar.exe", 1}};
    for (const auto& f : files) {
        ASSERT_TRUE(Read(f.path)) << Narrow(f.path);
        EXPECT_EQ(Get(&_tovFileVersion::get_FileVerMajor), f.major);
    }
    bool exists = false;
    EXPECT_EQ(String(&_tovFileVersion::get_StrInternalName, exists), L"Veskar");
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(Read(std::wstring(system) + L"\\kernel32.dll"));

    for (short id : {short(0x0409), short(0x8001)}) {
        char expected[256] = {};
        ::VerLanguageNameA(static_cast<USHORT>(id), expected, sizeof(expected));
        Bstr name;
        EXPECT_EQ(m_version->GetLanguageName(id, name.put()), S_OK);
        EXPECT_EQ(Narrow(name.str()), expected) << id;
    }
}

// Mutated copies of a real library's version record: cut short, every
// length and type field set to wild values, bytes of the keys changed. The
// platform is never given the record to parse, so none of them can crash
// the process; each read either succeeds or leaves the object cleared, and
// every string can be asked for afterwards.
TEST_F(FileVersion, MutatedRecordsNeverCrashAndFailCleanly)
{
    const std::string original = ReadBytes(ProgramFolder() + L"\\Ormelin0105.dll");
    const std::wstring key = L"VS_VERSION_INFO";
    const size_t start = original.find(std::string(reinterpret_cast<const char*>(key.c_str()), key.size() * 2));
    ASSERT_NE(start, std::string::npos);
    const size_t record = start - 6; // wLength, wValueLength, wType before the key
    WORD length = 0;
    std::memcpy(&length, &original[record], 2);
    ASSERT_GT(length, 100);

    std::vector<std::string> mutations;
    for (WORD cut : {WORD(6), WORD(40), WORD(92), WORD(length / 2), WORD(length - 2)}) { // cut short
        std::string bytes = original;
        std::memcpy(&bytes[record], &cut, 2);
        mutations.push_back(bytes);
    }
    unsigned seed = 12345; // the same wild values on every run
    for (int round = 0; round < 300; ++round) {
        std::string bytes = original;
        for (int change = 0; change < 1 + round % 4; ++change) {
            seed = seed * 1103515245u + 12345u;
            size_t at = record + (seed >> 8) % (length - 1u);
            at -= (at - record) % 2; // the record's fields are words
            const WORD wild[] = {0, 1, 2, 3, 6, 0x7FFF, 0x8000, 0xFFFF, WORD(seed >> 16)};
            std::memcpy(&bytes[at], &wild[(seed >> 4) % 9], 2);
        }
        mutations.push_back(bytes);
    }
    const std::wstring path = m_folder / L"mutated.dll";
    using Property = HRESULT (STDMETHODCALLTYPE _tovFileVersion::*)(VARIANT_BOOL*, BSTR*);
    const Property strings[] = {&_tovFileVersion::get_StrComments, &_tovFileVersion::get_StrCompanyName,
                                &_tovFileVersion::get_StrFileVersion, &_tovFileVersion::get_StrOLESelfRegister};
    int read = 0;
    for (size_t i = 0; i < mutations.size(); ++i) {
        WriteBytes(path, mutations[i]);
        if (Read(path)) {
            ++read;
        } else {
            EXPECT_EQ(Get(&_tovFileVersion::get_FileVerMajor), 0) << "mutation " << i;
        }
        for (Property property : strings) {
            bool exists = false;
            String(property, exists);
        }
    }
    EXPECT_LT(read, static_cast<int>(mutations.size())) << "cut records fail";
    ASSERT_TRUE(Read(ProgramFolder() + L"\\Ormelin0105.dll")) << "the object still reads a sound record";
}

} // namespace
