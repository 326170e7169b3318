#pragma once

#include <cstddef>
#include <cstdint>

// AES with the processor's AES instructions, for AesCipher. Round keys are
// given as bytes, 16 per round in round order (the byte order of the state);
// for decryption they are those of the equivalent inverse cipher, still in
// round order. Output may equal input; other overlaps are not allowed.
// Only on x86, and only to be called when supported() says so.
#if defined(__x86_64__) || defined(__i386__)
#define LOCKLEAF_AES_HARDWARE 1

namespace aeshw {

bool supported();

void encryptEcb(const uint8_t* roundKeys, int rounds, const uint8_t* in, uint8_t* out,
                size_t blocks);
void decryptEcb(const uint8_t* roundKeys, int rounds, const uint8_t* in, uint8_t* out,
                size_t blocks);
void encryptCbc(const uint8_t* roundKeys, int rounds, const uint8_t iv[16], const uint8_t* in,
                uint8_t* out, size_t blocks);
void decryptCbc(const uint8_t* roundKeys, int rounds, const uint8_t iv[16], const uint8_t* in,
                uint8_t* out, size_t blocks);

} // namespace aeshw

#endif
