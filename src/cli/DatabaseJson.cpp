#include "cli/DatabaseJson.h"

#include "cli/CliErrors.h"
#include "store/Archive.h"
#include "store/NotesMgr.h"

#include <algorithm>
#include <limits>
#include <span>
#include <unordered_map>

namespace cli {

namespace {

using json::Value;

constexpr const char* HEADER_KEYS[] = {"formatVersion", "nextId", "dbTitle", "dbDescription", "records"};
constexpr const char* RECORD_KEYS[] = {"id", "parentId", "isFolder", "title", "text", "reminderEnabled",
                                       "reminderTime", "lastAlert", "recurrence", "weekdayMask"};
constexpr size_t TIME_FIELDS = 8;
constexpr size_t SHOWN_KEY_UNITS = 64;
constexpr size_t FILLER_SIZE = 16;

std::u16string ascii(std::string_view s)
{
    return std::u16string(s.begin(), s.end());
}

Value timeToJson(const CalendarTime& t)
{
    const uint16_t fields[TIME_FIELDS] = {t.year, t.month, t.dayOfWeek, t.day,
                                          t.hour, t.minute, t.second, t.millisecond};
    json::Array items;
    for (uint16_t f : fields)
        items.push_back(Value::number(f));
    return Value::array(std::move(items));
}

void writePackedTime(Archive& ar, const CalendarTime& t)
{
    for (uint16_t f : {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute})
        ar.writeU16(f);
}

// Checks values against the database's shape; every failure names the
// source file and the offending key.
class Checker {
public:
    explicit Checker(std::string sourceName) : source_(std::move(sourceName)) {}

    [[noreturn]] void fail(const std::string& problem) const
    {
        throw InputError(source_ + ": " + problem + ".");
    }

    // obj must be an object with exactly these keys. where names it for
    // messages; prefix goes before its keys ("" at the top level).
    void checkKeys(const Value& obj, std::span<const char* const> keys, const std::string& where,
                   const std::string& prefix) const
    {
        if (obj.type() != Value::Type::object)
            fail(where + " must be an object");
        for (const auto& m : obj.asObject()) {
            const bool known = std::any_of(keys.begin(), keys.end(), [&](const char* k) { return m.key == ascii(k); });
            if (!known) {
                std::string shown;
                json::appendString(shown, std::u16string_view(m.key).substr(0, SHOWN_KEY_UNITS));
                fail(where + " has an unknown key " + shown);
            }
        }
        for (const char* k : keys)
            if (!obj.find(ascii(k)))
                fail(prefix + k + " is missing");
    }

    int64_t integer(const Value& v, const std::string& name, int64_t min, int64_t max) const
    {
        const auto n = v.asInteger();
        if (!n || *n < min || *n > max)
            fail(name + " must be an integer from " + std::to_string(min) + " to " + std::to_string(max));
        return *n;
    }

