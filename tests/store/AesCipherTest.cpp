#include "store/AesCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes fromHex(const std::string& hex)
{
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

int64_t bitsOf(const Bytes& b)
{
    return static_cast<int64_t>(b.size()) * 8;
}

const Bytes kZeroKey(32, 0);

// Sets up a cipher that is expected to set up cleanly.
AesCipher makeCipher(int mode, int direction, const Bytes& key, const uint8_t* iv = nullptr)
{
    AesCipher cipher;
    const int code = key.size() == 16 ? AesCipher::KEY_128
                     : key.size() == 24 ? AesCipher::KEY_192
                                        : AesCipher::KEY_256;
    EXPECT_EQ(cipher.setup(mode, direction, key.data(), code, iv), 0);
    return cipher;
}

// --- Known answers ------------------------------------------------------

struct KnownAnswer {
    const char* name;
    int mode;
    std::string key;
    std::string iv; // empty: no IV given
    int rounds;
    std::string plain;
    std::string cipher;
};

const std::string kSp800Plain = "6bc1bee22e409f96e93d7e117393172a"
                                "ae2d8a571e03ac9c9eb76fac45af8e51"
                                "30c81c46a35ce411e5fbc1191a0a52ef"
                                "f69f2445df4f9b17ad2b417be66c3710";
const std::string kSp800Key128 = "2b7e151628aed2a6abf7158809cf4f3c";
const std::string kSp800Key256 = "603deb1015ca71be2b73aef0857d7781"
                                 "1f352c073b6108d72d9810a30914dff4";
const std::string kSp800Iv = "000102030405060708090a0b0c0d0e0f";

const KnownAnswer kKnownAnswers[] = {
    {"Fips197Aes128", AesCipher::MODE_ECB, "000102030405060708090a0b0c0d0e0f", "", 10,
     "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"Fips197Aes192", AesCipher::MODE_ECB, "000102030405060708090a0b0c0d0e0f1011121314151617", "",
     12, "00112233445566778899aabbccddeeff", "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"Fips197Aes256", AesCipher::MODE_ECB,
     "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "", 14,
     "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
    {"Sp800EcbAes128", AesCipher::MODE_ECB, kSp800Key128, "", 10, kSp800Plain,
     "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
     "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4"},
    {"Sp800CbcAes128", AesCipher::MODE_CBC, kSp800Key128, kSp800Iv, 10, kSp800Plain,
     "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
     "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
    {"Sp800CbcAes256", AesCipher::MODE_CBC, kSp800Key256, kSp800Iv, 14, kSp800Plain,
     "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
     "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
    {"Sp800Cfb1Aes128", AesCipher::MODE_CFB1, kSp800Key128, kSp800Iv, 10, "6bc1", "68b3"},
};

class AesKnownAnswerTest : public ::testing::TestWithParam<KnownAnswer> {
protected:
    AesCipher setUp(int direction) const
    {
        const Bytes iv = fromHex(GetParam().iv);
        return makeCipher(GetParam().mode, direction, fromHex(GetParam().key),
                          iv.empty() ? nullptr : iv.data());
    }
};

TEST_P(AesKnownAnswerTest, Encrypts)
{
    const Bytes plain = fromHex(GetParam().plain);
    AesCipher cipher = setUp(AesCipher::DIR_ENCRYPT);
    EXPECT_EQ(cipher.rounds(), GetParam().rounds);
    Bytes out(plain.size());
    EXPECT_EQ(cipher.encryptBlocks(plain.data(), bitsOf(plain), out.data()), bitsOf(plain));
    EXPECT_EQ(out, fromHex(GetParam().cipher));
}

TEST_P(AesKnownAnswerTest, Decrypts)
{
    const Bytes encrypted = fromHex(GetParam().cipher);
    AesCipher cipher = setUp(AesCipher::DIR_DECRYPT);
    EXPECT_EQ(cipher.rounds(), GetParam().rounds);
    Bytes out(encrypted.size());
    EXPECT_EQ(cipher.decryptBlocks(encrypted.data(), bitsOf(encrypted), out.data()),
              bitsOf(encrypted));
    EXPECT_EQ(out, fromHex(GetParam().plain));
}

TEST_P(AesKnownAnswerTest, WorksInPlace)
{
    Bytes buffer = fromHex(GetParam().plain);
    AesCipher enc = setUp(AesCipher::DIR_ENCRYPT);
    enc.encryptBlocks(buffer.data(), bitsOf(buffer), buffer.data());
    EXPECT_EQ(buffer, fromHex(GetParam().cipher));

    AesCipher dec = setUp(AesCipher::DIR_DECRYPT);
    dec.decryptBlocks(buffer.data(), bitsOf(buffer), buffer.data());
    EXPECT_EQ(buffer, fromHex(GetParam().plain));
}

// The IV is never advanced, so a second identical call must repeat the first.
TEST_P(AesKnownAnswerTest, RepeatedCallsStartFromTheSameIv)
{
    const Bytes plain = fromHex(GetParam().plain);
    AesCipher cipher = setUp(AesCipher::DIR_ENCRYPT);
    Bytes first(plain.size());
    Bytes second(plain.size());
    cipher.encryptBlocks(plain.data(), bitsOf(plain), first.data());
    cipher.encryptBlocks(plain.data(), bitsOf(plain), second.data());
    EXPECT_EQ(second, first);
}

INSTANTIATE_TEST_SUITE_P(Vectors, AesKnownAnswerTest, ::testing::ValuesIn(kKnownAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

// --- CBC without an IV --------------------------------------------------

TEST(AesCbcTest, NoIvSingleBlockMatchesEcbOnEveryCall)
{
    const Bytes key = fromHex(kSp800Key256);
    const Bytes block = fromHex(kSp800Plain.substr(0, 32));

    AesCipher ecb = makeCipher(AesCipher::MODE_ECB, AesCipher::DIR_ENCRYPT, key);
    Bytes expected(16);
    ecb.encryptBlocks(block.data(), 128, expected.data());

    AesCipher cbc = makeCipher(AesCipher::MODE_CBC, AesCipher::DIR_ENCRYPT, key);
    for (int call = 0; call < 2; ++call) {
        Bytes out(16);
        EXPECT_EQ(cbc.encryptBlocks(block.data(), 128, out.data()), 128);
        EXPECT_EQ(out, expected) << "call " << call;
    }
}

// --- Lengths that are not whole blocks ----------------------------------

struct LengthCase {
    const char* name;
    int mode;
    int direction;
    int64_t bits;
    int64_t result;
    size_t bytesWritten;
};

const LengthCase kLengthCases[] = {
    {"CbcEncrypt64", AesCipher::MODE_CBC, AesCipher::DIR_ENCRYPT, 64, 0, 16},
    {"CbcEncrypt127", AesCipher::MODE_CBC, AesCipher::DIR_ENCRYPT, 127, 0, 16},
    {"CbcEncrypt200", AesCipher::MODE_CBC, AesCipher::DIR_ENCRYPT, 200, 128, 16},
    {"CbcEncrypt383", AesCipher::MODE_CBC, AesCipher::DIR_ENCRYPT, 383, 256, 32},
    {"CbcDecrypt64", AesCipher::MODE_CBC, AesCipher::DIR_DECRYPT, 64, 0, 0},
    {"CbcDecrypt200", AesCipher::MODE_CBC, AesCipher::DIR_DECRYPT, 200, 128, 16},
    {"EcbEncrypt64", AesCipher::MODE_ECB, AesCipher::DIR_ENCRYPT, 64, 0, 0},
    {"EcbEncrypt200", AesCipher::MODE_ECB, AesCipher::DIR_ENCRYPT, 200, 128, 16},
    {"EcbDecrypt64", AesCipher::MODE_ECB, AesCipher::DIR_DECRYPT, 64, 0, 0},
    {"EcbDecrypt200", AesCipher::MODE_ECB, AesCipher::DIR_DECRYPT, 200, 128, 16},
};

class AesLengthTest : public ::testing::TestWithParam<LengthCase> {
protected:
    static constexpr uint8_t kSentinel = 0xa5;

    int64_t run(AesCipher& cipher, const uint8_t* in, int64_t bits, uint8_t* out) const
    {
        return GetParam().direction == AesCipher::DIR_ENCRYPT ? cipher.encryptBlocks(in, bits, out)
                                                              : cipher.decryptBlocks(in, bits, out);
    }

    const Bytes key_ = fromHex(kSp800Key128);
    const Bytes iv_ = fromHex(kSp800Iv);
    const Bytes input_ = fromHex(kSp800Plain);
};

// A partial call must write exactly the leading blocks a whole-length call
// writes, and leave every byte after them alone.
TEST_P(AesLengthTest, WritesOnlyTheBlocksItCounts)
{
    AesCipher cipher = makeCipher(GetParam().mode, GetParam().direction, key_, iv_.data());
    Bytes full(input_.size());
    ASSERT_EQ(run(cipher, input_.data(), bitsOf(input_), full.data()), bitsOf(input_));

    Bytes out(input_.size(), kSentinel);
    EXPECT_EQ(run(cipher, input_.data(), GetParam().bits, out.data()), GetParam().result);

    Bytes expected(input_.size(), kSentinel);
    std::copy_n(full.begin(), GetParam().bytesWritten, expected.begin());
    EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, AesLengthTest, ::testing::ValuesIn(kLengthCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The short CBC encryption is checked against an independent route too:
// ECB of the first block XOR the IV.
TEST(AesCbcTest, ShortEncryptIsEcbOfBlockXorIv)
{
    const Bytes key = fromHex(kSp800Key256);
    const Bytes iv = fromHex("f0e1d2c3b4a5968778695a4b3c2d1e0f");
    const Bytes block = fromHex(kSp800Plain.substr(32, 32));

    Bytes mixed(16);
    for (int i = 0; i < 16; ++i)
        mixed[i] = block[i] ^ iv[i];
    AesCipher ecb = makeCipher(AesCipher::MODE_ECB, AesCipher::DIR_ENCRYPT, key);
    Bytes expected(16);
    ecb.encryptBlocks(mixed.data(), 128, expected.data());

    AesCipher cbc = makeCipher(AesCipher::MODE_CBC, AesCipher::DIR_ENCRYPT, key, iv.data());
    Bytes out(16);
    EXPECT_EQ(cbc.encryptBlocks(block.data(), 64, out.data()), 0);
    EXPECT_EQ(out, expected);
}

// --- CFB1 ---------------------------------------------------------------

class AesCfb1Test : public ::testing::Test {
protected:
    const Bytes key_ = fromHex(kSp800Key128);
    const Bytes iv_ = fromHex(kSp800Iv);
};

// CFB1 needs only the forward cipher, so either direction's object does both.
TEST_F(AesCfb1Test, EitherDirectionObjectEncryptsAndDecrypts)
{
    for (int direction : {AesCipher::DIR_ENCRYPT, AesCipher::DIR_DECRYPT}) {
        AesCipher cipher = makeCipher(AesCipher::MODE_CFB1, direction, key_, iv_.data());
        const Bytes plain = fromHex("6bc1");
        const Bytes encrypted = fromHex("68b3");
        Bytes out(2);
        EXPECT_EQ(cipher.encryptBlocks(plain.data(), 16, out.data()), 16);
        EXPECT_EQ(out, encrypted) << "direction " << direction;
        EXPECT_EQ(cipher.decryptBlocks(encrypted.data(), 16, out.data()), 16);
        EXPECT_EQ(out, plain) << "direction " << direction;
    }
}

TEST_F(AesCfb1Test, PartialByteLeavesTrailingBitsAlone)
{
    AesCipher cipher = makeCipher(AesCipher::MODE_CFB1, AesCipher::DIR_ENCRYPT, key_, iv_.data());
    const Bytes plain = fromHex("6bc1");
    // 11 bits of 0x68b3 are 0110 1000 101, then the five untouched bits of 0xff.
    Bytes out = {0x00, 0xff};
    EXPECT_EQ(cipher.encryptBlocks(plain.data(), 11, out.data()), 11);
    EXPECT_EQ(out, (Bytes{0x68, 0xbf}));

    Bytes back = {0x00, 0x00};
    EXPECT_EQ(cipher.decryptBlocks(fromHex("68b3").data(), 11, back.data()), 11);
    EXPECT_EQ(back, (Bytes{0x6b, 0xc0}));
}

// --- Status codes -------------------------------------------------------

struct SetupCase {
    const char* name;
    int mode;
    int direction;
    bool hasKey;
    int keyLengthCode;
    int expected;
};

const SetupCase kSetupCases[] = {
    {"Ecb128", AesCipher::MODE_ECB, AesCipher::DIR_ENCRYPT, true, AesCipher::KEY_128, 0},
    {"Cbc192", AesCipher::MODE_CBC, AesCipher::DIR_DECRYPT, true, AesCipher::KEY_192, 0},
    {"Cfb1256", AesCipher::MODE_CFB1, AesCipher::DIR_DECRYPT, true, AesCipher::KEY_256, 0},
    {"ModeNegative", -1, 0, true, 0, AesCipher::BAD_MODE},
    {"ModeThree", 3, 0, true, 0, AesCipher::BAD_MODE},
    {"ModeBeforeEverythingElse", 3, 2, false, 3, AesCipher::BAD_MODE},
    {"DirectionNegative", 0, -1, true, 0, AesCipher::BAD_DIRECTION},
    {"DirectionTwo", 1, 2, true, 0, AesCipher::BAD_DIRECTION},
    {"DirectionBeforeKey", 0, 2, false, 3, AesCipher::BAD_DIRECTION},
    {"KeyLengthNegative", 0, 0, true, -1, AesCipher::BAD_KEY_LENGTH},
    {"KeyLengthThree", 2, 1, true, 3, AesCipher::BAD_KEY_LENGTH},
    {"KeyLengthBeforeKey", 0, 0, false, 3, AesCipher::BAD_KEY_LENGTH},
    {"NullKey", 0, 0, false, 0, AesCipher::BAD_KEY},
    {"NullKeyCfb1", 2, 1, false, 2, AesCipher::BAD_KEY},
};

class AesSetupTest : public ::testing::TestWithParam<SetupCase> {
protected:
    int setUp(AesCipher& cipher) const
    {
        const SetupCase& c = GetParam();
        return cipher.setup(c.mode, c.direction, c.hasKey ? kZeroKey.data() : nullptr,
                            c.keyLengthCode);
    }
};

TEST_P(AesSetupTest, ReturnsItsStatusAndReadinessFollows)
{
    AesCipher cipher;
    EXPECT_EQ(setUp(cipher), GetParam().expected);
    EXPECT_EQ(cipher.isReady(), GetParam().expected == 0);
    if (GetParam().expected != 0) {
        uint8_t block[16] = {};
        EXPECT_EQ(cipher.encryptBlocks(block, 128, block), AesCipher::NOT_READY);
        EXPECT_EQ(cipher.decryptBlocks(block, 128, block), AesCipher::NOT_READY);
    }
}

// A failure after a good setup must not leave the old key usable.
TEST_P(AesSetupTest, FailureAfterSuccessLeavesCipherNotReady)
{
    AesCipher cipher = makeCipher(AesCipher::MODE_ECB, AesCipher::DIR_ENCRYPT, kZeroKey);
    ASSERT_TRUE(cipher.isReady());
    if (setUp(cipher) != 0) {
        EXPECT_FALSE(cipher.isReady());
        uint8_t block[16] = {};
        EXPECT_EQ(cipher.encryptBlocks(block, 128, block), AesCipher::NOT_READY);
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, AesSetupTest, ::testing::ValuesIn(kSetupCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AesStatusTest, NewCipherIsNotReady)
{
    AesCipher cipher;
    uint8_t block[16] = {};
    EXPECT_FALSE(cipher.isReady());
    EXPECT_EQ(cipher.encryptBlocks(block, 128, block), AesCipher::NOT_READY);
    EXPECT_EQ(cipher.decryptBlocks(block, 128, block), AesCipher::NOT_READY);
    // Readiness is checked before the input.
    EXPECT_EQ(cipher.encryptBlocks(nullptr, 0, block), AesCipher::NOT_READY);
}

TEST(AesStatusTest, WrongDirectionIsRejectedInEcbAndCbc)
{
    for (int mode : {AesCipher::MODE_ECB, AesCipher::MODE_CBC}) {
        const Bytes block(16, 0x11);
        Bytes out(16, 0x22);
        AesCipher enc = makeCipher(mode, AesCipher::DIR_ENCRYPT, kZeroKey);
        EXPECT_EQ(enc.decryptBlocks(block.data(), 128, out.data()), AesCipher::BAD_CIPHER_STATE);
        AesCipher dec = makeCipher(mode, AesCipher::DIR_DECRYPT, kZeroKey);
        EXPECT_EQ(dec.encryptBlocks(block.data(), 128, out.data()), AesCipher::BAD_CIPHER_STATE);
        // The direction is checked before the input.
        EXPECT_EQ(dec.encryptBlocks(nullptr, 128, out.data()), AesCipher::BAD_CIPHER_STATE);
        EXPECT_EQ(out, Bytes(16, 0x22)) << "mode " << mode;
    }
}

TEST(AesStatusTest, MissingInputOrNonPositiveLengthDoesNothing)
{
    for (int mode : {AesCipher::MODE_ECB, AesCipher::MODE_CBC, AesCipher::MODE_CFB1}) {
        for (int direction : {AesCipher::DIR_ENCRYPT, AesCipher::DIR_DECRYPT}) {
            AesCipher cipher = makeCipher(mode, direction, kZeroKey);
            const auto run = [&](const uint8_t* in, int64_t bits, uint8_t* out) {
                return direction == AesCipher::DIR_ENCRYPT ? cipher.encryptBlocks(in, bits, out)
                                                           : cipher.decryptBlocks(in, bits, out);
            };
            const Bytes in(16, 0x11);
            Bytes out(16, 0x22);
            EXPECT_EQ(run(nullptr, 128, out.data()), 0);
            EXPECT_EQ(run(in.data(), 0, out.data()), 0);
            EXPECT_EQ(run(in.data(), -128, out.data()), 0);
            EXPECT_EQ(run(in.data(), INT64_MIN, out.data()), 0);
            EXPECT_EQ(run(in.data(), 128, nullptr), 0);
            EXPECT_EQ(out, Bytes(16, 0x22)) << "mode " << mode << " direction " << direction;
        }
    }
}

} // namespace
