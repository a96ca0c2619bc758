// Prints what Ormelin0105's self-registration writes, one value a line
// (key, value name, data and the interface key the value belongs to, if
// any, separated by tabs; UTF-8), with the DLL's path
// given as the installer's placeholder. The installer writes exactly these
// values through its own registry table. The registry view is this
// program's: build it 32-bit for win32, 64-bit for win64.
//   registry_table.exe DLL PLACEHOLDER
#include "Classes.h"
#include "com/Module.h"
#include "com/Registration.h"

#include <tovrin/CodePage.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    HMODULE library = ::LoadLibraryW(argv[1]);
    if (!library)
        return 1;
    tovrin::module::SetInstance(library); // the type library is read from the DLL
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
        for (const tovrin::RegistryValue& value :
             tovrin::RegistryValues(tovrin::Server(), argv[2], sizeof(void*) == 8)) {
            std::string line = tovrin::ToCodePage(CP_UTF8, value.Key + L"\t" + value.Name + L"\t" + value.Value +
                                                               L"\t" + value.SharedKey) +
                               "\n";
            std::fwrite(line.data(), 1, line.size(), stdout);
        }
    } catch (...) {
        return 1;
    }
    tovrin::module::UnloadIfUnused(); // no object is left: the type library goes
    ::CoUninitialize();
    return 0;
}
