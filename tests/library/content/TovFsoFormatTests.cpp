// tovFSO's text-format detection as clients call it: through the vtable
// (early bound), through IDispatch with real VARIANTs (late bound), and the
// script twin's write-back. The DLL is registered by regsvr32 before these
// tests run.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include "Ormelin0105.h"

#include <gtest/gtest.h>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;
using tovrin::Variant;

namespace {

struct Triple {
    long Encoding, FileBOM, InvertBytes;
    bool operator==(const Triple& o) const
    {
        return Encoding == o.Encoding && FileBOM == o.FileBOM && InvertBytes == o.InvertBytes;
    }
};

std::ostream& operator<<(std::ostream& out, const Triple& t)
{
    return out << "(" << t.Encoding << ", " << t.FileBOM << ", " << t.InvertBytes << ")";
}

class TovFso : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, m_fso.put_void()), S_OK);
    }

    std::wstring File(const std::string& bytes)
    {
        std::wstring path = m_folder / (L"f" + std::to_wstring(++m_files) + L".txt");
        WriteBytes(path, bytes);
        return path;
    }

    Triple Detect(const std::string& bytes)
    {
        Triple format = {-7, -7, -7};
        VARIANT_BOOL sampled = VARIANT_FALSE;
        HRESULT hr = m_fso->GetFileFormat2(Bstr::From(File(bytes)).get(), VARIANT_TRUE,
                                           reinterpret_cast<FileEncodingConst*>(&format.Encoding),
                                           reinterpret_cast<FileBOMConst*>(&format.FileBOM),
                                           reinterpret_cast<InvertBytesConst*>(&format.InvertBytes), &sampled);
        EXPECT_EQ(hr, S_OK);
        EXPECT_EQ(sampled, VARIANT_TRUE);
        return format;
    }

    ComPtr<_tovFSO> m_fso;
    TempFolder m_folder;
    int m_files = 0;
};

const Triple Ansi = {feANSI, fbNoBOM, ibDontInvertBytes};
const Triple Utf16 = {feUTF16, fbBOM, ibDontInvertBytes};
const Triple Utf16BigEndian = {feUTF16, fbBOM, ibInvertBytes};
const Triple Utf8 = {feUTF8, fbBOM, ibDontInvertBytes};

} // namespace

TEST_F(TovFso, DetectsByteOrderMarksOnly)
{
    struct Case {
        std::string bytes;
        Triple format;
    } cases[] = {
        {"", Ansi},
        {"x", Ansi},
        {"\xFF", Ansi},
        {"\xFF\xFE", Utf16},
        {"\xFE\xFF\x00\x41", Utf16BigEndian},
        {"\xEF\xBB", Ansi},
        {"\xEF\xBB\xBF", Utf8},
        {"\xEF\xBB\xBF" "abc", Utf8},
        {"\xFF\xFE\x00\x00", Utf16}, // a UTF-32 mark reads as UTF-16 with a mark
        {"h\xC3\xA9llo", Ansi},      // UTF-8 without a mark
        {std::string("h\0i\0", 4), Ansi}, // UTF-16 without a mark
    };
    for (const Case& c : cases)
        EXPECT_EQ(Detect(c.bytes), c.format) << testing::PrintToString(c.bytes);
}

TEST_F(TovFso, MissingFileWithoutRaiseErrorsGivesFalseAndKeepsTheOutputs)
{
    long encoding = 3, fileBOM = 2, invertBytes = 2;
    VARIANT_BOOL sampled = VARIANT_TRUE;
    HRESULT hr = m_fso->GetFileFormat2(Bstr::From(m_folder / L"missing.txt").get(), VARIANT_FALSE,
                                       reinterpret_cast<FileEncodingConst*>(&encoding),
                                       reinterpret_cast<FileBOMConst*>(&fileBOM),
                                       reinterpret_cast<InvertBytesConst*>(&invertBytes), &sampled);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(sampled, VARIANT_FALSE);
    EXPECT_EQ(encoding, 3);
    EXPECT_EQ(fileBOM, 2);
    EXPECT_EQ(invertBytes, 2);
}

