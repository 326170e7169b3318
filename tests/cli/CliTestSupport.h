#pragma once

#include "TestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace cli_testing {

using TempDir = testing_support::TempDir;

std::string readText(const std::filesystem::path& path);
void writeText(const std::filesystem::path& path, const std::string& text);

struct RunResult {
    int status = -1;   // the exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs the built lockleaf in folder with args, input as standard input, in a
// new session so that it has no terminal to ask on.
RunResult runLockleaf(const std::filesystem::path& folder, const std::vector<std::string>& args,
                      const std::string& input = {});

// One record of dump's JSON with all-zero times, recurrence 2 and the
// all-weekdays mask. titleJson is a JSON string literal with its quotes.
std::string recordJson(int id, int parentId, int isFolder, const std::string& titleJson);
// A whole database's JSON around the given records.
std::string databaseJson(int nextId, const std::string& titleJson, const std::string& descriptionJson,
                         const std::vector<std::string>& records);

} // namespace cli_testing
