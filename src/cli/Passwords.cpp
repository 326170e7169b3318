#include "cli/Passwords.h"

#include "cli/CliErrors.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <termios.h>
#include <unistd.h>

namespace cli {

namespace {

const char* const TOO_LONG = "A password is longer than 4096 bytes.";

// The terminal state to put back if a signal ends the program while echo is
// off; only async-signal-safe calls touch it from the handler.
int echoOffFd = -1;
struct termios echoOnState;
constexpr int RESTORED_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restoreEchoAndDie(int sig)
{
    if (echoOffFd >= 0)
        ::tcsetattr(echoOffFd, TCSANOW, &echoOnState);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

class TtyTerminal : public Terminal {
public:
    explicit TtyTerminal(int fd) : fd_(fd) {}
    ~TtyTerminal() override { ::close(fd_); }
    TtyTerminal(const TtyTerminal&) = delete;
    TtyTerminal& operator=(const TtyTerminal&) = delete;

    std::optional<std::string> readHidden(const std::string& prompt) override
    {
        struct termios saved;
        // Refuse rather than show the password if echo cannot be turned off.
        if (::tcgetattr(fd_, &saved) != 0)
            throw UsageError("Cannot turn off echo on the terminal to ask for a password.");
        struct sigaction oldActions[std::size(RESTORED_SIGNALS)];
        echoOnState = saved;
        echoOffFd = fd_;
        struct sigaction action {};
        action.sa_handler = restoreEchoAndDie;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(RESTORED_SIGNALS); ++i)
            ::sigaction(RESTORED_SIGNALS[i], &action, &oldActions[i]);

        struct termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
        ::tcsetattr(fd_, TCSAFLUSH, &hidden);
        writeAll(prompt);

        std::string line;
        line.reserve(MAX_PASSWORD_BYTES);
        bool ended = false;
        bool tooLong = false;
        for (;;) {
            char c;
            const ssize_t n = ::read(fd_, &c, 1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ended = line.empty();
                break;
            }
            if (c == '\n')
                break;
            if (line.size() < MAX_PASSWORD_BYTES)
                line += c;
            else
                tooLong = true;
        }

        ::tcsetattr(fd_, TCSAFLUSH, &saved);
        echoOffFd = -1;
        for (size_t i = 0; i < std::size(RESTORED_SIGNALS); ++i)
            ::sigaction(RESTORED_SIGNALS[i], &oldActions[i], nullptr);
        // The user's Enter was not echoed.
        writeAll("\n");

        if (tooLong) {
            wipe(line);
            throw UsageError(TOO_LONG);
        }
        if (ended)
            return std::nullopt;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }

    void tell(const std::string& line) override { writeAll(line + "\n"); }

private:
    // Failures to show text on the terminal are not worth failing the command.
    void writeAll(const std::string& text)
    {
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;
            done += static_cast<size_t>(n);
        }
    }

    int fd_;
};

} // namespace

std::unique_ptr<Terminal> openTerminal()
{
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (!::isatty(fd)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<TtyTerminal>(fd);
}

std::optional<std::string> readPasswordLine(std::istream& in)
{
    std::string line;
    // Reserved up front so that growing leaves no copies in freed memory.
    line.reserve(MAX_PASSWORD_BYTES);
    bool any = false;
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() == MAX_PASSWORD_BYTES) {
            wipe(line);
            throw UsageError(TOO_LONG);
        }
        line += static_cast<char>(c);
    }
    if (!any)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

void wipe(std::string& secret)
{
    volatile char* p = secret.data();
    for (size_t i = 0; i < secret.size(); ++i)
        p[i] = 0;
    secret.clear();
}

} // namespace cli
