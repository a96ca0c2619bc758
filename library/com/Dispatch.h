// The base of every automation object of the library: IUnknown with counts
// that also move the module's object count, IDispatch through the type info
// of the embedded type library, ISupportErrorInfo, and the boundary of every
// member. A class derives from Dispatch<Itself, _Interface>, names its
// interface (InterfaceId) and its error Source (Source) once, and implements
// only its own members, each as one call of Member or FileMember.
#pragma once

#include <tovrin/ComPtr.h>
#include "Invoke.h"
#include "Member.h"
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
        return TypeInfoStep([&] { *info = ComPtr<ITypeInfo>::Copy(Types().Dispatch).release(); });
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        const module::InterfaceTypes* types = nullptr;
        HRESULT hr = TypeInfoStep([&] { types = &Types(); });
        if (FAILED(hr))
            return hr;
        if (count == 1 && names && ids && (ids[0] = types->IdOfName(names[0])) != DISPID_UNKNOWN)
            return S_OK;
        return ::DispGetIDsOfNames(types->Dispatch, names, count, ids); // parameter names, or an unknown name
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        const module::InterfaceTypes* types = nullptr;
        HRESULT hr = TypeInfoStep([&] { types = &Types(); });
        if (FAILED(hr))
            return hr;
        return InvokeWithDefaults(*types, static_cast<Interface*>(this), &Derived::AdaptScriptObject, member, flags,
                                  params, result, exception, argumentError);
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
    {
        return iid == Derived::InterfaceId() ? S_OK : S_FALSE;
    }

    // A script's object given for an interface it does not implement: a
    // class whose members take one of the library's callback interfaces
    // hides this with its own adapter (ScriptObjectAdapter); by default
    // there is none and the argument goes on as it is.
    static HRESULT AdaptScriptObject(REFIID, IDispatch*, IUnknown** adapted)
    {
        *adapted = nullptr;
        return S_FALSE;
    }

protected:
    Dispatch() { module::ObjectCreated(); }
    virtual ~Dispatch() { module::ObjectDestroyed(); }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

    // A reference that keeps this object whole while a member calls into a
    // client's object, which may drop the client's last reference to it.
    ComPtr<Derived> KeepAlive() { return ComPtr<Derived>::Copy(static_cast<Derived*>(this)); }

    // The boundary of a member with a result: a null result pointer is
    // refused, the result and the optional out-parameters named after the
    // body start out empty, the body's value becomes the result, and
    // whatever the body throws reaches the caller as a status with an error
    // record under the class's Source.
    template <typename Result, typename Body, typename... Outs>
    static HRESULT Member(Result* result, Body&& body, Outs*... cleared) noexcept
    {
        if (!result)
            return E_POINTER;
        *result = Result();
        (member::Clear(cleared), ...);
        return Firewall(Derived::InterfaceId(), Derived::Source, [&] { member::Deliver(result, body()); });
    }

    // The boundary of a member without a result.
    template <typename Body>
    static HRESULT Member(Body&& body) noexcept
    {
        return Firewall(Derived::InterfaceId(), Derived::Source, body);
    }

    // A file member with RaiseErrors: when its body fails, the member gives
    // the empty result, or with RaiseErrors True raises the error again.
    template <typename Result, typename Body>
    static HRESULT FileMember(VARIANT_BOOL raiseErrors, Result* result, Body&& body) noexcept
    {
        return Member(result, [&] {
            using Value = decltype(body());
            return Guarded(raiseErrors, Value(), body);
        });
    }

    // The same with lpSuccess, False until the body has completed.
    template <typename Result, typename Body>
    static HRESULT FileMember(VARIANT_BOOL raiseErrors, Result* result, VARIANT_BOOL* lpSuccess, Body&& body) noexcept
    {
        return FileMember(raiseErrors, result, lpSuccess, decltype(body())(), body);
    }

    // The same with a failure value of the member's own (an empty
    // collection, say) in place of the empty result.
    template <typename Result, typename Value, typename Body>
    static HRESULT FileMember(VARIANT_BOOL raiseErrors, Result* result, VARIANT_BOOL* lpSuccess, Value failure,
                              Body&& body) noexcept
    {
        return Member(
            result,
            [&] {
                return Guarded(raiseErrors, std::move(failure), [&] {
                    Value value = body();
                    if (lpSuccess)
                        *lpSuccess = VARIANT_TRUE;
                    return value;
                });
            },
            lpSuccess);
    }

private:
    static const module::InterfaceTypes& Types() { return module::TypesOf(Derived::InterfaceId()); }

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
