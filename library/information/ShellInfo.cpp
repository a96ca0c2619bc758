#include "information/ShellInfo.h"

#include "com/AutomationError.h"
#include "files/FileSystem.h"

#include <tovrin/CodePage.h>
#include <tovrin/ErrorNumbers.h>

#include <cwchar>
#include <utility>

namespace tovrin {

namespace {

std::wstring Text(const wchar_t* field, size_t size)
{
    return std::wstring(field, wcsnlen(field, size));
}

} // namespace

std::optional<ShellAnswers> AskShell(const std::wstring& shellName)
{
    // One record serves all five questions, as the shell fills it.
    SHFILEINFOW info = {};
    ShellAnswers answers;
    using Store = void (*)(ShellAnswers&, const SHFILEINFOW&, DWORD_PTR);
    const std::pair<UINT, Store> questions[] = {
        {SHGFI_ATTRIBUTES,
         [](ShellAnswers& store, const SHFILEINFOW& answer, DWORD_PTR) { store.Attributes = answer.dwAttributes; }},
        {SHGFI_DISPLAYNAME,
         [](ShellAnswers& store, const SHFILEINFOW& answer, DWORD_PTR) {
             store.DisplayName = Text(answer.szDisplayName, MAX_PATH);
         }},
        {SHGFI_ICONLOCATION,
         [](ShellAnswers& store, const SHFILEINFOW& answer, DWORD_PTR) {
             store.IconLocation = Text(answer.szDisplayName, MAX_PATH);
         }},
        {SHGFI_SYSICONINDEX,
         [](ShellAnswers& store, const SHFILEINFOW& answer, DWORD_PTR imageList) {
             store.SystemImageList = imageList;
             store.SystemIconIndex = answer.iIcon;
         }},
        {SHGFI_TYPENAME,
         [](ShellAnswers& store, const SHFILEINFOW& answer, DWORD_PTR) {
             store.TypeName = Text(answer.szTypeName, 80);
         }},
    };
    for (const auto& question : questions) {
        const DWORD_PTR answer = FileSystem().ShellFileInfo(shellName, info, question.first);
        if (!answer)
            return std::nullopt;
        question.second(answers, info, answer);
    }
    return answers;
}

// The shell answers with the signature in the low word and the Windows
// version in the high word's two bytes.
ExecutableType AskExecutableType(const std::wstring& shellName)
{
    SHFILEINFOW info = {};
    const DWORD_PTR value = FileSystem().ShellFileInfo(shellName, info, SHGFI_EXETYPE);
    const WORD low = LOWORD(value), high = HIWORD(value);
    const char signature[] = {static_cast<char>(LOBYTE(low)), static_cast<char>(HIBYTE(low))};
    ExecutableType type;
    if (low != 0)
        type.Signature = FromCodePage(CP_ACP, signature, 2);
    type.Major = HIBYTE(high);
    type.Minor = LOBYTE(high);
    return type;
}

long ImageListHandleAsLong(unsigned long long handle)
{
    const long value = static_cast<long>(static_cast<int32_t>(handle));
    if (static_cast<unsigned long long>(static_cast<long long>(value)) != handle &&
        static_cast<unsigned long long>(static_cast<uint32_t>(value)) != handle)
        throw AutomationError(ErrOverflow, L"Overflow: the system image list's handle does not fit in 32 bits");
    return value;
}

} // namespace tovrin
