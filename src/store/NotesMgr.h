#pragma once

#include "store/AesCipher.h"
#include "store/NoteRecord.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Archive;
class Profile;

// The in-memory database: header values, the password and every folder and
// note, keyed by id. One store lives as long as the document and is emptied
// and refilled for each database; the password and the recent-files list
// belong to the program run and survive clear().
class NotesMgr {
public:
    static constexpr uint16_t DB_CHECK_WORD = 777;
    static constexpr int32_t DB_FORMAT_VERSION = 3;
    using RecordMap = std::map<int32_t, NoteRecord>;

    // profile may be null (no recent-files list is read or written); it must
    // outlive the store.
    explicit NotesMgr(Profile* profile = nullptr);
    ~NotesMgr();
    NotesMgr(const NotesMgr&) = delete;
    NotesMgr& operator=(const NotesMgr&) = delete;

    // Empties the database; keeps the password and the recent-files list.
    void clear();
    // Adds a record with the next id and default reminder fields; returns its id.
    int32_t addRecord(int32_t parentId, int32_t isFolder, std::u16string title, std::u16string text);
    // The record with that id, or null. Callers may change every field but id.
    NoteRecord* findRecord(int32_t id);
    const NoteRecord* findRecord(int32_t id) const;
    // Removes that one record (not the records below it); nothing if absent.
    void removeRecord(int32_t id);
    // All records in ascending id order. Not to be changed while visited.
    const RecordMap& records() const { return records_; }

    uint16_t randomWord() const { return randomWord_; }
    int32_t formatVersion() const { return formatVersion_; }
    int32_t nextId() const { return nextId_; }
    const std::u16string& dbTitle() const { return dbTitle_; }
    void setDbTitle(std::u16string title) { dbTitle_ = std::move(title); }
    const std::u16string& dbDescription() const { return dbDescription_; }
    void setDbDescription(std::u16string description) { dbDescription_ = std::move(description); }
    const std::u16string& password() const { return password_; }
    void setPassword(std::u16string password) { password_ = std::move(password); }

    // Writes the store to a storing archive (drawing a new randomWord), or
    // replaces it by the image in a loading archive. A failed read throws
    // (WrongPasswordError, ArchiveException, MemoryException) and leaves the
    // store exactly as it was.
    void serialize(Archive& ar);

    // Opens the database file at path with the current password. Throws on
    // failure, leaving the store and the recent-files list unchanged.
    bool load(const std::string& path);
    // Saves to path under the current password; the previous file at path
    // becomes path + ".bak". Throws FileException on failure.
    bool save(const std::string& path);

    // A cipher for one load (direction 1) or save (direction 0) under the
    // file key of the current password.
    std::unique_ptr<AesCipher> makeCipher(int direction) const;
    // The decrypted content of the file at path, appended to image.
    void readEncrypted(const std::string& path, std::vector<uint8_t>& image) const;
    // Encrypts image and puts it at path, keeping the previous file as backup.
    void writeEncrypted(const std::string& path, std::vector<uint8_t> image) const;

    // Block transforms of the envelope: whole 16-byte blocks each on its own,
    // a short piece at the end as the format describes.
    void encryptImage(std::vector<uint8_t>& bytes) const;
    void decryptImage(std::vector<uint8_t>& bytes) const;

    // Recently used database paths, most recent first.
    const std::vector<std::u16string>& recentFiles() const { return recentFiles_; }
    void loadRecentFiles();
    void addRecentFile(std::u16string path);
    void saveRecentFiles();
    void removeRecentFile(size_t index);

    static constexpr int MAX_RECENT_FILES = 7;

private:
    void store(Archive& ar);
    void read(Archive& ar);

    uint16_t randomWord_ = 0;
    int32_t formatVersion_ = DB_FORMAT_VERSION;
    int32_t nextId_ = 0;
    std::u16string dbTitle_;
    std::u16string dbDescription_;
    RecordMap records_;
    std::u16string password_;
    std::vector<std::u16string> recentFiles_;
    Profile* profile_;
};
