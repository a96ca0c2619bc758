#include "modMain.h"

#include "Support.h"
#include "VeskarObjects.h"
#include "frmMain.h"
#include "modExport.h"
#include "modFormatVersion.h"

#include <commctrl.h>
#include <ole2.h>

namespace veskar {

std::wstring PNGFileName;

int Main(int showCommand)
{
    try {
        // Registering the program's path is a courtesy to the shell; Veskar
        // runs the same when the user's registry refuses it.
        esRegisterAppPath();

        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);

        if (!support::Bool(support::Value<VARIANT_BOOL>(esIsInIDE))) {
            HWND application = support::Value<HWND>(esGetThunderMainHandle);
            support::Check(asSetWindowResIconAll(application, support::In(L"A_MAIN").get()));
        }
        if (!ParseCommandLine())
            return 0;

        // COM for the library that saves chunks and for the common dialogs.
        if (FAILED(::OleInitialize(nullptr)))
            Raise(tovrin::ErrInternal);
        int exitCode = 0;
        {
            frmMain form;
            form.Create();
            ::ShowWindow(form.Handle(), showCommand);
            exitCode = RunMessageLoop(form);
        }
        ReleaseExportObjects();
        ::OleUninitialize();
        return exitCode;
    } catch (...) {
        ShowUnhandledError(nullptr);
        return 1;
    }
}

bool ParseCommandLine()
{
    tovrin::ICommandLine& commandLine = Objects().AppServices().CommandLine();
    if (commandLine.ArgumentCount() != 1 || commandLine.Argument(0) == L"/?") {
        ShowUsage();
        return false;
    }
    PNGFileName = support::String(esGetFullFileName, support::In(commandLine.Argument(0)).get(), VARIANT_TRUE);
    return true;
}

void ShowUsage()
{
    std::wstring text = GetAboutHeader(App(), false, true) + L"\r\n\r\nUsage: " + App().ExeName + L"[.EXE] FileName";
    Objects().ShowMessage(nullptr, text, std::wstring(), MB_ICONINFORMATION | MB_OK);
}

} // namespace veskar
