#pragma once

#include <stdexcept>

// Failures of the command-line tool itself; what() is the finished one-line
// message. The store's own exceptions travel alongside these unchanged.
namespace cli {

// The command line or the password input cannot be used: exit status 1.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An input file other than the database (create's JSON) is unusable: exit
// status 3, like a damaged database.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace cli
