// Runs the built lockleaf binary as a user would, without a terminal.
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace cli_testing;

namespace {

// Every kind of string the format can hold: raw UTF-8 and a surrogate pair
// (written raw), unpaired surrogates, control characters, quotes, an empty
// title, and the extremes of each number.
const std::string RICH_JSON =
    R"({"formatVersion":3,"nextId":2147483647,"dbTitle":"Grüße ✓ 😀","dbDescription":"line 1\r\nline 2\t\"q\" \\ /)"
    "\x7f"
    R"(\u0000\u0001\u001f","records":[)"
    R"({"id":-2147483648,"parentId":-1,"isFolder":1,"title":"","text":"\ud800 \udfff x\udbff","reminderEnabled":1,)"
    R"("reminderTime":[2026,12,1,7,22,52,0,0],"lastAlert":[65535,65535,65535,65535,65535,65535,0,0],)"
    R"("recurrence":-1,"weekdayMask":4294967295},)"
    R"({"id":0,"parentId":-2147483648,"isFolder":0,"title":"😀 pair","text":"\b\f\n\r\t","reminderEnabled":-7,)"
    R"("reminderTime":[0,0,0,0,0,0,0,0],"lastAlert":[1,2,3,4,5,6,0,0],"recurrence":2147483647,"weekdayMask":0},)"
    R"({"id":7,"parentId":0,"isFolder":2147483647,"title":"\ude00\ud83d","text":"","reminderEnabled":0,)"
    R"("reminderTime":[0,0,0,0,0,0,0,0],"lastAlert":[0,0,0,0,0,0,0,0],"recurrence":0,"weekdayMask":286331152}]})";

const std::string WRONG_PASSWORD = "Wrong password for db.nte (or it is not a Lockleaf database).\n";

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

std::string oneRecord(const std::string& record)
{
    return databaseJson(5, "\"t\"", "\"\"", {record});
}

class EndToEndTest : public ::testing::Test {
protected:
    RunResult run(const std::vector<std::string>& args, const std::string& input = {}) const
    {
        return runLockleaf(dir.path(), args, input);
    }

    void create(const std::string& json, const std::string& password)
    {
        writeText(dir.path() / "in.json", json);
        const RunResult r = run({"create", "db.nte", "--from", "in.json", "--password-stdin"}, password + "\n");
        std::filesystem::remove(dir.path() / "in.json");
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(r.out, "");
        ASSERT_EQ(r.err, "");
    }

    void expectDump(const std::string& password, const std::string& json) const
    {
        const RunResult r = run({"dump", "db.nte", "--password-stdin"}, password + "\n");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, json + "\n");
        EXPECT_EQ(r.err, "");
    }

    void expectFailure(const RunResult& r, int status, const std::string& err) const
    {
        EXPECT_EQ(r.status, status);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, err);
    }

    std::string db() const { return readText(dir.path() / "db.nte"); }

    TempDir dir;
};

TEST_F(EndToEndTest, CreateThenDumpGivesTheInputBackByteForByte)
{
    create(RICH_JSON, "s\xc3\xa9same");
    expectDump("s\xc3\xa9same", RICH_JSON);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"db.nte"});
}

TEST_F(EndToEndTest, SecondAndMillisecondAreAcceptedButReadBackAsZero)
{
    const std::string record = recordJson(0, -1, 0, "\"n\"");
    create(oneRecord(replaced(record, "\"reminderTime\":[0,0,0,0,0,0,0,0]", "\"reminderTime\":[1,2,3,4,5,6,59,999]")),
           "");
    expectDump("", oneRecord(replaced(record, "\"reminderTime\":[0,0,0,0,0,0,0,0]",
                                      "\"reminderTime\":[1,2,3,4,5,6,0,0]")));
}

