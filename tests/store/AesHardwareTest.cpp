// The AES-instruction path against the table path and against OpenSSL's
// libcrypto: every key size, both directions, ECB and CBC, every block count
// up to five times the pipeline width, in place and out of place.
#include "TestSupport.h"

#include "store/AesCipher.h"
#include "store/NotesMgr.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace testing_support;

namespace {

enum class Path { table, hardware };

const char* pathName(Path p)
{
    return p == Path::table ? "Table" : "Hardware";
}

// Sets the process-wide choice for the ciphers set up in its lifetime.
class HardwareAllowed {
public:
    explicit HardwareAllowed(bool allowed) : previous_(AesCipher::hardwareAllowed())
    {
        AesCipher::setHardwareAllowed(allowed);
    }
    ~HardwareAllowed() { AesCipher::setHardwareAllowed(previous_); }
    HardwareAllowed(const HardwareAllowed&) = delete;
    HardwareAllowed& operator=(const HardwareAllowed&) = delete;

private:
    bool previous_;
};

AesCipher cipherOn(Path path, int mode, int direction, const Bytes& key, int keyLengthCode,
                   const uint8_t* iv)
{
    HardwareAllowed allowed(path == Path::hardware);
    AesCipher cipher;
    EXPECT_EQ(cipher.setup(mode, direction, key.data(), keyLengthCode, iv), 0);
    EXPECT_EQ(cipher.usesHardware(), path == Path::hardware);
    return cipher;
}

// OpenSSL over whole blocks, no padding; iv is ignored in ECB.
Bytes evp(int mode, int keyLengthCode, bool encrypt, const Bytes& key, const uint8_t* iv,
          const uint8_t* input, size_t size)
{
    static const EVP_CIPHER* const table[2][3] = {
        {EVP_aes_128_ecb(), EVP_aes_192_ecb(), EVP_aes_256_ecb()},
        {EVP_aes_128_cbc(), EVP_aes_192_cbc(), EVP_aes_256_cbc()},
    };
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    Bytes out(size);
    int written = 0;
    int tail = 0;
    EXPECT_EQ(EVP_CipherInit_ex(ctx.get(), table[mode][keyLengthCode], nullptr, key.data(), iv,
                                encrypt ? 1 : 0),
              1);
    EXPECT_EQ(EVP_CIPHER_CTX_set_padding(ctx.get(), 0), 1);
    EXPECT_EQ(EVP_CipherUpdate(ctx.get(), out.data(), &written, input, static_cast<int>(size)), 1);
    EXPECT_EQ(EVP_CipherFinal_ex(ctx.get(), out.data() + written, &tail), 1);
    EXPECT_EQ(static_cast<size_t>(written + tail), size);
    return out;
}

using BlockCall = int64_t (AesCipher::*)(const uint8_t*, int64_t, uint8_t*);

struct Outcome {
    int64_t result;
    Bytes bytes;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o)
{
    return os << "result " << o.result << ", bytes " << toHex(o.bytes);
}

// Out of place the output starts as 0xA5 filler; in place it is the input.
Outcome runOn(AesCipher& cipher, BlockCall run, const Bytes& input, int64_t bits, bool inPlace)
{
    Bytes out = inPlace ? input : Bytes(input.size(), 0xA5);
    const int64_t result = (cipher.*run)(inPlace ? out.data() : input.data(), bits, out.data());
    return {result, out};
}

// What a correct call gives: the first `size` bytes as the oracle says, the
// rest of the output as it was.
Outcome expectedOutcome(const Bytes& oracle, const Bytes& input, int64_t result, bool inPlace)
{
    Bytes out = inPlace ? input : Bytes(input.size(), 0xA5);
    std::copy(oracle.begin(), oracle.end(), out.begin());
    return {result, out};
}

class Random {
public:
    explicit Random(uint32_t seed) : rng_(seed) {}
    Bytes bytes(size_t n)
    {
        Bytes b(n);
        for (auto& x : b)
            x = static_cast<uint8_t>(rng_());
        return b;
    }

private:
    std::mt19937 rng_;
};

using Variant = std::tuple<Path, int, int>;  // path, mode, key length code

class AesPathTest : public ::testing::TestWithParam<Variant> {
protected:
    void SetUp() override
    {
        if (path() == Path::hardware && !AesCipher::hardwareAvailable())
            GTEST_SKIP() << "no AES instructions on this processor";
    }
    Path path() const { return std::get<0>(GetParam()); }
    int mode() const { return std::get<1>(GetParam()); }
    int keyLengthCode() const { return std::get<2>(GetParam()); }
    Bytes key(Random& random) const { return random.bytes(16 + 8 * static_cast<size_t>(keyLengthCode())); }
};

constexpr int MAX_BLOCKS = 40;
constexpr int64_t EXTRA_BITS[] = {0, 1, 64, 127};

TEST_P(AesPathTest, MatchesLibcryptoAndTheOtherPath)
{
    Random random(0x1eaf5000u + 16u * static_cast<uint32_t>(mode()) + static_cast<uint32_t>(keyLengthCode()));
    const Path other = path() == Path::table ? Path::hardware : Path::table;
    const bool compareOther = AesCipher::hardwareAvailable();

    for (int iteration = 0; iteration < 800; ++iteration) {
        const int blocks = 1 + iteration % MAX_BLOCKS;
        const int64_t bits = 128 * int64_t{blocks} + EXTRA_BITS[iteration / MAX_BLOCKS % 4];
        const Bytes k = key(random);
        const Bytes iv = random.bytes(16);
        // One block more than the length covers, to see that it stays alone.
        const Bytes input = random.bytes(16 * static_cast<size_t>(blocks + 1));

        for (int direction : {AesCipher::DIR_ENCRYPT, AesCipher::DIR_DECRYPT}) {
            const bool encrypt = direction == AesCipher::DIR_ENCRYPT;
            const BlockCall run = encrypt ? &AesCipher::encryptBlocks : &AesCipher::decryptBlocks;
            const Bytes oracle = evp(mode(), keyLengthCode(), encrypt, k, iv.data(), input.data(),
                                     16 * static_cast<size_t>(blocks));
            AesCipher cipher = cipherOn(path(), mode(), direction, k, keyLengthCode(), iv.data());
            AesCipher otherCipher = compareOther
                                        ? cipherOn(other, mode(), direction, k, keyLengthCode(), iv.data())
                                        : AesCipher();

            for (bool inPlace : {false, true}) {
                const Outcome got = runOn(cipher, run, input, bits, inPlace);
                ASSERT_EQ(got, expectedOutcome(oracle, input, 128 * int64_t{blocks}, inPlace))
                    << (encrypt ? "encrypt " : "decrypt ") << bits << " bits, in place " << inPlace
                    << ", iteration " << iteration;
                if (compareOther) {
                    ASSERT_EQ(got, runOn(otherCipher, run, input, bits, inPlace));
                }
            }
        }
    }
}

TEST_P(AesPathTest, LengthsBelowOneBlock)
{
    // CBC encryption still processes the first block: 16 bytes read, 16
    // written, result 0. Everything else writes nothing.
    Random random(0x5407u + static_cast<uint32_t>(keyLengthCode()));
    for (int64_t bits : {1, 8, 64, 127}) {
        const Bytes k = key(random);
        const Bytes iv = random.bytes(16);
        const Bytes input = random.bytes(32);
        for (int direction : {AesCipher::DIR_ENCRYPT, AesCipher::DIR_DECRYPT}) {
            const bool encrypt = direction == AesCipher::DIR_ENCRYPT;
            const BlockCall run = encrypt ? &AesCipher::encryptBlocks : &AesCipher::decryptBlocks;
            const bool firstBlock = encrypt && mode() == AesCipher::MODE_CBC;
            const Bytes oracle = firstBlock ? evp(mode(), keyLengthCode(), true, k, iv.data(), input.data(), 16)
                                            : Bytes{};
            AesCipher cipher = cipherOn(path(), mode(), direction, k, keyLengthCode(), iv.data());
            for (bool inPlace : {false, true}) {
                EXPECT_EQ(runOn(cipher, run, input, bits, inPlace), expectedOutcome(oracle, input, 0, inPlace))
                    << (encrypt ? "encrypt " : "decrypt ") << bits << " bits, in place " << inPlace;
            }
        }
    }
}

TEST_P(AesPathTest, UnchainedIsOneCallPerBlock)
{
    // With the default zero vector that is ECB, the file envelope's cipher.
    Random random(0xb10c0u + 16u * static_cast<uint32_t>(mode()) + static_cast<uint32_t>(keyLengthCode()));
    for (int iteration = 0; iteration < 160; ++iteration) {
        const int blocks = 1 + iteration % MAX_BLOCKS;
        const int64_t bits = 128 * int64_t{blocks} + EXTRA_BITS[iteration / MAX_BLOCKS % 4];
        const Bytes k = key(random);
        const bool zeroIv = iteration % 2 == 0;
        const Bytes iv = zeroIv ? Bytes(16, 0) : random.bytes(16);
        const Bytes input = random.bytes(16 * static_cast<size_t>(blocks + 1));

        for (int direction : {AesCipher::DIR_ENCRYPT, AesCipher::DIR_DECRYPT}) {
            const bool encrypt = direction == AesCipher::DIR_ENCRYPT;
            AesCipher cipher = cipherOn(path(), mode(), direction, k, keyLengthCode(), iv.data());
            Bytes oracle(16 * static_cast<size_t>(blocks));
            for (int b = 0; b < blocks; ++b) {
                const Bytes block = evp(mode(), keyLengthCode(), encrypt, k, iv.data(), input.data() + 16 * b, 16);
                std::copy(block.begin(), block.end(), oracle.begin() + 16 * b);
            }
            if (zeroIv) {
                ASSERT_EQ(oracle, evp(AesCipher::MODE_ECB, keyLengthCode(), encrypt, k, nullptr,
                                      input.data(), oracle.size()));
            }
            const BlockCall run = encrypt ? &AesCipher::encryptBlocksUnchained : &AesCipher::decryptBlocksUnchained;
            for (bool inPlace : {false, true}) {
                ASSERT_EQ(runOn(cipher, run, input, bits, inPlace),
                          expectedOutcome(oracle, input, 128 * int64_t{blocks}, inPlace))
                    << (encrypt ? "encrypt " : "decrypt ") << bits << " bits, in place " << inPlace
                    << ", iteration " << iteration;
                EXPECT_EQ(runOn(cipher, run, input, 127, inPlace), expectedOutcome({}, input, 0, inPlace));
            }
        }
    }
}

std::string variantName(const ::testing::TestParamInfo<Variant>& info)
{
    const auto [path, mode, keyLengthCode] = info.param;
    return std::string(pathName(path)) + (mode == AesCipher::MODE_ECB ? "Ecb" : "Cbc")
           + std::to_string(128 + 64 * keyLengthCode);
}

INSTANTIATE_TEST_SUITE_P(
    PathsModesKeySizes, AesPathTest,
    ::testing::Combine(::testing::Values(Path::table, Path::hardware),
                       ::testing::Values(AesCipher::MODE_ECB, AesCipher::MODE_CBC),
                       ::testing::Values(AesCipher::KEY_128, AesCipher::KEY_192, AesCipher::KEY_256)),
    variantName);

TEST(AesPathChoice, FollowsTheSwitchAtSetup)
{
    const Bytes key(32, 0x42);
    const auto setUp = [&](int mode, bool allowed) {
        HardwareAllowed choice(allowed);
        AesCipher cipher;
        EXPECT_EQ(cipher.setup(mode, AesCipher::DIR_DECRYPT, key.data(), AesCipher::KEY_256), 0);
        return cipher;
    };
    const bool available = AesCipher::hardwareAvailable();
    struct Case {
        int mode;
        bool allowed;
        bool hardware;
    };
    const Case cases[] = {
        {AesCipher::MODE_ECB, true, available},  {AesCipher::MODE_CBC, true, available},
        {AesCipher::MODE_CFB1, true, false},     {AesCipher::MODE_ECB, false, false},
        {AesCipher::MODE_CBC, false, false},     {AesCipher::MODE_CFB1, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(setUp(c.mode, c.allowed).usesHardware(), c.hardware) << c.mode << " " << c.allowed;

    // A cipher keeps the path it was set up with; a failed setup has none.
    AesCipher cipher = setUp(AesCipher::MODE_ECB, true);
    {
        HardwareAllowed off(false);
        EXPECT_EQ(cipher.usesHardware(), available);
        EXPECT_EQ(cipher.setup(AesCipher::MODE_ECB, AesCipher::DIR_ENCRYPT, key.data(), 7),
                  AesCipher::BAD_KEY_LENGTH);
        EXPECT_FALSE(cipher.usesHardware());
    }
}

TEST(AesUnchainedStatus, RefusesWhatBlockCallsRefuseAndCfb1)
{
    const Bytes key(16, 7);
    Bytes buffer(32, 1);
    AesCipher notReady;
    AesCipher encryptor;
    AesCipher decryptor;
    AesCipher cfb1;
    ASSERT_EQ(encryptor.setup(AesCipher::MODE_CBC, AesCipher::DIR_ENCRYPT, key.data(), AesCipher::KEY_128), 0);
    ASSERT_EQ(decryptor.setup(AesCipher::MODE_ECB, AesCipher::DIR_DECRYPT, key.data(), AesCipher::KEY_128), 0);
    ASSERT_EQ(cfb1.setup(AesCipher::MODE_CFB1, AesCipher::DIR_ENCRYPT, key.data(), AesCipher::KEY_128), 0);
    uint8_t* p = buffer.data();
    struct Case {
        int64_t got;
        int64_t expected;
    };
    const Case cases[] = {
        {notReady.encryptBlocksUnchained(p, 256, p), AesCipher::NOT_READY},
        {notReady.decryptBlocksUnchained(p, 256, p), AesCipher::NOT_READY},
        {encryptor.decryptBlocksUnchained(p, 256, p), AesCipher::BAD_CIPHER_STATE},
        {decryptor.encryptBlocksUnchained(p, 256, p), AesCipher::BAD_CIPHER_STATE},
        {cfb1.encryptBlocksUnchained(p, 256, p), AesCipher::BAD_CIPHER_STATE},
        {cfb1.decryptBlocksUnchained(p, 256, p), AesCipher::BAD_CIPHER_STATE},
        {encryptor.encryptBlocksUnchained(nullptr, 256, p), 0},
        {encryptor.encryptBlocksUnchained(p, 256, nullptr), 0},
        {decryptor.decryptBlocksUnchained(p, 0, p), 0},
        {decryptor.decryptBlocksUnchained(p, -128, p), 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
    EXPECT_EQ(buffer, Bytes(32, 1));
}

TEST(AesEnvelopePaths, BothPathsGiveTheSameFileBytes)
{
    if (!AesCipher::hardwareAvailable())
        GTEST_SKIP() << "no AES instructions on this processor";
    Random random(0xe4e1u);
    NotesMgr mgr;
    mgr.setPassword(u"correct horse");
    for (size_t size = 0; size <= 16 * MAX_BLOCKS + 15; ++size) {
        const Bytes image = random.bytes(size);
        Bytes encrypted[2] = {image, image};
        Bytes decrypted[2] = {image, image};
        for (Path path : {Path::table, Path::hardware}) {
            HardwareAllowed allowed(path == Path::hardware);
            mgr.encryptImage(encrypted[static_cast<int>(path)]);
            mgr.decryptImage(decrypted[static_cast<int>(path)]);
        }
        ASSERT_EQ(encrypted[0], encrypted[1]) << size << " bytes";
        ASSERT_EQ(decrypted[0], decrypted[1]) << size << " bytes";
    }
}

} // namespace
