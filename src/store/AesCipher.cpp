#include "store/AesCipher.h"

#include "store/AesHardware.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

namespace {

using ByteTable = std::array<uint8_t, 256>;
using WordTable = std::array<uint32_t, 256>;

constexpr uint8_t xtime(uint8_t a)
{
    return static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0x00));
}

constexpr uint8_t gmul(uint8_t a, uint8_t b)
{
    uint8_t product = 0;
    while (b != 0) {
        if (b & 1)
            product ^= a;
        a = xtime(a);
        b >>= 1;
    }
    return product;
}

constexpr uint8_t rotl8(uint8_t x, int n)
{
    return static_cast<uint8_t>((x << n) | (x >> (8 - n)));
}

constexpr uint32_t makeWord(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3)
{
    return (uint32_t{b0} << 24) | (uint32_t{b1} << 16) | (uint32_t{b2} << 8) | uint32_t{b3};
}

struct SBoxes {
    ByteTable forward{};
    ByteTable inverse{};
};

constexpr SBoxes makeSBoxes()
{
    // 3 generates the multiplicative group of GF(2^8), so exp/log tables give
    // every inverse directly instead of searching for it.
    ByteTable exp{};
    ByteTable log{};
    uint8_t x = 1;
    for (int i = 0; i < 255; ++i) {
        exp[i] = x;
        log[x] = static_cast<uint8_t>(i);
        x = static_cast<uint8_t>(x ^ xtime(x));
    }

    SBoxes boxes;
    for (int a = 0; a < 256; ++a) {
        const uint8_t inv = a == 0 ? 0 : exp[(255 - log[a]) % 255];
        const uint8_t s = static_cast<uint8_t>(inv ^ rotl8(inv, 1) ^ rotl8(inv, 2) ^ rotl8(inv, 3)
                                               ^ rotl8(inv, 4) ^ 0x63);
        boxes.forward[a] = s;
        boxes.inverse[s] = static_cast<uint8_t>(a);
    }
    return boxes;
}

// te[k][x] is SubBytes followed by the MixColumns contribution of row k;
// td[k][x] likewise for InvSubBytes and InvMixColumns. Rows 1..3 are byte
// rotations of row 0.
struct RoundTables {
    std::array<WordTable, 4> te{};
    std::array<WordTable, 4> td{};
};

constexpr RoundTables makeRoundTables(const SBoxes& boxes)
{
    RoundTables tables;
    for (int x = 0; x < 256; ++x) {
        const uint8_t s = boxes.forward[x];
        const uint32_t te0 = makeWord(gmul(s, 2), s, s, gmul(s, 3));
        const uint8_t i = boxes.inverse[x];
        const uint32_t td0 = makeWord(gmul(i, 14), gmul(i, 9), gmul(i, 13), gmul(i, 11));
        for (int k = 0; k < 4; ++k) {
            tables.te[k][x] = std::rotr(te0, 8 * k);
            tables.td[k][x] = std::rotr(td0, 8 * k);
        }
    }
    return tables;
}

constexpr SBoxes kBoxes = makeSBoxes();
constexpr RoundTables kTables = makeRoundTables(kBoxes);

constexpr const ByteTable& kSbox = kBoxes.forward;
constexpr const ByteTable& kInvSbox = kBoxes.inverse;
constexpr const WordTable& Te0 = kTables.te[0];
constexpr const WordTable& Te1 = kTables.te[1];
constexpr const WordTable& Te2 = kTables.te[2];
constexpr const WordTable& Te3 = kTables.te[3];
constexpr const WordTable& Td0 = kTables.td[0];
constexpr const WordTable& Td1 = kTables.td[1];
constexpr const WordTable& Td2 = kTables.td[2];
constexpr const WordTable& Td3 = kTables.td[3];

static_assert(kSbox[0x00] == 0x63 && kSbox[0x53] == 0xed && kInvSbox[0x63] == 0x00);

inline uint32_t load32(const uint8_t* p)
{
    return makeWord(p[0], p[1], p[2], p[3]);
}

inline void store32(uint8_t* p, uint32_t w)
{
    p[0] = static_cast<uint8_t>(w >> 24);
    p[1] = static_cast<uint8_t>(w >> 16);
    p[2] = static_cast<uint8_t>(w >> 8);
    p[3] = static_cast<uint8_t>(w);
}

inline uint8_t byte0(uint32_t w) { return static_cast<uint8_t>(w >> 24); }
inline uint8_t byte1(uint32_t w) { return static_cast<uint8_t>(w >> 16); }
inline uint8_t byte2(uint32_t w) { return static_cast<uint8_t>(w >> 8); }
inline uint8_t byte3(uint32_t w) { return static_cast<uint8_t>(w); }

