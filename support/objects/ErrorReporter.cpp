// The error box: the caller's message first, then what the error itself says.
#include <tovrin/ProductObjects.h>

namespace tovrin {

namespace {

class ErrorReporter final : public IErrorReporter {
public:
    explicit ErrorReporter(std::wstring title) : m_title(std::move(title)) {}

    void ShowError(const ErrorRecord& error, UINT style, long, const std::wstring& message) override
    {
        std::wstring text = message + L"\r\n\r\nError " + std::to_wstring(error.Number) + L": " + error.Description;
        if (!error.Source.empty())
            text += L"\r\nSource: " + error.Source;
        ::MessageBoxW(::GetActiveWindow(), text.c_str(), m_title.c_str(), (style ? style : MB_ICONERROR) | MB_OK);
    }

private:
    std::wstring m_title;
};

} // namespace

std::unique_ptr<IErrorReporter> CreateErrorReporter(const std::wstring& title)
{
    return std::make_unique<ErrorReporter>(title);
}

} // namespace tovrin
