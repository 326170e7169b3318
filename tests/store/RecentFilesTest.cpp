#include "TestSupport.h"

#include "store/Utf.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::u16string key(int i)
{
    return u"RecentFiles/File" + utf::fromUtf8(std::to_string(i));
}

class RecentFilesTest : public ::testing::Test {
protected:
    MemoryProfile profile;
    TempDir dir;

    // A database file that opens with the empty password.
    std::string makeDatabase(const std::string& name)
    {
        NotesMgr mgr;
        mgr.addRecord(-1, 1, u"Untitled", u"");
        const std::string path = dir.file(name);
        mgr.save(path);
        return path;
    }
};

TEST_F(RecentFilesTest, FirstStartHasNoList)
{
    NotesMgr mgr(&profile);
    EXPECT_TRUE(mgr.recentFiles().empty());
}

TEST_F(RecentFilesTest, EmptySlotsAreSkippedOnLoad)
{
    profile.values[key(0)] = u"";
    profile.values[key(1)] = u"/data/one.nte";
    profile.values[key(4)] = u"/data/four.nte";
    NotesMgr mgr(&profile);
    EXPECT_EQ(mgr.recentFiles(), (std::vector<std::u16string>{u"/data/one.nte", u"/data/four.nte"}));
}

TEST_F(RecentFilesTest, ReopeningMovesToFrontKeepingTheLaterCase)
{
    NotesMgr mgr(&profile);
    mgr.addRecentFile(u"/data/Notes.nte");
    mgr.addRecentFile(u"/data/other.nte");
    mgr.addRecentFile(u"/DATA/NOTES.NTE");
    EXPECT_EQ(mgr.recentFiles(), (std::vector<std::u16string>{u"/DATA/NOTES.NTE", u"/data/other.nte"}));
    mgr.addRecentFile(u"/data/\u00c9t\u00e9.nte");
    mgr.addRecentFile(u"/data/\u00e9T\u00c9.nte");
    EXPECT_EQ(mgr.recentFiles().size(), 3u);
    EXPECT_EQ(mgr.recentFiles().front(), u"/data/\u00e9T\u00c9.nte");
}

TEST_F(RecentFilesTest, NineOpenedSevenStoredMostRecentFirst)
{
    {
        NotesMgr mgr(&profile);
        for (int i = 0; i < 9; ++i)
            mgr.load(makeDatabase("db" + std::to_string(i) + ".nte"));
        EXPECT_EQ(mgr.recentFiles().size(), 9u);  // nothing is cut in memory
    }
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(profile.values[key(i)], utf::fromUtf8(dir.file("db" + std::to_string(8 - i) + ".nte"))) << i;
    NotesMgr again(&profile);
    EXPECT_EQ(again.recentFiles().size(), 7u);
}

TEST_F(RecentFilesTest, ShortListClearsTheRemainingSlots)
{
    for (int i = 0; i < 7; ++i)
        profile.values[key(i)] = u"/old/" + utf::fromUtf8(std::to_string(i));
    {
        NotesMgr mgr(&profile);
        while (mgr.recentFiles().size() > 3)
            mgr.removeRecentFile(3);
    }
    EXPECT_EQ(profile.values[key(2)], u"/old/2");
    for (int i = 3; i < 7; ++i)
        EXPECT_EQ(profile.values.at(key(i)), u"") << i;
}

TEST_F(RecentFilesTest, SaveAddsAndFailuresDoNot)
{
    NotesMgr mgr(&profile);
    const std::string good = makeDatabase("good.nte");
    mgr.addRecord(-1, 1, u"", u"");
    mgr.save(dir.file("saved.nte"));
    EXPECT_EQ(mgr.recentFiles().front(), utf::fromUtf8(dir.file("saved.nte")));
    const auto before = mgr.recentFiles();

    EXPECT_THROW(mgr.load(dir.file("missing.nte")), FileException);
    mgr.setPassword(u"not it");
    EXPECT_THROW(mgr.load(good), WrongPasswordError);
    EXPECT_THROW(mgr.save(dir.file("no-such-folder/x.nte")), FileException);
    EXPECT_EQ(mgr.recentFiles(), before);

    mgr.clear();
    EXPECT_EQ(mgr.recentFiles(), before);
}

TEST_F(RecentFilesTest, StoreWithoutProfileTouchesNoSettings)
{
    {
        NotesMgr mgr;
        mgr.addRecentFile(u"/x.nte");
    }
    EXPECT_TRUE(profile.values.empty());
}

} // namespace
