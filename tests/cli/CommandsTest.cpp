#include "CliTestSupport.h"

#include "cli/CliErrors.h"
#include "cli/Commands.h"
#include "cli/DatabaseJson.h"
#include "store/NotesMgr.h"
#include "store/StoreErrors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>

using namespace cli_testing;

namespace {

const std::string WRONG = "Wrong password for ";

class ScriptedTerminal : public cli::Terminal {
public:
    std::optional<std::string> readHidden(const std::string& prompt) override
    {
        prompts.push_back(prompt);
        if (next == answers.size())
            return std::nullopt;
        return answers[next++];
    }
    void tell(const std::string& line) override { told.push_back(line); }

    std::vector<std::string> answers;
    size_t next = 0;
    std::vector<std::string> prompts;
    std::vector<std::string> told;
};

class CommandsTest : public ::testing::Test {
protected:
    void saveDatabase(const std::u16string& password)
    {
        NotesMgr mgr(nullptr);
        mgr.setDbTitle(u"T\x1b[31m");
        mgr.setDbDescription(u"one\r\ntwo\n\nthree\rfour");
        const int32_t folder = mgr.addRecord(-1, 1, u"f", u"");
        mgr.findRecord(folder)->reminderEnabled = 1;
        mgr.findRecord(mgr.addRecord(folder, 0, u"n", u""))->reminderEnabled = -3;
        mgr.addRecord(folder, 0, u"quiet", u"");
        mgr.addRecord(77, 0, u"orphan", u"");
        mgr.setPassword(password);
        mgr.save(path);
    }

    bool opensWith(const std::u16string& password) const
    {
        NotesMgr mgr(nullptr);
        mgr.setPassword(password);
        try {
            return mgr.load(path);
        } catch (const WrongPasswordError&) {
            return false;
        }
    }

    cli::PasswordInput onTerminal() { return {nullptr, &terminal}; }
    std::string prompt() const { return "Password for " + path + ": "; }

    TempDir dir;
    std::string path = dir.file("db.nte");
    ScriptedTerminal terminal;
};

TEST_F(CommandsTest, EmptyPasswordOpensWithoutAsking)
{
    saveDatabase(u"");
    NotesMgr mgr(nullptr);
    auto in = onTerminal();
    cli::openDatabase(mgr, path, in);
    EXPECT_EQ(mgr.records().size(), 4u);
    EXPECT_TRUE(terminal.prompts.empty());
}

TEST_F(CommandsTest, ThirdAttemptMayStillSucceed)
{
    saveDatabase(u"p\u00e4ss");
    terminal.answers = {"a", "b", "p\xc3\xa4ss"};
    NotesMgr mgr(nullptr);
    auto in = onTerminal();
    cli::openDatabase(mgr, path, in);
    EXPECT_EQ(terminal.prompts, std::vector<std::string>(3, prompt()));
    EXPECT_EQ(terminal.told, std::vector<std::string>(2, WRONG + path + " (or it is not a Lockleaf database)."));
}

TEST_F(CommandsTest, ThreeWrongAttemptsFail)
{
    saveDatabase(u"pw");
    terminal.answers = {"a", "b", "c", "pw"};
    NotesMgr mgr(nullptr);
    auto in = onTerminal();
    EXPECT_THROW(cli::openDatabase(mgr, path, in), WrongPasswordError);
    EXPECT_EQ(terminal.prompts.size(), 3u);
    EXPECT_TRUE(mgr.records().empty());
}

TEST_F(CommandsTest, EndOfInputAtThePromptIsAUsageError)
{
    saveDatabase(u"pw");
    NotesMgr mgr(nullptr);
    auto in = onTerminal();
    try {
        cli::openDatabase(mgr, path, in);
        FAIL() << "opened";
    } catch (const cli::UsageError& e) {
        EXPECT_EQ(std::string(e.what()), "No password was entered.");
    }
}

TEST_F(CommandsTest, PasswdOnTerminalAsksCurrentThenNewTwice)
{
    saveDatabase(u"pw");
    terminal.answers = {"pw", "new", "new"};
    auto in = onTerminal();
    cli::passwdCommand(path, in);
    EXPECT_EQ(terminal.prompts, (std::vector<std::string>{prompt(), "New password: ", "Repeat new password: "}));
    EXPECT_TRUE(opensWith(u"new"));
    EXPECT_FALSE(opensWith(u"pw"));
}

TEST_F(CommandsTest, PasswdMismatchLeavesTheFileAlone)
{
    saveDatabase(u"pw");
    const std::string before = readText(path);
    terminal.answers = {"pw", "new", "New"};
    auto in = onTerminal();
    try {
        cli::passwdCommand(path, in);
        FAIL() << "saved";
    } catch (const cli::UsageError& e) {
        EXPECT_EQ(std::string(e.what()), "The new passwords do not match.");
    }
    EXPECT_EQ(readText(path), before);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"db.nte"});
}

