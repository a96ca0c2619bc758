// The product family's objects that programs use for the parts of their life
// every Tovrin program shares: the command line and the about box, the window
// placement kept between runs, the error box, and the save-file dialog.
// Programs hold them through these interfaces, so that tests can put doubles
// in their place and never wait on a modal box.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace tovrin {

// Who a program is, read from its version record: keys the stored settings
// and fills the about box.
struct AppIdentity {
    std::wstring Title;       // "Tovrin - Veskar"
    std::wstring ExeName;     // "Veskar"
    std::wstring CompanyName;
    std::wstring ProductName;
    std::wstring LegalCopyright;
    int Major = 0;
    int Minor = 0;
    int Revision = 0;
};

// A run-time error as the error box shows it.
struct ErrorRecord {
    long Number = 0;
    std::wstring Description;
    std::wstring Source;
};

class ICommandLine {
public:
    virtual ~ICommandLine() = default;
    virtual long ArgumentCount() const = 0;
    // The argument at a zero-based index, its quotes removed; "" past the end.
    virtual std::wstring Argument(long index) const = 0;
    // Replaces the arguments with those split out of the text by the
    // platform's command-line rules. The flag is kept for the family's
    // callers, which always pass true.
    virtual void ParseArguments(const std::wstring& text, bool flag) = 0;
};

class IAppServices {
public:
    virtual ~IAppServices() = default;
    virtual ICommandLine& CommandLine() = 0;
    // The modal about box; a null icon shows the program's own "A_MAIN".
    virtual void ShowAbout(HWND owner, const AppIdentity& app, const std::wstring& text, HICON icon,
                           const std::wstring& dedication) = 0;
};

class IWindowPlacementStore {
public:
    virtual ~IWindowPlacementStore() = default;
    // True when a stored placement was found and applied. The three numbers
    // are reserved (0); keepOnScreen moves a placement whose monitor is gone
    // back onto the nearest one.
    virtual bool RestoreWindowPlacement(const std::wstring& section, const std::wstring& valueName, HWND window,
                                        const AppIdentity& app, long reserved1, long reserved2, long reserved3,
                                        bool keepOnScreen) = 0;
    virtual void SaveWindowPlacement(const std::wstring& section, const std::wstring& valueName, HWND window,
                                     const AppIdentity& app, bool keepOnScreen) = 0;
    // Column widths and order of a report-view list, kept under the control's name.
    virtual void RestoreListViewLayout(const std::wstring& controlName, HWND list, const AppIdentity& app,
                                       bool checkColumns) = 0;
    virtual void SaveListViewLayout(const std::wstring& controlName, HWND list, const AppIdentity& app,
                                    bool checkColumns) = 0;
};

class IErrorReporter {
public:
    virtual ~IErrorReporter() = default;
    // Shows the message, then the error's number, description and source, in a
    // modal box with the critical icon (style 16, as MessageBox takes it).
    virtual void ShowError(const ErrorRecord& error, UINT style, long reserved, const std::wstring& message) = 0;
};

class ISaveFileDialog {
public:
    virtual ~ISaveFileDialog() = default;
    // Filter in the family's form: "Description|pattern|Description|pattern".
    virtual void SetFilter(const std::wstring& filter) = 0;
    // 0: ask before replacing an existing file; 1: replace without asking.
    virtual void SetOption(long option) = 0;
    virtual void SetOwner(HWND owner) = 0;
    virtual void SetInitDir(const std::wstring& folder) = 0;
    virtual void SetFileName(const std::wstring& fileName) = 0;
    // Shows the modal dialog; true when the user confirmed a file name.
    virtual bool Show() = 0;
    virtual std::wstring FileName() const = 0;
};

// The product family's own implementations.
AppIdentity ReadAppIdentity(HMODULE module, const std::wstring& title);
std::unique_ptr<ICommandLine> CreateCommandLine(); // holds the process's own arguments
std::unique_ptr<IAppServices> CreateAppServices();
std::unique_ptr<IWindowPlacementStore> CreateWindowPlacementStore();
std::unique_ptr<IErrorReporter> CreateErrorReporter(const std::wstring& title);
std::unique_ptr<ISaveFileDialog> CreateSaveFileDialog();

// The arguments of a command line by the platform's rules (no program name).
std::vector<std::wstring> SplitCommandLine(const std::wstring& text);

// Where a program's settings live: HKCU\Software\<company>\<program>.
std::wstring SettingsKeyName(const AppIdentity& app, const std::wstring& section);

} // namespace tovrin