TEST_F(EndToEndTest, CreateOverAnExistingFileKeepsItAsBackup)
{
    create(databaseJson(0, "\"old\"", "\"\"", {}), "a");
    const std::string old = db();
    const std::string json = databaseJson(1, "\"new\"", "\"\"", {recordJson(0, -1, 1, "\"f\"")});
    create(json, "b");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"db.nte", "db.nte.bak"}));
    EXPECT_EQ(readText(dir.path() / "db.nte.bak"), old);
    expectDump("b", json);
}

TEST_F(EndToEndTest, WithoutTerminalOrStdinTheEmptyPasswordIsUsed)
{
    const std::string json = databaseJson(0, "\"t\"", "\"d\"", {});
    writeText(dir.path() / "in.json", json);
    const RunResult created = run({"create", "db.nte", "--from", "in.json"});
    EXPECT_EQ(created.status, 0) << created.err;
    const RunResult dumped = run({"dump", "db.nte"});
    EXPECT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_EQ(dumped.out, json + "\n");
    expectDump("", json);
}

TEST_F(EndToEndTest, WrongPasswordExitsTwoAndPrintsNothing)
{
    create(databaseJson(0, "\"t\"", "\"\"", {}), "right");
    for (const char* command : {"dump", "info", "tree", "passwd"}) {
        SCOPED_TRACE(command);
        expectFailure(run({command, "db.nte", "--password-stdin"}, "wrong\nnew\n"), 2, WRONG_PASSWORD);
        if (std::string(command) != "passwd")
            expectFailure(run({command, "db.nte"}), 2, WRONG_PASSWORD);
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{"db.nte"});
}

TEST_F(EndToEndTest, MissingFileExitsThreeNamingIt)
{
    for (const char* command : {"dump", "info", "tree", "passwd"}) {
        SCOPED_TRACE(command);
        expectFailure(run({command, "missing.nte", "--password-stdin"}, "a\nb\n"), 3, "missing.nte was not found.\n");
    }
    EXPECT_TRUE(dir.names().empty());
}

TEST_F(EndToEndTest, TruncatedDatabaseExitsThree)
{
    create(databaseJson(0, "\"" + std::string(100, 't') + "\"", "\"\"", {}), "");
    std::filesystem::resize_file(dir.path() / "db.nte", 40);
    expectFailure(run({"dump", "db.nte"}), 3, "An attempt was made to access db.nte past its end.\n");
}

TEST_F(EndToEndTest, PasswdReplacesThePasswordAndKeepsABackup)
{
    const std::string json = databaseJson(1, "\"t\"", "\"\"", {recordJson(0, -1, 0, "\"n\"")});
    create(json, "old");
    const std::string before = db();
    const RunResult r = run({"passwd", "db.nte", "--password-stdin"}, "old\r\nnew\r\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    expectFailure(run({"dump", "db.nte", "--password-stdin"}, "old\n"), 2, WRONG_PASSWORD);
    expectDump("new", json);
    EXPECT_EQ(readText(dir.path() / "db.nte.bak"), before);
}

TEST_F(EndToEndTest, FailedPasswdChangesNothing)
{
    create(databaseJson(0, "\"t\"", "\"\"", {}), "old");
    const std::string before = db();
    expectFailure(run({"passwd", "db.nte", "--password-stdin"}, "bad\nnew\n"), 2, WRONG_PASSWORD);
    expectFailure(run({"passwd", "db.nte", "--password-stdin"}, "old\n"), 1,
                  "Expected the new password on the second line of standard input.\n");
    expectFailure(run({"passwd", "db.nte"}), 1, "passwd needs a terminal or --password-stdin to read the passwords.\n");
    EXPECT_EQ(db(), before);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"db.nte"});
}

