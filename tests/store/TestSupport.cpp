#include "TestSupport.h"

#include "store/Clock.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

Bytes hex(const std::string& text)
{
    Bytes out;
    int hi = -1;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)))
            continue;
        const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (v < 0 || v > 15)
            throw std::invalid_argument("bad hex digit");
        if (hi < 0) {
            hi = v;
        } else {
            out.push_back(static_cast<uint8_t>(hi * 16 + v));
            hi = -1;
        }
    }
    if (hi >= 0)
        throw std::invalid_argument("odd number of hex digits");
    return out;
}

std::string toHex(const Bytes& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            s += ' ';
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 15];
    }
    return s;
}

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lockleaf-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> TempDir::names() const
{
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(path_))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::u16string MemoryProfile::getString(std::u16string_view section, std::u16string_view entry,
                                        std::u16string_view defaultValue)
{
    auto it = values.find(std::u16string(section) + u"/" + std::u16string(entry));
    return it == values.end() ? std::u16string(defaultValue) : it->second;
}

void MemoryProfile::writeString(std::u16string_view section, std::u16string_view entry,
                                std::u16string_view value)
{
    values[std::u16string(section) + u"/" + std::u16string(entry)] = std::u16string(value);
}

StoreSnapshot snapshot(const NotesMgr& mgr)
{
    return {mgr.randomWord(), mgr.formatVersion(), mgr.nextId(), mgr.dbTitle(), mgr.dbDescription(),
            mgr.records(), mgr.password(), mgr.recentFiles()};
}

ImageWriter& ImageWriter::header(uint16_t randomWord, uint16_t checkWord, int32_t version, int32_t nextId,
                                 std::u16string_view title, std::u16string_view description, int32_t count)
{
    ar_.writeU16(randomWord);
    ar_.writeU16(checkWord);
    ar_.writeI32(version);
    ar_.writeI32(nextId);
    ar_.writeString(title);
    ar_.writeString(description);
    ar_.writeI32(count);
    return *this;
}

ImageWriter& ImageWriter::recordV3(const NoteRecord& r)
{
    ar_.writeI32(r.id);
    ar_.writeI32(r.parentId);
    ar_.writeI32(r.isFolder);
    ar_.writeString(r.title);
    ar_.writeString(r.text);
    ar_.writeI32(r.reminderEnabled);
    for (const CalendarTime* t : {&r.reminderTime, &r.lastAlert})
        for (uint16_t v : {t->year, t->month, t->dayOfWeek, t->day, t->hour, t->minute})
            ar_.writeU16(v);
    ar_.writeI32(r.recurrence);
    ar_.writeU32(r.weekdayMask);
    return *this;
}

void ImageWriter::legacyTime(int64_t moment)
{
    if (moment >= INT32_MIN && moment <= INT32_MAX && moment != static_cast<int32_t>(0x8000000A)) {
        ar_.writeI32(static_cast<int32_t>(moment));
    } else {
        ar_.writeU32(0x8000000A);
        ar_.writeI64(moment);
    }
}

ImageWriter& ImageWriter::recordV2(const NoteRecord& r, int64_t reminderMoment, int64_t alertMoment)
{
    ar_.writeI32(r.id);
    ar_.writeI32(r.parentId);
    ar_.writeI32(r.isFolder);
    ar_.writeString(r.title);
    ar_.writeString(r.text);
    ar_.writeI32(r.reminderEnabled);
    legacyTime(reminderMoment);
    legacyTime(alertMoment);
    ar_.writeI32(r.recurrence);
    ar_.writeU32(r.weekdayMask);
    return *this;
}

ImageWriter& ImageWriter::recordV1(int32_t id, int32_t parentId, int32_t isFolder, std::u16string_view title,
                                   std::u16string_view text, int64_t moment)
{
    ar_.writeI32(id);
    ar_.writeI32(parentId);
    ar_.writeI32(isFolder);
    ar_.writeString(title);
    ar_.writeU16(0xABCD);
    legacyTime(moment);
    ar_.writeU16(0x1234);
    ar_.writeString(text);
    return *this;
}

ImageWriter& ImageWriter::filler(size_t size)
{
    for (size_t i = 0; i < size; ++i)
        ar_.writeU8(0);
    return *this;
}

ImageWriter& ImageWriter::raw(const Bytes& bytes)
{
    ar_.writeBytes(bytes.data(), bytes.size());
    return *this;
}

void readImage(NotesMgr& mgr, Bytes image)
{
    Archive ar(image, Archive::Mode::load);
    mgr.serialize(ar);
}

Bytes writeImage(NotesMgr& mgr)
{
    Bytes image;
    Archive ar(image, Archive::Mode::store);
    mgr.serialize(ar);
    return image;
}

std::filesystem::path testDataDir()
{
    return LOCKLEAF_TEST_DATA;
}

} // namespace testing_support
