// The margin run over large webs through the in-memory host, beside its floor: the
// same host work (open, view mode, the BODY calls, Save, Close) issued directly in
// a loop, without the add-in. The host's recording is off in both, so the ratio is
// the add-in's own share: page filter, open-window check, command lookups.
//
// Also the run with its progress window shown from the first page to the last (in
// memory), "Run/<scope>WithProgress", beside the same run without it as its floor.
//
// Time differences of a few per cent are below this machine's noise at these sizes
// (two identical runs of 50,000 pages differ by up to 10%), so the window's share
// is judged in instructions: run as
//   valgrind --tool=callgrind --collect-atstart=no margins_bench --count-instructions
// the program counts each run with the window and without it alone, three times per
// size, and leaves one callgrind dump per count, named after its row (tools/bench.sh
// does this).
// Not at 50,000 pages, which would take callgrind five minutes more: the window
// makes no host call, so its cost per page does not grow with the web.
// The timed rows stay in the table, as "Run/<scope>WithProgressTimed".
//
// Each timed row runs in turn with its floor (TimeInTurn) and carries the floor's
// time; the arguments are the pages, then the open page windows.

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <ctime>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "bench/MarginsFloor.h"
#include "dialogs/frmProgress.h"
#include "host/Application.h"
#include "margins/ApplyMargins.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "ui/memory/MemoryToolkit.h"

namespace tavisk {
namespace {

class QuietDialog final : public RunDialog {
public:
    std::vector<std::wstring> queue;
    void hide() override {}
    std::int32_t queueCount() override { return static_cast<std::int32_t>(queue.size()); }
    std::wstring queueTag(std::int32_t index) override { return queue[static_cast<size_t>(index)]; }
    void unload() override {}
    void showAgain() override {}
};

class QuietMessages final : public ui::MessageBoxes {
public:
    void show(const std::wstring&, const std::wstring&, ui::MessageIcon) override {}
};

// A web of `pages` pages spread over folders of 100, with an image beside every
// page, open in the stand-in host with recording off.
struct LargeWeb {
    explicit LargeWeb(int pages) : web(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/large")) {
        for (int i = 0; i < pages; ++i) {
            const auto folder = L"f" + std::to_wstring(i / 100) + L"/";
            auto& page = web->addFile(folder + L"p" + std::to_wstring(i) + L".htm", L"Page",
                                      {{L"bgcolor", L"white"}, {L"topmargin", L"3"}});
            web->addFile(folder + L"i" + std::to_wstring(i) + L".gif");
            dialog.queue.push_back(page.url());
        }
        host.openWeb(web);
        host.recorder().setRecording(false);
    }