    int32_t int32(const Value& v, const std::string& name) const
    {
        return static_cast<int32_t>(
            integer(v, name, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    }

    const std::u16string& text(const Value& v, const std::string& name) const
    {
        if (v.type() != Value::Type::string)
            fail(name + " must be a string");
        return v.asString();
    }

    CalendarTime time(const Value& v, const std::string& name) const
    {
        if (v.type() != Value::Type::array || v.asArray().size() != TIME_FIELDS)
            fail(name + " must be an array of 8 integers");
        uint16_t f[TIME_FIELDS];
        for (size_t i = 0; i < TIME_FIELDS; ++i)
            f[i] = static_cast<uint16_t>(integer(v.asArray()[i], name + "[" + std::to_string(i) + "]", 0,
                                                 std::numeric_limits<uint16_t>::max()));
        return CalendarTime{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
    }

private:
    std::string source_;
};

} // namespace

Value databaseToJson(const NotesMgr& mgr)
{
    json::Array records;
    for (const auto& [id, r] : mgr.records()) {
        records.push_back(Value::object({
            {u"id", Value::number(r.id)},
            {u"parentId", Value::number(r.parentId)},
            {u"isFolder", Value::number(r.isFolder)},
            {u"title", Value::string(r.title)},
            {u"text", Value::string(r.text)},
            {u"reminderEnabled", Value::number(r.reminderEnabled)},
            {u"reminderTime", timeToJson(r.reminderTime)},
            {u"lastAlert", timeToJson(r.lastAlert)},
            {u"recurrence", Value::number(r.recurrence)},
            {u"weekdayMask", Value::unsignedNumber(r.weekdayMask)},
        }));
    }
    return Value::object({
        {u"formatVersion", Value::number(mgr.formatVersion())},
        {u"nextId", Value::number(mgr.nextId())},
        {u"dbTitle", Value::string(mgr.dbTitle())},
        {u"dbDescription", Value::string(mgr.dbDescription())},
        {u"records", Value::array(std::move(records))},
    });
}

void databaseFromJson(const Value& doc, const std::string& sourceName, NotesMgr& mgr)
{
    const Checker check(sourceName);
    check.checkKeys(doc, HEADER_KEYS, "the top level", "");
    if (doc.find(u"formatVersion")->asInteger() != NotesMgr::DB_FORMAT_VERSION)
        check.fail("formatVersion must be 3");
    const int32_t nextId = check.int32(*doc.find(u"nextId"), "nextId");
    const auto& title = check.text(*doc.find(u"dbTitle"), "dbTitle");
    const auto& description = check.text(*doc.find(u"dbDescription"), "dbDescription");
    const Value& records = *doc.find(u"records");
    if (records.type() != Value::Type::array)
        check.fail("records must be an array");
    if (records.asArray().size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        check.fail("records has more entries than a database can hold");

    // The image the store reads: the same bytes a save of this content would
    // encrypt, so ids, nextId and every field are kept exactly as given.
    std::vector<uint8_t> image;
    Archive out(image, Archive::Mode::store, sourceName);
    out.writeU16(0);
    out.writeU16(NotesMgr::DB_CHECK_WORD);
    out.writeI32(NotesMgr::DB_FORMAT_VERSION);
    out.writeI32(nextId);
    out.writeString(title);
    out.writeString(description);
    out.writeI32(static_cast<int32_t>(records.asArray().size()));

    // The store keeps one record per id; a repeated id would silently drop one.
    std::unordered_map<int32_t, size_t> firstUse;
    for (size_t i = 0; i < records.asArray().size(); ++i) {
        const Value& r = records.asArray()[i];
        const std::string where = "records[" + std::to_string(i) + "]";
        const std::string prefix = where + ".";
        check.checkKeys(r, RECORD_KEYS, where, prefix);
        const int32_t id = check.int32(*r.find(u"id"), prefix + "id");
        const auto [it, fresh] = firstUse.emplace(id, i);
        if (!fresh)
            check.fail(prefix + "id " + std::to_string(id) + " is also the id of records[" +
                       std::to_string(it->second) + "]");
        out.writeI32(id);
        out.writeI32(check.int32(*r.find(u"parentId"), prefix + "parentId"));
        out.writeI32(check.int32(*r.find(u"isFolder"), prefix + "isFolder"));
        out.writeString(check.text(*r.find(u"title"), prefix + "title"));
        out.writeString(check.text(*r.find(u"text"), prefix + "text"));
        out.writeI32(check.int32(*r.find(u"reminderEnabled"), prefix + "reminderEnabled"));
        writePackedTime(out, check.time(*r.find(u"reminderTime"), prefix + "reminderTime"));
        writePackedTime(out, check.time(*r.find(u"lastAlert"), prefix + "lastAlert"));
        out.writeI32(check.int32(*r.find(u"recurrence"), prefix + "recurrence"));
        out.writeU32(static_cast<uint32_t>(
            check.integer(*r.find(u"weekdayMask"), prefix + "weekdayMask", 0, std::numeric_limits<uint32_t>::max())));
    }
    const uint8_t filler[FILLER_SIZE] = {};
    out.writeBytes(filler, sizeof filler);

    Archive in(image, Archive::Mode::load, sourceName);
    mgr.serialize(in);
}

} // namespace cli
