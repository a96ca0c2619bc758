// The search's walk without COM: the order in which folders complete, the
// count a client of the collection being filled sees meanwhile, and what a
// cancel at each level leaves, over a real folder tree.
#include "TestFiles.h"

#include "search/Walk.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace testing_support;

namespace {

class Walk : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* folder : {L"empty", L"sub", L"sub\\deep"})
            ASSERT_TRUE(::CreateDirectoryW((m_root / folder).c_str(), nullptr));
        for (const wchar_t* file : {L"a.txt", L"sub\\c.txt", L"sub\\deep\\d.txt", L"z.txt"})
            WriteBytes(m_root / file, "1");
    }

    // Walks the root, recording each completed folder with the count
    // visible at that moment; cancels at the folder named.
    tovrin::WalkResult WalkRoot(const std::wstring& cancelAt = std::wstring())
    {
        tovrin::WalkRequest request;
        request.Path = m_root.Path();
        request.Mask = L"*";
        request.Visible = &m_visible;
        request.FolderCompleted = [&](const std::wstring& folder) {
            m_completed.emplace_back(folder, m_visible);
            return folder == cancelAt;
        };
        return tovrin::Walk(m_tree, request);
    }

    TempFolder m_root;
    tovrin::FoundTree m_tree;
    uint32_t m_visible = 0;
    std::vector<std::pair<std::wstring, uint32_t>> m_completed;
};

TEST_F(Walk, FoldersCompletePostOrderWhileTheTopLevelCountsUp)
{
    const tovrin::WalkResult result = WalkRoot();
    EXPECT_EQ(result.Outcome, tovrin::WalkOutcome::Listed);
    EXPECT_EQ(result.First, 0u);
    ASSERT_EQ(result.Count, 4u);
    const std::vector<std::pair<std::wstring, uint32_t>> expected = {
        {m_root / L"empty", 1}, {m_root / L"sub\\deep", 2}, {m_root / L"sub", 2}, {m_root.Path(), 4}};
    EXPECT_EQ(m_completed, expected) << "the count grows as each top-level entry's folder is done";
    const tovrin::FoundTree::Entry& sub = m_tree.At(2);
    EXPECT_EQ(m_tree.Name(2), L"sub");
    EXPECT_TRUE(sub.Flags & tovrin::FoundTree::Searched);
    EXPECT_EQ(sub.ChildCount, 2u);
    EXPECT_EQ(m_tree.Name(sub.FirstChild), L"c.txt");
}

TEST_F(Walk, ACancelBelowAbandonsEveryLevelAndTheTopsOwnKeepsWhatWasFound)
{
    EXPECT_EQ(WalkRoot(m_root / L"sub\\deep").Outcome, tovrin::WalkOutcome::CancelledBelow);
    EXPECT_EQ(m_completed.back().first, m_root / L"sub\\deep") << "no level above is completed";
    EXPECT_EQ(m_completed.size(), 2u);

    m_completed.clear();
    tovrin::FoundTree again;
    std::swap(m_tree, again);
    const tovrin::WalkResult top = WalkRoot(m_root.Path());
    EXPECT_EQ(top.Outcome, tovrin::WalkOutcome::Cancelled);
    EXPECT_EQ(top.Count, 4u);
    EXPECT_EQ(m_completed.size(), 4u);
}

TEST_F(Walk, APathThatNamesNothingIsNotListedNorCompleted)
{
    tovrin::WalkRequest request;
    request.Path = m_root / L"missing";
    request.Mask = L"*";
    request.FolderCompleted = [&](const std::wstring& folder) {
        m_completed.emplace_back(folder, 0);
        return false;
    };
    EXPECT_EQ(tovrin::Walk(m_tree, request).Outcome, tovrin::WalkOutcome::NothingFound);
    EXPECT_TRUE(m_completed.empty());
    EXPECT_EQ(m_tree.Count(), 0u);
}

TEST(ParentPart, TheItemsNameAndOneBackslashComeOffWhenThePathEndsInIt)
{
    const struct {
        const wchar_t* path;
        const wchar_t* name;
        const wchar_t* parent;
    } cases[] = {
        {L"C:\\a\\b.txt", L"b.txt", L"C:\\a"},
        {L"C:\\A\\B.TXT", L"b.txt", L"C:\\A"},                             // compared without regard to case
        {L"C:\\a\\LONGNA~1.TXT", L"longname.txt", L"C:\\a\\LONGNA~1.TXT"}, // a short spelling stays
        {L"b.txt", L"b.txt", L""},
        {L"x", L"longer.txt", L"x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tovrin::ParentPart(c.path, c.name), c.parent) << Narrow(c.path);
}

} // namespace
