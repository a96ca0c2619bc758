#include "ClassFactory.h"

#include "Module.h"
#include "Unknown.h"

#include <new>

namespace tovrin {

namespace {

class ClassFactory final : public Unknown<IClassFactory> {
public:
    explicit ClassFactory(CreateFunction create) : Unknown(IID_IClassFactory), m_create(create) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return m_create(iid, object);
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            module::Lock();
        else
            module::Unlock();
        return S_OK;
    }

private:
    CreateFunction m_create;
};

} // namespace

HRESULT CreateClassFactory(CreateFunction create, REFIID iid, void** factory)
{
    if (!factory)
        return E_POINTER;
    *factory = nullptr;
    ClassFactory* made = new (std::nothrow) ClassFactory(create);
    if (!made)
        return E_OUTOFMEMORY;
    HRESULT hr = made->QueryInterface(iid, factory);
    made->Release();
    return hr;
}

} // namespace tovrin
