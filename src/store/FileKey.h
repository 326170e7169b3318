#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The 32-byte AES-256 key of a database file, made from its password: the
// base key, overlaid by the low bytes of the first 32 password characters,
// with six fixed positions pinned. Every program that reads or writes the
// file format uses these constants unchanged.
namespace filekey {

constexpr std::array<uint8_t, 32> BASE_KEY = {
    0x17, 0x42, 0x1b, 0xa5, 0xb0, 0x24, 0x94, 0x9c, 0x97, 0x03, 0xcb, 0x1e, 0x2d, 0xbc, 0xae, 0xb3,
    0x4e, 0x2b, 0x53, 0x11, 0xcb, 0xdb, 0x3c, 0x41, 0x53, 0x24, 0x40, 0x22, 0xdb, 0xbc, 0x1c, 0x33,
};
constexpr std::array<int, 6> PINNED_POSITIONS = {1, 7, 13, 21, 28, 31};
constexpr std::array<uint8_t, 6> PINNED_BYTES = {0xfb, 0xbb, 0x79, 0x99, 0xc1, 0x3e};

std::array<uint8_t, 32> make(std::u16string_view password);

} // namespace filekey
