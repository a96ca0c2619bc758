// IUnknown for the library's helper objects that are no automation objects
// (the class factory, enumerators): one interface besides IUnknown, a
// reference count that starts at one, and the module's object count.
// Automation objects derive from Dispatch instead.
#pragma once

#include "Module.h"

#include <atomic>

namespace tovrin {

template <typename Interface>
class Unknown : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != m_iid)
            return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        long left = --m_references;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    explicit Unknown(REFIID iid) : m_iid(iid) { module::ObjectCreated(); }
    virtual ~Unknown() { module::ObjectDestroyed(); }
    Unknown(const Unknown&) = delete;
    Unknown& operator=(const Unknown&) = delete;

private:
    const IID m_iid;
    std::atomic<long> m_references{1};
};

} // namespace tovrin
