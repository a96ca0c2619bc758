// DescriptionList without COM: replacing an entry leaves a gap behind, and a
// long run of replacements closes the gaps on the way; lookups by name must
// stay in step with the entries through that.
#include "metadata/DescriptionList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DescriptionList, ALongRunOfReplacementsKeepsNamesAndPositionsInStep)
{
    tovrin::DescriptionList list;
    const std::wstring names[] = {L"a.txt", L"b.txt", L"c.txt"};
    const std::wstring shouted[] = {L"A.TXT", L"B.TXT", L"C.TXT"};
    for (int round = 0; round < 2000; ++round)
        for (size_t i = 0; i < 3; ++i)
            list.Add(round % 2 ? names[i] : shouted[i], std::to_wstring(round));
    // By name first: a lookup by position would close the gaps itself.
    for (const std::wstring& name : names) {
        const tovrin::DescriptionList::Entry* entry = list.Find(name);
        ASSERT_NE(entry, nullptr) << name.c_str();
        EXPECT_EQ(entry->Name, name);
        EXPECT_EQ(entry->Description, L"1999");
    }
    ASSERT_EQ(list.Count(), 3);
    for (long i = 0; i < 3; ++i)
        EXPECT_EQ(list.At(i)->Name, names[i]);
    EXPECT_EQ(list.At(3), nullptr);
}

} // namespace
