// A full rebuild of the notes tree from generated databases of 1,000, 10,000
// and 100,000 records (one in ten a folder), offscreen. "Shown" also lets the
// control lay out and paint, as the user waits for it after Open; "Hidden"
// is the building of the items alone.
#include "BenchData.h"

#include "framework/CDocument.h"
#include "store/NotesMgr.h"
#include "view/CNotesView.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

class BenchDoc : public CDocument {
public:
    bool onOpenDocument(const QString&) override { return true; }
    bool onSaveDocument(const QString&) override { return true; }
};

NotesMgr& database(int records)
{
    static std::map<int, std::unique_ptr<NotesMgr>> made;
    auto& mgr = made[records];
    if (!mgr) {
        mgr = std::make_unique<NotesMgr>();
        benchdata::fill(*mgr, records);
    }
    return *mgr;
}

void rebuild(benchmark::State& state, bool shown)
{
    BenchDoc doc;
    NotesMgr& store = database(static_cast<int>(state.range(0)));
    CNotesView view(doc, store);
    view.resize(320, 720);
    if (shown)
        view.show();
    // The first build also makes the icons and warms the allocator.
    view.rebuildTree();
    QCoreApplication::processEvents();

    for (auto _ : state) {
        view.rebuildTree();
        if (shown)
            QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(store.records().size()));
}

void BM_RebuildTreeShown(benchmark::State& state)
{
    rebuild(state, true);
}

void BM_RebuildTreeHidden(benchmark::State& state)
{
    rebuild(state, false);
}

BENCHMARK(BM_RebuildTreeShown)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildTreeHidden)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