uint32_t subWord(uint32_t w)
{
    return makeWord(kSbox[byte0(w)], kSbox[byte1(w)], kSbox[byte2(w)], kSbox[byte3(w)]);
}

// The Td tables apply InvSubBytes first, so feeding them S-box outputs leaves
// just InvMixColumns.
uint32_t invMixColumn(uint32_t w)
{
    return Td0[kSbox[byte0(w)]] ^ Td1[kSbox[byte1(w)]] ^ Td2[kSbox[byte2(w)]]
           ^ Td3[kSbox[byte3(w)]];
}

inline void xorBlock(uint8_t* dst, const uint8_t* a, const uint8_t* b)
{
    for (int i = 0; i < AesCipher::BLOCK_SIZE; ++i)
        dst[i] = static_cast<uint8_t>(a[i] ^ b[i]);
}

std::atomic<bool> hardwareAllowedFlag{true};

} // namespace

AesCipher::AesCipher() = default;

bool AesCipher::hardwareAvailable()
{
#ifdef LOCKLEAF_AES_HARDWARE
    return aeshw::supported();
#else
    return false;
#endif
}

void AesCipher::setHardwareAllowed(bool allowed)
{
    hardwareAllowedFlag.store(allowed);
}

bool AesCipher::hardwareAllowed()
{
    return hardwareAllowedFlag.load();
}

int AesCipher::setup(int mode, int direction, const uint8_t* key, int keyLengthCode,
                     const uint8_t* iv)
{
    state_ = 1;
    // A failed setup must not leave an earlier key schedule behind.
    roundKeys_.fill(0);
    hardwareKeys_.fill(0);
    hardware_ = false;
    rounds_ = 0;

    if (mode < MODE_ECB || mode > MODE_CFB1)
        return BAD_MODE;
    if (direction != DIR_ENCRYPT && direction != DIR_DECRYPT)
        return BAD_DIRECTION;
    if (keyLengthCode < KEY_128 || keyLengthCode > KEY_256)
        return BAD_KEY_LENGTH;
    if (key == nullptr)
        return BAD_KEY;

    mode_ = mode;
    direction_ = direction;
    if (iv != nullptr)
        std::memcpy(iv_.data(), iv, iv_.size());
    else
        iv_.fill(0);

    const int keyWords = 4 + 2 * keyLengthCode;
    rounds_ = keyWords + 6;
    expandKey(key, keyWords);

    // CFB1 runs the forward cipher in both directions.
    if (direction_ == DIR_DECRYPT && mode_ != MODE_CFB1) {
        for (int i = 4; i < 4 * rounds_; ++i)
            roundKeys_[i] = invMixColumn(roundKeys_[i]);
    }

    // The instructions take the same schedule, equivalent inverse cipher
    // included; only the word order in memory differs.
    hardware_ = mode_ != MODE_CFB1 && hardwareAllowed() && hardwareAvailable();
    if (hardware_) {
        for (int i = 0; i < 4 * (rounds_ + 1); ++i)
            store32(hardwareKeys_.data() + 4 * i, roundKeys_[i]);
    }

    state_ = 0;
    return 0;
}

void AesCipher::expandKey(const uint8_t* key, int keyWords)
{
    for (int i = 0; i < keyWords; ++i)
        roundKeys_[i] = load32(key + 4 * i);

    uint8_t rcon = 0x01;
    const int total = 4 * (rounds_ + 1);
    for (int i = keyWords; i < total; ++i) {
        uint32_t temp = roundKeys_[i - 1];
        if (i % keyWords == 0) {
            temp = subWord(std::rotl(temp, 8)) ^ (uint32_t{rcon} << 24);
            rcon = xtime(rcon);
        } else if (keyWords > 6 && i % keyWords == 4) {
            temp = subWord(temp);
        }
        roundKeys_[i] = roundKeys_[i - keyWords] ^ temp;
    }
}

void AesCipher::encryptBlock(const uint8_t in[16], uint8_t out[16]) const
{
    const uint32_t* rk = roundKeys_.data();
    uint32_t s0 = load32(in) ^ rk[0];
    uint32_t s1 = load32(in + 4) ^ rk[1];
    uint32_t s2 = load32(in + 8) ^ rk[2];
    uint32_t s3 = load32(in + 12) ^ rk[3];

    for (int round = 1; round < rounds_; ++round) {
        rk += 4;
        const uint32_t t0 = Te0[byte0(s0)] ^ Te1[byte1(s1)] ^ Te2[byte2(s2)] ^ Te3[byte3(s3)] ^ rk[0];
        const uint32_t t1 = Te0[byte0(s1)] ^ Te1[byte1(s2)] ^ Te2[byte2(s3)] ^ Te3[byte3(s0)] ^ rk[1];
        const uint32_t t2 = Te0[byte0(s2)] ^ Te1[byte1(s3)] ^ Te2[byte2(s0)] ^ Te3[byte3(s1)] ^ rk[2];
        const uint32_t t3 = Te0[byte0(s3)] ^ Te1[byte1(s0)] ^ Te2[byte2(s1)] ^ Te3[byte3(s2)] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }

    // The last round has no MixColumns.
    rk += 4;
    const auto finalWord = [](uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t key) {
        return makeWord(kSbox[byte0(a)], kSbox[byte1(b)], kSbox[byte2(c)], kSbox[byte3(d)]) ^ key;
    };
    store32(out, finalWord(s0, s1, s2, s3, rk[0]));
    store32(out + 4, finalWord(s1, s2, s3, s0, rk[1]));
    store32(out + 8, finalWord(s2, s3, s0, s1, rk[2]));
    store32(out + 12, finalWord(s3, s0, s1, s2, rk[3]));
}

