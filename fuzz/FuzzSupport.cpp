#include "FuzzSupport.h"

#include "store/Archive.h"
#include "store/Clock.h"
#include "store/StoreErrors.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace fuzzsupport {

namespace {

// Seconds and milliseconds set, so that the round trip's normalisation has
// something to do for records whose reminder time is the moment of reading.
const ManualClock fixedClock(CalendarTime{2024, 5, 0, 12, 9, 30, 45, 500});

// The packed time of a database image has no seconds or milliseconds.
CalendarTime packed(CalendarTime t)
{
    t.second = 0;
    t.millisecond = 0;
    return t;
}

// Exceptions a failed read or load may throw must name the file they concern
// and say something.
void checkStoreException(const StoreException& e, const std::string& fileName)
{
    check(e.fileName() == fileName, "exception names another file");
    check(e.what() != nullptr && *e.what() != '\0', "exception without a message");
}

template <typename Action>
Outcome classify(Action&& action, const std::string& fileName)
{
    try {
        action();
        return Outcome::ok;
    } catch (const WrongPasswordError& e) {
        checkStoreException(e, fileName);
        return Outcome::wrongPassword;
    } catch (const ArchiveException& e) {
        checkStoreException(e, fileName);
        return Outcome::archive;
    } catch (const MemoryException& e) {
        checkStoreException(e, fileName);
        return Outcome::memory;
    } catch (const std::exception& e) {
        fail(std::string("unexpected exception: ") + e.what());
    } catch (...) {
        fail("unexpected exception of unknown type");
    }
}

} // namespace

void makeDeterministic()
{
    setenv("TZ", "UTC", 1);
    tzset();
    Clock::install(&fixedClock);
}

Snapshot snapshot(const NotesMgr& mgr)
{
    return {mgr.randomWord(), mgr.formatVersion(), mgr.nextId(),   mgr.dbTitle(),
            mgr.dbDescription(), mgr.records(),   mgr.password(), mgr.recentFiles()};
}

void prefill(NotesMgr& mgr)
{
    mgr.setPassword(std::u16string(PASSWORD));
    mgr.setDbTitle(u"prefilled title \u00e9");
    mgr.setDbDescription(u"prefilled description");
    const int32_t folder = mgr.addRecord(-1, 1, u"folder", u"");
    mgr.addRecord(folder, 0, u"note", u"text \u20ac");
    const int32_t reminder = mgr.addRecord(folder, 0, u"reminder", u"due");
    NoteRecord* r = mgr.findRecord(reminder);
    r->reminderEnabled = 1;
    r->lastAlert = CalendarTime{2023, 1, 0, 1, 8, 0, 0, 0};
    r->recurrence = NoteRecord::RECUR_MONTHLY;
    mgr.addRecentFile(u"/prefilled/older.nte");
    mgr.addRecentFile(u"/prefilled/newer.nte");
}

const char* name(Outcome outcome)
{
    switch (outcome) {
    case Outcome::ok: return "ok";
    case Outcome::wrongPassword: return "WrongPasswordError";
    case Outcome::archive: return "ArchiveException";
    case Outcome::memory: return "MemoryException";
    }
    return "?";
}

Outcome readImage(NotesMgr& mgr, Bytes image, const std::string& fileName)
{
    return classify(
        [&] {
            Archive ar(image, Archive::Mode::load, fileName);
            mgr.serialize(ar);
            check(ar.position() <= image.size(), "read past the end of the image");
        },
        fileName);
}

Outcome loadFile(NotesMgr& mgr, const std::string& path)
{
    return classify([&] { check(mgr.load(path), "load returned false"); }, path);
}

Bytes writeImage(NotesMgr& mgr)
{
    Bytes image;
    Archive ar(image, Archive::Mode::store);
    mgr.serialize(ar);
    return image;
}

void fail(const std::string& what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::abort();
}

void checkRoundTrip(NotesMgr& mgr)
{
    const Bytes first = writeImage(mgr);
    check(first.size() >= 16 + 4, "written image too short");
    check(first[2] == 0x09 && first[3] == 0x03, "written image lacks the check word");
    for (size_t i = first.size() - 16; i < first.size(); ++i)
        check(first[i] == 0, "written image does not end in the zero filler");

    Snapshot expected = snapshot(mgr);
    for (auto& [id, r] : expected.records) {
        r.reminderTime = packed(r.reminderTime);
        r.lastAlert = packed(r.lastAlert);
    }

    NotesMgr again;
    prefill(again);
    check(readImage(again, first, "round trip") == Outcome::ok, "written image does not read back");
    check(snapshot(again) == expected, "written image reads back as another store");

    const Bytes second = writeImage(again);
    check(second.size() == first.size(), "second write has another length");
    check(std::equal(first.begin() + 2, first.end(), second.begin() + 2), "second write differs");
}

} // namespace fuzzsupport
