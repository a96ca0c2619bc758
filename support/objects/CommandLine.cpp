// The command-line object: the process's arguments, split by the same rules
// Windows programs use (CommandLineToArgvW), with the program name left out.
#include <tovrin/ProductObjects.h>
#include <tovrin/Unique.h>

#include <shellapi.h>

namespace tovrin {

std::vector<std::wstring> SplitCommandLine(const std::wstring& text)
{
    // The first word of a command line follows the program-name rules, which
    // differ from the argument rules; a placeholder takes its place.
    std::wstring line = L"x " + text;
    int count = 0;
    LocalMemory words(::CommandLineToArgvW(line.c_str(), &count));
    if (!words)
        throw std::bad_alloc();
    auto argv = static_cast<LPWSTR*>(words.get());
    std::vector<std::wstring> arguments;
    for (int i = 1; i < count; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

namespace {

// What follows the program name in the process's command line.
std::wstring ProcessArguments()
{
    const wchar_t* p = ::GetCommandLineW();
    bool quoted = false;
    for (; *p; ++p) {
        if (*p == L'"')
            quoted = !quoted;
        else if ((*p == L' ' || *p == L'\t') && !quoted)
            break;
    }
    return p;
}

class CommandLine final : public ICommandLine {
public:
    CommandLine() : m_arguments(SplitCommandLine(ProcessArguments())) {}

    long ArgumentCount() const override { return static_cast<long>(m_arguments.size()); }

    std::wstring Argument(long index) const override
    {
        if (index < 0 || static_cast<size_t>(index) >= m_arguments.size())
            return std::wstring();
        return m_arguments[static_cast<size_t>(index)];
    }

    void ParseArguments(const std::wstring& text, bool) override { m_arguments = SplitCommandLine(text); }

private:
    std::vector<std::wstring> m_arguments;
};

} // namespace

std::unique_ptr<ICommandLine> CreateCommandLine()
{
    return std::make_unique<CommandLine>();
}

} // namespace tovrin