void AesCipher::decryptBlock(const uint8_t in[16], uint8_t out[16]) const
{
    // The schedule is stored in round order, so decryption walks it backwards.
    const uint32_t* rk = roundKeys_.data() + 4 * rounds_;
    uint32_t s0 = load32(in) ^ rk[0];
    uint32_t s1 = load32(in + 4) ^ rk[1];
    uint32_t s2 = load32(in + 8) ^ rk[2];
    uint32_t s3 = load32(in + 12) ^ rk[3];

    for (int round = 1; round < rounds_; ++round) {
        rk -= 4;
        const uint32_t t0 = Td0[byte0(s0)] ^ Td1[byte1(s3)] ^ Td2[byte2(s2)] ^ Td3[byte3(s1)] ^ rk[0];
        const uint32_t t1 = Td0[byte0(s1)] ^ Td1[byte1(s0)] ^ Td2[byte2(s3)] ^ Td3[byte3(s2)] ^ rk[1];
        const uint32_t t2 = Td0[byte0(s2)] ^ Td1[byte1(s1)] ^ Td2[byte2(s0)] ^ Td3[byte3(s3)] ^ rk[2];
        const uint32_t t3 = Td0[byte0(s3)] ^ Td1[byte1(s2)] ^ Td2[byte2(s1)] ^ Td3[byte3(s0)] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }

    rk -= 4;
    const auto finalWord = [](uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t key) {
        return makeWord(kInvSbox[byte0(a)], kInvSbox[byte1(b)], kInvSbox[byte2(c)],
                        kInvSbox[byte3(d)])
               ^ key;
    };
    store32(out, finalWord(s0, s3, s2, s1, rk[0]));
    store32(out + 4, finalWord(s1, s0, s3, s2, rk[1]));
    store32(out + 8, finalWord(s2, s1, s0, s3, rk[2]));
    store32(out + 12, finalWord(s3, s2, s1, s0, rk[3]));
}

std::optional<int64_t> AesCipher::refusal(const uint8_t* input, int64_t inputBits,
                                          const uint8_t* output, bool decrypting) const
{
    if (state_ != 0)
        return NOT_READY;
    const int wrongDirection = decrypting ? DIR_ENCRYPT : DIR_DECRYPT;
    if (direction_ == wrongDirection && mode_ != MODE_CFB1)
        return BAD_CIPHER_STATE;
    if (input == nullptr || output == nullptr || inputBits <= 0)
        return 0;
    return std::nullopt;
}

void AesCipher::runEcb(const uint8_t* input, int64_t blocks, uint8_t* output, bool decrypting) const
{
#ifdef LOCKLEAF_AES_HARDWARE
    if (hardware_) {
        const auto run = decrypting ? aeshw::decryptEcb : aeshw::encryptEcb;
        run(hardwareKeys_.data(), rounds_, input, output, static_cast<size_t>(blocks));
        return;
    }
#endif
    for (int64_t i = 0; i < blocks; ++i) {
        if (decrypting)
            decryptBlock(input + 16 * i, output + 16 * i);
        else
            encryptBlock(input + 16 * i, output + 16 * i);
    }
}

int64_t AesCipher::encryptBlocks(const uint8_t* input, int64_t inputBits, uint8_t* output)
{
    if (const auto refused = refusal(input, inputBits, output, false))
        return *refused;

    if (mode_ == MODE_CFB1)
        return runCfb1(input, inputBits, output, false);

    const int64_t blocks = inputBits / 128;
    if (mode_ == MODE_ECB) {
        runEcb(input, blocks, output, false);
        return 128 * blocks;
    }

    const int64_t toProcess = blocks > 0 ? blocks : 1;
#ifdef LOCKLEAF_AES_HARDWARE
    if (hardware_) {
        aeshw::encryptCbc(hardwareKeys_.data(), rounds_, iv_.data(), input, output,
                          static_cast<size_t>(toProcess));
        return 128 * blocks;
    }
#endif
    const uint8_t* chain = iv_.data();
    uint8_t buffer[BLOCK_SIZE];
    for (int64_t i = 0; i < toProcess; ++i) {
        xorBlock(buffer, input + 16 * i, chain);
        encryptBlock(buffer, output + 16 * i);
        chain = output + 16 * i;
    }
    return 128 * blocks;
}