    simhost::SimHost host;
    std::shared_ptr<simhost::WebModel> web;
    QuietDialog dialog;
    QuietMessages messages;
};

// The web of that size, built once: a run leaves it as it found it (the same
// attributes saved again, the same windows open), so a row and its floor share it
// and repetitions cost no set-up. Its first `openWindows` pages are open in the
// editor, and it is the process-wide host.
LargeWeb& WebOf(int pages, int openWindows) {
    static std::map<int, std::unique_ptr<LargeWeb>> webs;
    auto& large = webs[pages];
    if (!large) large = std::make_unique<LargeWeb>(pages);
    auto& host = large->host;
    while (host.activePageWindow()) host.closeActivePage();
    for (int i = 0; i < openWindows; ++i)
        host.openPage(large->web->findFile(large->dialog.queue[static_cast<size_t>(i)]));
    host::SetApplication(simhost::InMemoryHost(host));
    return *large;
}

MarginSettings Settings(bool allPages) {
    MarginSettings settings;
    settings.topOn = settings.leftOn = true;
    settings.topText = L"10";
    settings.leftText = L"5";
    settings.allPages = allPages;
    return settings;
}

// A clock on which the run began long ago, so its progress window is there from
// the first page; after that the real time, as a run reads it.
frmProgress::Clock StartedLongAgo() {
    return [started = false]() mutable {
        if (!std::exchange(started, true)) return std::chrono::steady_clock::time_point{};
        return std::chrono::steady_clock::now();
    };
}

// Thread CPU time, which is what the table compares.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <typename Work>
double CpuSecondsOf(Work work) {
    const double start = CpuSeconds();
    work();
    return CpuSeconds() - start;
}

// A row and its floor, in turn within each iteration, each timed on its own: both
// meet the web in the same state under the same load, which two benchmarks
// repeated a second apart do not (on this machine their ratio moved by ±15% from
// one run of the table to the next, and single runs of 50,000 pages by 20%). The
// row's time is its manual time; the floor's, the counter "floor_ms"; "ratio" is
// the median of the iterations' own ratios, which tools/bench_report.py judges.
template <typename Row, typename Floor>
void TimeInTurn(benchmark::State& state, Row row, Floor floor) {
    // One floor before timing: the benchmark before may have left the web with
    // other windows open and the caches cold, which would fall on whichever is first.
    floor();
    static bool rowFirst = false;  // alternates across repetitions of one iteration too
    double floorSeconds = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        rowFirst = !rowFirst;
        double rowSeconds = 0, floorOnce = 0;
        if (rowFirst) {
            rowSeconds = CpuSecondsOf(row);
            floorOnce = CpuSecondsOf(floor);
        } else {
            floorOnce = CpuSecondsOf(floor);
            rowSeconds = CpuSecondsOf(row);
        }
        floorSeconds += floorOnce;
        ratios.push_back(rowSeconds / floorOnce);
        state.SetIterationTime(rowSeconds);
    }
    state.counters["floor_ms"] = floorSeconds * 1e3 / static_cast<double>(state.iterations());
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2), ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The floor, out of line so that a profile can single it out as it does ApplyMargins:
//   valgrind --tool=callgrind --toggle-collect='*FloorRun*' ...
[[gnu::noinline]] void FloorRun(const MarginSettings& settings, QuietDialog& dialog) {
    bench::RunMarginsFloor(host::Application(), settings, dialog.queue);
}

// The add-in's run beside the same host work issued directly.
void Run(benchmark::State& state, bool allPages) {
    auto& large = WebOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto settings = Settings(allPages);
    TimeInTurn(
        state, [&] { ApplyMargins(settings, large.dialog, large.messages); },
        [&] { FloorRun(settings, large.dialog); });
}

// The run with its progress window beside the same run without it.
void RunWithProgress(benchmark::State& state, bool allPages) {
    auto& large = WebOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto settings = Settings(allPages);
    ui::SetToolkit(std::make_shared<ui::memory::MemoryToolkit>());
    TimeInTurn(
        state,
        [&] {
            frmProgress::SetClock(StartedLongAgo());
            frmProgress progress(nullptr);
            ApplyMargins(settings, large.dialog, large.messages, &progress);
        },
        [&] { ApplyMargins(settings, large.dialog, large.messages); });
    frmProgress::SetClock(nullptr);
    ui::SetToolkit(nullptr);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"pages", "windows"})->Unit(benchmark::kMillisecond);
    for (const int windows : {0, 50})
        for (const int pages : {1000, 10000, 50000}) b->Args({pages, windows});
}

BENCHMARK_CAPTURE(Run, AllPages, true)->Name("Run/AllPages")->Apply(Sizes)->UseManualTime();
BENCHMARK_CAPTURE(Run, Queue, false)->Name("Run/Queue")->Apply(Sizes)->UseManualTime();
BENCHMARK_CAPTURE(RunWithProgress, AllPages, true)
    ->Name("Run/AllPagesWithProgressTimed")
    ->Apply(Sizes)
    ->UseManualTime();
BENCHMARK_CAPTURE(RunWithProgress, Queue, false)->Name("Run/QueueWithProgressTimed")->Apply(Sizes)->UseManualTime();

// The instructions of `run` alone, left in a callgrind dump named `row`.
template <typename Run>
void CountInstructions(const std::string& row, Run run) {
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
    run();
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(row.c_str());
}

int CountProgressInstructions() {
    if (!RUNNING_ON_VALGRIND) {
        std::fprintf(stderr, "--count-instructions: run under valgrind --tool=callgrind --collect-atstart=no\n");
        return 2;
    }
    ui::SetToolkit(std::make_shared<ui::memory::MemoryToolkit>());
    for (const bool allPages : {true, false}) {
        const std::string row = allPages ? "Run/AllPagesWithProgress" : "Run/QueueWithProgress";
        const auto settings = Settings(allPages);
        for (const int windows : {0, 50}) {
            for (const int pages : {1000, 10000}) {
                auto& large = WebOf(pages, windows);
                const std::string args = "/pages:" + std::to_string(pages) + "/windows:" + std::to_string(windows);
                // A first run leaves the web as every later run finds it.
                ApplyMargins(settings, large.dialog, large.messages);
                // Three counts of each, of which the table takes the least: the
                // allocator's state makes some runs up to 9% dearer (more calls
                // reach malloc's slow path), a row and its floor alike.
                for (int repetition = 0; repetition < 3; ++repetition) {
                    CountInstructions(row + "_Floor" + args,
                                      [&] { ApplyMargins(settings, large.dialog, large.messages); });
                    CountInstructions(row + args, [&] {
                        frmProgress::SetClock(StartedLongAgo());
                        frmProgress progress(nullptr);
                        ApplyMargins(settings, large.dialog, large.messages, &progress);
                    });
                    frmProgress::SetClock(nullptr);
                }
            }
        }
    }
    ui::SetToolkit(nullptr);
    return 0;
}

}  // namespace
}  // namespace tavisk

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--count-instructions") == 0) return tavisk::CountProgressInstructions();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