TEST_F(TovFso, MissingFileWithRaiseErrorsIsError53FromTovFso)
{
    FileEncodingConst encoding = feUTF8;
    VARIANT_BOOL sampled = VARIANT_TRUE;
    HRESULT hr = m_fso->GetFileFormat2(Bstr::From(m_folder / L"missing.txt").get(), VARIANT_TRUE, &encoding, nullptr,
                                       nullptr, &sampled);
    EXPECT_EQ(hr, ErrorStatus(53));
    EXPECT_EQ(hr, static_cast<HRESULT>(0x800A0035));
    ErrorRecord error = TakeErrorInfo();
    EXPECT_TRUE(error.Present);
    EXPECT_EQ(error.Source, L"tovFSO");
    EXPECT_EQ(error.Description, L"File not found");
    EXPECT_EQ(encoding, feUTF8) << "outputs are written only on success";
}

TEST_F(TovFso, FileHeldWithoutSharingIsPermissionDenied)
{
    std::wstring path = File("\xFF\xFE");
    tovrin::Handle lock(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.valid());
    VARIANT_BOOL sampled = VARIANT_TRUE;
    EXPECT_EQ(m_fso->GetFileFormat2(Bstr::From(path).get(), VARIANT_TRUE, nullptr, nullptr, nullptr, &sampled),
              ErrorStatus(70));
    EXPECT_EQ(m_fso->GetFileFormat2(Bstr::From(path).get(), VARIANT_FALSE, nullptr, nullptr, nullptr, &sampled), S_OK);
    EXPECT_EQ(sampled, VARIANT_FALSE);
}

