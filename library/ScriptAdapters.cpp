#include "com/ScriptAdapters.h"

#include "IFindFilesCallback.h"

namespace tovrin {

HRESULT AdaptScriptObject(REFIID iid, IDispatch* client, IUnknown** adapted)
{
    *adapted = nullptr;
    if (iid != IID__IFindFilesCallback)
        return S_FALSE;
    return Firewall(iid, IFindFilesCallback::Source,
                    [&] { *adapted = static_cast<_IFindFilesCallback*>(ScriptFindCallback::Wrap(client).release()); });
}

} // namespace tovrin
