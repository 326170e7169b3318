// Save, load, visit and their parts on generated databases of 1,000, 10,000
// and 100,000 records. Throughputs are image bytes per second.
#include "BenchData.h"

#include "store/Archive.h"
#include "store/NotesMgr.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <map>
#include <memory>
#include <string>

namespace {

// glibc raises its mmap threshold as big blocks are freed, so the buffers of
// a 10 MB image come back warm from the allocator while those of a 100 MB one
// are fresh pages every time. A fixed threshold makes every size pay for
// fresh pages, as a program that opens one database does, and keeps the
// sizes comparable.
const int fixedMmapThreshold = mallopt(M_MMAP_THRESHOLD, 1 << 20);

NotesMgr& database(int records)
{
    static std::map<int, std::unique_ptr<NotesMgr>> made;
    auto& mgr = made[records];
    if (!mgr) {
        // As after opening a file: generated, written to an image and read back.
        NotesMgr generated;
        benchdata::fill(generated, records);
        std::vector<uint8_t> image;
        Archive out(image, Archive::Mode::store);
        generated.serialize(out);
        mgr = std::make_unique<NotesMgr>();
        mgr->setPassword(generated.password());
        Archive in(image, Archive::Mode::load);
        mgr->serialize(in);
    }
    return *mgr;
}

const benchdata::ScratchDir& scratch()
{
    static const benchdata::ScratchDir dir;
    return dir;
}

int records(const benchmark::State& state)
{
    return static_cast<int>(state.range(0));
}

void reportImage(benchmark::State& state, size_t imageSize)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(imageSize));
    state.counters["image_bytes"] = static_cast<double>(imageSize);
}

std::unique_ptr<NotesMgr> emptyStore()
{
    auto mgr = std::make_unique<NotesMgr>();
    mgr->setPassword(benchdata::PASSWORD);
    return mgr;
}

// The save flushes the file and its folder to disk: that is part of its cost.
void save(benchmark::State& state)
{
    NotesMgr& mgr = database(records(state));
    const size_t imageSize = benchdata::image(mgr).size();
    const std::string path = scratch().file("save-" + std::to_string(records(state)) + ".nte");
    for (auto _ : state)
        mgr.save(path);
    reportImage(state, imageSize);
}

void load(benchmark::State& state)
{
    NotesMgr& source = database(records(state));
    const size_t imageSize = benchdata::image(source).size();
    const std::string path = scratch().file("load-" + std::to_string(records(state)) + ".nte");
    source.save(path);
    for (auto _ : state) {
        state.PauseTiming();
        auto mgr = emptyStore();
        state.ResumeTiming();
        mgr->load(path);
        state.PauseTiming();
        mgr.reset();
        state.ResumeTiming();
    }
    reportImage(state, imageSize);
}

void visit(benchmark::State& state)
{
    const NotesMgr& mgr = database(records(state));
    for (auto _ : state) {
        size_t sum = 0;
        for (const auto& [id, r] : mgr.records())
            sum += static_cast<size_t>(id) + r.title.size() + r.text.size() + static_cast<size_t>(r.reminderEnabled);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(mgr.records().size()));
}

void serializeImage(benchmark::State& state)
{
    NotesMgr& mgr = database(records(state));
    size_t imageSize = 0;
    for (auto _ : state) {
        std::vector<uint8_t> image;
        Archive ar(image, Archive::Mode::store);
        mgr.serialize(ar);
        imageSize = image.size();
        benchmark::DoNotOptimize(image.data());
    }
    reportImage(state, imageSize);
}

void parseImage(benchmark::State& state)
{
    std::vector<uint8_t> image = benchdata::image(database(records(state)));
    for (auto _ : state) {
        state.PauseTiming();
        auto mgr = emptyStore();
        state.ResumeTiming();
        Archive ar(image, Archive::Mode::load);
        mgr->serialize(ar);
        state.PauseTiming();
        mgr.reset();
        state.ResumeTiming();
    }
    reportImage(state, image.size());
}

// The envelope alone, in memory: key derivation and the cipher.
void encryptImage(benchmark::State& state)
{
    NotesMgr& mgr = database(records(state));
    std::vector<uint8_t> image = benchdata::image(mgr);
    for (auto _ : state) {
        mgr.encryptImage(image);
        benchmark::ClobberMemory();
    }
    reportImage(state, image.size());
}

void decryptImage(benchmark::State& state)
{
    NotesMgr& mgr = database(records(state));
    std::vector<uint8_t> image = benchdata::image(mgr);
    for (auto _ : state) {
        mgr.decryptImage(image);
        benchmark::ClobberMemory();
    }
    reportImage(state, image.size());
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(1000)->Arg(10000)->Arg(100000)->ArgName("records")->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(save)->Apply(sizes);
BENCHMARK(load)->Apply(sizes);
BENCHMARK(visit)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(serializeImage)->Apply(sizes);
BENCHMARK(parseImage)->Apply(sizes);
BENCHMARK(encryptImage)->Apply(sizes);
BENCHMARK(decryptImage)->Apply(sizes);

} // namespace
