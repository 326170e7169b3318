#include "store/StoreErrors.h"

#include <cerrno>

namespace {

std::string substitute(const char* pattern, const std::string& fileName)
{
    // Unnamed data (an image in memory) reads as "the database".
    const std::string name = fileName.empty() ? std::string("the database") : fileName;
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == '1') {
            out += name;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

const char* fileText(FileException::Cause cause)
{
    using C = FileException::Cause;
    switch (cause) {
    case C::fileNotFound: return "%1 was not found.";
    case C::badPath: return "%1 contains an invalid path.";
    case C::tooManyOpenFiles: return "%1 could not be opened because there are too many open files.";
    case C::accessDenied: return "Access to %1 was denied.";
    case C::invalidFile: return "An invalid file handle was associated with %1.";
    case C::removeCurrentDir: return "%1 could not be removed because it is the current directory.";
    case C::directoryFull: return "%1 could not be created because the directory is full.";
    case C::badSeek: return "Seek failed on %1.";
    case C::hardIO: return "A hardware I/O error was reported while accessing %1.";
    case C::sharingViolation: return "A sharing violation occurred while accessing %1.";
    case C::lockViolation: return "A locking violation occurred while accessing %1.";
    case C::diskFull: return "Disk full while accessing %1.";
    case C::endOfFile: return "An attempt was made to access %1 past its end.";
    case C::notRegularFile: return "%1 is not a database file.";
    case C::generic: break;
    }
    return "An unexpected error occurred while accessing %1.";
}

const char* archiveText(ArchiveException::Cause cause)
{
    using C = ArchiveException::Cause;
    switch (cause) {
    case C::endOfFile: return "An attempt was made to access %1 past its end.";
    case C::badSchema: return "%1 was written in a format version that this program cannot read.";
    case C::generic: break;
    }
    return "An unexpected error occurred while reading %1.";
}

} // namespace

FileException::FileException(Cause cause, const std::string& fileName, int osError)
    : StoreException(substitute(fileText(cause), fileName), fileName),
      cause_(cause), osError_(osError)
{
}

FileException FileException::fromErrno(int err, const std::string& fileName)
{
    Cause cause = Cause::generic;
    switch (err) {
    case ENOENT: cause = Cause::fileNotFound; break;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: cause = Cause::badPath; break;
    case EMFILE:
    case ENFILE: cause = Cause::tooManyOpenFiles; break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: cause = Cause::accessDenied; break;
    case EBADF: cause = Cause::invalidFile; break;
    case ESPIPE: cause = Cause::badSeek; break;
    case EIO: cause = Cause::hardIO; break;
    case EBUSY:
    case ETXTBSY: cause = Cause::sharingViolation; break;
    case ENOLCK: cause = Cause::lockViolation; break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: cause = Cause::diskFull; break;
    default: break;
    }
    return FileException(cause, fileName, err);
}

ArchiveException::ArchiveException(Cause cause, const std::string& fileName)
    : StoreException(substitute(archiveText(cause), fileName), fileName), cause_(cause)
{
}

MemoryException::MemoryException(const std::string& fileName)
    : StoreException("Out of memory.", fileName)
{
}

WrongPasswordError::WrongPasswordError(const std::string& fileName)
    : StoreException(substitute("Wrong password for %1 (or it is not a Lockleaf database).", fileName), fileName)
{
}
