// The parts of the library frame that every class shares: a class's
// dispatch through the module's own type library, the zero-based item list
// with its For Each enumerator, and calls into a client's object in the
// middle of a member. The class here implements the tests' own interface.
#include "ComTestSupport.h"

#include "com/ClientCall.h"
#include "com/Dispatch.h"
#include "com/ItemList.h"
#include "com/Module.h"

#include "FrameTest.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;
using tovrin::AutomationError;
using tovrin::ComPtr;
using tovrin::Variant;

namespace {

// An item with a number, which raises the error it is given.
class TestItem final : public tovrin::Dispatch<TestItem, _TestItem> {
public:
    static REFIID InterfaceId() { return IID__TestItem; }
    static constexpr wchar_t Source[] = L"TestItem";

    HRESULT STDMETHODCALLTYPE get_Number(long* number) override
    {
        return Member(number, [&] { return m_number; });
    }
    HRESULT STDMETHODCALLTYPE Raise(long number) override
    {
        return Member([&] { throw AutomationError(number); });
    }

private:
    friend class tovrin::Dispatch<TestItem, _TestItem>;
    explicit TestItem(long number) : m_number(number) {}

    long m_number;
};

long NumberOf(_TestItem* item)
{
    long number = -1;
    EXPECT_EQ(item->get_Number(&number), S_OK);
    return number;
}

long ErrorNumberOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const AutomationError& error) {
        return error.Number();
    }
    return 0;
}

