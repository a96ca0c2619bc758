#include "Classes.h"

#include "classes/IFindFilesCallback.h"
#include "classes/tovDescriptIon.h"
#include "classes/tovFSO.h"
#include "classes/tovFileStreams.h"
#include "classes/tovFileVersion.h"
#include "classes/tovFoundedFiles.h"
#include "classes/tovShellFileInfo.h"

#include "Ormelin0105.h"

namespace tovrin {

// The records the library hands out (FileStream, FoundedFile, ShellFileEXE,
// ShellFileIcon) are not here: clients cannot create them, and creating one
// fails with CLASS_E_CLASSNOTAVAILABLE.
const std::vector<ClassEntry>& Classes()
{
    static const std::vector<ClassEntry> classes = {
        {&CLSID_tovFSO, L"tovFSO", CreateInstanceOf<tovFSO>},
        {&CLSID_tovDescriptIon, L"tovDescriptIon", CreateInstanceOf<tovDescriptIon>},
        {&CLSID_tovFileStreams, L"tovFileStreams", CreateInstanceOf<tovFileStreams>},
        {&CLSID_tovFileVersion, L"tovFileVersion", CreateInstanceOf<tovFileVersion>},
        {&CLSID_tovShellFileInfo, L"tovShellFileInfo", CreateInstanceOf<tovShellFileInfo>},
        {&CLSID_tovFoundedFiles, L"tovFoundedFiles", CreateInstanceOf<tovFoundedFiles>},
        {&CLSID_IFindFilesCallback, L"IFindFilesCallback", CreateInstanceOf<IFindFilesCallback>},
    };
    return classes;
}

const ServerDescription& Server()
{
    static const ServerDescription server = {
        L"Ormelin0105", &LIBID_Ormelin0105, L"1.0", L"Tovrin - Ormelin 1.05", Classes().data(), Classes().size(),
    };
    return server;
}

} // namespace tovrin
