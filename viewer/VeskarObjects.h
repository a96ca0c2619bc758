// The outside objects and modal boxes Veskar uses, behind one seam: the
// product family's real objects by default, doubles in tests.
#pragma once

#include <tovrin/ProductObjects.h>

#include <memory>
#include <string>

namespace veskar {

extern const wchar_t* const AppTitle; // "Tovrin - Veskar"

class IVeskarObjects {
public:
    virtual ~IVeskarObjects() = default;
    // One shared instance each, made on first use.
    virtual tovrin::IAppServices& AppServices() = 0;
    virtual tovrin::IErrorReporter& ErrorReporter() = 0;
    // A new instance for each use.
    virtual std::unique_ptr<tovrin::IWindowPlacementStore> NewWindowPlacementStore() = 0;
    virtual std::unique_ptr<tovrin::ISaveFileDialog> NewSaveFileDialog() = 0;
    // Opens the program's read-me for the user (in its own viewer).
    virtual void OpenReadMe() = 0;
    // A plain message box; an empty title means the application title.
    virtual int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) = 0;
};

IVeskarObjects& Objects();
// Puts other objects in place of the real ones; null brings the real ones back.
void SetObjects(IVeskarObjects* objects);

// Shows the error being handled as an unhandled run-time error; call it from
// inside a catch block.
void ShowUnhandledError(HWND owner);

// The program's identity, read once from its own version record.
const tovrin::AppIdentity& App();

} // namespace veskar
