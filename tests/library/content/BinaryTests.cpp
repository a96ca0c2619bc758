// tovFSO's byte-array methods as COM clients use them, on real files under
// Wine: what each method reads and writes, what it keeps (attributes, the
// file itself), and the errors it reports.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include "Ormelin0105.h"

#include <tovrin/SafeArrayBytes.h>

#include <gtest/gtest.h>

using namespace testing_support;
using tovrin::Bstr;
using tovrin::ComPtr;
using tovrin::SafeArray;

namespace {

std::string AllByteValues()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}

void MakeSparse(const std::wstring& path, int64_t length)
{
    tovrin::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.valid());
    LARGE_INTEGER end = {};
    end.QuadPart = length;
    ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.get()));
}

// The identity of a file: its volume and index, which a file re-created
// under the same name does not keep.
std::pair<DWORD, ULONGLONG> Identity(const std::wstring& path)
{
    tovrin::Handle file(
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    ::GetFileInformationByHandle(file.get(), &info);
    return {info.dwVolumeSerialNumber, (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

class Bytes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, m_fso.put_void()), S_OK);
    }

    struct Read {
        HRESULT hr;
        VARIANT_BOOL success;
        SafeArray bytes;
    };
    Read Get(const std::wstring& path, bool raiseErrors)
    {
        Read read{E_UNEXPECTED, 7, SafeArray()};
        read.hr = m_fso->GetFileB(Bstr::From(path).get(), raiseErrors ? VARIANT_TRUE : VARIANT_FALSE, &read.success,
                                  read.bytes.put());
        return read;
    }

    using Writer = HRESULT (STDMETHODCALLTYPE _tovFSO::*)(BSTR, SAFEARRAY**, VARIANT_BOOL, VARIANT_BOOL*);
    HRESULT Write(Writer method, const std::wstring& path, const std::string& bytes, bool raiseErrors,
                  VARIANT_BOOL* result = nullptr)
    {
        SafeArray data = tovrin::MakeByteArray(bytes);
        SAFEARRAY* passed = data.get();
        VARIANT_BOOL done = 7;
        HRESULT hr = (m_fso.get()->*method)(Bstr::From(path).get(), &passed, raiseErrors ? VARIANT_TRUE : VARIANT_FALSE,
                                        &done);
        EXPECT_EQ(passed, data.get()) << "the caller's array is never replaced";
        if (result)
            *result = done;
        return hr;
    }

    ComPtr<_tovFSO> m_fso;
    TempFolder m_folder;
};

} // namespace

TEST_F(Bytes, EveryByteValueRoundTrips)
{
    std::wstring path = m_folder / L"all.bin";
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(Write(&_tovFSO::PutFileB, path, AllByteValues(), true, &done), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);
    EXPECT_EQ(ReadBytes(path), AllByteValues());

    Read read = Get(path, true);
    ASSERT_EQ(read.hr, S_OK);
    EXPECT_EQ(read.success, VARIANT_TRUE);
    LONG lower = -1;
    ::SafeArrayGetLBound(read.bytes.get(), 1, &lower);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(tovrin::ReadByteArray(read.bytes.get()), AllByteValues());
}

TEST_F(Bytes, EmptyFileIsAnUnallocatedArray)
{
    std::wstring path = m_folder / L"empty.bin";
    WriteBytes(path, "");
    Read read = Get(path, true);
    EXPECT_EQ(read.hr, S_OK);
    EXPECT_EQ(read.success, VARIANT_TRUE);
    EXPECT_EQ(read.bytes.get(), nullptr);
}

TEST_F(Bytes, GetFileBOnAMissingFile)
{
    Read quiet = Get(m_folder / L"missing.bin", false);
    EXPECT_EQ(quiet.hr, S_OK);
    EXPECT_EQ(quiet.success, VARIANT_FALSE);
    EXPECT_EQ(quiet.bytes.get(), nullptr);

    Read raised = Get(m_folder / L"missing.bin", true);
    EXPECT_EQ(raised.hr, static_cast<HRESULT>(0x800A0035));
    EXPECT_EQ(raised.success, VARIANT_FALSE);
    EXPECT_EQ(TakeErrorInfo().Source, L"tovFSO");
}

TEST_F(Bytes, EveryMethodInAMissingFolder)
{
    std::wstring path = m_folder / L"no such folder\\file.bin";
    EXPECT_EQ(Get(path, true).hr, ErrorStatus(53)) << "reading tests for the file first";
    for (Writer method : {&_tovFSO::PutFileB, &_tovFSO::AppendFileB}) {
        VARIANT_BOOL done = VARIANT_TRUE;
        EXPECT_EQ(Write(method, path, "x", true), ErrorStatus(76));
        EXPECT_EQ(Write(method, path, "x", false, &done), S_OK);
        EXPECT_EQ(done, VARIANT_FALSE);
    }
    EXPECT_EQ(Write(&_tovFSO::OverwriteFileB, path, "x", false), ErrorStatus(76)) << "raised whatever RaiseErrors says";
}

