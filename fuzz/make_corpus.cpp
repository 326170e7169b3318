// Writes the seed corpus of the fuzz targets (fuzz/make-corpus.sh):
//   make_corpus DATA_FOLDER CORPUS_FOLDER
// Both targets take a plain image, so each gets the same seeds: the sample
// databases of DATA_FOLDER decrypted, and a few images written here for
// encodings the samples do not use.
#include "store/Archive.h"
#include "store/NotesMgr.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

const char* const TARGETS[] = {"image_reader_fuzz", "load_fuzz"};

// The passwords the sample databases use; a file that none opens (the broken
// ones) is decrypted with the first.
const std::u16string PASSWORDS[] = {u"sesame", u""};

bool reads(const Bytes& image)
{
    Bytes copy = image;
    Archive ar(copy, Archive::Mode::load);
    NotesMgr mgr;
    try {
        mgr.serialize(ar);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

Bytes decrypt(const fs::path& file)
{
    NotesMgr mgr;
    Bytes fallback;
    for (const auto& password : PASSWORDS) {
        mgr.setPassword(password);
        Bytes image;
        mgr.readEncrypted(file.string(), image);
        if (reads(image))
            return image;
        if (fallback.empty())
            fallback = std::move(image);
    }
    return fallback;
}

void header(Archive& ar, int32_t version, int32_t count)
{
    ar.writeU16(0x4321);
    ar.writeU16(NotesMgr::DB_CHECK_WORD);
    ar.writeI32(version);
    ar.writeI32(count);
    ar.writeString(u"Seed");
    ar.writeString(u"");
    ar.writeI32(count);
}

void zeroTime(Archive& ar)
{
    for (int i = 0; i < 6; ++i)
        ar.writeU16(0);
}

void recordV3Tail(Archive& ar)
{
    ar.writeI32(0);
    zeroTime(ar);
    zeroTime(ar);
    ar.writeI32(2);
    ar.writeU32(0x11111110);
}

// A version 3 image whose strings use every length form, the longer ones for
// short lengths, and the untagged one-byte text.
Bytes lengthForms()
{
    Bytes image;
    Archive ar(image, Archive::Mode::store);
    header(ar, 3, 3);
    const uint8_t twoByteLength[] = {0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 'a', 0, 'b', 0};
    const uint8_t fourByteLength[] = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 'c', 0};
    const uint8_t eightByteLength[] = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                       0x01, 0, 0, 0, 0, 0, 0, 0, 'd', 0};
    const uint8_t oneByte[] = {0x03, 'x', 0x80, 0x9F};
    const uint8_t oneByteLong[] = {0xFF, 0x02, 0x00, 'y', 'z'};
    for (int32_t id = 0; id < 3; ++id) {
        ar.writeI32(id);
        ar.writeI32(id - 1);
        ar.writeI32(id == 0);
        if (id == 0) {
            ar.writeBytes(twoByteLength, sizeof twoByteLength);
            ar.writeBytes(fourByteLength, sizeof fourByteLength);
        } else if (id == 1) {
            ar.writeBytes(eightByteLength, sizeof eightByteLength);
            ar.writeBytes(oneByte, sizeof oneByte);
        } else {
            ar.writeBytes(oneByteLong, sizeof oneByteLong);
            ar.writeString(std::u16string(300, u'w'));
        }
        recordV3Tail(ar);
    }
    ar.writeBytes(Bytes(16, 0).data(), 16);
    return image;
}

// A version 2 image with a reminder as a 64-bit moment behind its marker.
Bytes wideTime()
{
    Bytes image;
    Archive ar(image, Archive::Mode::store);
    header(ar, 2, 1);
    ar.writeI32(0);
    ar.writeI32(-1);
    ar.writeI32(0);
    ar.writeString(u"Later");
    ar.writeString(u"");
    ar.writeI32(1);
    ar.writeI32(static_cast<int32_t>(0x8000000A));
    ar.writeI64(4102444800);
    ar.writeI32(0);
    ar.writeI32(4);
    ar.writeU32(0x11111110);
    ar.writeBytes(Bytes(16, 0).data(), 16);
    return image;
}

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make_corpus DATA_FOLDER CORPUS_FOLDER\n";
        return 2;
    }
    try {
        std::map<std::string, Bytes> seeds;
        for (const auto& entry : fs::directory_iterator(argv[1]))
            if (entry.path().extension() == ".nte")
                seeds[entry.path().stem().string() + ".img"] = decrypt(entry.path());
        seeds["length-forms.img"] = lengthForms();
        seeds["v2-wide-time.img"] = wideTime();
        for (const auto& [name, image] : seeds)
            if (!name.starts_with("broken-") && !reads(image))
                throw std::runtime_error(name + " does not read");

        for (const char* target : TARGETS) {
            const fs::path folder = fs::path(argv[2]) / target;
            fs::create_directories(folder);
            for (const auto& entry : fs::directory_iterator(folder))
                if (entry.path().extension() == ".img")
                    fs::remove(entry.path());
            for (const auto& [name, image] : seeds)
                writeFile(folder / name, image);
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