TEST_F(CommandsTest, CreateOnTerminalAsksTheNewPasswordTwice)
{
    writeText(dir.path() / "in.json", databaseJson(0, "\"t\"", "\"\"", {}));
    terminal.answers = {"x", "x"};
    auto in = onTerminal();
    cli::createCommand(path, dir.file("in.json"), in);
    EXPECT_EQ(terminal.prompts, (std::vector<std::string>{"New password: ", "Repeat new password: "}));
    EXPECT_TRUE(opensWith(u"x"));
}

TEST_F(CommandsTest, InfoIndentsLinesAndNeutralisesControlCharacters)
{
    saveDatabase(u"");
    cli::PasswordInput none;
    std::ostringstream out;
    cli::infoCommand(path, none, out);
    EXPECT_EQ(out.str(), "Title: T\xef\xbf\xbd[31m\n"
                         "Description: one\n  two\n\n  three\n  four\n"
                         "Folders: 1\nNotes: 3\nEnabled reminders: 2\nNext id: 4\n"
                         "File size: " + std::to_string(std::filesystem::file_size(path)) + " bytes\n");
}

TEST_F(CommandsTest, FailedJsonImportLeavesTheStoreAlone)
{
    NotesMgr mgr(nullptr);
    mgr.setDbTitle(u"kept");
    mgr.addRecord(-1, 1, u"r", u"");
    const auto records = mgr.records();
    const auto doc = json::parse(databaseJson(5, "\"new\"", "\"\"",
                                              {recordJson(1, -1, 1, "\"a\""), recordJson(1, -1, 0, "\"b\"")}));
    try {
        cli::databaseFromJson(doc, "in.json", mgr);
        FAIL() << "imported";
    } catch (const cli::InputError& e) {
        EXPECT_EQ(std::string(e.what()), "in.json: records[1].id 1 is also the id of records[0].");
    }
    EXPECT_EQ(mgr.dbTitle(), u"kept");
    EXPECT_EQ(mgr.records(), records);
    EXPECT_EQ(mgr.nextId(), 1);
}

struct LineCase {
    const char* name;
    std::string input;
    std::vector<std::optional<std::string>> lines;
};

class PasswordLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(PasswordLineTest, SplitsLines)
{
    std::istringstream in(GetParam().input);
    for (const auto& expected : GetParam().lines)
        EXPECT_EQ(cli::readPasswordLine(in), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stdin, PasswordLineTest,
    ::testing::Values(LineCase{"TwoLines", "old\nnew\n", {"old", "new", std::nullopt}},
                      LineCase{"CarriageReturnStripped", "a\r\nb\r\r\n", {"a", "b\r", std::nullopt}},
                      LineCase{"LastLineUnterminated", "a\nb", {"a", "b", std::nullopt}},
                      LineCase{"EmptyLineIsEmptyPassword", "\n", {"", std::nullopt}},
                      LineCase{"NoInput", "", {std::nullopt}},
                      LineCase{"SpacesKept", " a b \n", {" a b "}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PasswordLineLimitTest, OverlongLineIsRefused)
{
    std::istringstream fits(std::string(cli::MAX_PASSWORD_BYTES, 'x') + "\n");
    EXPECT_EQ(cli::readPasswordLine(fits)->size(), cli::MAX_PASSWORD_BYTES);
    std::istringstream tooLong(std::string(cli::MAX_PASSWORD_BYTES + 1, 'x'));
    EXPECT_THROW(cli::readPasswordLine(tooLong), cli::UsageError);
}

struct ReportCase {
    const char* name;
    std::function<void()> fail;
    int status;
    std::string err;
};

class RunReportedTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(RunReportedTest, MapsFailureToStatusAndOneLine)
{
    std::ostringstream err;
    EXPECT_EQ(cli::runReported(GetParam().fail, err), GetParam().status);
    EXPECT_EQ(err.str(), GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RunReportedTest,
    ::testing::Values(
        ReportCase{"Success", [] {}, 0, ""},
        ReportCase{"Usage", [] { throw cli::UsageError("bad use"); }, 1, "bad use\n"},
        ReportCase{"WrongPassword", [] { throw WrongPasswordError("a.nte"); }, 2,
                   "Wrong password for a.nte (or it is not a Lockleaf database).\n"},
        ReportCase{"File", [] { throw FileException(FileException::Cause::accessDenied, "a.nte"); }, 3,
                   "Access to a.nte was denied.\n"},
        ReportCase{"Archive", [] { throw ArchiveException(ArchiveException::Cause::endOfFile, "a.nte"); }, 3,
                   "An attempt was made to access a.nte past its end.\n"},
        ReportCase{"Memory", [] { throw MemoryException("a.nte"); }, 3, "Out of memory.\n"},
        ReportCase{"Input", [] { throw cli::InputError("x.json: bad."); }, 3, "x.json: bad.\n"},
        ReportCase{"BadAlloc", [] { throw std::bad_alloc(); }, 3, "Out of memory.\n"},
        ReportCase{"Other", [] { throw std::logic_error("odd"); }, 3, "odd\n"},
        ReportCase{"NotAnException", [] { throw 42; }, 3, "An unexpected error occurred.\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
