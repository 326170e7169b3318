// The database image: what serialize writes and reads.
#include "store/Archive.h"
#include "store/NotesMgr.h"
#include "store/StoreErrors.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

constexpr size_t FILLER_SIZE = 16;
constexpr int64_t LEGACY_TIME_64 = static_cast<int32_t>(0x8000000A);

void writePackedTime(Archive& ar, const CalendarTime& t)
{
    ar.writeU16(t.year);
    ar.writeU16(t.month);
    ar.writeU16(t.dayOfWeek);
    ar.writeU16(t.day);
    ar.writeU16(t.hour);
    ar.writeU16(t.minute);
}

CalendarTime readPackedTime(Archive& ar)
{
    CalendarTime t;
    t.year = ar.readU16();
    t.month = ar.readU16();
    t.dayOfWeek = ar.readU16();
    t.day = ar.readU16();
    t.hour = ar.readU16();
    t.minute = ar.readU16();
    return t;
}

// Seconds since 1970 as 32 bits, or a marker and 64 bits.
int64_t readLegacyMoment(Archive& ar)
{
    const int32_t m = ar.readI32();
    return m == LEGACY_TIME_64 ? ar.readI64() : m;
}

void readLegacyTime(Archive& ar, CalendarTime& field)
{
    if (auto t = localTimeFromUnix(readLegacyMoment(ar)))
        field = *t;
}

// Everything an image replaces, read aside so that a failure changes nothing.
struct Image {
    uint16_t randomWord = 0;
    int32_t nextId = 0;
    std::u16string dbTitle;
    std::u16string dbDescription;
    NotesMgr::RecordMap records;
};

void readRecord(Archive& ar, int32_t version, NoteRecord& r)
{
    r.id = ar.readI32();
    r.parentId = ar.readI32();
    r.isFolder = ar.readI32();
    r.title = ar.readString();
    if (version == 1) {
        ar.readU16();
        readLegacyMoment(ar);
        ar.readU16();
        r.text = ar.readString();
        return;
    }
    r.text = ar.readString();
    r.reminderEnabled = ar.readI32();
    if (version == 2) {
        readLegacyTime(ar, r.reminderTime);
        readLegacyTime(ar, r.lastAlert);
    } else {
        r.reminderTime = readPackedTime(ar);
        r.lastAlert = readPackedTime(ar);
    }
    r.recurrence = ar.readI32();
    r.weekdayMask = ar.readU32();
}

} // namespace

void NotesMgr::serialize(Archive& ar)
{
    if (ar.isStoring())
        store(ar);
    else
        read(ar);
}

void NotesMgr::store(Archive& ar)
{
    // One allocation for the whole image instead of a series of regrowths.
    size_t size = 40 + 2 * (dbTitle_.size() + dbDescription_.size()) + 8;
    for (const auto& [id, r] : records_)
        size += 66 + 2 * (r.title.size() + r.text.size()) + 16;
    ar.reserve(size);

    randomWord_ = static_cast<uint16_t>(std::rand() % 32768);
    ar.writeU16(randomWord_);
    ar.writeU16(DB_CHECK_WORD);
    ar.writeI32(DB_FORMAT_VERSION);
    ar.writeI32(nextId_);
    ar.writeString(dbTitle_);
    ar.writeString(dbDescription_);
    ar.writeI32(static_cast<int32_t>(records_.size()));
    for (const auto& [id, r] : records_) {
        ar.writeI32(r.id);
        ar.writeI32(r.parentId);
        ar.writeI32(r.isFolder);
        ar.writeString(r.title);
        ar.writeString(r.text);
        ar.writeI32(r.reminderEnabled);
        writePackedTime(ar, r.reminderTime);
        writePackedTime(ar, r.lastAlert);
        ar.writeI32(r.recurrence);
        ar.writeU32(r.weekdayMask);
    }
    const uint8_t filler[FILLER_SIZE] = {};
    ar.writeBytes(filler, sizeof filler);
}

void NotesMgr::read(Archive& ar)
{
    Image img;
    try {
        img.randomWord = ar.readU16();
        if (ar.readU16() != DB_CHECK_WORD)
            throw WrongPasswordError(ar.fileName());

        const int32_t version = ar.readI32();
        if (version < 1 || version > DB_FORMAT_VERSION)
            throw ArchiveException(ArchiveException::Cause::badSchema, ar.fileName());
        img.nextId = ar.readI32();
        img.dbTitle = ar.readString();
        img.dbDescription = ar.readString();
        const int32_t count = ar.readI32();

        // Fields a layout does not carry keep the defaults of a new record,
        // reminderTime being the moment of reading. The records are read
        // first and put into the map afterwards, so that the map's nodes lie
        // together in memory instead of between the texts: a visit of a big
        // database then walks memory in order.
        const NoteRecord defaults;
        std::vector<NoteRecord> read;
        // No record takes fewer than 22 bytes, so this never asks for more
        // than the image can hold.
        if (count > 0)
            read.reserve(std::min<size_t>(static_cast<size_t>(count), ar.remaining() / 22));
        for (int32_t i = 0; i < count; ++i) {
            read.push_back(defaults);
            readRecord(ar, version, read.back());
        }
        for (NoteRecord& r : read)
            img.records.insert_or_assign(r.id, std::move(r));

        uint8_t filler[FILLER_SIZE];
        ar.readBytes(filler, sizeof filler);
    } catch (const std::bad_alloc&) {
        throw MemoryException(ar.fileName());
    }

    randomWord_ = img.randomWord;
    formatVersion_ = DB_FORMAT_VERSION;
    nextId_ = img.nextId;
    dbTitle_ = std::move(img.dbTitle);
    dbDescription_ = std::move(img.dbDescription);
    records_ = std::move(img.records);
}
