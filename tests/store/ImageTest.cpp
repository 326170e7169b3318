#include "TestSupport.h"

#include "store/Clock.h"

#include <gtest/gtest.h>

#include <set>

using namespace testing_support;

namespace {

const CalendarTime NOW{2026, 12, 1, 7, 22, 52, 34, 120};

// The one-record database: title "Notes", its root, nextId 1.
const char* ONE_RECORD_IMAGE =
    "3412 0903 03000000 01000000"
    "FFFEFF05 4E006F00740065007300"
    "FFFEFF00"
    "01000000"
    "00000000 FFFFFFFF 01000000"
    "FFFEFF05 4E006F00740065007300"
    "FFFEFF00"
    "00000000"
    "EA07 0C00 0100 0700 1600 3400"
    "0000 0000 0000 0000 0000 0000"
    "02000000 10111111"
    "00000000000000000000000000000000";

class ImageTest : public ::testing::Test {
protected:
    ManualClock clock{NOW};
    ScopedClock scoped{clock};
    NotesMgr mgr;

    void makeOneRecordDatabase()
    {
        mgr.setDbTitle(u"Notes");
        mgr.addRecord(-1, 1, u"Notes", u"");
    }

    // A store with some content, to show that failed reads leave it alone.
    void fillWithSomething()
    {
        mgr.setDbTitle(u"Before");
        mgr.setDbDescription(u"kept");
        mgr.setPassword(u"pw");
        mgr.addRecord(-1, 1, u"Before", u"");
        mgr.addRecord(0, 0, u"note", u"text");
        mgr.removeRecord(1);
        mgr.addRecord(0, 0, u"later", u"");
    }

