#include "ComTestSupport.h"

#include <tovrin/ErrorInfo.h>

namespace testing_support {

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { ::CoUninitialize(); }
};

const auto* const Environment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

} // namespace

tovrin::Variant Arg(const wchar_t* text)
{
    tovrin::Variant v;
    V_VT(v.get()) = VT_BSTR;
    V_BSTR(v.get()) = ::SysAllocString(text);
    return v;
}

tovrin::Variant Arg(long number)
{
    tovrin::Variant v;
    V_VT(v.get()) = VT_I4;
    V_I4(v.get()) = number;
    return v;
}

tovrin::Variant ArgBool(bool value)
{
    tovrin::Variant v;
    V_VT(v.get()) = VT_BOOL;
    V_BOOL(v.get()) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

tovrin::Variant Missing()
{
    tovrin::Variant v;
    V_VT(v.get()) = VT_ERROR;
    V_ERROR(v.get()) = DISP_E_PARAMNOTFOUND;
    return v;
}

tovrin::Variant Ref(VARIANT* target)
{
    tovrin::Variant v;
    V_VT(v.get()) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(v.get()) = target;
    return v;
}

CallResult CallByName(IDispatch* object, const wchar_t* name, std::vector<VARIANT*> arguments, WORD flags)
{
    CallResult result;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    result.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result.hr))
        return result;
    // DISPPARAMS hold the arguments last first.
    std::vector<VARIANT> reversed;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
        reversed.push_back(**it);
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    UINT argumentError = 0;
    EXCEPINFO exception = {};
    result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.value.put(), &exception,
                               &argumentError);
    result.scode = exception.scode;
    result.source.reset(exception.bstrSource);
    result.description.reset(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return result;
}

ErrorRecord TakeErrorInfo()
{
    ErrorRecord record;
    if (const std::optional<tovrin::ErrorInfoRecord> info = tovrin::TakeErrorInfo()) {
        record.Source = info->Source;
        record.Description = info->Description;
        record.Present = true;
    }
    return record;
}

std::wstring Text(const VARIANT* value)
{
    tovrin::Variant text;
    if (FAILED(::VariantChangeType(text.get(), const_cast<VARIANT*>(value), VARIANT_ALPHABOOL, VT_BSTR)))
        return L"(not text)";
    return tovrin::Bstr::ToString(V_BSTR(text.get()));
}

} // namespace testing_support
