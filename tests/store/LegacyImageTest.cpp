#include "TestSupport.h"

#include "store/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace testing_support;

namespace {

const CalendarTime NOW{2026, 12, 1, 7, 22, 52, 34, 120};
const CalendarTime NOW_AS_READ = NOW;

// Legacy times are converted in the local time zone: pin it for the test.
class LegacyImageTest : public ::testing::Test {
protected:
    void useZone(const char* zone)
    {
        setenv("TZ", zone, 1);
        tzset();
    }
    void SetUp() override
    {
        const char* old = std::getenv("TZ");
        hadZone_ = old != nullptr;
        if (old)
            oldZone_ = old;
        useZone("UTC0");
    }
    void TearDown() override
    {
        if (hadZone_)
            setenv("TZ", oldZone_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    NoteRecord note(int32_t id, std::u16string title)
    {
        NoteRecord r;
        r.id = id;
        r.parentId = 0;
        r.isFolder = 0;
        r.title = std::move(title);
        r.text = u"body";
        r.reminderEnabled = 1;
        r.recurrence = 3;
        r.weekdayMask = 0x00001010;
        return r;
    }

    ManualClock clock{NOW};
    ScopedClock scoped{clock};
    NotesMgr mgr;

private:
    bool hadZone_ = false;
    std::string oldZone_;
};

TEST_F(LegacyImageTest, VersionTwoConvertsBothTimeFormsToLocalTime)
{
    readImage(mgr, ImageWriter()
        .header(7, 777, 2, 4, u"v2", u"", 4)
        .recordV2(note(0, u"short form"), 1000000000, 0)
        .recordV2(note(1, u"long form"), 4102444800, -1)
        .recordV2(note(2, u"refused"), INT64_MAX, 1000000000000)
        .recordV2(note(3, u"marker value as 64 bits"), static_cast<int32_t>(0x8000000A), 946684800)
        .filler()
        .bytes());

    const auto& recs = mgr.records();
    ASSERT_EQ(recs.size(), 4u);
    EXPECT_EQ(recs.at(0).reminderTime, (CalendarTime{2001, 9, 0, 9, 1, 46, 40, 0}));
    EXPECT_EQ(recs.at(0).lastAlert, (CalendarTime{1970, 1, 4, 1, 0, 0, 0, 0}));
    EXPECT_EQ(recs.at(1).reminderTime, (CalendarTime{2100, 1, 5, 1, 0, 0, 0, 0}));
    EXPECT_EQ(recs.at(1).lastAlert, (CalendarTime{1969, 12, 3, 31, 23, 59, 59, 0}));
    // Moments the conversion refuses keep the defaults of a new record.
    EXPECT_EQ(recs.at(2).reminderTime, NOW_AS_READ);
    EXPECT_TRUE(recs.at(2).lastAlert.isNever());
    EXPECT_EQ(recs.at(3).reminderTime.year, 1901);
    EXPECT_EQ(recs.at(3).lastAlert, (CalendarTime{2000, 1, 6, 1, 0, 0, 0, 0}));

    const NoteRecord& r = recs.at(1);
    EXPECT_EQ(r.title, u"long form");
    EXPECT_EQ(r.text, u"body");
    EXPECT_EQ(r.reminderEnabled, 1);
    EXPECT_EQ(r.recurrence, 3);
    EXPECT_EQ(r.weekdayMask, 0x00001010u);
    EXPECT_EQ(mgr.formatVersion(), 3);
}

TEST_F(LegacyImageTest, VersionTwoUsesTheLocalZone)
{
    useZone("EST5EDT,M3.2.0,M11.1.0");
    readImage(mgr, ImageWriter()
        .header(7, 777, 2, 1, u"v2", u"", 1)
        .recordV2(note(0, u"zone"), 1000000000, 4102444800)
        .filler()
        .bytes());
    EXPECT_EQ(mgr.findRecord(0)->reminderTime, (CalendarTime{2001, 9, 6, 8, 21, 46, 40, 0}));
    EXPECT_EQ(mgr.findRecord(0)->lastAlert, (CalendarTime{2099, 12, 4, 31, 19, 0, 0, 0}));
}

TEST_F(LegacyImageTest, VersionOneYieldsDefaultReminderFields)
{
    readImage(mgr, ImageWriter()
        .header(7, 777, 1, 3, u"v1", u"desc", 3)
        .recordV1(0, -1, 1, u"root", u"", 946684800)
        .recordV1(1, 0, 0, u"note", u"note text", 4102444800)
        .recordV1(2, 0, 1, u"folder", u"folder text", -5)
        .filler()
        .bytes());
    ASSERT_EQ(mgr.records().size(), 3u);
    EXPECT_EQ(mgr.dbDescription(), u"desc");
    EXPECT_EQ(mgr.nextId(), 3);
    for (const auto& [id, r] : mgr.records()) {
        SCOPED_TRACE(id);
        EXPECT_EQ(r.reminderEnabled, 0);
        EXPECT_EQ(r.reminderTime, NOW_AS_READ);
        EXPECT_TRUE(r.lastAlert.isNever());
        EXPECT_EQ(r.recurrence, 2);
        EXPECT_EQ(r.weekdayMask, 0x11111110u);
    }
    EXPECT_EQ(mgr.findRecord(1)->text, u"note text");
    EXPECT_EQ(mgr.findRecord(1)->isFolder, 0);
    EXPECT_EQ(mgr.findRecord(2)->title, u"folder");
    EXPECT_EQ(mgr.findRecord(0)->parentId, -1);
}

TEST_F(LegacyImageTest, CutLegacyRecordsFailWithoutChange)
{
    mgr.setDbTitle(u"kept");
    const Bytes v1 = ImageWriter().header(7, 777, 1, 1, u"v1", u"", 1).recordV1(0, -1, 1, u"r", u"t", 4102444800).bytes();
    const Bytes v2 = ImageWriter().header(7, 777, 2, 1, u"v2", u"", 1).recordV2(note(0, u"n"), 4102444800, 5).bytes();
    for (const Bytes* full : {&v1, &v2}) {
        for (size_t cut = 1; cut <= full->size() - 34; ++cut) {
            const Bytes part(full->begin(), full->end() - static_cast<long>(cut));
            EXPECT_THROW(readImage(mgr, part), ArchiveException) << cut;
            EXPECT_EQ(mgr.dbTitle(), u"kept");
            EXPECT_TRUE(mgr.records().empty());
        }
    }
}

} // namespace
