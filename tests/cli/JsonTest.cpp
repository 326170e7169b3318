#include "cli/Json.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using json::Value;

struct WriteCase {
    const char* name;
    std::u16string text;
    std::string written;
};

class WriteStringTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteStringTest, WritesExactly)
{
    EXPECT_EQ(json::write(Value::string(GetParam().text)), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, WriteStringTest,
    ::testing::Values(
        WriteCase{"Plain", u"abc", "\"abc\""},
        WriteCase{"Empty", u"", "\"\""},
        WriteCase{"QuoteAndBackslash", u"a\"b\\c", "\"a\\\"b\\\\c\""},
        WriteCase{"NamedControls", u"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
        WriteCase{"OtherControlsAsLowercaseHex", std::u16string(u"\0\x01\x1f\x1b", 4), "\"\\u0000\\u0001\\u001f\\u001b\""},
        WriteCase{"DeleteAndSlashRaw", u"\x7f/", "\"\x7f/\""},
        WriteCase{"BmpAsUtf8", u"\u00e9\u20ac\uffff", "\"\xc3\xa9\xe2\x82\xac\xef\xbf\xbf\""},
        WriteCase{"PairAsOneSequence", u"\xD83D\xDE00", "\"\xf0\x9f\x98\x80\""},
        WriteCase{"LoneHighAtEnd", u"a\xD83D", "\"a\\ud83d\""},
        WriteCase{"LoneLowFirst", u"\xDC00" u"a", "\"\\udc00a\""},
        WriteCase{"ReversedPair", u"\xDE00\xD83D", "\"\\ude00\\ud83d\""},
        WriteCase{"HighBeforePair", u"\xD800\xD83D\xDE00", "\"\\ud800\xf0\x9f\x98\x80\""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ParseStringCase {
    const char* name;
    std::string text;
    std::u16string value;
};

class ParseStringTest : public ::testing::TestWithParam<ParseStringCase> {};

TEST_P(ParseStringTest, GivesExactCodeUnits)
{
    EXPECT_EQ(json::parse(GetParam().text), Value::string(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Strings, ParseStringTest,
    ::testing::Values(
        ParseStringCase{"Escapes", "\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"", u"\"\\/\b\f\n\r\t"},
        ParseStringCase{"HexEitherCase", "\"\\u00e9\\u00C9\"", u"\u00e9\u00c9"},
        ParseStringCase{"EscapedNul", "\"a\\u0000b\"", std::u16string(u"a\0b", 3)},
        ParseStringCase{"EscapedPair", "\"\\ud83d\\ude00\"", u"\xD83D\xDE00"},
        ParseStringCase{"LoneLow", "\"\\udc00\"", u"\xDC00"},
        ParseStringCase{"LoneHighThenText", "\"\\ud83dx\"", u"\xD83D" u"x"},
        ParseStringCase{"RawUtf8", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\"", u"\u00e9\u20ac\xD83D\xDE00"},
        ParseStringCase{"WhiteSpaceAround", " \t\r\n\"x\"\n", u"x"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    std::string text;
    std::string message;
};

class ParseErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ParseErrorTest, RejectsWithMessageAndOffset)
{
    try {
        json::parse(GetParam().text);
        FAIL() << "parsed";
    } catch (const json::ParseError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, ParseErrorTest,
    ::testing::Values(
        ErrorCase{"Empty", "", "unexpected end of input, expected a value at byte offset 0"},
        ErrorCase{"TruncatedObject", "{\"a\":1", "unexpected end of input, expected ',' or '}' at byte offset 6"},
        ErrorCase{"MissingColon", "{\"a\" 1}", "expected ':', found '1' at byte offset 5"},
        ErrorCase{"KeyNotString", "{1:2}", "expected a string key, found '1' at byte offset 1"},
        ErrorCase{"TrailingComma", "[1,]", "unexpected ']', expected a value at byte offset 3"},
        ErrorCase{"MissingComma", "[1 2]", "expected ',' or ']', found '2' at byte offset 3"},
        ErrorCase{"ShortLiteral", "nul", "unexpected 'n', expected a value at byte offset 0"},
        ErrorCase{"LeadingZero", "01", "unexpected '1' after the value at byte offset 1"},
        ErrorCase{"LoneMinus", "-", "invalid number at byte offset 1"},
        ErrorCase{"BareDot", "1.", "invalid number: a digit must follow '.' at byte offset 2"},
        ErrorCase{"BareExponent", "1e+", "invalid number: a digit must follow the exponent mark at byte offset 3"},
        ErrorCase{"UnterminatedString", "\"abc", "unexpected end of input inside a string at byte offset 4"},
        ErrorCase{"RawNewline", "\"a\nb\"", "unescaped control character byte 0x0A in a string at byte offset 2"},
        ErrorCase{"BadEscape", "\"\\x\"", "invalid escape \\x at byte offset 2"},
        ErrorCase{"ShortHex", "\"\\u12\"", "\\u must be followed by four hex digits at byte offset 5"},
        ErrorCase{"BadLeadByte", "\"\xff\"", "invalid UTF-8 byte 0xFF at byte offset 1"},
        ErrorCase{"Overlong", "\"\xc0\xaf\"", "invalid UTF-8 byte 0xC0 at byte offset 1"},
        ErrorCase{"EncodedSurrogate", "\"\xed\xa0\x80\"", "invalid UTF-8 byte 0xA0 at byte offset 2"},
        ErrorCase{"AboveUnicode", "\"\xf4\x90\x80\x80\"", "invalid UTF-8 byte 0x90 at byte offset 2"},
        ErrorCase{"CutSequence", "\"\xe2\x82", "unexpected end of input inside a UTF-8 sequence at byte offset 1"},
        ErrorCase{"DuplicateKey", "{\"a\":1,\"b\":2,\"a\":3}", "duplicate key \"a\" at byte offset 13"},
        ErrorCase{"TextAfterValue", "{} x", "unexpected 'x' after the value at byte offset 3"},
        ErrorCase{"ByteOrderMark", "\xef\xbb\xbf{}", "unexpected byte 0xEF, expected a value at byte offset 0"},
        ErrorCase{"DepthBomb", std::string(100000, '['),
                  "arrays and objects nested deeper than 64 levels at byte offset 64"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JsonLimitsTest, SixtyFourLevelsParseAndSixtyFiveDoNot)
{
    const std::string ok = std::string(63, '[') + "{}" + std::string(63, ']');
    EXPECT_EQ(json::write(json::parse(ok)), ok);
    const std::string deep = "[" + ok + "]";
    EXPECT_THROW(json::parse(deep), json::ParseError);
}

TEST(JsonLimitsTest, ValueCountIsBounded)
{
    const json::ParseLimits limits{64, 3};
    EXPECT_EQ(json::write(json::parse("[1,2]", limits)), "[1,2]");
    try {
        json::parse("[1,2,3]", limits);
        FAIL() << "parsed";
    } catch (const json::ParseError& e) {
        EXPECT_EQ(std::string(e.what()), "more than 3 values at byte offset 5");
    }
}

TEST(JsonValueTest, WritesAndParsesEveryKindCompactly)
{
    const Value v = Value::object({
        {u"n", Value()},
        {u"b", Value::array({Value::boolean(true), Value::boolean(false)})},
        {u"i", Value::number(-2147483648LL)},
        {u"u", Value::unsignedNumber(4294967295ULL)},
        {u"s", Value::string(u"\xDC00")},
        {u"o", Value::object({})},
        {u"a", Value::array({})},
    });
    const std::string text = "{\"n\":null,\"b\":[true,false],\"i\":-2147483648,\"u\":4294967295,"
                             "\"s\":\"\\udc00\",\"o\":{},\"a\":[]}";
    EXPECT_EQ(json::write(v), text);
    EXPECT_EQ(json::parse(text), v);
}

TEST(JsonValueTest, NumbersKeepTheirLiteral)
{
    EXPECT_EQ(json::write(json::parse(" [ 1.50e+3 , -0 , 0.25E-2 ] ")), "[1.50e+3,-0,0.25E-2]");
}

struct IntegerCase {
    const char* name;
    std::string text;
    std::optional<int64_t> value;
};

class AsIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(AsIntegerTest, ExactIntegersOnly)
{
    EXPECT_EQ(json::parse(GetParam().text).asInteger(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, AsIntegerTest,
    ::testing::Values(IntegerCase{"Zero", "0", 0}, IntegerCase{"NegativeZero", "-0", 0},
                      IntegerCase{"Int64Max", "9223372036854775807", INT64_MAX},
                      IntegerCase{"Int64Min", "-9223372036854775808", INT64_MIN},
                      IntegerCase{"PastInt64", "9223372036854775808", std::nullopt},
                      IntegerCase{"Fraction", "1.0", std::nullopt}, IntegerCase{"Exponent", "1e2", std::nullopt},
                      IntegerCase{"String", "\"1\"", std::nullopt}, IntegerCase{"Null", "null", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
