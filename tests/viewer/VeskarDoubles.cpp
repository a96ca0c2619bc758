#include "VeskarDoubles.h"

#include <commctrl.h>

namespace testing_support {

namespace {

class FakeAppServices final : public tovrin::IAppServices {
public:
    explicit FakeAppServices(TestObjects& owner) : m_owner(owner) {}
    tovrin::ICommandLine& CommandLine() override { return m_owner.CommandLine; }
    void ShowAbout(HWND, const tovrin::AppIdentity&, const std::wstring&, HICON, const std::wstring&) override
    {
        ++m_owner.AboutBoxes;
    }

private:
    TestObjects& m_owner;
};

class RecordingErrorReporter final : public tovrin::IErrorReporter {
public:
    explicit RecordingErrorReporter(TestObjects& owner) : m_owner(owner) {}
    void ShowError(const tovrin::ErrorRecord& error, UINT style, long, const std::wstring& message) override
    {
        m_owner.Errors.push_back({error, style, message});
    }

private:
    TestObjects& m_owner;
};

class MemoryPlacementStore final : public tovrin::IWindowPlacementStore {
public:
    explicit MemoryPlacementStore(StoredSettings& settings) : m_settings(settings) {}

    bool RestoreWindowPlacement(const std::wstring& section, const std::wstring& valueName, HWND window,
                                const tovrin::AppIdentity&, long, long, long, bool) override
    {
        ++m_settings.Restores;
        auto found = m_settings.Placements.find(section + L"|" + valueName);
        if (found == m_settings.Placements.end())
            return false;
        WINDOWPLACEMENT placement = found->second;
        placement.showCmd = SW_HIDE;
        return ::SetWindowPlacement(window, &placement) != FALSE;
    }

    void SaveWindowPlacement(const std::wstring& section, const std::wstring& valueName, HWND window,
                             const tovrin::AppIdentity&, bool) override
    {
        ++m_settings.Saves;
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        ::GetWindowPlacement(window, &placement);
        m_settings.Placements[section + L"|" + valueName] = placement;
    }

    void RestoreListViewLayout(const std::wstring& controlName, HWND list, const tovrin::AppIdentity&, bool) override
    {
        auto found = m_settings.Layouts.find(controlName);
        if (found == m_settings.Layouts.end())
            return;
        for (size_t i = 0; i < found->second.size(); ++i)
            ::SendMessageW(list, LVM_SETCOLUMNWIDTH, i, found->second[i]);
    }

    void SaveListViewLayout(const std::wstring& controlName, HWND list, const tovrin::AppIdentity&, bool) override
    {
        std::vector<int> widths;
        for (int i = 0; i < 4; ++i)
            widths.push_back(static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0)));
        m_settings.Layouts[controlName] = widths;
    }

private:
    StoredSettings& m_settings;
};

class ScriptedSaveFileDialog final : public tovrin::ISaveFileDialog {
public:
    explicit ScriptedSaveFileDialog(SaveDialogScript& script) : m_script(script) {}
    void SetFilter(const std::wstring& filter) override { m_script.Filter = filter; }
    void SetOption(long option) override { m_script.Option = option; }
    void SetOwner(HWND owner) override { m_script.Owner = owner; }
    void SetInitDir(const std::wstring& folder) override { m_script.Folder = folder; }
    void SetFileName(const std::wstring& fileName) override { m_script.SuggestedName = fileName; }
    bool Show() override
    {
        ++m_script.Shown;
        if (m_script.WhileShown)
            m_script.WhileShown();
        return !m_script.Answer.empty();
    }
    std::wstring FileName() const override { return m_script.Answer; }

private:
    SaveDialogScript& m_script;
};

} // namespace

TestObjects::TestObjects()
    : m_appServices(std::make_unique<FakeAppServices>(*this)),
      m_errorReporter(std::make_unique<RecordingErrorReporter>(*this))
{
    veskar::SetObjects(this);
}

TestObjects::~TestObjects()
{
    veskar::SetObjects(nullptr);
}

tovrin::IAppServices& TestObjects::AppServices()
{
    return *m_appServices;
}

tovrin::IErrorReporter& TestObjects::ErrorReporter()
{
    return *m_errorReporter;
}

std::unique_ptr<tovrin::IWindowPlacementStore> TestObjects::NewWindowPlacementStore()
{
    return std::make_unique<MemoryPlacementStore>(Settings);
}

std::unique_ptr<tovrin::ISaveFileDialog> TestObjects::NewSaveFileDialog()
{
    return std::make_unique<ScriptedSaveFileDialog>(SaveDialog);
}

int TestObjects::ShowMessage(HWND, const std::wstring& text, const std::wstring& title, UINT style)
{
    Messages.push_back({text, title, style});
    return IDOK;
}

} // namespace testing_support
