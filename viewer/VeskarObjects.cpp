#include "VeskarObjects.h"

#include "RunTimeError.h"
#include "Support.h"

namespace veskar {

const wchar_t* const AppTitle = L"Tovrin - Veskar";

namespace {

class ProductFamilyObjects final : public IVeskarObjects {
public:
    tovrin::IAppServices& AppServices() override
    {
        if (!m_appServices)
            m_appServices = tovrin::CreateAppServices();
        return *m_appServices;
    }

    tovrin::IErrorReporter& ErrorReporter() override
    {
        if (!m_errorReporter)
            m_errorReporter = tovrin::CreateErrorReporter(AppTitle);
        return *m_errorReporter;
    }

    std::unique_ptr<tovrin::IWindowPlacementStore> NewWindowPlacementStore() override
    {
        return tovrin::CreateWindowPlacementStore();
    }

    std::unique_ptr<tovrin::ISaveFileDialog> NewSaveFileDialog() override { return tovrin::CreateSaveFileDialog(); }

    void OpenReadMe() override { support::Check(esOpenReadMeFile(0)); }

    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) override
    {
        return ::MessageBoxW(owner, text.c_str(), title.empty() ? AppTitle : title.c_str(), style);
    }

private:
    std::unique_ptr<tovrin::IAppServices> m_appServices;
    std::unique_ptr<tovrin::IErrorReporter> m_errorReporter;
};

IVeskarObjects* g_override;

} // namespace

IVeskarObjects& Objects()
{
    static ProductFamilyObjects real;
    return g_override ? *g_override : real;
}

void SetObjects(IVeskarObjects* objects)
{
    g_override = objects;
}

void ShowUnhandledError(HWND owner)
{
    tovrin::ErrorRecord error = CurrentError(std::current_exception());
    Objects().ShowMessage(owner, L"Run-time error '" + std::to_wstring(error.Number) + L"':\r\n\r\n" + error.Description,
                          std::wstring(), MB_ICONERROR | MB_OK);
}

const tovrin::AppIdentity& App()
{
    static const tovrin::AppIdentity app = tovrin::ReadAppIdentity(::GetModuleHandleW(nullptr), AppTitle);
    return app;
}

} // namespace veskar
