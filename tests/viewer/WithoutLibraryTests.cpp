// Saving when Ormelin0105 is not registered: the list still fills, and a save
// shows the saving error instead of writing. CTest runs these alone, since
// they unregister the library for their duration and register it again.
#include "WindowTestSupport.h"

using namespace testing_support;

namespace {

class WithoutLibrary : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        m_dll = ::LoadLibraryW((ProgramFolder() + L"\\Ormelin0105.dll").c_str());
        ASSERT_NE(m_dll, nullptr);
        ASSERT_EQ(Entry("DllUnregisterServer")(), S_OK);
    }
    void TearDown() override
    {
        MainWindow::TearDown();
        EXPECT_EQ(Entry("DllRegisterServer")(), S_OK);
        ::FreeLibrary(m_dll);
    }

    using EntryPoint = HRESULT(STDAPICALLTYPE*)();
    EntryPoint Entry(const char* name)
    {
        return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(::GetProcAddress(m_dll, name)));
    }

    HMODULE m_dll = nullptr;
};

} // namespace

TEST_F(WithoutLibrary, ListingWorksAndSavingShowsTheSavingError)
{
    std::wstring png = m_folder / L"one.png";
    WriteBytes(png, MinimalPng());
    Open(png);
    EXPECT_EQ(StatusText(m_form->Status()), L"Chunk(s) found: 3");

    std::wstring target = m_folder / L"chunk.bin";
    m_objects.SaveDialog.Answer = target;
    PressKeys({VK_RETURN});
    Settle();
    ASSERT_EQ(m_objects.Errors.size(), 1u);
    EXPECT_EQ(m_objects.Errors[0].Message, target + L"\r\n\r\nError occured during chunk data saving to BIN file.");
    EXPECT_EQ(m_objects.Errors[0].Error.Number, static_cast<long>(REGDB_E_CLASSNOTREG));
    EXPECT_FALSE(Exists(target));
}
