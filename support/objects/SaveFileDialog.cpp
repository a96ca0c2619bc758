// The save-file dialog: the system's common dialog.
#include <tovrin/ProductObjects.h>

#include <commdlg.h>

namespace tovrin {

namespace {

class SaveFileDialog final : public ISaveFileDialog {
public:
    void SetFilter(const std::wstring& filter) override { m_filter = filter; }
    void SetOption(long option) override { m_option = option; }
    void SetOwner(HWND owner) override { m_owner = owner; }
    void SetInitDir(const std::wstring& folder) override { m_folder = folder; }
    void SetFileName(const std::wstring& fileName) override { m_fileName = fileName; }
    std::wstring FileName() const override { return m_fileName; }

    bool Show() override
    {
        // The dialog wants its filter pairs NUL-separated, with two NULs at the end.
        std::wstring filter = m_filter;
        for (wchar_t& c : filter)
            if (c == L'|')
                c = L'\0';
        filter.append(2, L'\0');

        std::wstring buffer = m_fileName;
        buffer.resize(32768, L'\0');

        OPENFILENAMEW dialog = {};
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = m_owner;
        dialog.lpstrFilter = filter.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = &buffer[0];
        dialog.nMaxFile = static_cast<DWORD>(buffer.size());
        dialog.lpstrInitialDir = m_folder.empty() ? nullptr : m_folder.c_str();
        dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
        if (m_option == 0)
            dialog.Flags |= OFN_OVERWRITEPROMPT;
        if (!::GetSaveFileNameW(&dialog))
            return false;
        m_fileName = buffer.c_str();
        return true;
    }

private:
    std::wstring m_filter;
    long m_option = 0;
    HWND m_owner = nullptr;
    std::wstring m_folder;
    std::wstring m_fileName;
};

} // namespace

std::unique_ptr<ISaveFileDialog> CreateSaveFileDialog()
{
    return std::make_unique<SaveFileDialog>();
}

} // namespace tovrin
