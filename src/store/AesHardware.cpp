#include "store/AesHardware.h"

#ifdef LOCKLEAF_AES_HARDWARE

#include <immintrin.h>

// Only these functions use the AES instructions, so the rest of the program
// runs on processors without them.
#define LOCKLEAF_AESNI __attribute__((target("aes,sse2")))

namespace aeshw {

namespace {

// Eight independent blocks keep the AES unit busy: one instruction's latency
// is several times its issue interval.
constexpr size_t LANES = 8;

LOCKLEAF_AESNI inline __m128i load(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

LOCKLEAF_AESNI inline void store(uint8_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

LOCKLEAF_AESNI inline void loadKeys(const uint8_t* roundKeys, int rounds, __m128i* k)
{
    for (int i = 0; i <= rounds; ++i)
        k[i] = load(roundKeys + 16 * i);
}

template <size_t N>
LOCKLEAF_AESNI inline void encryptLanes(const __m128i* k, int rounds, __m128i* b)
{
    for (size_t j = 0; j < N; ++j)
        b[j] = _mm_xor_si128(b[j], k[0]);
    for (int r = 1; r < rounds; ++r)
        for (size_t j = 0; j < N; ++j)
            b[j] = _mm_aesenc_si128(b[j], k[r]);
    for (size_t j = 0; j < N; ++j)
        b[j] = _mm_aesenclast_si128(b[j], k[rounds]);
}

template <size_t N>
LOCKLEAF_AESNI inline void decryptLanes(const __m128i* k, int rounds, __m128i* b)
{
    for (size_t j = 0; j < N; ++j)
        b[j] = _mm_xor_si128(b[j], k[rounds]);
    for (int r = rounds - 1; r > 0; --r)
        for (size_t j = 0; j < N; ++j)
            b[j] = _mm_aesdec_si128(b[j], k[r]);
    for (size_t j = 0; j < N; ++j)
        b[j] = _mm_aesdeclast_si128(b[j], k[0]);
}

// Every load comes before any store, so output may equal input.
template <size_t N, bool Decrypt>
LOCKLEAF_AESNI inline void ecbLanes(const __m128i* k, int rounds, const uint8_t* in, uint8_t* out)
{
    __m128i b[N];
    for (size_t j = 0; j < N; ++j)
        b[j] = load(in + 16 * j);
    if constexpr (Decrypt)
        decryptLanes<N>(k, rounds, b);
    else
        encryptLanes<N>(k, rounds, b);
    for (size_t j = 0; j < N; ++j)
        store(out + 16 * j, b[j]);
}

template <bool Decrypt>
LOCKLEAF_AESNI void runEcb(const uint8_t* roundKeys, int rounds, const uint8_t* in, uint8_t* out,
                           size_t blocks)
{
    __m128i k[15];
    loadKeys(roundKeys, rounds, k);
    size_t i = 0;
    for (; i + LANES <= blocks; i += LANES)
        ecbLanes<LANES, Decrypt>(k, rounds, in + 16 * i, out + 16 * i);
    if (i + 4 <= blocks) {
        ecbLanes<4, Decrypt>(k, rounds, in + 16 * i, out + 16 * i);
        i += 4;
    }
    for (; i < blocks; ++i)
        ecbLanes<1, Decrypt>(k, rounds, in + 16 * i, out + 16 * i);
}

LOCKLEAF_AESNI void runCbcEncrypt(const uint8_t* roundKeys, int rounds, const uint8_t iv[16],
                                  const uint8_t* in, uint8_t* out, size_t blocks)
{
    __m128i k[15];
    loadKeys(roundKeys, rounds, k);
    __m128i chain = load(iv);
    for (size_t i = 0; i < blocks; ++i) {
        chain = _mm_xor_si128(load(in + 16 * i), chain);
        encryptLanes<1>(k, rounds, &chain);
        store(out + 16 * i, chain);
    }
}

template <size_t N>
LOCKLEAF_AESNI inline __m128i cbcDecryptLanes(const __m128i* k, int rounds, __m128i chain,
                                              const uint8_t* in, uint8_t* out)
{
    // The ciphertext is kept in registers: in place, the stores overwrite it.
    __m128i c[N];
    __m128i b[N];
    for (size_t j = 0; j < N; ++j)
        b[j] = c[j] = load(in + 16 * j);
    decryptLanes<N>(k, rounds, b);
    store(out, _mm_xor_si128(b[0], chain));
    for (size_t j = 1; j < N; ++j)
        store(out + 16 * j, _mm_xor_si128(b[j], c[j - 1]));
    return c[N - 1];
}

LOCKLEAF_AESNI void runCbcDecrypt(const uint8_t* roundKeys, int rounds, const uint8_t iv[16],
                                  const uint8_t* in, uint8_t* out, size_t blocks)
{
    __m128i k[15];
    loadKeys(roundKeys, rounds, k);
    __m128i chain = load(iv);
    size_t i = 0;
    for (; i + LANES <= blocks; i += LANES)
        chain = cbcDecryptLanes<LANES>(k, rounds, chain, in + 16 * i, out + 16 * i);
    if (i + 4 <= blocks) {
        chain = cbcDecryptLanes<4>(k, rounds, chain, in + 16 * i, out + 16 * i);
        i += 4;
    }
    for (; i < blocks; ++i)
        chain = cbcDecryptLanes<1>(k, rounds, chain, in + 16 * i, out + 16 * i);
}

} // namespace

bool supported()
{
    static const bool yes = __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse2");
    return yes;
}

void encryptEcb(const uint8_t* roundKeys, int rounds, const uint8_t* in, uint8_t* out, size_t blocks)
{
    runEcb<false>(roundKeys, rounds, in, out, blocks);
}

void decryptEcb(const uint8_t* roundKeys, int rounds, const uint8_t* in, uint8_t* out, size_t blocks)
{
    runEcb<true>(roundKeys, rounds, in, out, blocks);
}

void encryptCbc(const uint8_t* roundKeys, int rounds, const uint8_t iv[16], const uint8_t* in,
                uint8_t* out, size_t blocks)
{
    runCbcEncrypt(roundKeys, rounds, iv, in, out, blocks);
}

void decryptCbc(const uint8_t* roundKeys, int rounds, const uint8_t iv[16], const uint8_t* in,
                uint8_t* out, size_t blocks)
{
    runCbcDecrypt(roundKeys, rounds, iv, in, out, blocks);
}

} // namespace aeshw

#endif
