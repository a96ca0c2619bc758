// Doubles for the outside objects and modal boxes Veskar uses. Installing a
// TestObjects puts them in place for its lifetime; every box the program
// would have shown is recorded instead.
#pragma once

#include <VeskarObjects.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct ShownMessage {
    std::wstring Text;
    std::wstring Title;
    UINT Style = 0;
};

struct ShownError {
    tovrin::ErrorRecord Error;
    UINT Style = 0;
    std::wstring Message;
};

class FakeCommandLine final : public tovrin::ICommandLine {
public:
    std::vector<std::wstring> Arguments;
    long ArgumentCount() const override { return static_cast<long>(Arguments.size()); }
    std::wstring Argument(long index) const override
    {
        return index >= 0 && static_cast<size_t>(index) < Arguments.size() ? Arguments[index] : std::wstring();
    }
    void ParseArguments(const std::wstring& text, bool) override { Arguments = tovrin::SplitCommandLine(text); }
};

// What the save dialog double was asked and what it answers: the file name
// the user "picks", or cancel when Answer is empty.
struct SaveDialogScript {
    std::wstring Answer;
    int Shown = 0;
    std::wstring Filter, Folder, SuggestedName;
    long Option = -1;
    HWND Owner = nullptr;
    std::function<void()> WhileShown; // runs while the dialog "is open"
};

// Keeps placements and layouts in memory, as the real store keeps them in the
// registry; shared by every instance a TestObjects hands out.
struct StoredSettings {
    std::map<std::wstring, WINDOWPLACEMENT> Placements;
    std::map<std::wstring, std::vector<int>> Layouts;
    int Restores = 0;
    int Saves = 0;
};

class TestObjects final : public veskar::IVeskarObjects {
public:
    TestObjects();
    ~TestObjects() override;

    tovrin::IAppServices& AppServices() override;
    tovrin::IErrorReporter& ErrorReporter() override;
    std::unique_ptr<tovrin::IWindowPlacementStore> NewWindowPlacementStore() override;
    std::unique_ptr<tovrin::ISaveFileDialog> NewSaveFileDialog() override;
    void OpenReadMe() override { ++ReadMesOpened; }
    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) override;

    FakeCommandLine CommandLine;
    int ReadMesOpened = 0;
    SaveDialogScript SaveDialog;
    std::vector<ShownMessage> Messages;
    std::vector<ShownError> Errors;
    int AboutBoxes = 0;
    StoredSettings Settings;

private:
    std::unique_ptr<tovrin::IAppServices> m_appServices;
    std::unique_ptr<tovrin::IErrorReporter> m_errorReporter;
};

} // namespace testing_support
