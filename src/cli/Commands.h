#pragma once

#include "cli/Passwords.h"

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

class NotesMgr;

// The commands of the lockleaf tool. Each throws on failure (the store's
// exceptions, UsageError, InputError) and writes nothing to out then.
namespace cli {

constexpr int EXIT_USAGE = 1;
constexpr int EXIT_WRONG_PASSWORD = 2;
constexpr int EXIT_FILE_ERROR = 3;

constexpr int MAX_PASSWORD_ATTEMPTS = 3;
constexpr size_t MAX_JSON_BYTES = size_t{256} << 20;

// Loads the database at path into mgr: with the first line of
// passwords.lines, else with the empty password and then, on a terminal, with
// up to three passwords asked for.
void openDatabase(NotesMgr& mgr, const std::string& path, PasswordInput& passwords);

// The database as compact JSON and a newline.
void dumpCommand(const std::string& path, PasswordInput& passwords, std::ostream& out);
// Title, description, record counts, next id and file size, "Label: value"
// a line.
void infoCommand(const std::string& path, PasswordInput& passwords, std::ostream& out);
// The records as an outline in display order, two spaces a level, "+ " for a
// folder and "- " for a note.
void treeCommand(const std::string& path, PasswordInput& passwords, std::ostream& out);
// Saves the database under a new password (the old file kept as path.bak).
void passwdCommand(const std::string& path, PasswordInput& passwords);
// Writes a new database at path from the JSON file at jsonPath, as dump
// prints it (the old file, if any, kept as path.bak).
void createCommand(const std::string& path, const std::string& jsonPath, PasswordInput& passwords);

// Runs command, writing a failure as its one-line message to err. Returns
// the exit status: 0, or EXIT_USAGE, EXIT_WRONG_PASSWORD, EXIT_FILE_ERROR.
int runReported(const std::function<void()>& command, std::ostream& err);

} // namespace cli
