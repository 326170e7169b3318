#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Conversions between the UTF-16 strings the store keeps and the byte
// strings of the operating system.
namespace utf {

// Appends code point cp (at most U+10FFFF) as UTF-8.
void appendUtf8(std::string& out, uint32_t cp);
// Appends code point cp (at most U+10FFFF) as one or two UTF-16 code units.
void appendUtf16(std::u16string& out, uint32_t cp);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view s);
// UTF-8 to UTF-16; each byte of an invalid sequence becomes U+FFFD.
std::u16string fromUtf8(std::string_view s);
// One byte of Windows-1252 text as a UTF-16 code unit. The five bytes that
// code page leaves unassigned map to the C1 controls of the same value.
char16_t fromWindows1252(uint8_t byte);
// Equal when compared without regard to letter case (simple case folding of
// the Latin, Greek and Cyrillic letters).
bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);

} // namespace utf
