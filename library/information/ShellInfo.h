// What the Windows shell says about one file or folder, as plain data: the
// five answers tovShellFileInfo reads at once, and the executable type it
// asks for on first read. The icons stay with the class: their answer is a
// picture object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tovrin {

struct ShellAnswers {
    uint32_t Attributes = 0;
    std::wstring DisplayName;
    std::wstring IconLocation;
    int SystemIconIndex = 0;
    uintptr_t SystemImageList = 0;
    std::wstring TypeName;
};

// The five questions, asked of a name as the shell takes it (ShellFileName)
// in the order of the fields above; nothing when the shell cannot answer
// one of them.
std::optional<ShellAnswers> AskShell(const std::wstring& shellName);

struct ExecutableType {
    std::wstring Signature; // "PE", "NE", "MZ"; empty for a file that is none
    long Major = 0;         // the Windows version it asks for
    long Minor = 0;
};

ExecutableType AskExecutableType(const std::wstring& shellName);

// The system image list's handle as the 32-bit property gives it. In the
// 64-bit library a handle that does not fit in 32 bits (sign-extended, as
// 32-bit handles are widened) raises error 6 rather than giving a number
// that names no image list.
long ImageListHandleAsLong(unsigned long long handle);

} // namespace tovrin
