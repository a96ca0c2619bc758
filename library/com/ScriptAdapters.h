// Scripts cannot implement the library's callback interfaces: a VBScript
// class or a JScript object is a plain dispatch object. Where a member takes
// such an interface, the dispatch hands it an adapter that implements the
// interface by calling the script's object by name.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace tovrin {

// An object implementing the interface iid that forwards to the client's
// object; S_FALSE when the library has no adapter for that interface. A
// client object without the members the interface needs fails with the
// error record of the missing member.
HRESULT AdaptScriptObject(REFIID iid, IDispatch* client, IUnknown** adapted);

} // namespace tovrin
