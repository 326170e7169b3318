#include "store/Archive.h"

#include "store/Utf.h"

#include <cstring>

Archive::Archive(std::vector<uint8_t>& buffer, Mode mode, std::string fileName)
    : buffer_(buffer), mode_(mode), fileName_(std::move(fileName))
{
}

void Archive::writeU8(uint8_t v)
{
    buffer_.push_back(v);
}

void Archive::writeU16(uint16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    buffer_.insert(buffer_.end(), b, b + 2);
}

void Archive::writeU32(uint32_t v)
{
    uint8_t b[4];
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(v >> (8 * i));
    buffer_.insert(buffer_.end(), b, b + 4);
}

void Archive::writeU64(uint64_t v)
{
    uint8_t b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(v >> (8 * i));
    buffer_.insert(buffer_.end(), b, b + 8);
}

void Archive::writeBytes(const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    buffer_.insert(buffer_.end(), p, p + size);
}

void Archive::writeString(std::u16string_view s)
{
    const uint64_t n = s.size();
    writeU8(0xFF);
    writeU16(0xFFFE);
    if (n < 0xFF) {
        writeU8(static_cast<uint8_t>(n));
    } else {
        writeU8(0xFF);
        if (n < 0xFFFE) {
            writeU16(static_cast<uint16_t>(n));
        } else {
            writeU16(0xFFFF);
            if (n < 0xFFFFFFFF) {
                writeU32(static_cast<uint32_t>(n));
            } else {
                writeU32(0xFFFFFFFF);
                writeU64(n);
            }
        }
    }
    const size_t start = buffer_.size();
    buffer_.resize(start + s.size() * 2);
    uint8_t* out = buffer_.data() + start;
    for (char16_t c : s) {
        *out++ = static_cast<uint8_t>(c);
        *out++ = static_cast<uint8_t>(c >> 8);
    }
}

void Archive::throwEndOfFile() const
{
    throw ArchiveException(ArchiveException::Cause::endOfFile, fileName_);
}

const uint8_t* Archive::take(size_t n)
{
    if (remaining() < n)
        throwEndOfFile();
    const uint8_t* p = buffer_.data() + pos_;
    pos_ += n;
    return p;
}

uint8_t Archive::readU8()
{
    return *take(1);
}

uint16_t Archive::readU16()
{
    const uint8_t* p = take(2);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Archive::readU32()
{
    const uint8_t* p = take(4);
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t Archive::readU64()
{
    const uint8_t* p = take(8);
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

size_t Archive::readBytes(void* data, size_t size)
{
    const size_t n = size < remaining() ? size : remaining();
    if (n)
        std::memcpy(data, buffer_.data() + pos_, n);
    pos_ += n;
    return n;
}

std::u16string Archive::readString()
{
    size_t charSize = 1;
    uint64_t length = readU8();
    if (length == 0xFF) {
        uint16_t w = readU16();
        bool done = false;
        if (w == 0xFFFE) {
            charSize = 2;
            const uint8_t b = readU8();
            if (b < 0xFF) {
                length = b;
                done = true;
            } else {
                w = readU16();
            }
        }
        if (!done) {
            if (w < 0xFFFF) {
                length = w;
            } else {
                const uint32_t d = readU32();
                length = d < 0xFFFFFFFF ? d : readU64();
            }
        }
    }

    // The length comes from the file: check it against what remains before
    // allocating anything for it.
    if (length > remaining() / charSize)
        throwEndOfFile();
    const uint8_t* p = take(static_cast<size_t>(length) * charSize);

    std::u16string s(static_cast<size_t>(length), u'\0');
    if (charSize == 2) {
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    } else {
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = utf::fromWindows1252(p[i]);
    }
    return s;
}
