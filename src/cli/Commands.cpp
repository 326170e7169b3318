#include "cli/Commands.h"

#include "cli/CliErrors.h"
#include "cli/DatabaseJson.h"
#include "cli/Json.h"
#include "store/NotesMgr.h"
#include "store/StoreErrors.h"
#include "store/TreeOrder.h"
#include "store/Utf.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cli {

namespace {

std::u16string askHidden(Terminal& terminal, const std::string& prompt)
{
    auto line = terminal.readHidden(prompt);
    if (!line)
        throw UsageError("No password was entered.");
    std::u16string password = utf::fromUtf8(*line);
    wipe(*line);
    return password;
}

std::u16string nextLinePassword(std::istream& lines, const char* missing)
{
    auto line = readPasswordLine(lines);
    if (!line)
        throw UsageError(missing);
    std::u16string password = utf::fromUtf8(*line);
    wipe(*line);
    return password;
}

// The next line of passwords.lines, else asked twice on the terminal, else
// the empty password.
std::u16string newPassword(PasswordInput& passwords, const char* missingLine)
{
    if (passwords.lines)
        return nextLinePassword(*passwords.lines, missingLine);
    if (!passwords.terminal)
        return {};
    std::u16string first = askHidden(*passwords.terminal, "New password: ");
    if (askHidden(*passwords.terminal, "Repeat new password: ") != first)
        throw UsageError("The new passwords do not match.");
    return first;
}

// Text from a database made safe for a terminal: control characters (which
// could move the cursor or start escape sequences) and unpaired surrogates
// become U+FFFD. Line breaks are split off by the caller.
std::string displayText(std::u16string_view text)
{
    std::u16string shown(text);
    for (char16_t& c : shown)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            c = 0xFFFD;
    return utf::toUtf8(shown);
}

// "Label: first line" and the further lines (split at CR LF, LF or CR)
// indented by two spaces.
void writeLabelled(std::ostream& out, const char* label, std::u16string_view text)
{
    out << label << ':';
    bool first = true;
    for (;;) {
        const size_t end = text.find_first_of(u"\r\n");
        const std::u16string_view line = text.substr(0, end);
        if (first)
            out << (line.empty() ? "" : " ");
        else
            out << (line.empty() ? "" : "  ");
        out << displayText(line) << '\n';
        first = false;
        if (end == std::u16string_view::npos)
            return;
        const size_t next = text.compare(end, 2, u"\r\n") == 0 ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
}

// The --from file, read whole up to MAX_JSON_BYTES; it may be anything the
// user points at, a device or a pipe included.
std::string readJsonFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileException::fromErrno(errno, path);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw FileException::fromErrno(errno, path);
    if (S_ISDIR(st.st_mode))
        throw FileException::fromErrno(EISDIR, path);

    std::string text;
    std::vector<char> chunk(size_t{1} << 16);
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileException::fromErrno(errno, path);
        if (n == 0)
            return text;
        if (text.size() + static_cast<size_t>(n) > MAX_JSON_BYTES)
            throw InputError(path + " is larger than " + std::to_string(MAX_JSON_BYTES >> 20) + " MiB.");
        text.append(chunk.data(), static_cast<size_t>(n));
    }
}

int report(std::ostream& err, const char* message, int status)
{
    err << message << '\n';
    return status;
}

} // namespace

void openDatabase(NotesMgr& mgr, const std::string& path, PasswordInput& passwords)
{
    if (passwords.lines) {
        mgr.setPassword(nextLinePassword(*passwords.lines, "Expected the password on standard input."));
        mgr.load(path);
        return;
    }
    mgr.setPassword({});
    try {
        mgr.load(path);
        return;
    } catch (const WrongPasswordError&) {
        if (!passwords.terminal)
            throw;
    }
    for (int attempt = 1;; ++attempt) {
        mgr.setPassword(askHidden(*passwords.terminal, "Password for " + path + ": "));
        try {
            mgr.load(path);
            return;
        } catch (const WrongPasswordError& e) {
            if (attempt == MAX_PASSWORD_ATTEMPTS)
                throw;
            passwords.terminal->tell(e.what());
        }
    }
}

void dumpCommand(const std::string& path, PasswordInput& passwords, std::ostream& out)
{
    NotesMgr mgr(nullptr);
    openDatabase(mgr, path, passwords);
    out << json::write(databaseToJson(mgr)) << '\n';
}

void infoCommand(const std::string& path, PasswordInput& passwords, std::ostream& out)
{
    NotesMgr mgr(nullptr);
    openDatabase(mgr, path, passwords);
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        throw FileException::fromErrno(ec.value(), path);

    // Every record counts, shown in the tree or not. A reminder counts when
    // enabled, on a folder as much as on a note: the store keeps the flag on both.
    size_t folders = 0;
    size_t notes = 0;
    size_t reminders = 0;
    for (const auto& [id, r] : mgr.records()) {
        ++(r.isFolder != 0 ? folders : notes);
        if (r.reminderEnabled != 0)
            ++reminders;
    }
    writeLabelled(out, "Title", mgr.dbTitle());
    writeLabelled(out, "Description", mgr.dbDescription());
    out << "Folders: " << folders << '\n'
        << "Notes: " << notes << '\n'
        << "Enabled reminders: " << reminders << '\n'
        << "Next id: " << mgr.nextId() << '\n'
        << "File size: " << size << " bytes\n";
}

void treeCommand(const std::string& path, PasswordInput& passwords, std::ostream& out)
{
    NotesMgr mgr(nullptr);
    openDatabase(mgr, path, passwords);
    treeorder::walkTree(treeorder::groupChildren(mgr.records()), [&](const NoteRecord& r, int depth) {
        out << std::string(static_cast<size_t>(depth) * 2, ' ') << (r.isFolder != 0 ? "+ " : "- ")
            << displayText(r.title) << '\n';
    });
}

void passwdCommand(const std::string& path, PasswordInput& passwords)
{
    if (!passwords.lines && !passwords.terminal)
        throw UsageError("passwd needs a terminal or --password-stdin to read the passwords.");
    NotesMgr mgr(nullptr);
    openDatabase(mgr, path, passwords);
    mgr.setPassword(newPassword(passwords, "Expected the new password on the second line of standard input."));
    mgr.save(path);
}

void createCommand(const std::string& path, const std::string& jsonPath, PasswordInput& passwords)
{
    json::Value doc;
    try {
        doc = json::parse(readJsonFile(jsonPath));
    } catch (const json::ParseError& e) {
        throw InputError(jsonPath + " is not valid JSON: " + e.what() + ".");
    }
    NotesMgr mgr(nullptr);
    databaseFromJson(doc, jsonPath, mgr);
    mgr.setPassword(newPassword(passwords, "Expected the new password on standard input."));
    mgr.save(path);
}

int runReported(const std::function<void()>& command, std::ostream& err)
{
    try {
        command();
        return 0;
    } catch (const UsageError& e) {
        return report(err, e.what(), EXIT_USAGE);
    } catch (const WrongPasswordError& e) {
        return report(err, e.what(), EXIT_WRONG_PASSWORD);
    } catch (const StoreException& e) {
        return report(err, e.what(), EXIT_FILE_ERROR);
    } catch (const InputError& e) {
        return report(err, e.what(), EXIT_FILE_ERROR);
    } catch (const std::bad_alloc&) {
        return report(err, "Out of memory.", EXIT_FILE_ERROR);
    } catch (const std::exception& e) {
        return report(err, e.what(), EXIT_FILE_ERROR);
    } catch (...) {
        return report(err, "An unexpected error occurred.", EXIT_FILE_ERROR);
    }
}

} // namespace cli
