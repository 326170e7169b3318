#pragma once

#include "store/NotesMgr.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the fuzz targets share: a store with known content to read over,
// everything a read may replace in comparable form, and a hard stop (abort,
// which libFuzzer reports as a crash) for a broken invariant.
namespace fuzzsupport {

using Bytes = std::vector<uint8_t>;

// The password the load target encrypts with and the corpus images were
// decrypted with.
inline constexpr std::u16string_view PASSWORD = u"sesame";

// Fixes the time zone and installs a clock that never moves, so that an input
// reads the same way on every run and every machine. Call once, first.
void makeDeterministic();

// Everything a read or a load may replace or keep.
struct Snapshot {
    uint16_t randomWord;
    int32_t formatVersion;
    int32_t nextId;
    std::u16string dbTitle;
    std::u16string dbDescription;
    NotesMgr::RecordMap records;
    std::u16string password;
    std::vector<std::u16string> recentFiles;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};
Snapshot snapshot(const NotesMgr& mgr);

// Gives a new store a title, a description, PASSWORD, a few records and two
// recent files, all unlike what a read leaves, so an unwanted change shows.
void prefill(NotesMgr& mgr);

// How a read or a load ended. Any exception other than these three aborts.
enum class Outcome { ok, wrongPassword, archive, memory };
const char* name(Outcome outcome);

// Reads image into mgr through a loading archive named fileName.
Outcome readImage(NotesMgr& mgr, Bytes image, const std::string& fileName);
// Loads the file at path into mgr.
Outcome loadFile(NotesMgr& mgr, const std::string& path);
// The image mgr writes (which draws a new random word).
Bytes writeImage(NotesMgr& mgr);

// Prints what and aborts.
[[noreturn]] void fail(const std::string& what);
inline void check(bool ok, const char* what)
{
    if (!ok)
        fail(what);
}

// After a successful read: writing the store and reading that image into a
// fresh store gives the same store (less the seconds and milliseconds the
// image does not carry), and writing again gives the same bytes (less the
// random word).
void checkRoundTrip(NotesMgr& mgr);

} // namespace fuzzsupport
