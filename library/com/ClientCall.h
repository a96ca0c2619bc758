// Calls into a client's object in the middle of one of our members, the way
// every client object can be called, a script's among them: by name through
// IDispatch. Whatever the client raises comes back as its own error record
// (its Source and description), thrown in the calling member.
// A member that calls out keeps its own object alive for the call
// (Dispatch::KeepAlive): the client may drop its last reference to it.
#pragma once

#include "AutomationError.h"

#include <tovrin/ComPtr.h>
#include <tovrin/Variant.h>

#include <dispex.h>
#include <oaidl.h>

#include <vector>

namespace tovrin {

class ClientMethod {
public:
    // Raises error 438 when the object has no member of that name.
    ClientMethod(IDispatch* object, const wchar_t* name);

    // Calls the method with the arguments in their source order (a
    // by-reference Variant lets the client write back) and gives its result.
    Variant Call(std::vector<VARIANT*> arguments) const;

private:
    ComPtr<IDispatch> m_object;
    ComPtr<IDispatchEx> m_objectEx; // when the object has it
    DISPID m_member = DISPID_UNKNOWN;
};

} // namespace tovrin
