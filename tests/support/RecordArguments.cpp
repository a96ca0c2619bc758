// Stands in for the program a user's system opens text files with: the
// support tests register it for ".txt". Its first argument names the file
// that receives the others, one a line (UTF-16), written aside and renamed so
// that a reader never sees half of it.
#include <tovrin/Unique.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    if (__argc < 2)
        return 2;
    std::wstring target = __wargv[1];
    std::wstring partial = target + L".partial";
    std::wstring lines;
    for (int i = 2; i < __argc; ++i)
        lines += std::wstring(__wargv[i]) + L"\n";
    DWORD size = static_cast<DWORD>(lines.size() * sizeof(wchar_t));
    DWORD written = 0;
    {
        tovrin::Handle file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file || !::WriteFile(file.get(), lines.data(), size, &written, nullptr) || written != size)
            return 1;
    }
    return ::MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
