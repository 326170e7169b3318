#pragma once

#include <array>
#include <cstdint>
#include <optional>

// AES block cipher (128-bit blocks; 16-, 24- or 32-byte keys) in ECB, CBC and
// CFB1 modes. Errors are reported by integer status, never by exception.
// One object serves one direction: set it up, then call encryptBlocks or
// decryptBlocks as often as needed. The initial vector is never changed by
// the block operations, so every call of a CBC or CFB1 cipher starts afresh
// from it.
//
// CFB1 uses only the forward cipher, so in that mode the direction given to
// setup is recorded but not enforced: the encryption key schedule is always
// built and both encryptBlocks and decryptBlocks work on the same object.
//
// ECB and CBC run on the processor's AES instructions where it has them
// (x86 only) and on lookup tables otherwise; both give the same bytes.
class AesCipher {
public:
    enum Mode { MODE_ECB = 0, MODE_CBC = 1, MODE_CFB1 = 2 };
    enum Direction { DIR_ENCRYPT = 0, DIR_DECRYPT = 1 };
    enum KeyLength { KEY_128 = 0, KEY_192 = 1, KEY_256 = 2 };

    static constexpr int BAD_MODE = -1;
    static constexpr int BAD_DIRECTION = -2;
    static constexpr int BAD_KEY_LENGTH = -3;
    static constexpr int BAD_KEY = -4;
    static constexpr int NOT_READY = -5;
    static constexpr int BAD_CIPHER_STATE = -6;

    static constexpr int BLOCK_SIZE = 16;

    AesCipher();

    // Prepares the cipher. key holds 16, 24 or 32 bytes as keyLengthCode says;
    // iv holds 16 bytes, or is null for sixteen zero bytes. Returns 0, or one
    // of the negative codes above (checked in the order mode, direction, key
    // length, key). The cipher is not ready while this runs and stays not
    // ready, holding no key, after a failure.
    int setup(int mode, int direction, const uint8_t* key, int keyLengthCode,
              const uint8_t* iv = nullptr);

    // Encrypts inputBits / 128 whole blocks from input to output (output may
    // equal input). Returns NOT_READY, BAD_CIPHER_STATE (ECB or CBC set up
    // for decryption), 0 for a null input or output or a length that is not
    // positive, else 128 × the number of whole blocks.
    // In CBC the first block is processed even when the length covers no whole
    // block: 16 bytes are read and 16 written, and the result is 0.
    // In CFB1, inputBits bits are processed, most significant bit of each byte
    // first, and the result is inputBits; bits of a final partial output byte
    // beyond inputBits are left unchanged.
    int64_t encryptBlocks(const uint8_t* input, int64_t inputBits, uint8_t* output);

    // The inverse of encryptBlocks; BAD_CIPHER_STATE for ECB or CBC set up for
    // encryption. In CBC a length that covers no whole block reads and writes
    // nothing.
    int64_t decryptBlocks(const uint8_t* input, int64_t inputBits, uint8_t* output);

    // Each whole block on its own, as if each were a separate encryptBlocks
    // call over 128 bits: in CBC every block chains from the initial vector
    // alone, so with the default zero vector this is ECB. Returns as
    // encryptBlocks, except that a length covering no whole block processes
    // nothing and CFB1 gives BAD_CIPHER_STATE.
    int64_t encryptBlocksUnchained(const uint8_t* input, int64_t inputBits, uint8_t* output);
    // The inverse of encryptBlocksUnchained, with decryptBlocks' state rules.
    int64_t decryptBlocksUnchained(const uint8_t* input, int64_t inputBits, uint8_t* output);

    bool isReady() const { return state_ == 0; }
    int rounds() const { return rounds_; }

    // Whether the processor has AES instructions this build can use.
    static bool hardwareAvailable();
    // Lets (the default) or forbids the AES instructions for ciphers set up
    // from now on; ciphers already set up keep their path. For tests and
    // benchmarks that measure or check the table path. Thread-safe.
    static void setHardwareAllowed(bool allowed);
    static bool hardwareAllowed();
    // Whether this cipher, as set up, runs on the AES instructions.
    bool usesHardware() const { return hardware_; }

private:
    void expandKey(const uint8_t* key, int keyWords);
    void encryptBlock(const uint8_t in[16], uint8_t out[16]) const;
    void decryptBlock(const uint8_t in[16], uint8_t out[16]) const;
    int64_t runCfb1(const uint8_t* input, int64_t inputBits, uint8_t* output,
                    bool decrypting) const;
    void runEcb(const uint8_t* input, int64_t blocks, uint8_t* output, bool decrypting) const;
    // Whether unchained blocks must be combined with the initial vector.
    bool chainsFromIv() const;
    // The result of a block call that must not run: not ready, wrong
    // direction, or nothing to do.
    std::optional<int64_t> refusal(const uint8_t* input, int64_t inputBits, const uint8_t* output,
                                   bool decrypting) const;

    int32_t state_ = 1;
    int32_t mode_ = MODE_ECB;
    int32_t direction_ = DIR_ENCRYPT;
    std::array<uint8_t, 16> iv_{};
    int32_t rounds_ = 0;
    // Round keys as big-endian words in round order; for ECB or CBC set up for
    // decryption, the round keys of the equivalent inverse cipher.
    std::array<uint32_t, 60> roundKeys_{};
    bool hardware_ = false;
    // roundKeys_ as the AES instructions take them: each word's bytes in
    // memory order, 16 bytes per round.
    std::array<uint8_t, 240> hardwareKeys_{};
};
