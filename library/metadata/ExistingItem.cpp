#include "metadata/ExistingItem.h"

#include "files/FileSystem.h"

namespace tovrin {

Handle OpenExistingItem(const std::wstring& name, DWORD access)
{
    return Handle(FileSystem().Open(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS));
}

} // namespace tovrin
