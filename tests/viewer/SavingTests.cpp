// Saving a chunk from the real window: Enter and double-click on a row, with
// real keyboard and mouse input, the save dialog played by a double and the
// bytes written by the registered Ormelin0105 library.
#include "WindowTestSupport.h"

using namespace testing_support;

namespace {

class Saving : public MainWindow {
protected:
    // Opens a copy of the sample in the test folder; gives its bytes.
    std::string OpenSample()
    {
        m_png = m_folder / L"my sample.png";
        std::string bytes = ReadBytes(SamplePath(L"sample.png"));
        WriteBytes(m_png, bytes);
        Open(m_png);
        return bytes;
    }

    // The data bytes of a row's chunk, from an independent walk.
    std::string ChunkData(const std::string& file, int row)
    {
        WalkedChunk chunk = IndependentWalk(file)[static_cast<size_t>(row)];
        return file.substr(chunk.Offset + 8, chunk.Size);
    }

    int LastRow() { return static_cast<int>(::SendMessageW(m_form->List(), LVM_GETITEMCOUNT, 0, 0)) - 1; }

    std::wstring m_png;
};

} // namespace

TEST_F(Saving, EnterSavesTheSelectedChunksDataBytes)
{
    std::string file = OpenSample();
    std::wstring target = m_folder / L"idat.bin";
    m_objects.SaveDialog.Answer = target;
    std::wstring statusWhileSaving;
    m_objects.SaveDialog.WhileShown = [&] { statusWhileSaving = StatusText(m_form->Status()); };

    SelectRow(4); // the first IDAT
    PressKeys({VK_RETURN});
    Settle();

    ASSERT_EQ(m_objects.SaveDialog.Shown, 1);
    EXPECT_EQ(ReadBytes(target), ChunkData(file, 4));
    EXPECT_EQ(statusWhileSaving, L"Saving PNG chunk...");
    EXPECT_EQ(StatusText(m_form->Status()), L"Chunk(s) found: 9");
    EXPECT_TRUE(m_objects.Errors.empty());

    // The dialog starts in the PNG's folder with the name built from offset and type.
    EXPECT_EQ(m_objects.SaveDialog.Filter, L"All files|*.*");
    EXPECT_EQ(m_objects.SaveDialog.Option, 0);
    EXPECT_EQ(m_objects.SaveDialog.Folder, m_folder.Path());
    EXPECT_EQ(m_objects.SaveDialog.SuggestedName, m_folder / L"my sample.00000073.IDAT.BIN");
}

TEST_F(Saving, DoubleClickSavesTheRowUnderTheMouse)
{
    std::string file = OpenSample();
    std::wstring target = m_folder / L"text.bin";
    m_objects.SaveDialog.Answer = target;
    DoubleClickAt(RowCentre(m_form->List(), 3)); // tEXt
    PumpUntil([&] { return m_objects.SaveDialog.Shown == 1; });
    Settle();
    EXPECT_EQ(ReadBytes(target), ChunkData(file, 3));
    EXPECT_EQ(ReadBytes(target), std::string("Software\0Tovrin artwork generator", 33));
}

TEST_F(Saving, EmptyChunkGivesAnEmptyFileAndSavingAgainReplaces)
{
    OpenSample();
    std::wstring target = m_folder / L"iend.bin";
    WriteBytes(target, "an older and longer file");
    m_objects.SaveDialog.Answer = target;
    SelectRow(LastRow()); // IEND
    PressKeys({VK_RETURN});
    Settle();
    ASSERT_EQ(m_objects.SaveDialog.Shown, 1);
    EXPECT_TRUE(Exists(target));
    EXPECT_EQ(ReadBytes(target), "");

    SelectRow(0); // IHDR, 13 bytes, to the same name
    PressKeys({VK_RETURN});
    Settle();
    EXPECT_EQ(ReadBytes(target).size(), 13u);
}

TEST_F(Saving, NothingHappensWithoutARow)
{
    WriteBytes(m_folder / L"empty.png", Signature());
    m_objects.SaveDialog.Answer = m_folder / L"never.bin";
    Open(m_folder / L"empty.png");
    PressKeys({VK_RETURN});
    DoubleClickAt(RowCentre(m_form->List(), 0));
    Settle();
    EXPECT_EQ(m_objects.SaveDialog.Shown, 0);

    m_form.reset();
    OpenSample();
    RECT list = {};
    ::GetWindowRect(m_form->List(), &list);
    DoubleClickAt({(list.left + list.right) / 2, list.bottom - 10}); // below the last row
    Settle();
    EXPECT_EQ(m_objects.SaveDialog.Shown, 0);
    EXPECT_FALSE(Exists(m_folder / L"never.bin"));
}

TEST_F(Saving, KeysWithModifiersDoNothing)
{
    OpenSample();
    m_objects.SaveDialog.Answer = m_folder / L"never.bin";
    for (WORD modifier : {VK_CONTROL, VK_SHIFT, VK_MENU})
        PressKeys({modifier, VK_RETURN});
    PressKeys({VK_CONTROL, VK_F1});
    PressKeys({VK_MENU, VK_F1});
    PressKeys({VK_SHIFT, VK_ESCAPE});
    Settle();
    EXPECT_EQ(m_objects.SaveDialog.Shown, 0);
    EXPECT_EQ(m_objects.AboutBoxes, 0);
    EXPECT_EQ(m_objects.ReadMesOpened, 0);
    EXPECT_TRUE(::IsWindow(m_form->Handle()));
}

