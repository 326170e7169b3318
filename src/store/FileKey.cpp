#include "store/FileKey.h"

namespace filekey {

std::array<uint8_t, 32> make(std::u16string_view password)
{
    std::array<uint8_t, 32> key = BASE_KEY;
    const size_t n = password.size() < key.size() ? password.size() : key.size();
    for (size_t i = 0; i < n; ++i)
        key[i] = static_cast<uint8_t>(password[i] & 0xFF);
    for (size_t i = 0; i < PINNED_POSITIONS.size(); ++i)
        key[PINNED_POSITIONS[i]] = PINNED_BYTES[i];
    return key;
}

} // namespace filekey
