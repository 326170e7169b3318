#pragma once

#include "store/Archive.h"
#include "store/NotesMgr.h"
#include "store/Profile.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

// "34 12 09 03" → bytes; whitespace is ignored.
Bytes hex(const std::string& text);
std::string toHex(const Bytes& bytes);
Bytes readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const Bytes& bytes);

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Names in the folder, sorted.
    std::vector<std::string> names() const;

private:
    std::filesystem::path path_;
};

// Settings held in memory, keyed "section/entry".
class MemoryProfile : public Profile {
public:
    std::u16string getString(std::u16string_view section, std::u16string_view entry,
                             std::u16string_view defaultValue) override;
    void writeString(std::u16string_view section, std::u16string_view entry,
                     std::u16string_view value) override;
    std::map<std::u16string, std::u16string> values;
};

// Everything a load may replace, for "unchanged" checks.
struct StoreSnapshot {
    uint16_t randomWord;
    int32_t formatVersion;
    int32_t nextId;
    std::u16string dbTitle;
    std::u16string dbDescription;
    NotesMgr::RecordMap records;
    std::u16string password;
    std::vector<std::u16string> recentFiles;
    friend bool operator==(const StoreSnapshot&, const StoreSnapshot&) = default;
};
StoreSnapshot snapshot(const NotesMgr& mgr);

// Writes images by hand, in any layout, for reader tests.
class ImageWriter {
public:
    ImageWriter& header(uint16_t randomWord, uint16_t checkWord, int32_t version, int32_t nextId,
                        std::u16string_view title, std::u16string_view description, int32_t count);
    ImageWriter& recordV3(const NoteRecord& r);
    ImageWriter& recordV2(const NoteRecord& r, int64_t reminderMoment, int64_t alertMoment);
    ImageWriter& recordV1(int32_t id, int32_t parentId, int32_t isFolder, std::u16string_view title,
                          std::u16string_view text, int64_t moment);
    ImageWriter& filler(size_t size = 16);
    ImageWriter& raw(const Bytes& bytes);
    Bytes bytes() const { return bytes_; }

private:
    void legacyTime(int64_t moment);
    Bytes bytes_;
    Archive ar_{bytes_, Archive::Mode::store};
};

// Reads an image into mgr.
void readImage(NotesMgr& mgr, Bytes image);
// The image mgr writes (drawing a new randomWord).
Bytes writeImage(NotesMgr& mgr);

// The sample databases kept in tests/data: name → file content.
std::map<std::string, Bytes> makeSampleDatabases();
std::filesystem::path testDataDir();

} // namespace testing_support
