#pragma once

#include <stdexcept>
#include <string>

// The failures that leave the store. Each carries the name of the file it
// concerns (as the caller gave it) and produces the program's standard text
// for it through what().
class StoreException : public std::runtime_error {
public:
    const std::string& fileName() const { return fileName_; }

protected:
    StoreException(const std::string& message, const std::string& fileName)
        : std::runtime_error(message), fileName_(fileName) {}

private:
    std::string fileName_;
};

// Opening, reading, writing, renaming or removing a file failed.
class FileException : public StoreException {
public:
    enum class Cause {
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
        notRegularFile,  // a folder, device or pipe where a database file was expected
    };

    FileException(Cause cause, const std::string& fileName, int osError = 0);
    // Maps an errno value to its cause.
    static FileException fromErrno(int err, const std::string& fileName);

    Cause cause() const { return cause_; }
    int osError() const { return osError_; }

private:
    Cause cause_;
    int osError_;
};

// The bytes of an image could not be read as a database.
class ArchiveException : public StoreException {
public:
    enum class Cause {
        generic,
        endOfFile,   // a value or string runs past the end of the image
        badSchema,   // the image names a format version no reader knows
    };

    ArchiveException(Cause cause, const std::string& fileName);
    Cause cause() const { return cause_; }

private:
    Cause cause_;
};

// An allocation failed.
class MemoryException : public StoreException {
public:
    explicit MemoryException(const std::string& fileName = {});
};

// The image's check word is wrong: the password does not fit the file (or
// the file is no database). Carries the check value 777.
class WrongPasswordError : public StoreException {
public:
    static constexpr int CODE = 777;
    explicit WrongPasswordError(const std::string& fileName = {});
    int code() const { return CODE; }
};