    void expectReadFails(const Bytes& image, ArchiveException::Cause cause)
    {
        const StoreSnapshot before = snapshot(mgr);
        try {
            readImage(mgr, image);
            ADD_FAILURE() << "read succeeded: " << toHex(image);
        } catch (const ArchiveException& e) {
            EXPECT_EQ(e.cause(), cause);
        }
        EXPECT_EQ(snapshot(mgr), before);
    }
};

Bytes withRandomWord(Bytes image, uint16_t word)
{
    image[0] = static_cast<uint8_t>(word);
    image[1] = static_cast<uint8_t>(word >> 8);
    return image;
}

TEST_F(ImageTest, EmptyDatabaseIsFortyBytes)
{
    const Bytes image = writeImage(mgr);
    EXPECT_EQ(toHex(withRandomWord(image, 0)),
              toHex(hex("0000 0903 03000000 00000000 FFFEFF00 FFFEFF00 00000000"
                        "00000000000000000000000000000000")));
    EXPECT_EQ(image[0] | (image[1] << 8), mgr.randomWord());
}

TEST_F(ImageTest, OneRecordDatabaseIs116BytesByteForByte)
{
    makeOneRecordDatabase();
    const Bytes image = writeImage(mgr);
    ASSERT_EQ(image.size(), 116u);
    EXPECT_EQ(toHex(withRandomWord(image, 0x1234)), toHex(hex(ONE_RECORD_IMAGE)));
    EXPECT_EQ(image[0] | (image[1] << 8), mgr.randomWord());
}

TEST_F(ImageTest, EveryWriteDrawsANewRandomWord)
{
    std::set<uint16_t> words;
    for (int i = 0; i < 20; ++i) {
        const Bytes image = writeImage(mgr);
        EXPECT_EQ(image[0] | (image[1] << 8), mgr.randomWord());
        EXPECT_LE(mgr.randomWord(), 32767);
        words.insert(mgr.randomWord());
    }
    EXPECT_GT(words.size(), 1u);
}

TEST_F(ImageTest, RoundTripKeepsEveryField)
{
    clock.set({2026, 12, 1, 7, 22, 52, 0, 0});  // a saved database keeps no seconds
    mgr.setDbTitle(u"T\u00eftle");
    mgr.setDbDescription(u"line 1\r\nline 2");
    mgr.addRecord(-1, 1, u"T\u00eftle", u"");
    const int32_t n = mgr.addRecord(0, 0, std::u16string(300, u'x'), std::u16string(70000, u'\u20ac'));
    NoteRecord* r = mgr.findRecord(n);
    r->reminderEnabled = 1;
    r->reminderTime = {2027, 2, 0, 28, 23, 59, 0, 0};
    r->lastAlert = {2027, 1, 3, 6, 7, 8, 0, 0};
    r->recurrence = 4;
    r->weekdayMask = 0xFFFFFFFF;
    mgr.removeRecord(mgr.addRecord(0, 1, u"gone", u""));

    const Bytes image = writeImage(mgr);
    NotesMgr other;
    other.setPassword(u"unrelated");
    readImage(other, image);
    EXPECT_EQ(other.randomWord(), mgr.randomWord());
    EXPECT_EQ(other.nextId(), 3);
    EXPECT_EQ(other.dbTitle(), mgr.dbTitle());
    EXPECT_EQ(other.dbDescription(), mgr.dbDescription());
    EXPECT_EQ(other.records(), mgr.records());
    EXPECT_EQ(other.password(), u"unrelated");
}

TEST_F(ImageTest, SecondsAndMillisecondsAreNotStored)
{
    const int32_t id = mgr.addRecord(-1, 1, u"", u"");
    mgr.findRecord(id)->lastAlert = {2026, 5, 2, 5, 4, 3, 2, 1};
    NotesMgr other;
    readImage(other, writeImage(mgr));
    EXPECT_EQ(other.findRecord(id)->reminderTime, (CalendarTime{2026, 12, 1, 7, 22, 52, 0, 0}));
    EXPECT_EQ(other.findRecord(id)->lastAlert, (CalendarTime{2026, 5, 2, 5, 4, 3, 0, 0}));
}

TEST_F(ImageTest, CheckWordDecidesThePassword)
{
    fillWithSomething();
    Bytes good = hex(ONE_RECORD_IMAGE);
    good[0] = 0xFF;  // the random word is never checked
    good[1] = 0xFF;

    Bytes swapped = good;
    swapped[2] = 0x03;
    swapped[3] = 0x09;
    const StoreSnapshot before = snapshot(mgr);
    try {
        readImage(mgr, swapped);
        FAIL() << "no exception";
    } catch (const WrongPasswordError& e) {
        EXPECT_EQ(e.code(), 777);
    }
    EXPECT_EQ(snapshot(mgr), before);

    readImage(mgr, good);
    EXPECT_EQ(mgr.dbTitle(), u"Notes");
    EXPECT_EQ(mgr.randomWord(), 0xFFFF);
    EXPECT_EQ(mgr.password(), u"pw");
}

TEST_F(ImageTest, LaterDuplicateIdWins)
{
    NoteRecord first;
    first.id = 3;
    first.title = u"first";
    NoteRecord second = first;
    second.title = u"second";
    second.isFolder = 0;
    readImage(mgr, ImageWriter().header(0, 777, 3, 4, u"", u"", 2).recordV3(first).recordV3(second).filler().bytes());
    ASSERT_EQ(mgr.records().size(), 1u);
    EXPECT_EQ(mgr.findRecord(3)->title, u"second");
    EXPECT_EQ(mgr.findRecord(3)->isFolder, 0);
}

TEST_F(ImageTest, ZeroOrNegativeCountReadsNoRecords)
{
    for (int32_t count : {0, -1, INT32_MIN}) {
        fillWithSomething();
        // Bytes that would be a record follow the count; they are taken as filler.
        readImage(mgr, ImageWriter().header(1, 777, 3, 9, u"t", u"d", count).recordV3(NoteRecord{}).bytes());
        EXPECT_TRUE(mgr.records().empty()) << count;
        EXPECT_EQ(mgr.nextId(), 9);
        EXPECT_EQ(mgr.dbTitle(), u"t");
    }
}

TEST_F(ImageTest, ShortOrMissingFillerIsAccepted)
{
    const Bytes full = hex(ONE_RECORD_IMAGE);
    for (size_t cut : {0u, 1u, 15u, 16u}) {
        NotesMgr other;
        readImage(other, Bytes(full.begin(), full.end() - static_cast<long>(cut)));
        EXPECT_EQ(other.records().size(), 1u) << cut;
    }
    // Extra bytes after the filler are ignored too.
    Bytes longer = full;
    longer.insert(longer.end(), 40, 0xAA);
    readImage(mgr, longer);
    EXPECT_EQ(mgr.dbTitle(), u"Notes");
}

TEST_F(ImageTest, UnknownVersionIsRefused)
{
    fillWithSomething();
    for (int32_t version : {0, 4, -1, 0x7FFFFFFF}) {
        const StoreSnapshot before = snapshot(mgr);
        try {
            readImage(mgr, ImageWriter().header(0, 777, version, 1, u"x", u"", 0).filler().bytes());
            FAIL() << "version " << version << " was read";
        } catch (const ArchiveException& e) {
            EXPECT_EQ(e.cause(), ArchiveException::Cause::badSchema);
            EXPECT_NE(std::string(e.what()).find("format version"), std::string::npos);
        }
        EXPECT_EQ(snapshot(mgr), before);
    }
}

TEST_F(ImageTest, EveryCutBeforeTheFillerFailsAndChangesNothing)
{
    fillWithSomething();
    makeOneRecordDatabase();
    NotesMgr source;
    source.setDbTitle(u"Source");
    source.setDbDescription(u"with a description");
    source.addRecord(-1, 1, u"Source", u"");
    source.addRecord(0, 0, u"A note", std::u16string(300, u'y'));
    const Bytes full = writeImage(source);
    const size_t contentEnd = full.size() - 16;
    for (size_t cut = 0; cut < contentEnd; ++cut) {
        SCOPED_TRACE(cut);
        // Even a cut inside the check word is an archive error, not a wrong password.
        expectReadFails(Bytes(full.begin(), full.begin() + static_cast<long>(cut)),
                        ArchiveException::Cause::endOfFile);
    }
}

TEST_F(ImageTest, LengthLargerThanWhatRemainsFailsAndChangesNothing)
{
    fillWithSomething();
    // A title claiming 2^31 code units, then a few bytes.
    expectReadFails(hex("0000 0903 03000000 01000000 FFFEFF FF FFFF 00000080 41004200"),
                    ArchiveException::Cause::endOfFile);
    // A record count far larger than the records present.
    expectReadFails(ImageWriter().header(0, 777, 3, 1, u"", u"", 0x7FFFFFFF).recordV3(NoteRecord{}).filler().bytes(),
                    ArchiveException::Cause::endOfFile);
}

TEST_F(ImageTest, NextWriteAfterAnOlderLayoutIsVersionThree)
{
    readImage(mgr, ImageWriter().header(0, 777, 1, 1, u"old", u"", 1).recordV1(0, -1, 1, u"old", u"", 0).filler().bytes());
    EXPECT_EQ(mgr.formatVersion(), 3);
    const Bytes image = writeImage(mgr);
    EXPECT_EQ(toHex(Bytes(image.begin() + 4, image.begin() + 8)), "03 00 00 00");
}

} // namespace
