#include "BenchData.h"

#include "store/Archive.h"
#include "store/Clock.h"

#include <random>
#include <stdexcept>
#include <stdlib.h>
#include <vector>

namespace benchdata {

namespace {

// 128 entries so that seven random bits pick one: letters weighted towards
// lowercase, about one space in six, and a few digits, signs, accented
// letters and line breaks.
const std::u16string& alphabet()
{
    static const std::u16string chars = [] {
        std::u16string s = u"etaoinshrdlcumwfgypbvkjxqz";
        s += u"etaoinshrdlcumetaoinshrdlcu";
        s += u"ETAOINSHRDLC";
        s += u"0123456789";
        s += u".,;:!?-'()";
        s += u"\u00e9\u00e8\u00e0\u00fc\u00f6\u00e4\u00df\u00e7\u00f1\u00c9";
        s += u"\r\n";
        while (s.size() < 128)
            s += u' ';
        return s;
    }();
    return chars;
}

std::u16string randomText(std::mt19937& rng, size_t length, bool lineBreaks)
{
    const std::u16string& chars = alphabet();
    std::u16string text(length, u' ');
    for (auto& c : text) {
        c = chars[rng() & 127];
        if (!lineBreaks && (c == u'\r' || c == u'\n'))
            c = u' ';
    }
    return text;
}

} // namespace

void fill(NotesMgr& mgr, int records, uint32_t seed)
{
    std::mt19937 rng(seed);
    mgr.clear();
    mgr.setPassword(PASSWORD);
    mgr.setDbTitle(u"Generated notes");
    mgr.setDbDescription(u"A database for the benchmarks");

    std::vector<int32_t> folders;
    std::uniform_int_distribution<size_t> textLength(0, 1000);
    std::uniform_int_distribution<size_t> titleLength(3, 40);
    // Reminders fall in 2025-2027, on whole minutes.
    const int64_t firstReminder = daysFromCivil(2025, 1, 1) * 86400;
    std::uniform_int_distribution<int64_t> reminderMinute(0, 3 * 365 * 24 * 60);
    std::uniform_int_distribution<int32_t> recurrence(NoteRecord::RECUR_ONCE, NoteRecord::RECUR_YEARLY);

    int notes = 0;
    for (int i = 0; i < records; ++i) {
        const bool folder = i % 10 == 0;
        int32_t parent = -1;
        if (!folders.empty())
            parent = folders[std::uniform_int_distribution<size_t>(0, folders.size() - 1)(rng)];
        std::u16string title = randomText(rng, titleLength(rng), false);
        std::u16string text = folder ? std::u16string() : randomText(rng, textLength(rng), true);
        const int32_t id = mgr.addRecord(parent, folder ? 1 : 0, std::move(title), std::move(text));
        if (folder) {
            folders.push_back(id);
            continue;
        }
        if (notes++ % 3 == 0) {
            NoteRecord* r = mgr.findRecord(id);
            r->reminderEnabled = 1;
            r->reminderTime = civilFromSeconds(firstReminder + 60 * reminderMinute(rng));
            r->recurrence = recurrence(rng);
            r->weekdayMask = NoteRecord::ALL_WEEKDAYS;
        }
    }
}

std::vector<uint8_t> image(NotesMgr& mgr)
{
    std::vector<uint8_t> bytes;
    Archive ar(bytes, Archive::Mode::store);
    mgr.serialize(ar);
    return bytes;
}

ScratchDir::ScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lockleaf-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder in " + pattern);
    path_ = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace benchdata
