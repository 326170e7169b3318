#include "CliTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace cli_testing {

std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

RunResult runLockleaf(const std::filesystem::path& folder, const std::vector<std::string>& args,
                      const std::string& input)
{
    // Standard streams go through files in a folder of their own, so the
    // folder under test holds only what the tool wrote.
    const TempDir io;
    writeText(io.path() / "in", input);
    const std::string inPath = io.file("in");
    const std::string outPath = io.file("out");
    const std::string errPath = io.file("err");

    std::vector<std::string> argStrings{LOCKLEAF_BINARY};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::setsid();
        const int in = ::open(inPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::chdir(folder.c_str()) != 0 || ::dup2(in, 0) < 0 ||
            ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    RunResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = readText(outPath);
    r.err = readText(errPath);
    return r;
}

std::string recordJson(int id, int parentId, int isFolder, const std::string& titleJson)
{
    return "{\"id\":" + std::to_string(id) + ",\"parentId\":" + std::to_string(parentId) +
           ",\"isFolder\":" + std::to_string(isFolder) + ",\"title\":" + titleJson +
           ",\"text\":\"\",\"reminderEnabled\":0,\"reminderTime\":[0,0,0,0,0,0,0,0],"
           "\"lastAlert\":[0,0,0,0,0,0,0,0],\"recurrence\":2,\"weekdayMask\":286331152}";
}

std::string databaseJson(int nextId, const std::string& titleJson, const std::string& descriptionJson,
                         const std::vector<std::string>& records)
{
    std::string out = "{\"formatVersion\":3,\"nextId\":" + std::to_string(nextId) + ",\"dbTitle\":" + titleJson +
                      ",\"dbDescription\":" + descriptionJson + ",\"records\":[";
    for (size_t i = 0; i < records.size(); ++i)
        out += (i ? "," : "") + records[i];
    return out + "]}";
}

} // namespace cli_testing
