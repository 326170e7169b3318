// The sample databases of tests/data, made the same way every time.
#include "TestSupport.h"

#include "store/Clock.h"

namespace testing_support {

namespace {

const CalendarTime CREATED{2026, 1, 4, 15, 9, 0, 0, 0};

NoteRecord rec(int32_t id, int32_t parentId, int32_t isFolder, std::u16string title, std::u16string text = {})
{
    NoteRecord r;
    r.id = id;
    r.parentId = parentId;
    r.isFolder = isFolder;
    r.title = std::move(title);
    r.text = std::move(text);
    return r;
}

Bytes encrypt(Bytes image, const std::u16string& password)
{
    NotesMgr mgr;
    mgr.setPassword(password);
    mgr.encryptImage(image);
    return image;
}

Bytes v3SampleImage()
{
    NoteRecord shopping = rec(4, 0, 0, u"Shopping", u"Milk\r\nBread");
    shopping.reminderEnabled = 1;
    shopping.reminderTime = {2026, 12, 4, 24, 18, 30, 0, 0};
    shopping.lastAlert = {2026, 12, 4, 17, 18, 30, 0, 0};
    return ImageWriter()
        .header(0x1234, NotesMgr::DB_CHECK_WORD, 3, 7, u"Recipes", u"Family recipes\r\nand shopping lists", 6)
        .recordV3(rec(0, -1, 1, u"Recipes"))
        .recordV3(rec(1, 0, 1, u"Soups", u"Warm things"))
        .recordV3(rec(2, 1, 0, u"Tomato soup", u"Tomatoes, onion, basil.\r\nSimmer 20 minutes."))
        .recordV3(rec(3, 1, 0, u"Cr\u00e8me br\u00fbl\u00e9e", u"Sugar \u20ac 2"))
        .recordV3(shopping)
        .recordV3(rec(6, 0, 1, u"Archive"))
        .filler()
        .bytes();
}

} // namespace

std::map<std::string, Bytes> makeSampleDatabases()
{
    const ManualClock clock(CREATED);
    const ScopedClock scoped(clock);
    std::map<std::string, Bytes> files;

    const Bytes sample = v3SampleImage();
    files["v3-sample.nte"] = encrypt(sample, u"sesame");

    files["v3-empty-password.nte"] = encrypt(ImageWriter()
        .header(0x0001, NotesMgr::DB_CHECK_WORD, 3, 2, u"Untitled", u"", 2)
        .recordV3(rec(0, -1, 1, u"Untitled"))
        .recordV3(rec(1, 0, 0, u"Hello", u"An empty password still encrypts the file."))
        .filler()
        .bytes(), u"");

    NoteRecord remind = rec(1, 0, 0, u"Dentist", u"Tuesday");
    remind.reminderEnabled = 1;
    remind.recurrence = NoteRecord::RECUR_ONCE;
    files["v2-legacy.nte"] = encrypt(ImageWriter()
        .header(0x2222, NotesMgr::DB_CHECK_WORD, 2, 3, u"Old notes", u"", 3)
        .recordV2(rec(0, -1, 1, u"Old notes"), 946684800, 0)
        .recordV2(remind, 1000000000, 4102444800)      // 2001-09-09 01:46:40 and 2100-01-01 UTC
        .recordV2(rec(2, 0, 0, u"Far future"), INT64_MAX, INT64_MIN)
        .filler()
        .bytes(), u"sesame");

    files["v1-legacy.nte"] = encrypt(ImageWriter()
        .header(0x3333, NotesMgr::DB_CHECK_WORD, 1, 3, u"Ancient", u"First layout", 3)
        .recordV1(0, -1, 1, u"Ancient", u"", 946684800)
        .recordV1(1, 0, 0, u"First note", u"Written long ago", 1000000000)
        .recordV1(2, 0, 1, u"A folder", u"", 4102444800)
        .filler()
        .bytes(), u"sesame");

    // Untagged strings are one-byte text in Windows-1252: "Caf\xE9" and 300 euro signs.
    Bytes oneByte = ImageWriter().raw(hex("1111 0903 03000000 02000000")).raw(hex("04 436166E9")).bytes();
    oneByte.push_back(0xFF);
    oneByte.push_back(0x2C);
    oneByte.push_back(0x01);
    oneByte.insert(oneByte.end(), 300, 0x80);
    const Bytes rest = ImageWriter()
        .raw(hex("01000000"))
        .recordV3(rec(0, -1, 1, u"Caf\u00e9"))
        .filler()
        .bytes();
    oneByte.insert(oneByte.end(), rest.begin(), rest.end());
    files["one-byte-strings.nte"] = encrypt(oneByte, u"sesame");

    // Broken databases.
    files["broken-truncated.nte"] = encrypt(Bytes(sample.begin(), sample.begin() + 70), u"sesame");
    files["broken-check-word.nte"] = encrypt(ImageWriter()
        .header(0x1234, 0x0903, 3, 1, u"Flipped", u"", 0).filler().bytes(), u"sesame");
    files["broken-version.nte"] = encrypt(ImageWriter()
        .header(0x1234, NotesMgr::DB_CHECK_WORD, 9, 1, u"Future", u"", 0).filler().bytes(), u"sesame");
    files["broken-length.nte"] = encrypt(ImageWriter()
        .raw(hex("1234 0903 03000000 01000000 FF FEFF FF FFFF F0FFFF7F"))
        .filler()
        .bytes(), u"sesame");
    Bytes noise(64);
    uint32_t x = 12345;
    for (auto& b : noise) {
        x = x * 1103515245 + 12345;
        b = static_cast<uint8_t>(x >> 16);
    }
    files["broken-not-a-database.nte"] = noise;
    files["broken-empty.nte"] = Bytes{};
    return files;
}

} // namespace testing_support
