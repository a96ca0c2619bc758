// Our own automation Collection, used where the platform's cannot be
// created: positions, keys, insertion and the errors the platform's raises.
#include "ComTestSupport.h"

#include "classes/Collection.h"
#include "content/modStandardListFileSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;
using tovrin::ComPtr;
using tovrin::Variant;

namespace {

class OwnCollectionTest : public ::testing::Test {
protected:
    void SetUp() override { m_collection = ComPtr<::Collection>::Attach(tovrin::OwnCollection::Create().release()); }

    HRESULT Add(const wchar_t* item, const wchar_t* key = nullptr, VARIANT* before = nullptr, VARIANT* after = nullptr)
    {
        Variant value = Arg(item);
        Variant keyValue = key ? Arg(key) : Missing();
        Variant missing = Missing();
        return m_collection->Add(value.get(), keyValue.get(), before ? before : missing.get(),
                                 after ? after : missing.get());
    }

    std::wstring Item(VARIANT* index, HRESULT expected = S_OK)
    {
        Variant result;
        EXPECT_EQ(m_collection->Item(index, result.put()), expected);
        return Text(result.get());
    }

    std::wstring Items()
    {
        long count = 0;
        m_collection->Count(&count);
        std::wstring all;
        for (long i = 1; i <= count; ++i) {
            Variant index = Arg(i);
            all += Item(index.get()) + L";";
        }
        return all;
    }

    ComPtr<::Collection> m_collection;
};

} // namespace

TEST_F(OwnCollectionTest, KeepsOrderAndFindsByPositionOrKeyIgnoringCase)
{
    ASSERT_EQ(Add(L"a", L"1"), S_OK);
    ASSERT_EQ(Add(L"b", L"Second"), S_OK);
    ASSERT_EQ(Add(L"c"), S_OK);
    EXPECT_EQ(Items(), L"a;b;c;");
    Variant key = Arg(L"SECOND");
    EXPECT_EQ(Item(key.get()), L"b");
    Variant digits = Arg(L"1");
    EXPECT_EQ(Item(digits.get()), L"a") << "a string index is a key, even of digits";
    Variant position;
    V_VT(position.get()) = VT_R8;
    V_R8(position.get()) = 2.0;
    EXPECT_EQ(Item(position.get()), L"b");
}

TEST_F(OwnCollectionTest, RaisesThePlatformsErrors)
{
    ASSERT_EQ(Add(L"a", L"k"), S_OK);
    EXPECT_EQ(Add(L"again", L"K"), ErrorStatus(457)) << "a key can be used once";
    EXPECT_EQ(TakeErrorInfo().Description, L"This key is already associated with an element of this collection");
    Variant zero = Arg(0L), two = Arg(2L), missingKey = Arg(L"nope");
    Item(zero.get(), ErrorStatus(9));
    Item(two.get(), ErrorStatus(9));
    Item(missingKey.get(), ErrorStatus(5));
    EXPECT_EQ(m_collection->Remove(two.get()), ErrorStatus(9));
    Variant one = Arg(1L);
    EXPECT_EQ(Add(L"x", nullptr, one.get(), one.get()), ErrorStatus(5)) << "before and after together";
    Variant number = Arg(5L);
    Variant value = Arg(L"v"), missing = Missing();
    EXPECT_EQ(m_collection->Add(value.get(), number.get(), missing.get(), missing.get()), ErrorStatus(13))
        << "keys are strings";
    long count = 0;
    m_collection->Count(&count);
    EXPECT_EQ(count, 1) << "failed calls add nothing";
}

TEST_F(OwnCollectionTest, InsertsBeforeAndAfterAndRemoves)
{
    Add(L"a", L"ka");
    Add(L"c", L"kc");
    Variant before = Arg(L"kc");
    ASSERT_EQ(Add(L"b", L"kb", before.get()), S_OK);
    Variant afterLast = Arg(3L);
    ASSERT_EQ(Add(L"d", nullptr, nullptr, afterLast.get()), S_OK);
    Variant first = Arg(1L);
    ASSERT_EQ(Add(L"start", nullptr, first.get()), S_OK);
    EXPECT_EQ(Items(), L"start;a;b;c;d;");

    Variant key = Arg(L"KB");
    ASSERT_EQ(m_collection->Remove(key.get()), S_OK);
    EXPECT_EQ(Items(), L"start;a;c;d;");
    Item(key.get(), ErrorStatus(5));
    ASSERT_EQ(Add(L"b again", L"kb"), S_OK) << "a removed key is free again";
}

TEST_F(OwnCollectionTest, EnumeratesASnapshotAndWorksLateBound)
{
    Add(L"x");
    Add(L"y");
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(m_collection->_NewEnum(unknown.put()), S_OK);
    ComPtr<IEnumVARIANT> items = unknown.query<IEnumVARIANT>(IID_IEnumVARIANT);
    ASSERT_TRUE(items);
    VARIANT fetched[3];
    ULONG count = 0;
    EXPECT_EQ(items->Next(3, fetched, &count), S_FALSE);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(Text(&fetched[0]), L"x");
    EXPECT_EQ(Text(&fetched[1]), L"y");
    ::VariantClear(&fetched[0]);
    ::VariantClear(&fetched[1]);

    // Item is the default member: collection(2) in a script.
    Variant two = Arg(2L);
    CallResult result = CallByName(m_collection.get(), L"Item", {two.get()});
    ASSERT_EQ(result.hr, S_OK);
    EXPECT_EQ(Text(result.value.get()), L"y");
    Variant nine = Arg(9L);
    result = CallByName(m_collection.get(), L"Item", {nine.get()});
    EXPECT_EQ(result.scode, ErrorStatus(9));
}

TEST(NewCollection, FallsBackToOurOwnWhereTheRuntimeIsAbsent)
{
    // Wine ships no Visual Basic runtime: the platform's class cannot be made.
    ComPtr<IUnknown> platform;
    HRESULT hr = ::CoCreateInstance(CLSID{0xA4C4671C, 0x499F, 0x101B, {0xBB, 0x78, 0x00, 0xAA, 0x00, 0x38, 0x3C, 0xBB}},
                                    nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, platform.put_void());
    ComPtr<::Collection> collection = tovrin::NewCollection();
    ASSERT_TRUE(collection);
    if (FAILED(hr)) {
        // The list readers' adding: each line keyed by its position.
        tovrin::AddString(collection.get(), L"first", L"1");
        tovrin::AddString(collection.get(), L"second", L"2");
        long count = 0;
        collection->Count(&count);
        EXPECT_EQ(count, 2);
        Variant key = Arg(L"1");
        Variant item;
        ASSERT_EQ(collection->Item(key.get(), item.put()), S_OK);
        EXPECT_EQ(Text(item.get()), L"first");
    }
}
