// lockleaf_bench_load FILE: loads the database at FILE under the benchmark
// password (as lockleaf_bench_save wrote it) and prints the record count and
// the time of the load alone in nanoseconds.
#include "BenchData.h"

#include "store/NotesMgr.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    try {
        NotesMgr mgr;
        mgr.setPassword(benchdata::PASSWORD);

        const auto start = std::chrono::steady_clock::now();
        mgr.load(argv[1]);
        const auto elapsed = std::chrono::steady_clock::now() - start;

        std::printf("records=%zu load_ns=%lld\n", mgr.records().size(),
                    static_cast<long long>(std::chrono::nanoseconds(elapsed).count()));
        // The store's teardown is no part of a load.
        std::fflush(stdout);
        std::_Exit(0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
}
