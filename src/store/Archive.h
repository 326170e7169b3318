#pragma once

#include "store/StoreErrors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A sequential reader or writer over an in-memory image: little-endian
// integers, raw bytes and the length-prefixed string encoding of the file
// format. A storing archive appends to the buffer; a loading archive reads it
// from the start. The buffer must outlive the archive.
//
// A read that finds too few bytes throws ArchiveException(endOfFile) naming
// fileName, except readBytes, which returns what it got. No read allocates
// more than the bytes that remain.
class Archive {
public:
    enum class Mode { store, load };

    Archive(std::vector<uint8_t>& buffer, Mode mode, std::string fileName = {});

    bool isStoring() const { return mode_ == Mode::store; }
    bool isLoading() const { return mode_ == Mode::load; }
    const std::string& fileName() const { return fileName_; }
    size_t position() const { return pos_; }
    size_t remaining() const { return buffer_.size() - pos_; }

    // Makes room for size more bytes to be written.
    void reserve(size_t size) { buffer_.reserve(buffer_.size() + size); }

    void writeU8(uint8_t v);
    void writeU16(uint16_t v);
    void writeU32(uint32_t v);
    void writeU64(uint64_t v);
    void writeI32(int32_t v) { writeU32(static_cast<uint32_t>(v)); }
    void writeI64(int64_t v) { writeU64(static_cast<uint64_t>(v)); }
    void writeBytes(const void* data, size_t size);
    // Always the UTF-16 form: the tag FF FE FF, the length, the code units.
    void writeString(std::u16string_view s);

    uint8_t readU8();
    uint16_t readU16();
    uint32_t readU32();
    uint64_t readU64();
    int32_t readI32() { return static_cast<int32_t>(readU32()); }
    int64_t readI64() { return static_cast<int64_t>(readU64()); }
    // Copies up to size bytes; returns how many there were. Never throws.
    size_t readBytes(void* data, size_t size);
    // Reads the UTF-16 form, or untagged one-byte text in Windows-1252.
    std::u16string readString();

private:
    [[noreturn]] void throwEndOfFile() const;
    const uint8_t* take(size_t n);

    std::vector<uint8_t>& buffer_;
    Mode mode_;
    std::string fileName_;
    size_t pos_ = 0;
};
