#include "store/TreeOrder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using treeorder::groupChildren;
using treeorder::siblingLess;
using treeorder::walkTree;

NoteRecord record(int32_t id, int32_t parentId, bool folder, std::u16string title)
{
    NoteRecord r;
    r.id = id;
    r.parentId = parentId;
    r.isFolder = folder ? 1 : 0;
    r.title = std::move(title);
    r.reminderTime = {};
    return r;
}

class TreeOrderTest : public ::testing::Test {
protected:
    void add(int32_t id, int32_t parentId, bool folder, std::u16string title)
    {
        records.insert_or_assign(id, record(id, parentId, folder, std::move(title)));
    }

    // "depth:id" for each record in display order.
    std::vector<std::string> shown() const
    {
        std::vector<std::string> out;
        walkTree(groupChildren(records), [&](const NoteRecord& r, int depth) {
            out.push_back(std::to_string(depth) + ":" + std::to_string(r.id));
        });
        return out;
    }

    std::map<int32_t, NoteRecord> records;
};

TEST_F(TreeOrderTest, FoldersFirstThenTitlesByCodeUnit)
{
    add(1, -1, true, u"b");
    add(2, -1, false, u"a");
    add(3, -1, true, u"B");
    add(4, -1, false, u"Z");
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:3", "0:1", "0:4", "0:2"}));
}

struct PairCase {
    const char* name;
    NoteRecord first;
    NoteRecord second;
};

class SiblingLessTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(SiblingLessTest, FirstSortsStrictlyBeforeSecond)
{
    const auto& c = GetParam();
    EXPECT_TRUE(siblingLess(c.first, c.second));
    EXPECT_FALSE(siblingLess(c.second, c.first));
    EXPECT_FALSE(siblingLess(c.first, c.first));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, SiblingLessTest,
    ::testing::Values(
        PairCase{"FolderBeforeNoteOfSameTitle", record(9, -1, true, u"x"), record(1, -1, false, u"x")},
        PairCase{"FolderBeforeNoteOfSmallerTitle", record(1, -1, true, u"z"), record(2, -1, false, u"a")},
        PairCase{"AnyNonZeroIsAFolder", [] { auto r = record(5, -1, true, u"q"); r.isFolder = -7; return r; }(),
                 record(1, -1, false, u"a")},
        PairCase{"PrefixFirst", record(7, -1, false, u"ab"), record(2, -1, false, u"abc")},
        PairCase{"EmptyTitleFirst", record(7, -1, false, u""), record(2, -1, false, u"\u0001")},
        PairCase{"HighCodeUnitsAfterAscii", record(9, -1, false, u"~"), record(1, -1, false, u"\u8000")},
        PairCase{"LoneSurrogateAfterAscii", record(9, -1, false, u"z"),
                 record(1, -1, false, std::u16string(1, char16_t(0xDC00)))},
        PairCase{"SameTitleByAscendingId", record(-3, -1, false, u"t"), record(2, -1, false, u"t")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TreeOrderTest, DepthFirstWithSortedSiblingsAtEachLevel)
{
    add(0, -1, true, u"root");
    add(1, 0, true, u"beta");
    add(2, 0, false, u"note");
    add(3, 0, true, u"alpha");
    add(4, 1, false, u"in beta");
    add(5, 3, true, u"in alpha");
    add(6, 5, false, u"deep");
    add(7, -1, false, u"top note");
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:0", "1:3", "2:5", "3:6", "1:1", "2:4", "1:2", "0:7"}));
}

TEST_F(TreeOrderTest, GroupsEveryRecordUnderItsParent)
{
    add(0, -1, true, u"r");
    add(1, 0, false, u"b");
    add(2, 0, false, u"a");
    add(3, 42, false, u"orphan");
    const auto children = groupChildren(records);
    ASSERT_EQ(children.size(), 3u);
    ASSERT_EQ(children.at(0).size(), 2u);
    EXPECT_EQ(children.at(0)[0]->id, 2);
    EXPECT_EQ(children.at(0)[1]->id, 1);
    EXPECT_EQ(children.at(42).front(), &records.at(3));
}

TEST_F(TreeOrderTest, SelfParentedMinusOneIsShownOnceWithoutChildren)
{
    add(-1, -1, true, u"self");
    add(0, -1, false, u"n");
    add(1, 0, false, u"under note");
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:-1", "0:0", "1:1"}));
}

TEST_F(TreeOrderTest, OrphansAndUnreachableCyclesAreNotShown)
{
    add(0, -1, true, u"r");
    add(1, 99, true, u"orphan");
    add(2, 1, false, u"below orphan");
    add(3, 4, true, u"cycle a");
    add(4, 3, true, u"cycle b");
    add(5, 5, true, u"own parent");
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:0"}));
}

TEST_F(TreeOrderTest, EmptyStoreShowsNothing)
{
    EXPECT_TRUE(shown().empty());
}

TEST_F(TreeOrderTest, HundredThousandDeepChainIsWalkedWithoutRecursion)
{
    constexpr int32_t DEPTH = 100000;
    for (int32_t id = 0; id < DEPTH; ++id)
        add(id, id - 1, true, u"f");
    int32_t count = 0;
    bool inOrder = true;
    walkTree(groupChildren(records), [&](const NoteRecord& r, int depth) {
        inOrder = inOrder && r.id == count && depth == count;
        ++count;
    });
    EXPECT_EQ(count, DEPTH);
    EXPECT_TRUE(inOrder);
}

} // namespace
