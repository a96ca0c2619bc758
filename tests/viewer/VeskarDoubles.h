// Doubles for the outside objects and modal boxes Veskar uses. Installing a
// TestObjects puts them in place for its lifetime; every box the program
// would have shown is recorded instead.
#pragma once

#include <VeskarObjects.h>

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
    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) override;

    FakeCommandLine CommandLine;
    std::vector<ShownMessage> Messages;
    std::vector<ShownError> Errors;
    int AboutBoxes = 0;
    StoredSettings Settings;

private:
    std::unique_ptr<tovrin::IAppServices> m_appServices;
    std::unique_ptr<tovrin::IErrorReporter> m_errorReporter;
};

} // namespace testing_support
