// Every sample database, cut at every byte and with every byte flipped: each
// result must be a clean failure that leaves the store alone, or a store that
// writes and reads back unchanged.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testing_support;

namespace {

struct Sample {
    const char* file;
    const char16_t* password;
};

const Sample SAMPLES[] = {
    {"v3-sample.nte", u"sesame"},
    {"v3-empty-password.nte", u""},
    {"v2-legacy.nte", u"sesame"},
    {"v1-legacy.nte", u"sesame"},
    {"one-byte-strings.nte", u"sesame"},
};

class CorruptionTest : public ::testing::TestWithParam<Sample> {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC0", 1);
        tzset();
        mgr.setPassword(GetParam().password);
        mgr.setDbTitle(u"open database");
        mgr.addRecord(-1, 1, u"open database", u"");
        mgr.addRecord(0, 0, u"a note", u"that must survive");
        mgr.readEncrypted((testDataDir() / GetParam().file).string(), image);
    }

    // Reads bytes into the store; returns whether it read.
    bool tryRead(const Bytes& bytes)
    {
        const StoreSnapshot before = snapshot(mgr);
        try {
            readImage(mgr, bytes);
        } catch (const WrongPasswordError&) {
            EXPECT_EQ(snapshot(mgr), before);
            return false;
        } catch (const ArchiveException&) {
            EXPECT_EQ(snapshot(mgr), before);
            return false;
        } catch (const MemoryException&) {
            EXPECT_EQ(snapshot(mgr), before);
            return false;
        }
        expectWellFormed();
        return true;
    }

    void expectWellFormed()
    {
        for (const auto& [id, r] : mgr.records())
            ASSERT_EQ(id, r.id);
        NotesMgr copy;
        readImage(copy, writeImage(mgr));
        // The image keeps times to the minute; older layouts and defaults carry seconds.
        NotesMgr::RecordMap expected = mgr.records();
        for (auto& [id, r] : expected)
            for (CalendarTime* t : {&r.reminderTime, &r.lastAlert})
                t->second = t->millisecond = 0;
        EXPECT_EQ(copy.records(), expected);
        EXPECT_EQ(copy.dbTitle(), mgr.dbTitle());
        EXPECT_EQ(copy.dbDescription(), mgr.dbDescription());
        EXPECT_EQ(copy.nextId(), mgr.nextId());
    }

    NotesMgr mgr;
    Bytes image;
};

TEST_P(CorruptionTest, EveryCutOfTheImage)
{
    size_t read = 0;
    for (size_t cut = 0; cut <= image.size(); ++cut) {
        SCOPED_TRACE(cut);
        read += tryRead(Bytes(image.begin(), image.begin() + static_cast<long>(cut)));
    }
    // Only cuts inside the filler still read.
    EXPECT_EQ(read, 17u);
}

TEST_P(CorruptionTest, EveryByteFlipped)
{
    for (size_t pos = 0; pos < image.size(); ++pos) {
        for (uint8_t mask : {0x01, 0x80, 0xFF}) {
            SCOPED_TRACE(std::to_string(pos) + "^" + std::to_string(mask));
            Bytes bad = image;
            bad[pos] ^= mask;
            tryRead(bad);
        }
    }
}

TEST_P(CorruptionTest, EveryCutOfTheFile)
{
    TempDir dir;
    const Bytes file = readFile(testDataDir() / GetParam().file);
    const std::string path = dir.file("cut.nte");
    for (size_t cut = 0; cut < file.size(); ++cut) {
        SCOPED_TRACE(cut);
        writeFile(path, Bytes(file.begin(), file.begin() + static_cast<long>(cut)));
        const StoreSnapshot before = snapshot(mgr);
        try {
            mgr.load(path);
            expectWellFormed();
        } catch (const StoreException&) {
            EXPECT_EQ(snapshot(mgr), before);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, CorruptionTest, ::testing::ValuesIn(SAMPLES),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
                             return name;
                         });

} // namespace
