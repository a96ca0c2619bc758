// Paths longer than MAX_PATH, as clients give them (plain full paths): text
// and byte arrays are written and read back, and the search descends to the
// bottom and names what it finds there.
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

class LongPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring path = m_root.Path();
        for (int level = 0; level < 24; ++level) { // 24 x 21 characters: far past MAX_PATH
            path += L"\\folder-of-level-" + std::to_wstring(100 + level);
            ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr)) << level;
            m_folders.push_back(path);
        }
        ASSERT_GT(path.size(), static_cast<size_t>(MAX_PATH));
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, m_fso.put_void()), S_OK);
    }

    void TearDown() override
    {
        for (auto folder = m_folders.rbegin(); folder != m_folders.rend(); ++folder) {
            for (const wchar_t* name : {L"\\bytes.bin", L"\\text.txt"})
                ::DeleteFileW((L"\\\\?\\" + *folder + name).c_str());
            ::RemoveDirectoryW((L"\\\\?\\" + *folder).c_str());
        }
    }

    std::wstring Deepest() const { return m_folders.back(); }

    TempFolder m_root;
    std::vector<std::wstring> m_folders;
    ComPtr<_tovFSO> m_fso;
};

TEST_F(LongPaths, TextAndBytesAreWrittenAndReadBack)
{
    const Bstr bytesName = Bstr::From(Deepest() + L"\\bytes.bin");
    SAFEARRAY* data = ::SafeArrayCreateVector(VT_UI1, 0, 3);
    std::memcpy(data->pvData, "abc", 3);
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(m_fso->PutFileB(bytesName.get(), &data, VARIANT_TRUE, &ok), S_OK);
    EXPECT_TRUE(ok);
    ::SafeArrayDestroy(data);
    SAFEARRAY* read = nullptr;
    ASSERT_EQ(m_fso->GetFileB(bytesName.get(), VARIANT_TRUE, nullptr, &read), S_OK);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(read->pvData), read->rgsabound[0].cElements), "abc");
    ::SafeArrayDestroy(read);

    const Bstr textName = Bstr::From(Deepest() + L"\\text.txt");
    ASSERT_EQ(m_fso->PutFile2(textName.get(), Bstr::From(L"deep").get(), VARIANT_TRUE, feUTF8, fbBOM, ibAuto, &ok),
              S_OK);
    Bstr text;
    ASSERT_EQ(m_fso->GetFile2(textName.get(), VARIANT_TRUE, feAuto, fbAuto, ibAuto, nullptr, nullptr, nullptr,
                              nullptr, text.put()),
              S_OK);
    EXPECT_EQ(text.str(), L"deep");
}

TEST_F(LongPaths, TheSearchDescendsToTheBottom)
{
    WriteBytes(L"\\\\?\\" + Deepest() + L"\\text.txt", "x");
    ComPtr<_tovFoundedFiles> found;
    ASSERT_EQ(::CoCreateInstance(CLSID_tovFoundedFiles, nullptr, CLSCTX_INPROC_SERVER, IID__tovFoundedFiles,
                                 found.put_void()),
              S_OK);
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(found->Refresh(Bstr::From(m_root.Path()).get(), Bstr::From(L"*").get(), &ok), S_OK);
    ASSERT_TRUE(ok);
    int depth = 0;
    ComPtr<_tovFoundedFiles> level = found;
    ComPtr<_FoundedFile> record;
    for (;;) {
        long count = 0;
        level->get_Count(&count);
        if (count != 1)
            break;
        record.reset();
        ASSERT_EQ(level->get_Item(0, record.put()), S_OK);
        ComPtr<_tovFoundedFiles> below;
        record->get_Childs(below.put());
        if (!below)
            break;
        level = below;
        ++depth;
    }
    EXPECT_EQ(depth, static_cast<int>(m_folders.size()) + 1) << "every folder, then the file with its empty Childs";
    ASSERT_TRUE(record);
    Bstr name, path;
    record->get_FileName(name.put());
    record->get_Path(path.put());
    EXPECT_EQ(name.str(), L"text.txt");
    EXPECT_EQ(path.str(), Deepest());
}

} // namespace
