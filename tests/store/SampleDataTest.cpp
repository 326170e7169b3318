#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testing_support;

namespace {

class SampleDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    std::string sample(const std::string& name) { return (testDataDir() / name).string(); }
};

TEST_F(SampleDataTest, CheckedInFilesAreWhatTheGeneratorMakes)
{
    const auto files = makeSampleDatabases();
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(readFile(testDataDir() / name), bytes) << name << ": run scripts/make-test-data.sh";
    size_t onDisk = 0;
    for (const auto& e : std::filesystem::directory_iterator(testDataDir()))
        onDisk += e.path().extension() == ".nte";
    EXPECT_EQ(onDisk, files.size());
}

TEST_F(SampleDataTest, VersionThreeSampleOpens)
{
    NotesMgr mgr;
    mgr.setPassword(u"sesame");
    mgr.load(sample("v3-sample.nte"));
    EXPECT_EQ(mgr.dbTitle(), u"Recipes");
    EXPECT_EQ(mgr.dbDescription(), u"Family recipes\r\nand shopping lists");
    EXPECT_EQ(mgr.nextId(), 7);
    EXPECT_EQ(mgr.randomWord(), 0x1234);
    ASSERT_EQ(mgr.records().size(), 6u);
    EXPECT_EQ(mgr.findRecord(5), nullptr);
    EXPECT_EQ(mgr.findRecord(3)->title, u"Cr\u00e8me br\u00fbl\u00e9e");
    EXPECT_EQ(mgr.findRecord(3)->parentId, 1);
    const NoteRecord* shopping = mgr.findRecord(4);
    EXPECT_EQ(shopping->reminderEnabled, 1);
    EXPECT_EQ(shopping->reminderTime, (CalendarTime{2026, 12, 4, 24, 18, 30, 0, 0}));
    EXPECT_EQ(shopping->lastAlert, (CalendarTime{2026, 12, 4, 17, 18, 30, 0, 0}));
    EXPECT_EQ(mgr.findRecord(2)->reminderTime, (CalendarTime{2026, 1, 4, 15, 9, 0, 0, 0}));
}

TEST_F(SampleDataTest, OtherGoodSamplesOpen)
{
    NotesMgr empty;
    empty.load(sample("v3-empty-password.nte"));
    EXPECT_EQ(empty.findRecord(1)->title, u"Hello");

    NotesMgr v2;
    v2.setPassword(u"sesame");
    v2.load(sample("v2-legacy.nte"));
    EXPECT_EQ(v2.findRecord(1)->reminderTime, (CalendarTime{2001, 9, 0, 9, 1, 46, 40, 0}));
    EXPECT_EQ(v2.findRecord(1)->lastAlert, (CalendarTime{2100, 1, 5, 1, 0, 0, 0, 0}));
    EXPECT_TRUE(v2.findRecord(2)->lastAlert.isNever());

    NotesMgr v1;
    v1.setPassword(u"sesame");
    v1.load(sample("v1-legacy.nte"));
    EXPECT_EQ(v1.findRecord(1)->text, u"Written long ago");
    EXPECT_EQ(v1.findRecord(1)->recurrence, 2);

    NotesMgr oneByte;
    oneByte.setPassword(u"sesame");
    oneByte.load(sample("one-byte-strings.nte"));
    EXPECT_EQ(oneByte.dbTitle(), u"Caf\u00e9");
    EXPECT_EQ(oneByte.dbDescription(), std::u16string(300, u'\u20ac'));
    EXPECT_EQ(oneByte.findRecord(0)->title, u"Caf\u00e9");
}

TEST_F(SampleDataTest, BrokenSamplesFailCleanly)
{
    NotesMgr mgr;
    mgr.setPassword(u"sesame");
    mgr.load(sample("v3-sample.nte"));
    const StoreSnapshot before = snapshot(mgr);

    auto archiveCause = [&](const std::string& name) {
        try {
            mgr.load(sample(name));
        } catch (const ArchiveException& e) {
            return static_cast<int>(e.cause());
        }
        return -1;
    };
    EXPECT_EQ(archiveCause("broken-truncated.nte"), static_cast<int>(ArchiveException::Cause::endOfFile));
    EXPECT_EQ(archiveCause("broken-length.nte"), static_cast<int>(ArchiveException::Cause::endOfFile));
    EXPECT_EQ(archiveCause("broken-empty.nte"), static_cast<int>(ArchiveException::Cause::endOfFile));
    EXPECT_EQ(archiveCause("broken-version.nte"), static_cast<int>(ArchiveException::Cause::badSchema));
    EXPECT_THROW(mgr.load(sample("broken-check-word.nte")), WrongPasswordError);
    EXPECT_THROW(mgr.load(sample("broken-not-a-database.nte")), WrongPasswordError);
    EXPECT_EQ(snapshot(mgr), before);
}

} // namespace
