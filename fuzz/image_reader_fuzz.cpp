// The image reader: the input is a plain (decrypted) database image, read by
// NotesMgr::serialize from a loading archive over a store with known content.
#include "FuzzSupport.h"

using namespace fuzzsupport;

namespace {

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The fewest bytes a record takes: the layout of version 1 with empty strings.
constexpr size_t MIN_RECORD_SIZE = 22;
// Random word, check word, version, id counter, two empty strings, count.
constexpr size_t MIN_IMAGE_SIZE = 18;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    makeDeterministic();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    NotesMgr mgr;
    prefill(mgr);
    const Snapshot before = snapshot(mgr);

    if (readImage(mgr, Bytes(data, data + size), "fuzz.nte") != Outcome::ok) {
        check(snapshot(mgr) == before, "a failed read changed the store");
        return 0;
    }

    check(size >= MIN_IMAGE_SIZE, "an image too short to hold a header was accepted");
    check(le16(data + 2) == NotesMgr::DB_CHECK_WORD, "an image with a wrong check word was accepted");
    const auto version = static_cast<int32_t>(le32(data + 4));
    check(version >= 1 && version <= NotesMgr::DB_FORMAT_VERSION, "an unknown version was accepted");
    check(mgr.randomWord() == le16(data), "the random word is not the image's");
    check(mgr.nextId() == static_cast<int32_t>(le32(data + 8)), "the id counter is not the image's");
    check(mgr.formatVersion() == NotesMgr::DB_FORMAT_VERSION, "the store keeps an old version");
    check(mgr.password() == before.password, "a read changed the password");
    check(mgr.recentFiles() == before.recentFiles, "a read changed the recent files");
    check(mgr.records().size() <= size / MIN_RECORD_SIZE, "more records than the image can hold");
    for (const auto& [id, r] : mgr.records())
        check(id == r.id, "a record is filed under another id");

    checkRoundTrip(mgr);
    return 0;
}