TEST_F(Saving, CancelledDialogWritesAndShowsNothing)
{
    OpenSample();
    m_objects.SaveDialog.Answer.clear();
    PressKeys({VK_RETURN});
    Settle();
    EXPECT_EQ(m_objects.SaveDialog.Shown, 1);
    EXPECT_TRUE(m_objects.Errors.empty());
    EXPECT_TRUE(m_objects.Messages.empty());
    EXPECT_EQ(StatusText(m_form->Status()), L"Chunk(s) found: 9");
}

TEST_F(Saving, PngGoneSinceTheWalkShowsTheReadingError)
{
    OpenSample();
    ASSERT_TRUE(::DeleteFileW(m_png.c_str()));
    std::wstring target = m_folder / L"never.bin";
    m_objects.SaveDialog.Answer = target;
    PressKeys({VK_RETURN});
    Settle();
    ASSERT_EQ(m_objects.Errors.size(), 1u);
    EXPECT_EQ(m_objects.Errors[0].Error.Number, 53);
    EXPECT_EQ(m_objects.Errors[0].Style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(m_objects.Errors[0].Message, m_png + L"\r\n\r\nError occured during chunk data reading from PNG file.");
    EXPECT_FALSE(Exists(target));
    EXPECT_EQ(StatusText(m_form->Status()), L"Chunk(s) found: 9");
}

// A PNG that changed since it was listed: where the listed chunk's length or
// type is no longer at its offset, nothing is saved and a message says so,
// the file's path first.
TEST_F(Saving, PngChangedSinceTheWalkSavesNothing)
{
    for (size_t changed : {size_t(11), size_t(12)}) { // the first chunk's length, then its type
        OpenSample();
        std::string bytes = ReadBytes(m_png);
        bytes[changed] = static_cast<char>(bytes[changed] ^ 0x20);
        WriteBytes(m_png, bytes);
        std::wstring target = m_folder / L"never.bin";
        m_objects.SaveDialog.Answer = target;
        m_objects.Messages.clear();
        PressKeys({VK_RETURN});
        Settle();
        ASSERT_EQ(m_objects.Messages.size(), 1u) << changed;
        EXPECT_EQ(m_objects.Messages[0].Text.find(m_png + L"\r\n\r\n"), 0u) << changed;
        EXPECT_EQ(m_objects.Messages[0].Style, static_cast<UINT>(MB_ICONERROR | MB_OK));
        EXPECT_FALSE(Exists(target)) << changed;
        m_form.reset();
    }
}

TEST_F(Saving, UnwritableTargetShowsTheSavingError)
{
    OpenSample();
    std::wstring target = m_folder / L"no such folder\\chunk.bin";
    m_objects.SaveDialog.Answer = target;
    PressKeys({VK_RETURN});
    Settle();
    ASSERT_EQ(m_objects.Errors.size(), 1u);
    EXPECT_EQ(m_objects.Errors[0].Error.Number, 76);
    EXPECT_EQ(m_objects.Errors[0].Error.Source, L"tovFSO");
    EXPECT_EQ(m_objects.Errors[0].Message, target + L"\r\n\r\nError occured during chunk data saving to BIN file.");
}

TEST_F(Saving, SecondRunRestoresPlacementAndColumnWidths)
{
    OpenSample();
    HWND window = m_form->Handle();
    ::MoveWindow(window, 40, 30, 600, 400, TRUE);
    ::SendMessageW(m_form->List(), LVM_SETCOLUMNWIDTH, 2, 123);
    PressKeys({VK_ESCAPE});
    PumpUntil([&] { return !::IsWindow(window); });
    m_form.reset();

    Open(m_png);
    RECT bounds = {};
    ::GetWindowRect(m_form->Handle(), &bounds);
    EXPECT_EQ(bounds.left, 40);
    EXPECT_EQ(bounds.top, 30);
    EXPECT_EQ(bounds.right - bounds.left, 600);
    EXPECT_EQ(bounds.bottom - bounds.top, 400);
    EXPECT_EQ(::SendMessageW(m_form->List(), LVM_GETCOLUMNWIDTH, 2, 0), 123);
}

TEST_F(Saving, ResizingKeepsTheListAboveTheStatusBar)
{
    OpenSample();
    HWND window = m_form->Handle();
    ::MoveWindow(window, 10, 10, 700, 500, TRUE);
    RECT client = {}, list = {}, status = {};
    ::GetClientRect(window, &client);
    ::GetWindowRect(m_form->List(), &list);
    ::GetWindowRect(m_form->Status(), &status);
    EXPECT_EQ(list.bottom, status.top);
    EXPECT_EQ(list.right - list.left, client.right);

    ::MoveWindow(window, 10, 10, 30, 20, TRUE); // smaller than the status bar
    ::ShowWindow(window, SW_MINIMIZE);
    ::ShowWindow(window, SW_RESTORE);
    Settle();
    EXPECT_TRUE(m_objects.Messages.empty()) << "no error when tiny or minimised";
}
