#include "TestSupport.h"

#include "store/Clock.h"
#include "store/FileKey.h"
#include "store/Utf.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

using namespace testing_support;

namespace {

// Whole minutes: a saved database keeps no seconds.
const CalendarTime NOW{2026, 12, 1, 7, 22, 52, 0, 0};

// AES-256 of each whole block on its own, by OpenSSL.
Bytes openssl(const Bytes& in, const std::array<uint8_t, 32>& key, bool encrypt)
{
    Bytes out(in.size() + 16);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex(ctx, EVP_aes_256_ecb(), nullptr, key.data(), nullptr, encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    int n = 0;
    EVP_CipherUpdate(ctx, out.data(), &n, in.data(), static_cast<int>(in.size()));
    EVP_CIPHER_CTX_free(ctx);
    out.resize(static_cast<size_t>(n));
    return out;
}

class EnvelopeTest : public ::testing::Test {
protected:
    ManualClock clock{NOW};
    ScopedClock scoped{clock};
    TempDir dir;
    NotesMgr mgr;

    void oneRecordDatabase()
    {
        mgr.setDbTitle(u"Notes");
        mgr.addRecord(-1, 1, u"Notes", u"");
    }
};

TEST(FileKey, ConstantsAreThoseOfTheFormat)
{
    // Changing any of these bytes makes every existing database unreadable.
    const auto e = filekey::make(u"");
    EXPECT_EQ(toHex(Bytes(e.begin(), e.end())),
              "17 FB 1B A5 B0 24 94 BB 97 03 CB 1E 2D 79 AE B3 4E 2B 53 11 CB 99 3C 41 53 24 40 22 C1 BC 1C 3E");
    const auto k = filekey::make(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    EXPECT_EQ(toHex(Bytes(k.begin(), k.end())),
              "41 FB 43 44 45 46 47 BB 49 4A 4B 4C 4D 79 4F 50 51 52 53 54 55 99 57 58 59 5A 30 31 C1 33 34 3E");
    const auto s = filekey::make(u"ab");
    EXPECT_EQ(toHex(Bytes(s.begin(), s.begin() + 4)), "61 FB 1B A5");
}

TEST(FileKey, Equivalences)
{
    const std::u16string base = u"0123456789abcdefghijklmnopqrstuvwxyz";
    for (size_t pos : {1, 7, 13, 21, 28, 31}) {
        std::u16string other = base;
        other[pos] = u'#';
        EXPECT_EQ(filekey::make(base), filekey::make(other)) << pos;
    }
    for (size_t pos : {0, 2, 6, 8, 30}) {
        std::u16string other = base;
        other[pos] = u'#';
        EXPECT_NE(filekey::make(base), filekey::make(other)) << pos;
    }
    EXPECT_EQ(filekey::make(base.substr(0, 32)), filekey::make(base));
    EXPECT_EQ(filekey::make(u"p\u0141ss"), filekey::make(u"pAss"));  // only the low byte counts
    EXPECT_NE(filekey::make(u"pass"), filekey::make(u"pas"));
}

TEST_F(EnvelopeTest, OneRecordFileHasSevenBlocksAndAShortPiece)
{
    oneRecordDatabase();
    mgr.setPassword(u"sesame");
    const std::string path = dir.file("notes.nte");
    ASSERT_TRUE(mgr.save(path));

    const Bytes file = readFile(path);
    ASSERT_EQ(file.size(), 116u);
    const Bytes image = writeImage(mgr);  // same content, only the random word differs
    const auto key = filekey::make(u"sesame");
    Bytes plain = openssl(Bytes(file.begin(), file.begin() + 112), key, false);
    EXPECT_EQ(toHex(Bytes(plain.begin() + 2, plain.end())), toHex(Bytes(image.begin() + 2, image.begin() + 112)));

    // The short piece: the last 4 image bytes with the last 12 bytes of the
    // seventh encrypted block, encrypted, first 4 bytes kept.
    Bytes last(16);
    std::copy(file.begin() + 96, file.begin() + 112, last.begin());
    std::fill(last.begin(), last.begin() + 4, 0);  // filler
    const Bytes piece = openssl(last, key, true);
    EXPECT_EQ(toHex(Bytes(file.begin() + 112, file.end())), toHex(Bytes(piece.begin(), piece.begin() + 4)));

    // Our own reading gives the short piece back undecrypted.
    Bytes read;
    mgr.readEncrypted(path, read);
    EXPECT_EQ(Bytes(read.begin(), read.begin() + 112), plain);
    EXPECT_EQ(Bytes(read.begin() + 112, read.end()), Bytes(file.begin() + 112, file.end()));
}

TEST_F(EnvelopeTest, WholeBlockImageDecryptsBackEntirely)
{
    mgr.setDbTitle(u"Four");  // 40 + 8 = 48 bytes
    const std::string path = dir.file("a.nte");
    mgr.save(path);
    const Bytes file = readFile(path);
    ASSERT_EQ(file.size(), 48u);
    Bytes image;
    mgr.readEncrypted(path, image);
    EXPECT_EQ(image, openssl(file, filekey::make(u""), false));
    EXPECT_EQ(toHex(Bytes(image.begin() + 2, image.begin() + 12)), "09 03 03 00 00 00 00 00 00 00");
}

TEST_F(EnvelopeTest, EveryWholeBlockIsEncryptedOnItsOwn)
{
    // Identical plaintext blocks give identical ciphertext blocks.
    mgr.setDbTitle(std::u16string(64, u'x'));
    const std::string path = dir.file("a.nte");
    mgr.save(path);
    const Bytes file = readFile(path);
    // The title's code units fill bytes 16 to 143; blocks 2 to 7 are all 'x'.
    for (size_t b = 3; b < 8; ++b)
        EXPECT_TRUE(std::equal(file.begin() + 32, file.begin() + 48, file.begin() + 16 * b)) << b;
}

TEST_F(EnvelopeTest, TwoSavesDifferOnlyInTheRandomWordAndFillerBlocks)
{
    oneRecordDatabase();
    mgr.addRecord(0, 0, std::u16string(40, u'n'), u"text");
    const std::string a = dir.file("a.nte");
    const std::string b = dir.file("b.nte");
    uint16_t wa = 0, wb = 0;
    do {
        mgr.save(a);
        wa = mgr.randomWord();
        mgr.save(b);
        wb = mgr.randomWord();
    } while (wa == wb);
    const Bytes fa = readFile(a), fb = readFile(b);
    ASSERT_EQ(fa.size(), fb.size());
    EXPECT_FALSE(std::equal(fa.begin(), fa.begin() + 16, fb.begin()));
    const size_t fillerStart = fa.size() - 16;
    for (size_t off = 16; off + 16 <= fillerStart / 16 * 16; off += 16)
        EXPECT_TRUE(std::equal(fa.begin() + off, fa.begin() + off + 16, fb.begin() + off)) << off;
}

TEST_F(EnvelopeTest, EquivalentPasswordsOpenEachOther)
{
    oneRecordDatabase();
    const std::u16string saved = u"0123456789abcdefghijklmnopqrstuvwxyz";
    mgr.setPassword(saved);
    const std::string path = dir.file("k.nte");
    mgr.save(path);

    std::vector<std::u16string> equivalent;
    for (size_t pos : {1, 7, 13, 21, 28, 31}) {
        std::u16string p = saved;
        p[pos] = u'\u263a';
        equivalent.push_back(p);
    }
    equivalent.push_back(saved.substr(0, 32));
    std::u16string high = saved;
    for (auto& c : high)
        c = static_cast<char16_t>(c | 0x4100);
    equivalent.push_back(high);

    for (const auto& p : equivalent) {
        NotesMgr other;
        other.setPassword(p);
        EXPECT_NO_THROW(other.load(path));
        EXPECT_EQ(other.dbTitle(), u"Notes");
    }

    NotesMgr wrong;
    wrong.setPassword(u"1123456789abcdefghijklmnopqrstuvwxyz");
    EXPECT_THROW(wrong.load(path), WrongPasswordError);
}

TEST_F(EnvelopeTest, EmptyPasswordStillEncrypts)
{
    oneRecordDatabase();
    const std::string path = dir.file("e.nte");
    mgr.save(path);
    const Bytes file = readFile(path);
    const Bytes image = writeImage(mgr);
    EXPECT_FALSE(std::equal(file.begin() + 2, file.begin() + 16, image.begin() + 2));
    NotesMgr other;
    other.load(path);
    EXPECT_EQ(other.records(), mgr.records());
}

TEST_F(EnvelopeTest, WrongPasswordLeavesTheOpenDatabaseAlone)
{
    oneRecordDatabase();
    mgr.setPassword(u"right");
    const std::string path = dir.file("p.nte");
    mgr.save(path);

    MemoryProfile profile;
    NotesMgr other(&profile);
    other.setDbTitle(u"open one");
    other.setDbDescription(u"desc");
    other.addRecord(-1, 1, u"open one", u"");
    other.setPassword(u"wrong");
    const StoreSnapshot before = snapshot(other);
    try {
        other.load(path);
        FAIL() << "opened with the wrong password";
    } catch (const WrongPasswordError& e) {
        EXPECT_EQ(e.code(), 777);
        EXPECT_EQ(e.fileName(), path);
    }
    EXPECT_EQ(snapshot(other), before);

    other.setPassword(u"right");
    other.load(path);
    EXPECT_EQ(other.dbTitle(), u"Notes");
    EXPECT_EQ(other.recentFiles().front(), utf::fromUtf8(path));
}

TEST_F(EnvelopeTest, LoadReplacesEverythingButThePassword)
{
    oneRecordDatabase();
    mgr.setDbDescription(u"described");
    mgr.setPassword(u"pw");
    const std::string path = dir.file("r.nte");
    mgr.save(path);

    NotesMgr other;
    other.setPassword(u"pw");
    for (int i = 0; i < 5; ++i)
        other.addRecord(-1, 1, u"old", u"");
    other.load(path);
    EXPECT_EQ(other.records(), mgr.records());
    EXPECT_EQ(other.nextId(), 1);
    EXPECT_EQ(other.dbDescription(), u"described");
    EXPECT_EQ(other.randomWord(), mgr.randomWord());
    EXPECT_EQ(other.password(), u"pw");
}

TEST_F(EnvelopeTest, BackupHoldsThePreviousSave)
{
    oneRecordDatabase();
    const std::string path = dir.file("notes.nte");
    mgr.save(path);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"notes.nte"});
    const Bytes first = readFile(path);

    mgr.addRecord(0, 0, u"second", u"");
    mgr.save(path);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"notes.nte", "notes.nte.bak"}));
    EXPECT_EQ(readFile(path + ".bak"), first);
    const Bytes second = readFile(path);

    mgr.setPassword(u"changed");
    mgr.save(path);
    EXPECT_EQ(readFile(path + ".bak"), second);

    // The backup opens with the password in force when it was written.
    NotesMgr old;
    old.load(path + ".bak");
    EXPECT_EQ(old.records().size(), 2u);
}

TEST_F(EnvelopeTest, MissingFileIsNotFound)
{
    const std::string path = dir.file("missing.nte");
    try {
        mgr.load(path);
        FAIL();
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), FileException::Cause::fileNotFound);
        EXPECT_EQ(std::string(e.what()), path + " was not found.");
    }
    try {
        mgr.load(dir.path().string());
        FAIL();
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), FileException::Cause::accessDenied);
    }
    try {
        mgr.load("/dev/zero");
        FAIL();
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), FileException::Cause::notRegularFile);
        EXPECT_STREQ(e.what(), "/dev/zero is not a database file.");
    }
}

} // namespace
