// lockleaf_bench_save FILE [RECORDS]: generates the benchmark database of
// RECORDS records (100000 unless given; the same content on every run) and
// saves it at FILE under the benchmark password. Prints the image size and the
// time of the save alone, generation excluded, in nanoseconds.
#include "BenchData.h"

#include "store/NotesMgr.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FILE [RECORDS]\n", argv[0]);
        return 2;
    }
    try {
        const int records = argc == 3 ? std::atoi(argv[2]) : 100000;
        NotesMgr mgr;
        benchdata::fill(mgr, records);
        const size_t imageSize = benchdata::image(mgr).size();

        const auto start = std::chrono::steady_clock::now();
        mgr.save(argv[1]);
        const auto elapsed = std::chrono::steady_clock::now() - start;

        std::printf("records=%d image_bytes=%zu save_ns=%lld\n", records, imageSize,
                    static_cast<long long>(std::chrono::nanoseconds(elapsed).count()));
        // The store's teardown is no part of a save.
        std::fflush(stdout);
        std::_Exit(0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
}
