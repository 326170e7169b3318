#include "store/FileOps.h"

#include "store/StoreErrors.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileops {

namespace {

FaultHook faultHook;

// Runs a system call unless the test hook fails it first; retries EINTR.
template <typename F>
auto sys(Op op, F&& call) -> decltype(call())
{
    if (faultHook) {
        if (int err = faultHook(op)) {
            errno = err;
            return -1;
        }
    }
    decltype(call()) r;
    do {
        r = call();
    } while (r == -1 && errno == EINTR);
    return r;
}

[[noreturn]] void fail(const std::string& name, int err)
{
    throw FileException::fromErrno(err, name);
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Closes a descriptor once; the destructor path (after an earlier failure)
// ignores close's result because the failure already being reported wins.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

void closeChecked(Fd& fd, const std::string& name)
{
    const int raw = fd.release();
    // A failed close is not retried: on Linux the descriptor is gone either way.
    if (faultHook) {
        if (int err = faultHook(Op::close)) {
            ::close(raw);
            fail(name, err);
        }
    }
    if (::close(raw) != 0 && errno != EINTR)
        fail(name, errno);
}

void writeAll(int fd, const uint8_t* data, size_t size, const std::string& name)
{
    while (size > 0) {
        const ssize_t n = sys(Op::write, [&] { return ::write(fd, data, size); });
        if (n < 0)
            fail(name, errno);
        if (n == 0)
            fail(name, ENOSPC);
        data += n;
        size -= static_cast<size_t>(n);
    }
}

// Removes the temporary files of a save that did not finish.
class TempFiles {
public:
    ~TempFiles()
    {
        for (const auto& f : files_)
            ::unlink(f.c_str());
    }
    void add(const std::string& f) { files_.push_back(f); }
    void forget(const std::string& f) { std::erase(files_, f); }

private:
    std::vector<std::string> files_;
};

void copyInto(const std::string& from, const std::string& to, mode_t mode, const std::string& name)
{
    const std::vector<uint8_t> content = readAll(from);
    Fd out(sys(Op::open, [&] { return ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600); }));
    if (out.get() < 0)
        fail(name, errno);
    if (::fchmod(out.get(), mode) != 0)
        fail(name, errno);
    writeAll(out.get(), content.data(), content.size(), name);
    if (sys(Op::fsync, [&] { return ::fsync(out.get()); }) != 0)
        fail(name, errno);
    closeChecked(out, name);
}

void syncFolder(const std::string& folder, const std::string& name)
{
    Fd dir(sys(Op::open, [&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }));
    if (dir.get() < 0)
        fail(name, errno);
    if (sys(Op::fsync, [&] { return ::fsync(dir.get()); }) != 0)
        fail(name, errno);
    closeChecked(dir, name);
}

} // namespace

void setFaultHook(FaultHook hook)
{
    faultHook = std::move(hook);
}

std::vector<uint8_t> readAll(const std::string& path)
{
    Fd fd(sys(Op::open, [&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }));
    if (fd.get() < 0)
        fail(path, errno);
    struct stat st {};
    if (sys(Op::stat, [&] { return ::fstat(fd.get(), &st); }) != 0)
        fail(path, errno);
    if (S_ISDIR(st.st_mode))
        fail(path, EISDIR);
    // A device or pipe could deliver bytes without end.
    if (!S_ISREG(st.st_mode))
        throw FileException(FileException::Cause::notRegularFile, path);

    std::vector<uint8_t> data;
    data.reserve(static_cast<size_t>(st.st_size));
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = sys(Op::read, [&] { return ::read(fd.get(), chunk, sizeof chunk); });
        if (n < 0)
            fail(path, errno);
        if (n == 0)
            break;
        data.insert(data.end(), chunk, chunk + n);
    }
    closeChecked(fd, path);
    return data;
}

void replaceWithBackup(const std::string& path, const std::string& backupPath,
                       const std::vector<uint8_t>& data)
{
    const std::string folder = folderOf(path);
    TempFiles temps;

    // 1. The new content, complete and on disk, under a temporary name.
    std::string tempName = folder + "/.lockleaf-save-XXXXXX";
    Fd out(sys(Op::open, [&] { return ::mkostemp(tempName.data(), O_CLOEXEC); }));
    if (out.get() < 0)
        fail(path, errno);
    temps.add(tempName);

    struct stat current {};
    const bool exists = sys(Op::stat, [&] { return ::stat(path.c_str(), &current); }) == 0;
    if (!exists && errno != ENOENT)
        fail(path, errno);
    // The new file keeps the permissions of the one it replaces; a new
    // database is readable by its owner only.
    if (exists && ::fchmod(out.get(), current.st_mode & 07777) != 0)
        fail(path, errno);

    writeAll(out.get(), data.data(), data.size(), path);
    if (sys(Op::fsync, [&] { return ::fsync(out.get()); }) != 0)
        fail(path, errno);
    closeChecked(out, path);

    // 2. Keep the current content under a second temporary name (a hard
    // link where the file system has them, else a copy).
    const std::string backupTemp = tempName + ".bak";
    if (exists) {
        temps.add(backupTemp);
        if (sys(Op::link, [&] { return ::link(path.c_str(), backupTemp.c_str()); }) != 0) {
            const int err = errno;
            if (err != EXDEV && err != EPERM && err != ENOTSUP && err != EMLINK && err != ENOSYS)
                fail(backupPath, err);
            copyInto(path, backupTemp, current.st_mode & 07777, backupPath);
        }
    }

    // 3. The new content takes the name in one step.
    if (sys(Op::rename, [&] { return ::rename(tempName.c_str(), path.c_str()); }) != 0)
        fail(path, errno);
    temps.forget(tempName);

    // 4. The previous content replaces the older backup in one step. If that
    // fails, the previous content goes back under the database's name, so a
    // failed save changes neither file. Should that fail too, the previous
    // content stays under its temporary name: it is its only copy now.
    if (exists && sys(Op::rename, [&] { return ::rename(backupTemp.c_str(), backupPath.c_str()); }) != 0) {
        const int err = errno;
        temps.forget(backupTemp);
        if (::rename(backupTemp.c_str(), path.c_str()) == 0) {
            try {
                syncFolder(folder, path);
            } catch (const FileException&) {
                // The failure being reported is the backup's.
            }
        }
        fail(backupPath, err);
    }
    temps.forget(backupTemp);

    // 5. Make the renames durable.
    syncFolder(folder, path);
}

} // namespace fileops
