// The base of every automation object of the library: IUnknown with counts
// that also move the module's object count, IDispatch through the type info
// of the embedded type library, and ISupportErrorInfo. A class derives from
// Dispatch<Itself, _Interface> and implements only its own members.
#pragma once

#include <tovrin/ComPtr.h>
#include "Invoke.h"
#include "Module.h"

#include <atomic>
#include <new>

namespace tovrin {

template <typename Derived, typename Interface>
class Dispatch : public Interface, public ISupportErrorInfo {
public:
    // A new object with one reference, owned by the ComPtr.
    template <typename... Args>
    static ComPtr<Derived> Create(Args&&... args)
    {
        return ComPtr<Derived>::Attach(new Derived(std::forward<Args>(args)...));
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == Derived::InterfaceId())
            *object = static_cast<Interface*>(this);
        else if (iid == IID_ISupportErrorInfo)
            *object = static_cast<ISupportErrorInfo*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        long left = --m_references;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        return TypeInfoStep([&] { *info = module::TypeInfo(Derived::InterfaceId()).release(); });
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = TypeInfoStep([&] { info = module::TypeInfo(Derived::InterfaceId()); });
        return SUCCEEDED(hr) ? ::DispGetIDsOfNames(info.get(), names, count, ids) : hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = TypeInfoStep([&] { info = module::VtableTypeInfo(Derived::InterfaceId()); });
        if (FAILED(hr))
            return hr;
        return InvokeWithDefaults(info.get(), static_cast<Interface*>(this), member, flags, params, result,
                                  exception, argumentError);
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
    {
        return iid == Derived::InterfaceId() ? S_OK : S_FALSE;
    }

protected:
    Dispatch() { module::ObjectCreated(); }
    virtual ~Dispatch() { module::ObjectDestroyed(); }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

private:
    template <typename Body>
    static HRESULT TypeInfoStep(Body body) noexcept
    {
        try {
            body();
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return TYPE_E_CANTLOADLIBRARY;
        }
    }

    std::atomic<long> m_references{1};
};

} // namespace tovrin
