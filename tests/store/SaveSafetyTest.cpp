#include "TestSupport.h"

#include "store/FileOps.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace testing_support;
using fileops::Op;

namespace {

int errorFor(Op op)
{
    switch (op) {
    case Op::write: return ENOSPC;
    case Op::fsync: return EIO;
    case Op::close: return EDQUOT;
    case Op::link: return EACCES;
    case Op::rename: return EBUSY;
    case Op::open: return EACCES;
    default: return EIO;
    }
}

class SaveSafetyTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("notes.nte");
    NotesMgr mgr;
    Bytes previous, olderBackup;

    void TearDown() override { fileops::setFaultHook(nullptr); }

    // A database at path with a backup beside it, both known byte for byte.
    void existingDatabase()
    {
        mgr.addRecord(-1, 1, u"Untitled", u"");
        mgr.save(path);
        mgr.addRecord(0, 0, u"first", u"");
        mgr.save(path);
        previous = readFile(path);
        olderBackup = readFile(path + ".bak");
        mgr.addRecord(0, 0, std::u16string(5000, u'n'), u"change that is never saved");
    }

    // The system calls of one successful save, in order.
    std::vector<Op> recordSave(const std::string& target)
    {
        std::vector<Op> ops;
        fileops::setFaultHook([&](Op op) {
            ops.push_back(op);
            return 0;
        });
        mgr.save(target);
        fileops::setFaultHook(nullptr);
        return ops;
    }

    void failCall(size_t index, int err)
    {
        fileops::setFaultHook([index, err, n = size_t(0)](Op) mutable { return n++ == index ? err : 0; });
    }
};

TEST_F(SaveSafetyTest, FailureAtAnyStepLeavesBothFilesAlone)
{
    existingDatabase();
    // Count on a copy so that the real files stay as they are.
    TempDir scratch;
    std::filesystem::copy(path, scratch.file("notes.nte"));
    const std::vector<Op> ops = recordSave(scratch.file("notes.nte"));
    ASSERT_GE(ops.size(), 8u);
    size_t lastRename = 0;
    for (size_t i = 0; i < ops.size(); ++i)
        if (ops[i] == Op::rename)
            lastRename = i;

    for (size_t i = 0; i <= lastRename; ++i) {
        SCOPED_TRACE("call " + std::to_string(i));
        const int err = errorFor(ops[i]);
        failCall(i, err);
        try {
            mgr.save(path);
            ADD_FAILURE() << "save reported success";
        } catch (const FileException& e) {
            EXPECT_EQ(e.osError(), err);
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        fileops::setFaultHook(nullptr);
        EXPECT_EQ(readFile(path), previous);
        EXPECT_EQ(readFile(path + ".bak"), olderBackup);
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"notes.nte", "notes.nte.bak"}));
    }

    // After all those failures the database still opens, and a save still works.
    NotesMgr reader;
    reader.load(path);
    EXPECT_EQ(reader.records().size(), 2u);
    mgr.save(path);
    EXPECT_EQ(readFile(path + ".bak"), previous);
}

TEST_F(SaveSafetyTest, FailedFolderFlushReportsButTheSaveIsInPlace)
{
    existingDatabase();
    TempDir scratch;
    std::filesystem::copy(path, scratch.file("notes.nte"));
    const std::vector<Op> ops = recordSave(scratch.file("notes.nte"));
    ASSERT_EQ(ops.back(), Op::close);
    failCall(ops.size() - 2, EIO);  // fsync of the folder
    EXPECT_THROW(mgr.save(path), FileException);
    fileops::setFaultHook(nullptr);
    EXPECT_EQ(readFile(path + ".bak"), previous);
    NotesMgr reader;
    reader.load(path);
    EXPECT_EQ(reader.records().size(), 3u);
}

TEST_F(SaveSafetyTest, FailedFirstSaveCreatesNothing)
{
    mgr.addRecord(-1, 1, u"Untitled", u"");
    TempDir scratch;
    const std::vector<Op> ops = recordSave(scratch.file("new.nte"));
    for (size_t i = 0; i < ops.size() && ops[i] != Op::rename; ++i) {
        failCall(i, ENOSPC);
        EXPECT_THROW(mgr.save(path), FileException) << i;
        fileops::setFaultHook(nullptr);
        EXPECT_TRUE(dir.names().empty()) << i;
    }
}

TEST_F(SaveSafetyTest, MessagesUseTheStandardWording)
{
    existingDatabase();
    struct Case {
        int err;
        std::string text;
    } cases[] = {
        {ENOSPC, "Disk full while accessing " + path + "."},
        {EDQUOT, "Disk full while accessing " + path + "."},
        {EIO, "A hardware I/O error was reported while accessing " + path + "."},
        {EACCES, "Access to " + path + " was denied."},
    };
    for (const auto& c : cases) {
        fileops::setFaultHook([&](Op op) { return op == Op::write ? c.err : 0; });
        try {
            mgr.save(path);
            ADD_FAILURE();
        } catch (const FileException& e) {
            EXPECT_EQ(e.what(), c.text);
        }
    }
}

TEST_F(SaveSafetyTest, FileSystemWithoutLinksGetsACopiedBackup)
{
    existingDatabase();
    fileops::setFaultHook([](Op op) { return op == Op::link ? EXDEV : 0; });
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    mgr.save(path);
    fileops::setFaultHook(nullptr);
    EXPECT_EQ(readFile(path + ".bak"), previous);
    EXPECT_EQ(std::filesystem::status(path + ".bak").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"notes.nte", "notes.nte.bak"}));
}

TEST_F(SaveSafetyTest, MissingFolderIsNotFound)
{
    try {
        mgr.save(dir.file("nowhere/notes.nte"));
        FAIL();
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), FileException::Cause::fileNotFound);
        EXPECT_EQ(e.what(), dir.file("nowhere/notes.nte") + " was not found.");
    }
}

TEST_F(SaveSafetyTest, PermissionsOfTheReplacedFileAreKept)
{
    existingDatabase();
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    mgr.save(path);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    mgr.save(dir.file("fresh.nte"));
    EXPECT_EQ(std::filesystem::status(dir.file("fresh.nte")).permissions(), std::filesystem::perms(0600));
}

} // namespace
