#include "classes/IFindFilesCallback.h"

#include <tovrin/ErrorNumbers.h>
#include <tovrin/Variant.h>

namespace tovrin {

HRESULT STDMETHODCALLTYPE IFindFilesCallback::DirectoryCompleted(BSTR, VARIANT_BOOL*)
{
    return S_OK;
}

ComPtr<ScriptFindCallback> ScriptFindCallback::Wrap(IDispatch* client)
{
    return Create(client);
}

HRESULT STDMETHODCALLTYPE ScriptFindCallback::DirectoryCompleted(BSTR Path, VARIANT_BOOL* Cancel)
{
    return Member([&] {
        Variant path, cancel, cancelReference;
        V_VT(path.get()) = VT_BSTR;
        V_BSTR(path.get()) = Bstr::From(Bstr::ToString(Path)).release();
        V_VT(cancel.get()) = VT_BOOL;
        V_BOOL(cancel.get()) = Cancel ? *Cancel : VARIANT_FALSE;
        V_VT(cancelReference.get()) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(cancelReference.get()) = cancel.get();
        Variant result = m_method.Call({path.get(), cancelReference.get()});
        // Any non-zero value cancels; so does a result that reads as True.
        Variant flag;
        bool cancelled =
            SUCCEEDED(::VariantChangeType(flag.get(), cancel.get(), 0, VT_BOOL)) && V_BOOL(flag.get()) != VARIANT_FALSE;
        if (result.type() != VT_EMPTY && SUCCEEDED(::VariantChangeType(flag.get(), result.get(), 0, VT_BOOL)))
            cancelled = cancelled || V_BOOL(flag.get()) != VARIANT_FALSE;
        if (Cancel)
            *Cancel = cancelled ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

ComPtr<_IFindFilesCallback> AdaptFindCallback(IUnknown* object)
{
    ComPtr<_IFindFilesCallback> callback;
    if (!object || SUCCEEDED(object->QueryInterface(IID__IFindFilesCallback, callback.put_void())))
        return callback;
    ComPtr<IDispatch> dispatch;
    if (FAILED(object->QueryInterface(IID_IDispatch, dispatch.put_void())))
        throw AutomationError(ErrTypeMismatch);
    return ComPtr<_IFindFilesCallback>::Attach(ScriptFindCallback::Wrap(dispatch.get()).release());
}

FindCallback::FindCallback(IUnknown* object) : m_callback(AdaptFindCallback(object)) {}

bool FindCallback::DirectoryCompleted(const std::wstring& path) const
{
    if (!m_callback)
        return false;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    Check(m_callback->DirectoryCompleted(Bstr::From(path).get(), &cancel));
    return cancel != VARIANT_FALSE;
}

} // namespace tovrin