TEST_F(Bytes, PutFileBReplacesTheWholeContent)
{
    std::wstring path = m_folder / L"put.bin";
    WriteBytes(path, "a much longer old content");
    ASSERT_EQ(Write(&_tovFSO::PutFileB, path, "new", true), S_OK);
    EXPECT_EQ(ReadBytes(path), "new");
    ASSERT_EQ(Write(&_tovFSO::PutFileB, path, "", true), S_OK) << "an unallocated array writes nothing";
    EXPECT_TRUE(Exists(path));
    EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(Bytes, PutFileBKeepsEveryAttributeOfHiddenAndSystemFiles)
{
    for (DWORD attributes : {DWORD(FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                             DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE)}) {
        std::wstring path = m_folder / (L"attr" + std::to_wstring(attributes) + L".bin");
        WriteBytes(path, "old content");
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
        DWORD before = ::GetFileAttributesW(path.c_str());
        ASSERT_EQ(Write(&_tovFSO::PutFileB, path, "new", true), S_OK);
        EXPECT_EQ(ReadBytes(path), "new");
        EXPECT_EQ(::GetFileAttributesW(path.c_str()), before) << std::hex << attributes;
    }
}

TEST_F(Bytes, AppendFileBAddsAtTheEndAndCreatesMissingFiles)
{
    std::wstring path = m_folder / L"append.bin";
    ASSERT_EQ(Write(&_tovFSO::AppendFileB, path, "one", true), S_OK);
    ASSERT_EQ(Write(&_tovFSO::AppendFileB, path, "two", true), S_OK);
    ASSERT_EQ(Write(&_tovFSO::AppendFileB, path, "", true), S_OK);
    EXPECT_EQ(ReadBytes(path), "onetwo");
}

TEST_F(Bytes, OverwriteFileBRewritesTheSameFile)
{
    std::wstring path = m_folder / L"same.bin";
    WriteBytes(path, "old and longer");
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    auto identity = Identity(path);
    ASSERT_EQ(Write(&_tovFSO::OverwriteFileB, path, "new", true), S_OK);
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(Identity(path), identity) << "the file is never deleted or created anew";
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));

    std::wstring missing = m_folder / L"created.bin";
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(Write(&_tovFSO::OverwriteFileB, missing, "made", false, &done), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);
    EXPECT_EQ(ReadBytes(missing), "made");
}

TEST_F(Bytes, OverwriteFileBOfAFileHeldWithoutSharingIsError70)
{
    std::wstring path = m_folder / L"held.bin";
    WriteBytes(path, "kept");
    tovrin::Handle held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    EXPECT_EQ(Write(&_tovFSO::OverwriteFileB, path, "new", false), ErrorStatus(70));
    ErrorRecord error = TakeErrorInfo();
    EXPECT_EQ(error.Source, L"tovFSO");
    EXPECT_EQ(error.Description, L"Permission denied");
    held.reset();
    EXPECT_EQ(ReadBytes(path), "kept");
}

TEST_F(Bytes, FilesOfTwoGigabytesAndMoreAreRefusedClearly)
{
    std::wstring path = m_folder / L"huge.bin";
    MakeSparse(path, 0x80000000LL);
    Read read = Get(path, true);
    EXPECT_EQ(read.hr, ErrorStatus(6));
    EXPECT_NE(TakeErrorInfo().Description.find(L"below 2 GiB"), std::wstring::npos);
    EXPECT_EQ(Get(path, false).success, VARIANT_FALSE);

    std::wstring almost = m_folder / L"almost.bin";
    MakeSparse(almost, 0x7FFFFFFFLL);
    EXPECT_EQ(Write(&_tovFSO::AppendFileB, almost, "x", true), ErrorStatus(6));
    LARGE_INTEGER size = {};
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ::GetFileAttributesExW(almost.c_str(), GetFileExInfoStandard, &data);
    size.LowPart = data.nFileSizeLow;
    size.HighPart = static_cast<LONG>(data.nFileSizeHigh);
    EXPECT_EQ(size.QuadPart, 0x7FFFFFFFLL) << "nothing was written";
}

TEST_F(Bytes, LateBoundScriptsPassArraysByValue)
{
    std::wstring path = m_folder / L"late.bin";
    tovrin::Variant name = Arg(path.c_str());
    tovrin::Variant data;
    V_VT(data.get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(data.get()) = tovrin::MakeByteArray(AllByteValues()).release();
    CallResult put = CallByName(m_fso.get(), L"PutFileB", {name.get(), data.get()});
    ASSERT_EQ(put.hr, S_OK);
    EXPECT_EQ(ReadBytes(path), AllByteValues());

    CallResult get = CallByName(m_fso.get(), L"GetFileB", {name.get()});
    ASSERT_EQ(get.hr, S_OK);
    ASSERT_EQ(V_VT(get.value.get()), VT_ARRAY | VT_UI1);
    EXPECT_EQ(tovrin::ReadByteArray(V_ARRAY(get.value.get())), AllByteValues());
}
