// The program's only window: the chunk list of the file named on the command
// line, a status line under it, and the keys that act on them.
#pragma once

#include "CChunk.h"
#include "Window.h"
#include "modPNG.h"

#include <tovrin/Unique.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

namespace veskar {

class frmMain final : public Window<frmMain>, private IChunkList {
public:
    frmMain() = default;
    // Its WM_DESTROY stores the placement and the column widths: it must run
    // while the members are still there.
    ~frmMain() { Destroy(); }

    // Creates the window and runs its Load; the caller shows it.
    bool Create();

    // Keyboard preview: the window sees each key before the focused control.
    // True when the window acted on the key and it goes no further.
    bool PreviewKey(const MSG& message);

    HWND List() const { return m_list; }
    HWND Status() const { return m_status; }
    const ChunkCollection& Chunks() const { return m_chunks; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnCreate();
    void OnLoad();
    void OnTimer(UINT_PTR timer);
    void OnSize();
    void OnUnload();
    bool OnKeyDown(UINT key);
    bool OnListKeyDown(UINT key);
    LRESULT OnNotify(const NMHDR& header);
    void OnListDoubleClick();

    void InitListView();
    void OnGetDisplayInfo(NMLVDISPINFOW& request);
    void LoadPNGFile();
    void ShowFileAndParse();
    void SetStatus(const std::wstring& text);
    void ShowRowCount();
    void SetBusy(bool busy);
    void SetFont(bool redraw);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void Rescale(UINT dpi);
    void SaveItemChunk(int row);

    // The list as the walk fills it.
    void Clear() override;
    void AddRow(const std::wstring& text, const std::wstring& offset, const std::wstring& size, const std::wstring& crc,
                const std::wstring& key) override;
    int RowCount() const override;
    void SelectFirstRow() override;

    HWND m_list = nullptr;
    HWND m_status = nullptr;
    tovrin::GdiObject m_font;
    ChunkCollection m_chunks;
    // The list holds no texts of its own (a virtual list): each row's texts
    // live here, the four cells and the chunk's key one after another in one
    // string with where each ends (a cell may hold a NUL: a chunk type's
    // bytes are shown as they are), and the list asks for them as it draws.
    // A list that stores a hundred thousand rows itself takes several times
    // the memory.
    struct Row {
        std::wstring Texts;
        std::array<size_t, 5> Ends;
        std::wstring Field(size_t index) const
        {
            const size_t begin = index == 0 ? 0 : Ends[index - 1];
            return Texts.substr(begin, Ends[index] - begin);
        }
    };
    std::vector<Row> m_rows;
    bool m_busy = false;
    UINT m_dpi = 96; // the display scale the window's sizes and font are for
};

// Runs the message loop of the program's window until it closes; gives the
// process's exit code.
int RunMessageLoop(frmMain& form);

} // namespace veskar
