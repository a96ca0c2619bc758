#include "ClassFactory.h"

#include "Module.h"

#include <atomic>
#include <new>

namespace tovrin {

namespace {

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreateFunction create) : m_create(create) { module::ObjectCreated(); }
    ~ClassFactory() { module::ObjectDestroyed(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
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
    std::atomic<long> m_references{1};
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
