#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <optional>
#include <string>

// Reading passwords (UTF-8) from standard input or the terminal. A password
// is never echoed, logged or written anywhere.
namespace cli {

constexpr size_t MAX_PASSWORD_BYTES = 4096;

// A terminal to ask on with echo off.
class Terminal {
public:
    virtual ~Terminal() = default;
    // Shows prompt and reads one line without echo; empty at end of input.
    // Throws UsageError for a line longer than MAX_PASSWORD_BYTES.
    virtual std::optional<std::string> readHidden(const std::string& prompt) = 0;
    // Shows one line of text.
    virtual void tell(const std::string& line) = 0;
};

// The process's controlling terminal, or null when it has none.
std::unique_ptr<Terminal> openTerminal();

// One line of in without its "\n" and a trailing "\r"; empty at end of input.
// Throws UsageError for a line longer than MAX_PASSWORD_BYTES.
std::optional<std::string> readPasswordLine(std::istream& in);

// Overwrites a password's bytes before the string is freed.
void wipe(std::string& secret);

// Where one command gets its passwords: the lines of a stream
// (--password-stdin), else the terminal if there is one, else nothing.
struct PasswordInput {
    std::istream* lines = nullptr;
    Terminal* terminal = nullptr;
};

} // namespace cli
