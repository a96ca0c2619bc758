// Application services: the program's identity from its version record, its
// command line and its about box.
#include <tovrin/ProductObjects.h>

#include <cstdio>
#include <vector>

namespace tovrin {

namespace {

std::wstring VersionString(std::vector<BYTE>& record, const wchar_t* name)
{
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(record.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return std::wstring();
    return std::wstring(value, length > 0 && value[length - 1] == L'\0' ? length - 1 : length);
}

std::wstring VersionText(const AppIdentity& app)
{
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%d.%02d.%04d", app.Major, app.Minor, app.Revision);
    return text;
}

class AppServices final : public IAppServices {
public:
    ICommandLine& CommandLine() override
    {
        if (!m_commandLine)
            m_commandLine = CreateCommandLine();
        return *m_commandLine;
    }

    void ShowAbout(HWND owner, const AppIdentity& app, const std::wstring& text, HICON icon,
                   const std::wstring& dedication) override
    {
        std::wstring body = app.Title + L", ver. " + VersionText(app) + L"\r\n" + app.LegalCopyright;
        if (!text.empty())
            body += L"\r\n\r\n" + text;
        if (!dedication.empty())
            body += L"\r\n\r\nDedicated to " + dedication + L".";
        std::wstring caption = L"About " + app.Title;

        MSGBOXPARAMSW box = {};
        box.cbSize = sizeof(box);
        box.hwndOwner = owner;
        box.lpszText = body.c_str();
        box.lpszCaption = caption.c_str();
        box.dwStyle = MB_OK;
        HMODULE program = ::GetModuleHandleW(nullptr);
        if (!icon && ::FindResourceW(program, L"A_MAIN", RT_GROUP_ICON)) {
            box.hInstance = program;
            box.lpszIcon = L"A_MAIN";
            box.dwStyle |= MB_USERICON;
        } else {
            box.dwStyle |= MB_ICONINFORMATION;
        }
        ::MessageBoxIndirectW(&box);
    }

private:
    std::unique_ptr<ICommandLine> m_commandLine;
};

} // namespace

AppIdentity ReadAppIdentity(HMODULE module, const std::wstring& title)
{
    AppIdentity app;
    app.Title = title;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    app.ExeName = name.substr(0, name.rfind(L'.'));

    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return app;
    // VerQueryValue may write into the block, so it works on a copy.
    std::vector<BYTE> record(static_cast<const BYTE*>(data),
                             static_cast<const BYTE*>(data) + ::SizeofResource(module, resource));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        app.Major = HIWORD(fixed->dwFileVersionMS);
        app.Minor = LOWORD(fixed->dwFileVersionMS);
        app.Revision = LOWORD(fixed->dwFileVersionLS);
    }
    app.CompanyName = VersionString(record, L"CompanyName");
    app.ProductName = VersionString(record, L"ProductName");
    app.LegalCopyright = VersionString(record, L"LegalCopyright");
    return app;
}

std::unique_ptr<IAppServices> CreateAppServices()
{
    return std::make_unique<AppServices>();
}

} // namespace tovrin
