// IFindFilesCallback: the library's own search callback, which does
// nothing. Clients pass an object of their own: one that implements
// _IFindFilesCallback is called by slot; a script's object, which cannot,
// is called by name (FindCallback).
#pragma once

#include "com/ClientCall.h"
#include "com/Dispatch.h"

#include "Ormelin0105.h"

#include <string>

namespace tovrin {

class IFindFilesCallback final : public Dispatch<IFindFilesCallback, _IFindFilesCallback> {
public:
    static REFIID InterfaceId() { return IID__IFindFilesCallback; }
    static constexpr wchar_t Source[] = L"IFindFilesCallback";

    HRESULT STDMETHODCALLTYPE DirectoryCompleted(BSTR Path, VARIANT_BOOL* Cancel) override;

private:
    friend class Dispatch<IFindFilesCallback, _IFindFilesCallback>;
    IFindFilesCallback() = default;
};

// A script's object as a search callback: its DirectoryCompleted is called
// by name with the path and a by-reference Cancel; a result of True cancels
// too, for JScript, which cannot write to a by-reference argument. Made for
// an object that lacks DirectoryCompleted, it raises error 438 at once.
class ScriptFindCallback final : public Dispatch<ScriptFindCallback, _IFindFilesCallback> {
public:
    static REFIID InterfaceId() { return IID__IFindFilesCallback; }
    static constexpr wchar_t Source[] = L"IFindFilesCallback";

    static ComPtr<ScriptFindCallback> Wrap(IDispatch* client);

    HRESULT STDMETHODCALLTYPE DirectoryCompleted(BSTR Path, VARIANT_BOOL* Cancel) override;

private:
    friend class Dispatch<ScriptFindCallback, _IFindFilesCallback>;
    explicit ScriptFindCallback(IDispatch* client) : m_method(client, L"DirectoryCompleted") {}

    ClientMethod m_method;
};

// The callback a client's object makes: the object itself when it
// implements _IFindFilesCallback, a ScriptFindCallback over it otherwise;
// none for none. Raises 13 for an object without IDispatch and 438 for one
// without DirectoryCompleted.
ComPtr<_IFindFilesCallback> AdaptFindCallback(IUnknown* object);

// The callback object a search was given, resolved once before the walk:
// called by slot when it implements _IFindFilesCallback, as a script's
// object through ScriptFindCallback otherwise.
class FindCallback {
public:
    explicit FindCallback(IUnknown* object);

    // Whether the client asked to cancel the search.
    bool DirectoryCompleted(const std::wstring& path) const;

private:
    ComPtr<_IFindFilesCallback> m_callback;
};

} // namespace tovrin