TEST_F(TovFso, LateBoundCallLeavesOutOptionalArgumentsInTheMiddle)
{
    // GetFileFormat2(name, , lpEncoding): RaiseErrors left out between two given arguments.
    Variant name = Arg(File("\xFE\xFF").c_str());
    Variant encoding = Arg(0L);
    Variant encodingRef;
    V_VT(encodingRef.get()) = VT_BYREF | VT_I4;
    V_I4REF(encodingRef.get()) = &V_I4(encoding.get());
    Variant missing = Missing();
    CallResult result = CallByName(m_fso.get(), L"GetFileFormat2", {name.get(), missing.get(), encodingRef.get()});
    ASSERT_EQ(result.hr, S_OK);
    EXPECT_EQ(V_VT(result.value.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(result.value.get()), VARIANT_TRUE);
    EXPECT_EQ(V_I4(encoding.get()), feUTF16);
}

TEST_F(TovFso, LateBoundFailureReachesTheCallerAsAnException)
{
    Variant name = Arg((m_folder / L"missing.txt").c_str());
    Variant raise = ArgBool(true);
    CallResult result = CallByName(m_fso.get(), L"GetFileFormat2ByVar", {name.get(), raise.get()});
    EXPECT_EQ(result.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(result.scode, ErrorStatus(53));
    EXPECT_EQ(result.source.str(), L"tovFSO");
    EXPECT_EQ(result.description.str(), L"File not found");
}

TEST_F(TovFso, TwinWritesLongsBackThroughTheCallersVariables)
{
    // Script variables: one holding the string "0", one empty, one a Long.
    Variant name = Arg(File("\xFE\xFF" "x").c_str());
    Variant encoding = Arg(L"0");
    Variant fileBOM;
    Variant invertBytes = Arg(9L);
    Variant refEncoding = Ref(encoding.get()), refBOM = Ref(fileBOM.get()), refInvert = Ref(invertBytes.get());
    Variant missing = Missing();
    CallResult result = CallByName(m_fso.get(), L"GetFileFormat2ByVar",
                                   {name.get(), missing.get(), refEncoding.get(), refBOM.get(), refInvert.get()});
    ASSERT_EQ(result.hr, S_OK);
    EXPECT_EQ(V_VT(result.value.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(result.value.get()), VARIANT_TRUE);
    EXPECT_EQ(V_VT(encoding.get()), VT_I4);
    EXPECT_EQ(V_I4(encoding.get()), feUTF16);
    EXPECT_EQ(V_VT(fileBOM.get()), VT_I4);
    EXPECT_EQ(V_I4(fileBOM.get()), fbBOM);
    EXPECT_EQ(V_VT(invertBytes.get()), VT_I4);
    EXPECT_EQ(V_I4(invertBytes.get()), ibInvertBytes);
}

TEST_F(TovFso, TwinWritesThroughTypedReferencesInTheirOwnType)
{
    Variant name = Arg(File("\xEF\xBB\xBF").c_str());
    BSTR text = ::SysAllocString(L"0");
    Variant byRefText;
    V_VT(byRefText.get()) = VT_BYREF | VT_BSTR;
    V_BSTRREF(byRefText.get()) = &text;
    Variant missing = Missing();
    CallResult result = CallByName(m_fso.get(), L"GetFileFormat2ByVar", {name.get(), missing.get(), byRefText.get()});
    ASSERT_EQ(result.hr, S_OK);
    EXPECT_EQ(Bstr::ToString(text), L"2");
    ::SysFreeString(text);
}

TEST_F(TovFso, TwinLeavesTheVariablesAloneWhenTheTypedMethodFails)
{
    Variant name = Arg((m_folder / L"missing.txt").c_str());
    Variant raise = ArgBool(true);
    Variant encoding = Arg(L"9"); // a string the twin reads as the number 9
    Variant refEncoding = Ref(encoding.get());
    CallResult result = CallByName(m_fso.get(), L"GetFileFormat2ByVar", {name.get(), raise.get(), refEncoding.get()});
    EXPECT_EQ(result.scode, ErrorStatus(53));
    EXPECT_EQ(V_VT(encoding.get()), VT_BSTR);
    EXPECT_EQ(Text(encoding.get()), L"9");

    Variant word = Arg(L"untouched");
    Variant refWord = Ref(word.get());
    result = CallByName(m_fso.get(), L"GetFileFormat2ByVar", {name.get(), raise.get(), refWord.get()});
    EXPECT_EQ(result.scode, ErrorStatus(13)) << "an in/out value that is no number cannot be passed on";
    EXPECT_EQ(Text(word.get()), L"untouched");
}

TEST_F(TovFso, TwinRejectsValuesThatCannotBeCoerced)
{
    Variant name = Arg(File("x").c_str());
    Variant raise = Arg(L"not a Boolean");
    CallResult result = CallByName(m_fso.get(), L"GetFileFormat2ByVar", {name.get(), raise.get()});
    EXPECT_EQ(result.scode, ErrorStatus(13));

    Variant huge;
    V_VT(huge.get()) = VT_R8;
    V_R8(huge.get()) = 1e20;
    Variant refHuge = Ref(huge.get());
    Variant missing = Missing();
    result = CallByName(m_fso.get(), L"GetFileFormat2ByVar", {name.get(), missing.get(), refHuge.get()});
    EXPECT_EQ(result.scode, ErrorStatus(6));
}

TEST(TovFsoActivation, CreatedByProgIdAndCountedHonestly)
{
    CLSID clsid = {};
    ASSERT_EQ(::CLSIDFromProgID(L"Ormelin0105.tovFSO", &clsid), S_OK);
    EXPECT_TRUE(clsid == CLSID_tovFSO);

    HMODULE dll = ::GetModuleHandleW(L"Ormelin0105.dll");
    ComPtr<IDispatch> fso;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, fso.put_void()), S_OK);
    dll = ::GetModuleHandleW(L"Ormelin0105.dll");
    ASSERT_NE(dll, nullptr);
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(::GetProcAddress(dll, "DllCanUnloadNow")));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE) << "an object is alive";
    fso.reset();
    EXPECT_EQ(canUnload(), S_OK);

    auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(dll, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_tovFSO, IID_IClassFactory, factory.put_void()), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE) << "a factory is alive";
    factory->LockServer(TRUE);
    factory.reset();
    EXPECT_EQ(canUnload(), S_FALSE) << "the server is locked";
    ASSERT_EQ(getClassObject(CLSID_tovFSO, IID_IClassFactory, factory.put_void()), S_OK);
    factory->LockServer(FALSE);
    factory.reset();
    EXPECT_EQ(canUnload(), S_OK);

    ComPtr<IUnknown> none;
    EXPECT_EQ(getClassObject(CLSID_ShellFileEXE, IID_IClassFactory, none.put_void()), CLASS_E_CLASSNOTAVAILABLE)
        << "records only the library makes have no factory";
}
