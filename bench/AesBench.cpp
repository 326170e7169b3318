// Cipher throughput over a 16 MiB buffer in place: the table path, the AES
// instruction path and, for reference, OpenSSL's libcrypto.
#include "store/AesCipher.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t BUFFER_SIZE = 16u << 20;

std::vector<uint8_t> randomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> b(n);
    for (auto& x : b)
        x = static_cast<uint8_t>(rng());
    return b;
}

void ours(benchmark::State& state, bool hardware, int mode, int direction, int keyLengthCode)
{
    if (hardware && !AesCipher::hardwareAvailable()) {
        state.SkipWithError("no AES instructions on this processor");
        return;
    }
    std::vector<uint8_t> buffer = randomBytes(BUFFER_SIZE, 1);
    const std::vector<uint8_t> key = randomBytes(32, 2);
    AesCipher cipher;
    AesCipher::setHardwareAllowed(hardware);
    const int status = cipher.setup(mode, direction, key.data(), keyLengthCode);
    AesCipher::setHardwareAllowed(true);
    if (status != 0 || cipher.usesHardware() != hardware) {
        state.SkipWithError("setup failed");
        return;
    }
    const auto bits = static_cast<int64_t>(buffer.size()) * 8;
    for (auto _ : state) {
        const int64_t done = direction == AesCipher::DIR_ENCRYPT
                                 ? cipher.encryptBlocks(buffer.data(), bits, buffer.data())
                                 : cipher.decryptBlocks(buffer.data(), bits, buffer.data());
        benchmark::DoNotOptimize(done);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}

void libcrypto(benchmark::State& state, int direction)
{
    std::vector<uint8_t> buffer = randomBytes(BUFFER_SIZE, 1);
    const std::vector<uint8_t> key = randomBytes(32, 2);
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    EVP_CipherInit_ex(ctx.get(), EVP_aes_256_ecb(), nullptr, key.data(), nullptr,
                      direction == AesCipher::DIR_ENCRYPT ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    for (auto _ : state) {
        int written = 0;
        EVP_CipherUpdate(ctx.get(), buffer.data(), &written, buffer.data(), static_cast<int>(buffer.size()));
        benchmark::DoNotOptimize(written);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}

const bool registered = [] {
    const char* const directions[] = {"encrypt", "decrypt"};
    for (int direction : {AesCipher::DIR_ENCRYPT, AesCipher::DIR_DECRYPT}) {
        for (bool hardware : {false, true}) {
            const std::string path = hardware ? "hardware" : "table";
            for (int keyLengthCode : {AesCipher::KEY_128, AesCipher::KEY_192, AesCipher::KEY_256}) {
                const std::string name = "AesEcb/" + path + "/" + directions[direction] + "/key"
                                         + std::to_string(128 + 64 * keyLengthCode);
                benchmark::RegisterBenchmark(name.c_str(), ours, hardware, AesCipher::MODE_ECB, direction,
                                             keyLengthCode)
                    ->Unit(benchmark::kMillisecond);
            }
            const std::string cbc = "AesCbc/" + path + "/" + directions[direction] + "/key256";
            benchmark::RegisterBenchmark(cbc.c_str(), ours, hardware, AesCipher::MODE_CBC, direction,
                                         AesCipher::KEY_256)
                ->Unit(benchmark::kMillisecond);
        }
        const std::string reference = std::string("AesEcb/libcrypto/") + directions[direction] + "/key256";
        benchmark::RegisterBenchmark(reference.c_str(), libcrypto, direction)->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