TEST(Dispatch, AnswersLateBoundThroughTheModulesOwnTypeLibrary)
{
    ASSERT_TRUE(tovrin::module::CanUnload());
    {
        ComPtr<TestItem> item = TestItem::Create(42L);
        EXPECT_FALSE(tovrin::module::CanUnload()) << "an object counts for the module";

        CallResult number = CallByName(item.get(), L"NUMBER", {});
        ASSERT_EQ(number.hr, S_OK) << "names ignore letter case";
        EXPECT_EQ(V_VT(number.value.get()), VT_I4);
        EXPECT_EQ(V_I4(number.value.get()), 42);

        Variant nine = Arg(9L);
        CallResult raised = CallByName(item.get(), L"Raise", {nine.get()});
        EXPECT_EQ(raised.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(raised.scode, ErrorStatus(9));
        EXPECT_EQ(raised.source.str(), L"TestItem");
        EXPECT_EQ(CallByName(item.get(), L"NoSuchMember", {}).hr, DISP_E_UNKNOWNNAME);

        EXPECT_EQ(item->Raise(53), ErrorStatus(53));
        EXPECT_EQ(TakeErrorInfo().Source, L"TestItem") << "the vtable call leaves the class's error record";
        EXPECT_EQ(item->InterfaceSupportsErrorInfo(IID__TestItem), S_OK);
        EXPECT_EQ(item->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
        EXPECT_EQ(item->get_Number(nullptr), E_POINTER);
    }
    EXPECT_TRUE(tovrin::module::CanUnload()) << "the last reference takes the object";
}

TEST(ItemList, PositionsAreZeroBasedAndTheEnumeratorOutlivesTheList)
{
    ASSERT_TRUE(tovrin::module::CanUnload());
    ComPtr<IEnumVARIANT> enumerator;
    ComPtr<_TestItem> first, last;
    {
        tovrin::ItemList<_TestItem> list;
        for (long i = 0; i < 3; ++i)
            list.Add(ComPtr<_TestItem>::Attach(TestItem::Create(i).release()));
        EXPECT_EQ(list.Count(), 3);
        first = list.At(0);
        last = list.At(2);
        EXPECT_EQ(NumberOf(first.get()), 0);
        EXPECT_EQ(NumberOf(last.get()), 2);
        for (long index : {-1L, 3L, 2147483647L, -2147483647L - 1})
            EXPECT_EQ(ErrorNumberOf([&] { list.At(index); }), 9) << index;
        enumerator = list.NewEnum().query<IEnumVARIANT>(IID_IEnumVARIANT);
        ASSERT_TRUE(enumerator);
        list.Clear();
    }
    first.reset();
    last.reset();
    EXPECT_FALSE(tovrin::module::CanUnload()) << "the enumerator holds the items of its snapshot";

    VARIANT items[5];
    ULONG fetched = 99;
    ASSERT_EQ(enumerator->Next(2, items, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    for (ULONG i = 0; i < fetched; ++i) {
        EXPECT_EQ(V_VT(&items[i]), VT_DISPATCH);
        ::VariantClear(&items[i]);
    }
    ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(enumerator->Clone(clone.put()), S_OK);
    ASSERT_EQ(enumerator->Next(5, items, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u) << "the third item, then the end";
    ::VariantClear(&items[0]);
    EXPECT_EQ(clone->Next(1, items, &fetched), S_OK) << "a clone goes on where its original stood";
    ::VariantClear(&items[0]);
    EXPECT_EQ(clone->Skip(2), S_FALSE);
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(clone->Skip(3), S_OK);
    enumerator.reset();
    clone.reset();
    EXPECT_TRUE(tovrin::module::CanUnload()) << "every item and enumerator is released";
}

// A client's object as a compiled client would write it: DirectoryCompleted
// takes a path and a by-reference Cancel it sets; Fail raises the client's
// own error.
class Client final : public IDispatch {
public:
    std::wstring SeenPath;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = (iid == IID_IUnknown || iid == IID_IDispatch) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override
    {
        std::wstring name = names[0];
        *id = name == L"DirectoryCompleted" ? 1 : name == L"Fail" ? 2 : DISPID_UNKNOWN;
        return *id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override
    {
        if (member == 2) {
            exception->bstrSource = ::SysAllocString(L"ClientScript");
            exception->bstrDescription = ::SysAllocString(L"the client gave up");
            exception->scode = ErrorStatus(1001);
            return DISP_E_EXCEPTION;
        }
        if (params->cArgs != 2 || V_VT(&params->rgvarg[0]) != (VT_BYREF | VT_VARIANT))
            return DISP_E_TYPEMISMATCH;
        SeenPath = Text(&params->rgvarg[1]);
        VARIANT* cancel = V_VARIANTREF(&params->rgvarg[0]);
        ::VariantClear(cancel);
        V_VT(cancel) = VT_BOOL;
        V_BOOL(cancel) = VARIANT_TRUE;
        if (result) {
            V_VT(result) = VT_I4;
            V_I4(result) = 7;
        }
        return S_OK;
    }
    ULONG References() const { return m_references; }

private:
    ULONG m_references = 1;
};

TEST(ClientMethod, CallsByNameWritesBackAndRaisesTheClientsOwnError)
{
    Client client;
    EXPECT_EQ(ErrorNumberOf([&] { tovrin::ClientMethod(&client, L"NoSuchMember"); }), 438);
    EXPECT_EQ(ErrorNumberOf([&] { tovrin::ClientMethod(nullptr, L"DirectoryCompleted"); }), 91);
    {
        tovrin::ClientMethod completed(&client, L"DirectoryCompleted");
        Variant path = Arg(L"C:\\Folder");
        Variant cancel = ArgBool(false);
        Variant cancelRef = Ref(cancel.get());
        Variant result = completed.Call({path.get(), cancelRef.get()});
        EXPECT_EQ(client.SeenPath, L"C:\\Folder");
        EXPECT_EQ(V_BOOL(cancel.get()), VARIANT_TRUE);
        EXPECT_EQ(V_I4(result.get()), 7);

        tovrin::ClientMethod fail(&client, L"Fail");
        try {
            fail.Call({});
            ADD_FAILURE() << "the client's error is raised";
        } catch (const AutomationError& error) {
            EXPECT_EQ(error.Number(), 1001);
            EXPECT_EQ(error.Source(), L"ClientScript");
            EXPECT_EQ(error.Description(), L"the client gave up");
        }
    }
    EXPECT_EQ(client.References(), 1u) << "the method gives its reference back";
}

} // namespace
