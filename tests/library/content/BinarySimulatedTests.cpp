// What Windows refuses and Wine allows: a create-always open of a hidden or
// system file, and writing a read-only file as the super-user. A file system
// that simulates those two refusals stands in for the platform here (names
// say "SimulatedRefusal"); everything else is the real file system. The
// guard's sequence of attribute and open calls is checked call by call.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include "files/CFileAttributesReset.h"
#include "SimulatedFileSystem.h"
#include "classes/tovFSO.h"

#include <tovrin/CodePage.h>
#include <tovrin/SafeArrayBytes.h>

#include <gtest/gtest.h>

#include <cstdio>

using namespace testing_support;

namespace {

class SimulatedWindowsFileSystem final : public testing_support::SimulatedFileSystem {
public:

    DWORD GetAttributes(const std::wstring& name) override
    {
        Calls.push_back("get");
        return ::GetFileAttributesW(name.c_str());
    }

    bool SetAttributes(const std::wstring& name, DWORD attributes) override
    {
        char call[32];
        std::snprintf(call, sizeof(call), "set %lX", attributes);
        Calls.push_back(call);
        return ::SetFileAttributesW(name.c_str(), attributes) != FALSE;
    }

    HANDLE Open(const std::wstring& name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override
    {
        const char* dispositions[] = {"", "new", "create-always", "existing", "always", "truncate"};
        Calls.push_back(std::string("open ") + dispositions[disposition]);
        DWORD attributes = ::GetFileAttributesW(name.c_str());
        bool exists = attributes != INVALID_FILE_ATTRIBUTES;
        // Windows refuses both of these, whoever asks.
        if ((exists && disposition == CREATE_ALWAYS && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) ||
            (exists && (access & GENERIC_WRITE) && (attributes & FILE_ATTRIBUTE_READONLY))) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        return Real().Open(name, access, share, disposition, flags);
    }

    std::vector<std::string> Calls;
};

class SimulatedRefusal : public ::testing::Test {
protected:
    HRESULT Write(bool overwrite, const std::wstring& path, const std::string& bytes, bool raiseErrors,
                  VARIANT_BOOL* done)
    {
        tovrin::SafeArray data = tovrin::MakeByteArray(bytes);
        SAFEARRAY* passed = data.get();
        tovrin::Bstr name = tovrin::Bstr::From(path);
        VARIANT_BOOL flag = raiseErrors ? VARIANT_TRUE : VARIANT_FALSE;
        return overwrite ? m_fso->OverwriteFileB(name.get(), &passed, flag, done)
                         : m_fso->PutFileB(name.get(), &passed, flag, done);
    }

    // A file with the attributes, as the platform then reports them (Wine
    // adds the archive bit to every file).
    std::wstring File(const std::wstring& name, DWORD attributes)
    {
        std::wstring path = m_folder / name;
        WriteBytes(path, "old content");
        EXPECT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
        m_before = ::GetFileAttributesW(path.c_str());
        return path;
    }

    void TearDown() override
    {
        // The folder's files must be writable again to be removed.
        for (const wchar_t* name : {L"hidden.bin", L"both.bin", L"readonly.bin", L"hiddenro.bin"})
            ::SetFileAttributesW((m_folder / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    SimulatedWindowsFileSystem m_files;
    TempFolder m_folder;
    DWORD m_before = 0;
    tovrin::ComPtr<tovrin::tovFSO> m_fso = tovrin::tovFSO::Create();
};

} // namespace

TEST_F(SimulatedRefusal, TheSimulationRefusesCreateAlwaysOnAHiddenFile)
{
    std::wstring path = File(L"hidden.bin", FILE_ATTRIBUTE_HIDDEN);
    tovrin::Handle file(tovrin::FileSystem().Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS));
    EXPECT_FALSE(file.valid());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(SimulatedRefusal, PutFileBLiftsHiddenForTheCreateAlwaysOpenOnly)
{
    std::wstring path = File(L"hidden.bin", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(Write(false, path, "new", true, &done), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(m_files.Calls,
              (std::vector<std::string>{"get", "set 20", "open create-always", "set 22", "open always"}));
}

TEST_F(SimulatedRefusal, PutFileBGivesHiddenAndSystemBothBack)
{
    std::wstring path = File(L"both.bin", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(Write(false, path, "new", true, &done), S_OK);
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), m_before);
    EXPECT_TRUE(m_before & FILE_ATTRIBUTE_SYSTEM);
}

TEST_F(SimulatedRefusal, PutFileBCannotReplaceAReadOnlyFile)
{
    std::wstring path = File(L"readonly.bin", FILE_ATTRIBUTE_READONLY);
    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(Write(false, path, "new", false, &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE);
    EXPECT_EQ(Write(false, path, "new", true, &done), ErrorStatus(70));
    EXPECT_EQ(ReadBytes(path), "old content");
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), m_before);
}

TEST_F(SimulatedRefusal, PutFileBRestoresAttributesWhenTheReplaceFails)
{
    std::wstring path = File(L"hiddenro.bin", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(Write(false, path, "new", false, &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE);
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), m_before);
    EXPECT_EQ(ReadBytes(path), "old content");
}

TEST_F(SimulatedRefusal, OverwriteFileBOfAReadOnlyFileRaises70Always)
{
    std::wstring path = File(L"readonly.bin", FILE_ATTRIBUTE_READONLY);
    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(Write(true, path, "new", false, &done), ErrorStatus(70));
    EXPECT_EQ(ReadBytes(path), "old content");
    EXPECT_EQ(m_files.Calls, (std::vector<std::string>{"open truncate"})) << "one truncating open, nothing else";
}

TEST_F(SimulatedRefusal, OverwriteFileBTruncatesOnceAndNeverRecreates)
{
    std::wstring path = File(L"hidden.bin", FILE_ATTRIBUTE_HIDDEN);
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(Write(true, path, "new", true, &done), S_OK);
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(m_files.Calls, (std::vector<std::string>{"open truncate", "open always"}));
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), m_before);
}

TEST(CFileAttributesReset, ChangesOnlyHiddenOrSystemFilesAndOnlyForItsLifetime)
{
    SimulatedWindowsFileSystem files;
    TempFolder folder;
    std::wstring plain = folder / L"plain.bin";
    WriteBytes(plain, "x");
    {
        tovrin::CFileAttributesReset reset;
        reset.ResetAttributes(plain);
    }
    EXPECT_EQ(files.Calls, (std::vector<std::string>{"get"})) << "neither attribute: nothing changes";

    files.Calls.clear();
    {
        tovrin::CFileAttributesReset reset;
        reset.ResetAttributes(folder / L"missing.bin");
    }
    EXPECT_EQ(files.Calls, (std::vector<std::string>{"get"})) << "a missing file: nothing changes";

    std::wstring hidden = folder / L"hiddenro.bin";
    WriteBytes(hidden, "x");
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    DWORD before = ::GetFileAttributesW(hidden.c_str());
    {
        tovrin::CFileAttributesReset reset;
        reset.ResetAttributes(hidden);
        EXPECT_EQ(::GetFileAttributesW(hidden.c_str()), before & ~DWORD(FILE_ATTRIBUTE_HIDDEN)) << "read-only stays";
    }
    EXPECT_EQ(::GetFileAttributesW(hidden.c_str()), before);
    EXPECT_TRUE(before & FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
}
