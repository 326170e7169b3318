#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

Bytes stored(const std::u16string& s)
{
    Bytes b;
    Archive ar(b, Archive::Mode::store);
    ar.writeString(s);
    return b;
}

std::u16string loaded(Bytes b, size_t* rest = nullptr)
{
    Archive ar(b, Archive::Mode::load, "x.nte");
    std::u16string s = ar.readString();
    if (rest)
        *rest = ar.remaining();
    return s;
}

TEST(Archive, IntegersAreLittleEndianAndPacked)
{
    Bytes b;
    Archive w(b, Archive::Mode::store);
    w.writeU8(0xAB);
    w.writeU16(0x0309);
    w.writeI32(-2);
    w.writeU32(0x11111110);
    w.writeI64(0x0102030405060708);
    EXPECT_EQ(toHex(b), "AB 09 03 FE FF FF FF 10 11 11 11 08 07 06 05 04 03 02 01");

    Archive r(b, Archive::Mode::load);
    EXPECT_EQ(r.readU8(), 0xAB);
    EXPECT_EQ(r.readU16(), 0x0309);
    EXPECT_EQ(r.readI32(), -2);
    EXPECT_EQ(r.readU32(), 0x11111110u);
    EXPECT_EQ(r.readI64(), 0x0102030405060708);
    EXPECT_EQ(r.remaining(), 0u);
}

TEST(Archive, ShortReadsThrowEndOfFileExceptRawBytes)
{
    Bytes b = hex("01 02 03");
    Archive r(b, Archive::Mode::load, "notes.nte");
    EXPECT_EQ(r.readU16(), 0x0201);
    try {
        r.readU16();
        FAIL() << "no exception";
    } catch (const ArchiveException& e) {
        EXPECT_EQ(e.cause(), ArchiveException::Cause::endOfFile);
        EXPECT_STREQ(e.what(), "An attempt was made to access notes.nte past its end.");
        EXPECT_EQ(e.fileName(), "notes.nte");
    }
    EXPECT_THROW(r.readU32(), ArchiveException);
    EXPECT_THROW(r.readU64(), ArchiveException);

    uint8_t buf[16] = {};
    EXPECT_EQ(r.readBytes(buf, sizeof buf), 1u);
    EXPECT_EQ(buf[0], 0x03);
    EXPECT_EQ(r.readBytes(buf, sizeof buf), 0u);
}

// Each length crosses a boundary of the length prefix.
struct LengthCase {
    size_t length;
    const char* prefix;
};

class StringLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(StringLength, PrefixIsExactAndRoundTrips)
{
    const auto& c = GetParam();
    std::u16string s(c.length, u'\0');
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char16_t>(0x41 + i % 26 + (i % 7 == 0 ? 0xFF00 : 0));
    const Bytes b = stored(s);
    const Bytes prefix = hex(c.prefix);
    ASSERT_EQ(b.size(), prefix.size() + 2 * c.length);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + static_cast<long>(prefix.size())), prefix);
    if (c.length > 0) {
        EXPECT_EQ(b[prefix.size()], static_cast<uint8_t>(s[0]));
        EXPECT_EQ(b[prefix.size() + 1], static_cast<uint8_t>(s[0] >> 8));
    }
    size_t rest = 1;
    EXPECT_EQ(loaded(b, &rest), s);
    EXPECT_EQ(rest, 0u);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, StringLength, ::testing::Values(
    LengthCase{0, "FF FEFF 00"},
    LengthCase{8, "FF FEFF 08"},
    LengthCase{254, "FF FEFF FE"},
    LengthCase{255, "FF FEFF FF FF00"},
    LengthCase{65533, "FF FEFF FF FDFF"},
    LengthCase{65534, "FF FEFF FF FFFF FEFF0000"},
    LengthCase{65535, "FF FEFF FF FFFF FFFF0000"},
    LengthCase{65536, "FF FEFF FF FFFF 00000100"}));

TEST(Archive, UntitledIsTagLengthAndUnits)
{
    EXPECT_EQ(toHex(stored(u"Untitled")),
              "FF FE FF 08 55 00 6E 00 74 00 69 00 74 00 6C 00 65 00 64 00");
}

TEST(Archive, UnpairedSurrogatesSurviveUnchanged)
{
    const std::u16string s{u'a', char16_t(0xD800), u'b', char16_t(0xDFFF)};
    EXPECT_EQ(loaded(stored(s)), s);
}

struct OneByteCase {
    const char* bytes;
    std::u16string text;
};

class OneByteString : public ::testing::TestWithParam<OneByteCase> {};

TEST_P(OneByteString, ReadsAsWindows1252)
{
    size_t rest = 1;
    EXPECT_EQ(loaded(hex(GetParam().bytes), &rest), GetParam().text);
    EXPECT_EQ(rest, 0u);
}

INSTANTIATE_TEST_SUITE_P(CodePage, OneByteString, ::testing::Values(
    OneByteCase{"00", u""},
    OneByteCase{"04 43 61 66 E9", u"Caf\u00e9"},
    OneByteCase{"05 80 81 8D 9F A0", u"\u20ac\u0081\u008d\u0178\u00a0"},
    OneByteCase{"03 99 FF 41", u"\u2122\u00ffA"},
    // A 16-bit length without the tag.
    OneByteCase{"FF 0300 41 42 43", u"ABC"},
    // The tag followed by a full byte and a 16-bit length.
    OneByteCase{"FF FEFF FF 0200 41 00 42 00", u"AB"},
    // 32-bit and 64-bit length forms are accepted too.
    OneByteCase{"FF FFFF 02000000 41 42", u"AB"},
    OneByteCase{"FF FEFF FF FFFF FFFFFFFF 0100000000000000 5A 00", u"Z"}));

struct BadString {
    const char* name;
    const char* bytes;
};

class TruncatedString : public ::testing::TestWithParam<BadString> {};

// Lengths that claim more than remains fail before any allocation: the
// largest of these would ask for 2^64 bytes.
TEST_P(TruncatedString, IsEndOfFile)
{
    try {
        loaded(hex(GetParam().bytes));
        FAIL() << "no exception";
    } catch (const ArchiveException& e) {
        EXPECT_EQ(e.cause(), ArchiveException::Cause::endOfFile);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, TruncatedString, ::testing::Values(
    BadString{"Empty", ""},
    BadString{"TagOnly", "FF FEFF"},
    BadString{"OneUnitShort", "FF FEFF 02 41 00 42"},
    BadString{"OneByteShort", "03 41 42"},
    BadString{"Len16Cut", "FF FEFF FF 01"},
    BadString{"Huge32", "FF FEFF FF FFFF FEFFFFFF 41 00"},
    BadString{"Huge64", "FF FEFF FF FFFF FFFFFFFF FFFFFFFFFFFFFFFF 41 00"},
    BadString{"Half64", "FF FEFF FF FFFF FFFFFFFF 0000000000000080"},
    BadString{"OddUnit", "FF FEFF 01 41"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