TEST_F(EndToEndTest, TreeShowsSortedNestedOutline)
{
    create(databaseJson(9, "\"t\"", "\"\"",
                        {recordJson(0, -1, 1, "\"notes\""), recordJson(1, 0, 1, "\"b\""), recordJson(2, 0, 1, "\"B\""),
                         recordJson(3, 0, 0, "\"a\""), recordJson(4, 0, 0, "\"Z\""), recordJson(5, 1, 0, "\"x\""),
                         recordJson(6, -1, 0, "\"top\""), recordJson(7, 99, 0, "\"orphan\"")}),
           "");
    const RunResult r = run({"tree", "db.nte"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "+ notes\n  + B\n  + b\n    - x\n  - Z\n  - a\n- top\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(EndToEndTest, InfoReportsTheFigures)
{
    const std::string reminder = recordJson(3, 0, 0, "\"r\"");
    create(databaseJson(12, "\"My notes\"", "\"first\\nsecond\"",
                        {recordJson(0, -1, 1, "\"f\""), recordJson(1, 0, 1, "\"g\""), recordJson(2, 0, 0, "\"n\""),
                         replaced(reminder, "\"reminderEnabled\":0", "\"reminderEnabled\":1")}),
           "pw");
    const RunResult r = run({"info", "db.nte", "--password-stdin"}, "pw\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Title: My notes\nDescription: first\n  second\nFolders: 2\nNotes: 2\nEnabled reminders: 1\n"
                     "Next id: 12\nFile size: " +
                         std::to_string(std::filesystem::file_size(dir.path() / "db.nte")) + " bytes\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(EndToEndTest, HelpExitsZero)
{
    const RunResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Reads and writes Lockleaf notes databases.\nUsage: lockleaf", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string err;
};

class UsageErrorTest : public EndToEndTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UsageErrorTest, ExitsOneWithOneLine)
{
    expectFailure(run(GetParam().args, GetParam().input), 1, GetParam().err);
    EXPECT_TRUE(dir.names().empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrorTest,
    ::testing::Values(
        UsageCase{"NoCommand", {}, "", "A subcommand is required (see lockleaf --help)\n"},
        UsageCase{"UnknownCommand", {"frob", "x"}, "", "Unknown command frob (see lockleaf --help)\n"},
        UsageCase{"MissingFile", {"dump"}, "", "FILE is required (see lockleaf --help)\n"},
        UsageCase{"ExtraArgument", {"tree", "a", "b"}, "", "The following argument was not expected: b (see lockleaf --help)\n"},
        UsageCase{"UnknownOption", {"info", "--colour", "a"}, "", "The following argument was not expected: --colour (see lockleaf --help)\n"},
        UsageCase{"CreateWithoutFrom", {"create", "db.nte"}, "", "--from is required (see lockleaf --help)\n"},
        UsageCase{"NoPasswordLine", {"dump", "db.nte", "--password-stdin"}, "",
                  "Expected the password on standard input.\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadJsonCase {
    const char* name;
    std::string json;
    std::string err;
};

class BadJsonTest : public EndToEndTest, public ::testing::WithParamInterface<BadJsonCase> {};

TEST_P(BadJsonTest, ExitsThreeAndCreatesNothing)
{
    writeText(dir.path() / "in.json", GetParam().json);
    expectFailure(run({"create", "db.nte", "--from", "in.json", "--password-stdin"}, "pw\n"), 3, GetParam().err);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"in.json"});
}

const std::string RECORD = recordJson(4, -1, 0, "\"a\"");

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadJsonTest,
    ::testing::Values(
        BadJsonCase{"Empty", "", "in.json is not valid JSON: unexpected end of input, expected a value at byte offset 0.\n"},
        BadJsonCase{"Truncated", "{\"formatVersion\":3,\"nextId\":",
                    "in.json is not valid JSON: unexpected end of input, expected a value at byte offset 28.\n"},
        BadJsonCase{"DepthBomb", std::string(100000, '['),
                    "in.json is not valid JSON: arrays and objects nested deeper than 64 levels at byte offset 64.\n"},
        BadJsonCase{"NotAnObject", "[]", "in.json: the top level must be an object.\n"},
        BadJsonCase{"OtherVersion", replaced(oneRecord(RECORD), "\"formatVersion\":3", "\"formatVersion\":2"),
                    "in.json: formatVersion must be 3.\n"},
        BadJsonCase{"MissingHeaderKey", replaced(oneRecord(RECORD), "\"dbDescription\":\"\",", ""),
                    "in.json: dbDescription is missing.\n"},
        BadJsonCase{"MissingRecordKey", oneRecord(replaced(RECORD, ",\"weekdayMask\":286331152", "")),
                    "in.json: records[0].weekdayMask is missing.\n"},
        BadJsonCase{"UnknownKey", oneRecord(replaced(RECORD, "{", "{\"colour\":1,")),
                    "in.json: records[0] has an unknown key \"colour\".\n"},
        BadJsonCase{"TitleNotString", oneRecord(replaced(RECORD, "\"title\":\"a\"", "\"title\":5")),
                    "in.json: records[0].title must be a string.\n"},
        BadJsonCase{"RecordsNotArray", "{\"formatVersion\":3,\"nextId\":0,\"dbTitle\":\"\",\"dbDescription\":\"\",\"records\":{}}",
                    "in.json: records must be an array.\n"},
        BadJsonCase{"RecordNotObject", databaseJson(0, "\"\"", "\"\"", {"1"}), "in.json: records[0] must be an object.\n"},
        BadJsonCase{"MaskTooLarge", oneRecord(replaced(RECORD, "286331152", "4294967296")),
                    "in.json: records[0].weekdayMask must be an integer from 0 to 4294967295.\n"},
        BadJsonCase{"MaskNegative", oneRecord(replaced(RECORD, "286331152", "-1")),
                    "in.json: records[0].weekdayMask must be an integer from 0 to 4294967295.\n"},
        BadJsonCase{"IdTooLarge", oneRecord(replaced(RECORD, "\"id\":4", "\"id\":2147483648")),
                    "in.json: records[0].id must be an integer from -2147483648 to 2147483647.\n"},
        BadJsonCase{"FractionalNextId", replaced(oneRecord(RECORD), "\"nextId\":5", "\"nextId\":5.0"),
                    "in.json: nextId must be an integer from -2147483648 to 2147483647.\n"},
        BadJsonCase{"TimeFieldTooLarge",
                    oneRecord(replaced(RECORD, "\"reminderTime\":[0,0,0,0", "\"reminderTime\":[0,0,0,65536")),
                    "in.json: records[0].reminderTime[3] must be an integer from 0 to 65535.\n"},
        BadJsonCase{"TimeTooShort", oneRecord(replaced(RECORD, "\"lastAlert\":[0,0,0,0,0,0,0,0]", "\"lastAlert\":[0,0,0,0,0,0,0]")),
                    "in.json: records[0].lastAlert must be an array of 8 integers.\n"},
        BadJsonCase{"DuplicateId", databaseJson(5, "\"\"", "\"\"", {RECORD, recordJson(3, -1, 0, "\"b\""), RECORD}),
                    "in.json: records[2].id 4 is also the id of records[0].\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EndToEndTest, CreateWithoutItsInputsCreatesNothing)
{
    expectFailure(run({"create", "db.nte", "--from", "none.json"}), 3, "none.json was not found.\n");
    writeText(dir.path() / "in.json", databaseJson(0, "\"t\"", "\"\"", {}));
    expectFailure(run({"create", "db.nte", "--from", "in.json", "--password-stdin"}), 1,
                  "Expected the new password on standard input.\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"in.json"});
}

TEST_F(EndToEndTest, BadJsonLeavesAnExistingDatabaseAlone)
{
    create(databaseJson(0, "\"t\"", "\"\"", {}), "");
    const std::string before = db();
    writeText(dir.path() / "in.json", "{");
    expectFailure(run({"create", "db.nte", "--from", "in.json"}), 3,
                  "in.json is not valid JSON: unexpected end of input, expected a string key at byte offset 1.\n");
    EXPECT_EQ(db(), before);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"db.nte", "in.json"}));
}

} // namespace
