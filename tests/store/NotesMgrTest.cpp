#include "TestSupport.h"

#include "store/Clock.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const CalendarTime NOW{2026, 12, 1, 7, 22, 52, 34, 120};

class NotesMgrTest : public ::testing::Test {
protected:
    ManualClock clock{NOW};
    ScopedClock scoped{clock};
    NotesMgr mgr;
};

TEST_F(NotesMgrTest, NewStoreIsEmptyWithVersionThree)
{
    EXPECT_TRUE(mgr.records().empty());
    EXPECT_EQ(mgr.nextId(), 0);
    EXPECT_EQ(mgr.formatVersion(), 3);
    EXPECT_TRUE(mgr.dbTitle().empty());
    EXPECT_TRUE(mgr.dbDescription().empty());
    EXPECT_TRUE(mgr.password().empty());
    EXPECT_LE(mgr.randomWord(), 32767);
}

TEST_F(NotesMgrTest, IdsCountUpAndAreNeverReused)
{
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(mgr.addRecord(i == 0 ? -1 : 0, 1, u"f", u""), i);
    mgr.removeRecord(5);
    EXPECT_EQ(mgr.addRecord(0, 0, u"n", u""), 6);
    EXPECT_EQ(mgr.findRecord(5), nullptr);
    EXPECT_EQ(mgr.nextId(), 7);

    mgr.clear();
    EXPECT_EQ(mgr.addRecord(-1, 1, u"Untitled", u""), 0);
}

TEST_F(NotesMgrTest, DamagedIdCounterNeverOverwritesARecord)
{
    ImageWriter w;
    w.header(0, NotesMgr::DB_CHECK_WORD, 3, 1, u"", u"", 4);
    for (int32_t id : {0, 1, 2, 3}) {
        NoteRecord r;
        r.id = id;
        r.title = u"kept";
        w.recordV3(r);
    }
    readImage(mgr, w.filler().bytes());
    EXPECT_EQ(mgr.addRecord(0, 0, u"new", u""), 4);
    EXPECT_EQ(mgr.addRecord(0, 0, u"new", u""), 5);
    for (int32_t id : {0, 1, 2, 3})
        EXPECT_EQ(mgr.findRecord(id)->title, u"kept");

    // At the top of the id range the counter wraps to the lowest free id.
    readImage(mgr, ImageWriter().header(0, NotesMgr::DB_CHECK_WORD, 3, INT32_MAX, u"", u"", 1)
                       .recordV3([] { NoteRecord r; r.id = INT32_MAX; return r; }())
                       .filler().bytes());
    EXPECT_EQ(mgr.addRecord(0, 0, u"", u""), INT32_MIN);
    EXPECT_EQ(mgr.records().size(), 2u);
}

TEST_F(NotesMgrTest, NewRecordsCarryTheDefaults)
{
    const NoteRecord constructed;
    EXPECT_EQ(constructed.isFolder, 1);
    EXPECT_EQ(constructed.recurrence, 2);
    EXPECT_EQ(constructed.weekdayMask, 0x11111110u);
    EXPECT_EQ(constructed.reminderTime, NOW);
    EXPECT_TRUE(constructed.lastAlert.isNever());

    clock.advanceSeconds(90);
    const int32_t id = mgr.addRecord(0, 0, u"Note", u"Body");
    const NoteRecord* r = mgr.findRecord(id);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->id, id);
    EXPECT_EQ(r->parentId, 0);
    EXPECT_EQ(r->isFolder, 0);
    EXPECT_EQ(r->title, u"Note");
    EXPECT_EQ(r->text, u"Body");
    EXPECT_EQ(r->reminderEnabled, 0);
    EXPECT_EQ(r->recurrence, 2);
    EXPECT_EQ(r->weekdayMask, 0x11111110u);
    EXPECT_EQ(r->reminderTime, (CalendarTime{2026, 12, 1, 7, 22, 54, 4, 120}));
    EXPECT_TRUE(r->lastAlert.isNever());
}

TEST_F(NotesMgrTest, ClearKeepsPasswordAndEmptiesEverythingElse)
{
    mgr.setPassword(u"secret");
    mgr.setDbTitle(u"T");
    mgr.setDbDescription(u"D");
    mgr.addRecord(-1, 1, u"T", u"");
    mgr.clear();
    EXPECT_EQ(mgr.password(), u"secret");
    EXPECT_TRUE(mgr.dbTitle().empty());
    EXPECT_TRUE(mgr.dbDescription().empty());
    EXPECT_TRUE(mgr.records().empty());
    EXPECT_EQ(mgr.nextId(), 0);
}

TEST_F(NotesMgrTest, RemovingAFolderLeavesItsChildren)
{
    mgr.addRecord(-1, 1, u"root", u"");
    const int32_t folder = mgr.addRecord(0, 1, u"folder", u"");
    const int32_t child = mgr.addRecord(folder, 0, u"child", u"");
    mgr.removeRecord(folder);
    mgr.removeRecord(999);  // absent: nothing happens
    EXPECT_EQ(mgr.findRecord(folder), nullptr);
    ASSERT_NE(mgr.findRecord(child), nullptr);
    EXPECT_EQ(mgr.findRecord(child)->parentId, folder);
    EXPECT_EQ(mgr.records().size(), 2u);
}

TEST_F(NotesMgrTest, FindRecordChangesInPlace)
{
    const int32_t id = mgr.addRecord(-1, 1, u"root", u"");
    mgr.findRecord(id)->title = u"renamed";
    EXPECT_EQ(mgr.records().at(id).title, u"renamed");
}

TEST_F(NotesMgrTest, VisitIsInAscendingIdWhateverTheImageOrder)
{
    ImageWriter w;
    w.header(0, NotesMgr::DB_CHECK_WORD, 3, 50, u"", u"", 4);
    for (int32_t id : {42, -3, 7, 0}) {
        NoteRecord r;
        r.id = id;
        w.recordV3(r);
    }
    readImage(mgr, w.filler().bytes());
    std::vector<int32_t> ids;
    for (const auto& [key, r] : mgr.records()) {
        EXPECT_EQ(key, r.id);
        ids.push_back(key);
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{-3, 0, 7, 42}));
    EXPECT_EQ(mgr.addRecord(0, 0, u"", u""), 50);
}

} // namespace