int64_t AesCipher::decryptBlocks(const uint8_t* input, int64_t inputBits, uint8_t* output)
{
    if (const auto refused = refusal(input, inputBits, output, true))
        return *refused;

    if (mode_ == MODE_CFB1)
        return runCfb1(input, inputBits, output, true);

    const int64_t blocks = inputBits / 128;
    if (mode_ == MODE_ECB) {
        runEcb(input, blocks, output, true);
        return 128 * blocks;
    }

#ifdef LOCKLEAF_AES_HARDWARE
    if (hardware_) {
        aeshw::decryptCbc(hardwareKeys_.data(), rounds_, iv_.data(), input, output,
                          static_cast<size_t>(blocks));
        return 128 * blocks;
    }
#endif
    // Decrypting in place overwrites the ciphertext the next block chains
    // from, so keep a copy of it.
    uint8_t previous[BLOCK_SIZE];
    uint8_t current[BLOCK_SIZE];
    std::memcpy(previous, iv_.data(), BLOCK_SIZE);
    for (int64_t i = 0; i < blocks; ++i) {
        std::memcpy(current, input + 16 * i, BLOCK_SIZE);
        decryptBlock(current, output + 16 * i);
        xorBlock(output + 16 * i, output + 16 * i, previous);
        std::memcpy(previous, current, BLOCK_SIZE);
    }
    return 128 * blocks;
}

// A zero vector changes nothing, and the file envelope always has one.
bool AesCipher::chainsFromIv() const
{
    return mode_ == MODE_CBC && std::any_of(iv_.begin(), iv_.end(), [](uint8_t b) { return b != 0; });
}

int64_t AesCipher::encryptBlocksUnchained(const uint8_t* input, int64_t inputBits, uint8_t* output)
{
    if (const auto refused = refusal(input, inputBits, output, false))
        return *refused;
    if (mode_ == MODE_CFB1)
        return BAD_CIPHER_STATE;

    const int64_t blocks = inputBits / 128;
    if (!chainsFromIv()) {
        runEcb(input, blocks, output, false);
        return 128 * blocks;
    }
    // Writing input ^ iv to output first keeps this correct in place.
    for (int64_t i = 0; i < blocks; ++i)
        xorBlock(output + 16 * i, input + 16 * i, iv_.data());
    runEcb(output, blocks, output, false);
    return 128 * blocks;
}

int64_t AesCipher::decryptBlocksUnchained(const uint8_t* input, int64_t inputBits, uint8_t* output)
{
    if (const auto refused = refusal(input, inputBits, output, true))
        return *refused;
    if (mode_ == MODE_CFB1)
        return BAD_CIPHER_STATE;

    const int64_t blocks = inputBits / 128;
    runEcb(input, blocks, output, true);
    if (chainsFromIv()) {
        for (int64_t i = 0; i < blocks; ++i)
            xorBlock(output + 16 * i, output + 16 * i, iv_.data());
    }
    return 128 * blocks;
}

int64_t AesCipher::runCfb1(const uint8_t* input, int64_t inputBits, uint8_t* output,
                           bool decrypting) const
{
    std::array<uint8_t, BLOCK_SIZE> shiftRegister = iv_;
    uint8_t keystream[BLOCK_SIZE];
    for (int64_t n = 0; n < inputBits; ++n) {
        encryptBlock(shiftRegister.data(), keystream);

        const int64_t byteIndex = n / 8;
        const int shift = 7 - static_cast<int>(n % 8);
        const uint8_t inBit = (input[byteIndex] >> shift) & 1;
        const uint8_t outBit = inBit ^ (keystream[0] >> 7);
        // Only the bit being processed is written, so a length that ends
        // inside a byte leaves the rest of that output byte alone.
        output[byteIndex] = static_cast<uint8_t>((output[byteIndex] & ~(1u << shift)) | (outBit << shift));

        const uint8_t feedback = decrypting ? inBit : outBit;
        for (int i = 0; i < BLOCK_SIZE - 1; ++i)
            shiftRegister[i] = static_cast<uint8_t>((shiftRegister[i] << 1) | (shiftRegister[i + 1] >> 7));
        shiftRegister[BLOCK_SIZE - 1] = static_cast<uint8_t>((shiftRegister[BLOCK_SIZE - 1] << 1) | feedback);
    }
    return inputBits;
}
