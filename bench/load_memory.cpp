// lockleaf_load_memory [FILE]: the peak memory of a load as a multiple of the
// image size. Without FILE, generates the 100,000-record benchmark database
// first. The load runs in a fresh process (this program again, with
// --measure), whose peak resident size before and after it comes from
// /proc/self/status.
#include "BenchData.h"

#include "store/NotesMgr.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A "Vm...: N kB" line of /proc/self/status, in bytes.
long long statusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::atoll(line.c_str() + field.size() + 1) * 1024;
    }
    return -1;
}

int measure(const char* path)
{
    NotesMgr mgr;
    mgr.setPassword(benchdata::PASSWORD);
    const long long rssBefore = statusBytes("VmRSS");
    mgr.load(path);
    const long long peakAfter = statusBytes("VmHWM");
    const long long rssAfter = statusBytes("VmRSS");
    std::printf("%lld %lld %lld %zu\n", rssBefore, peakAfter, rssAfter, mgr.records().size());
    return 0;
}

// Runs this program with --measure path; its one line of output.
std::optional<std::string> runMeasure(const std::string& path)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        ::execl("/proc/self/exe", "lockleaf_load_memory", "--measure", path.c_str(),
                static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 3 && std::string(argv[1]) == "--measure")
            return measure(argv[2]);
        if (argc > 2) {
            std::fprintf(stderr, "usage: %s [FILE]\n", argv[0]);
            return 2;
        }

        std::optional<benchdata::ScratchDir> scratch;
        std::string path;
        if (argc == 2) {
            path = argv[1];
        } else {
            scratch.emplace();
            path = scratch->file("notes-100000.nte");
            NotesMgr mgr;
            benchdata::fill(mgr, 100000);
            mgr.save(path);
        }

        const auto out = runMeasure(path);
        long long rssBefore = 0, peakAfter = 0, rssAfter = 0;
        size_t records = 0;
        if (!out || std::sscanf(out->c_str(), "%lld %lld %lld %zu", &rssBefore, &peakAfter, &rssAfter, &records) != 4) {
            std::fprintf(stderr, "the measuring process failed\n");
            return 1;
        }
        const auto imageSize = static_cast<double>(std::filesystem::file_size(path));
        const double peakIncrease = static_cast<double>(peakAfter - rssBefore);
        const double heldIncrease = static_cast<double>(rssAfter - rssBefore);
        std::printf("records              %zu\n", records);
        std::printf("image bytes          %.0f (%.1f MiB)\n", imageSize, imageSize / 1048576);
        std::printf("peak RSS increase    %.0f (%.1f MiB)\n", peakIncrease, peakIncrease / 1048576);
        std::printf("held after the load  %.0f (%.1f MiB)\n", heldIncrease, heldIncrease / 1048576);
        std::printf("peak / image         %.2f\n", peakIncrease / imageSize);
        std::printf("held / image         %.2f\n", heldIncrease / imageSize);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
