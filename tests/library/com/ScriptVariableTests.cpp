// Scripts pass their variables as Variant references (VT_BYREF|VT_VARIANT).
// The typed by-reference parameters of the library's members take them:
// the value goes in converted, and what the member leaves there comes back
// into the variable in the parameter's own type.
#include "ComTestSupport.h"
#include "TestFiles.h"

#include "Ormelin0105.h"

#include <gtest/gtest.h>

using namespace testing_support;
using tovrin::ComPtr;
using tovrin::Variant;

namespace {

class ScriptVariables : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, m_fso.put_void()),
                  S_OK);
    }

    ComPtr<IDispatch> m_fso;
    TempFolder m_folder;
};

TEST_F(ScriptVariables, GetFile2WritesEveryOutParameterInItsOwnType)
{
    std::wstring path = m_folder / L"utf16.txt";
    WriteBytes(path, std::string("\xFF\xFE" "a\0", 4));
    // GetFile2(path, , , , , encoding, mark, order, success): four arguments
    // left out in the middle; the variables hold Empty, a string, a Long.
    Variant name = Arg(path.c_str()), missing = Missing();
    Variant encoding, mark = Arg(L"0"), order = Arg(9L), success;
    Variant refs[] = {Ref(encoding.get()), Ref(mark.get()), Ref(order.get()), Ref(success.get())};
    CallResult result = CallByName(m_fso.get(), L"GetFile2",
                                   {name.get(), missing.get(), missing.get(), missing.get(), missing.get(),
                                    refs[0].get(), refs[1].get(), refs[2].get(), refs[3].get()});
    ASSERT_EQ(result.hr, S_OK);
    EXPECT_EQ(Text(result.value.get()), L"a");
    const struct {
        Variant& variable;
        VARTYPE type;
        long value;
    } expected[] = {{encoding, VT_I4, feUTF16}, {mark, VT_I4, fbBOM}, {order, VT_I4, ibDontInvertBytes},
                    {success, VT_BOOL, VARIANT_TRUE}};
    for (const auto& e : expected) {
        EXPECT_EQ(V_VT(e.variable.get()), e.type);
        EXPECT_EQ(e.type == VT_BOOL ? V_BOOL(e.variable.get()) : V_I4(e.variable.get()), e.value);
    }
}

TEST_F(ScriptVariables, AMissingFileLeavesTheVariablesTheMemberDidNotChange)
{
    Variant name = Arg((m_folder / L"missing.txt").c_str()), missing = Missing();
    Variant encoding, mark = Arg(5L), success = ArgBool(true);
    Variant refs[] = {Ref(encoding.get()), Ref(mark.get()), Ref(success.get())};
    CallResult result = CallByName(m_fso.get(), L"GetFile2",
                                   {name.get(), missing.get(), missing.get(), missing.get(), missing.get(),
                                    refs[0].get(), refs[1].get(), missing.get(), refs[2].get()});
    ASSERT_EQ(result.hr, S_OK) << "RaiseErrors is False";
    EXPECT_EQ(V_VT(encoding.get()), VT_EMPTY);
    EXPECT_EQ(V_VT(mark.get()), VT_I4);
    EXPECT_EQ(V_I4(mark.get()), 5);
    EXPECT_EQ(V_VT(success.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(success.get()), VARIANT_FALSE) << "the member reports the failure in lpSuccess";

    Variant raise = ArgBool(true);
    Variant refEncoding = Ref(encoding.get());
    result = CallByName(m_fso.get(), L"GetFileFormat2", {name.get(), raise.get(), refEncoding.get()});
    EXPECT_EQ(result.scode, ErrorStatus(53));
    EXPECT_EQ(V_VT(encoding.get()), VT_EMPTY) << "a raised error writes nothing back";
}

// The member starts from a value of its own whatever the variable held, and
// the variable changes exactly when the member writes: False and 0 too.
TEST_F(ScriptVariables, WhatAVariableHeldNeitherStopsTheCallNorHidesAWrite)
{
    std::wstring path = m_folder / L"a.txt";
    WriteBytes(path, "ab");
    Variant name = Arg(path.c_str()), missing = Missing();
    Variant word = Arg(L"not a number");
    Variant refWord = Ref(word.get());
    CallResult result = CallByName(m_fso.get(), L"GetFileFormat2", {name.get(), missing.get(), refWord.get()});
    ASSERT_EQ(result.hr, S_OK);
    EXPECT_EQ(V_VT(word.get()), VT_I4);
    EXPECT_EQ(V_I4(word.get()), feANSI);

    Variant absent = Arg((m_folder / L"missing.txt").c_str());
    Variant zero = Arg(0L), text = Arg(L"keep");
    Variant refs[] = {Ref(text.get()), Ref(zero.get())};
    result = CallByName(m_fso.get(), L"GetFile2",
                        {absent.get(), missing.get(), missing.get(), missing.get(), missing.get(), refs[0].get(),
                         missing.get(), missing.get(), refs[1].get()});
    ASSERT_EQ(result.hr, S_OK) << "RaiseErrors is False";
    EXPECT_EQ(V_VT(zero.get()), VT_BOOL) << "the member wrote False over a Long 0";
    EXPECT_EQ(V_BOOL(zero.get()), VARIANT_FALSE);
    EXPECT_EQ(Text(text.get()), L"keep") << "the format is not told when nothing was read";
}

} // namespace
