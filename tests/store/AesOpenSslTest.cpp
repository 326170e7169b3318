// Differential test: our cipher against OpenSSL's libcrypto on random keys,
// IVs and inputs, all key sizes and modes, both directions.
#include "store/AesCipher.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Variant {
    int mode;
    int keyLengthCode;
    int iterations;
};

const EVP_CIPHER* evpCipher(int mode, int keyLengthCode)
{
    static const EVP_CIPHER* const table[3][3] = {
        {EVP_aes_128_ecb(), EVP_aes_192_ecb(), EVP_aes_256_ecb()},
        {EVP_aes_128_cbc(), EVP_aes_192_cbc(), EVP_aes_256_cbc()},
        {EVP_aes_128_cfb1(), EVP_aes_192_cfb1(), EVP_aes_256_cfb1()},
    };
    return table[mode][keyLengthCode];
}

// Runs OpenSSL over `bits` bits of input (whole bytes for ECB and CBC) into a
// copy of `initialOutput`, so bits it does not write keep their old value.
Bytes evpRun(const Variant& v, bool encrypt, const Bytes& key, const Bytes& iv, const Bytes& input,
             int64_t bits, const Bytes& initialOutput)
{
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    Bytes out = initialOutput;
    int written = 0;
    EXPECT_EQ(EVP_CipherInit_ex(ctx.get(), evpCipher(v.mode, v.keyLengthCode), nullptr, key.data(),
                                iv.data(), encrypt ? 1 : 0),
              1);
    EXPECT_EQ(EVP_CIPHER_CTX_set_padding(ctx.get(), 0), 1);
    int length = static_cast<int>(input.size());
    if (v.mode == AesCipher::MODE_CFB1) {
        EVP_CIPHER_CTX_set_flags(ctx.get(), EVP_CIPH_FLAG_LENGTH_BITS);
        length = static_cast<int>(bits);
    }
    EXPECT_EQ(EVP_CipherUpdate(ctx.get(), out.data(), &written, input.data(), length), 1);
    int tail = 0;
    EXPECT_EQ(EVP_CipherFinal_ex(ctx.get(), out.data() + written, &tail), 1);
    EXPECT_EQ(tail, 0);
    return out;
}

class AesOpenSslTest : public ::testing::TestWithParam<Variant> {
protected:
    Bytes randomBytes(size_t n)
    {
        Bytes b(n);
        for (auto& x : b)
            x = static_cast<uint8_t>(rng_() & 0xff);
        return b;
    }

    std::mt19937 rng_{0x1eaf0000u + 16u * static_cast<unsigned>(GetParam().mode)
                      + static_cast<unsigned>(GetParam().keyLengthCode)};
};

TEST_P(AesOpenSslTest, MatchesLibcryptoInBothDirections)
{
    const Variant& v = GetParam();
    const bool cfb1 = v.mode == AesCipher::MODE_CFB1;
    std::uniform_int_distribution<int> blockCount(1, 32);
    std::uniform_int_distribution<int> bitCount(1, 300);

    for (int iteration = 0; iteration < v.iterations; ++iteration) {
        const Bytes key = randomBytes(16 + 8 * static_cast<size_t>(v.keyLengthCode));
        const Bytes iv = randomBytes(16);
        const int64_t bits = cfb1 ? bitCount(rng_) : 128 * int64_t{blockCount(rng_)};
        const Bytes input = randomBytes(static_cast<size_t>((bits + 7) / 8));
        const Bytes initialOutput = randomBytes(input.size());
        SCOPED_TRACE("iteration " + std::to_string(iteration) + ", " + std::to_string(bits)
                     + " bits");

        for (int direction : {AesCipher::DIR_ENCRYPT, AesCipher::DIR_DECRYPT}) {
            const bool encrypt = direction == AesCipher::DIR_ENCRYPT;
            const Bytes expected = evpRun(v, encrypt, key, iv, input, bits, initialOutput);

            AesCipher cipher;
            ASSERT_EQ(cipher.setup(v.mode, direction, key.data(), v.keyLengthCode, iv.data()), 0);
            const auto run = [&](const uint8_t* in, uint8_t* out) {
                return encrypt ? cipher.encryptBlocks(in, bits, out)
                               : cipher.decryptBlocks(in, bits, out);
            };

            Bytes out = initialOutput;
            EXPECT_EQ(run(input.data(), out.data()), bits);
            EXPECT_EQ(out, expected) << (encrypt ? "encrypt" : "decrypt");

            // In place, only whole bytes are comparable: the trailing bits of a
            // partial byte are the input's own.
            if (bits % 8 == 0) {
                Bytes buffer = input;
                EXPECT_EQ(run(buffer.data(), buffer.data()), bits);
                EXPECT_EQ(buffer, expected) << (encrypt ? "encrypt" : "decrypt") << " in place";
            }
        }
    }
}

const Variant kVariants[] = {
    {AesCipher::MODE_ECB, AesCipher::KEY_128, 1000},  {AesCipher::MODE_ECB, AesCipher::KEY_192, 1000},
    {AesCipher::MODE_ECB, AesCipher::KEY_256, 1000},  {AesCipher::MODE_CBC, AesCipher::KEY_128, 1000},
    {AesCipher::MODE_CBC, AesCipher::KEY_192, 1000},  {AesCipher::MODE_CBC, AesCipher::KEY_256, 1000},
    {AesCipher::MODE_CFB1, AesCipher::KEY_128, 200}, {AesCipher::MODE_CFB1, AesCipher::KEY_192, 200},
    {AesCipher::MODE_CFB1, AesCipher::KEY_256, 200},
};

std::string variantName(const ::testing::TestParamInfo<Variant>& info)
{
    static const char* const modes[] = {"Ecb", "Cbc", "Cfb1"};
    return std::string(modes[info.param.mode]) + std::to_string(128 + 64 * info.param.keyLengthCode);
}

INSTANTIATE_TEST_SUITE_P(AllModesAndKeySizes, AesOpenSslTest, ::testing::ValuesIn(kVariants),
                         variantName);

} // namespace
