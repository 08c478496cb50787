// The page chooser over a large generated web on the in-memory host and controls:
// each operation beside its floor, the time that merely reading the same values
// (from the host, or from the list they come from) takes, measured in the same run.
// The web's size is an argument: --files=N (100000 unless given).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "ChooserWeb.h"
#include "chooser/EditQueue.h"
#include "chooser/frmChooseFiles.h"
#include "chooser/mChooser.h"
#include "dialogs/ColumnSort.h"
#include "host/Application.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "ui/memory/MemoryToolkit.h"

namespace tavisk {
namespace {

// In-memory forms that are not kept once released: a load per iteration would
// otherwise keep every chooser ever made.
class BenchToolkit final : public ui::Toolkit {
public:
    std::shared_ptr<ui::Form> createForm(const ui::FormDesign& design) override {
        return std::make_shared<ui::memory::MemoryForm>(design);
    }
    std::shared_ptr<ui::ProgressWindow> createProgressWindow(const ui::ProgressDesign& design) override {
        return std::make_shared<ui::memory::MemoryProgressWindow>(design);
    }
    ui::MessageBoxes& messages() override { return _messages; }

private:
    ui::memory::MemoryMessageBoxes _messages;
};

// The generated web open in the host, the options dialog's queue list holding its
// queue, and the chooser opened on it.
struct Setting {
    explicit Setting(int files)
        : generated(files), options({{L"Name", L"", 2000}, {L"Title", L"", 2001}, {L"Located in", L"", 3800}}) {
        host.openWeb(generated.web);
        host.recorder().setRecording(false);
        host::SetApplication(simhost::InMemoryHost(host));
        ui::SetToolkit(std::make_shared<BenchToolkit>());
        ui::ListUpdate update(options);
        for (const auto& entry : generated.queue) options.add(entry);
    }
    ~Setting() {
        frmChooseFiles::Discard();
        ui::SetToolkit(nullptr);
        host::SetApplication(nullptr);
    }
    frmChooseFiles& open() {
        if (!frmChooseFiles::Exists()) EditQueue(options);
        return frmChooseFiles::Instance();
    }

    simhost::SimHost host;
    bench::ChooserWeb generated;
    ui::memory::MemoryListView options;
};

int g_files = 100000;
std::unique_ptr<Setting> g_setting;

// Made once, on first use, for all the benchmarks of the run.
Setting& Shared() {
    if (!g_setting) g_setting = std::make_unique<Setting>(g_files);
    return *g_setting;
}

void BM_Load(benchmark::State& state) {
    Setting& s = Shared();
    frmChooseFiles::Discard();
    for (auto _ : state) {
        EditQueue(s.options);
        frmChooseFiles::Discard();
    }
}

void BM_LoadFloor(benchmark::State& state) {
    Setting& s = Shared();
    host::HostApplication& application = host::Application();
    for (auto _ : state) {
        std::vector<ui::ListItem> entries, pages;
        std::vector<std::wstring> folders;
        bench::ReadEntries(s.options, entries);
        const auto root = application.activeWeb()->rootFolder();
        folders.push_back(root->url());
        bench::ReadFolderTree(application, *root, folders);
        bench::ReadFolderPages(application, *root, pages);
        benchmark::DoNotOptimize(pages.data());
    }
}

void BM_ListFolder(benchmark::State& state) {
    frmChooseFiles& chooser = Shared().open();
    const auto root = host::Application().activeWeb()->rootFolder();
    for (auto _ : state) ListFolderPages(chooser, *root);
    state.counters["pages"] = chooser.lvwWebList.count();
}

void BM_ListFolderFloor(benchmark::State& state) {
    Shared();
    host::HostApplication& application = host::Application();
    const auto root = application.activeWeb()->rootFolder();
    for (auto _ : state) {
        std::vector<ui::ListItem> pages;
        bench::ReadFolderPages(application, *root, pages);
        benchmark::DoNotOptimize(pages.data());
    }
}

// Selects the pages not yet queued, adds them, then selects them in the queue and
// removes them again. Selecting is the user's part and is not measured.
void BM_AddRemove(benchmark::State& state) {
    Setting& s = Shared();
    frmChooseFiles& chooser = s.open();
    ListFolderPages(chooser, *host::Application().activeWeb()->rootFolder());
    const auto& pages = s.generated.unqueuedRootPages;
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto& url : pages) chooser.lvwWebList.setSelected(url, true);
        state.ResumeTiming();
        chooser.cmdAdd_Click();
        state.PauseTiming();
        for (const auto& url : pages) chooser.lvwWebList.setSelected(url, false);
        for (const auto& url : pages) chooser.lvwQueue.setSelected(url, true);
        state.ResumeTiming();
        chooser.cmdRemove_Click();
    }
    state.counters["pages"] = static_cast<double>(pages.size());
}

// What adding reads from the host: the web and its URL afresh, and the page's
// folder relative to it, for every page; what removing reads: the entries taken out.
void BM_AddRemoveFloor(benchmark::State& state) {
    Setting& s = Shared();
    frmChooseFiles& chooser = s.open();
    ListFolderPages(chooser, *host::Application().activeWeb()->rootFolder());
    host::HostApplication& application = host::Application();
    for (auto _ : state) {
        std::vector<ui::ListItem> entries;
        for (const auto& url : s.generated.unqueuedRootPages) {
            const ui::ListItem& page = *chooser.lvwWebList.find(url);
            const std::wstring web = application.activeWeb()->url();
            const std::wstring folder = page.tag.substr(0, page.tag.size() - page.text.size());
            entries.push_back(
                {page.tag, page.text, {page.subItems[0], application.relativeUrl(web, folder)}, page.tag});
        }
        std::vector<ui::ListItem> removed(entries.begin(), entries.end());
        benchmark::DoNotOptimize(removed.data());
    }
}

// One header click per iteration on the queue: by that column, in the other
// direction each time.
void BM_Sort(benchmark::State& state, std::int32_t header) {
    frmChooseFiles& chooser = Shared().open();
    for (auto _ : state) SortOnColumnClick(chooser.lvwQueue, header);
    SortOnColumnClick(chooser.lvwQueue, 1);
    chooser.lvwQueue.setSortState({});
}

// Ordering the same entries by the same rule in a plain array.
void BM_SortFloor(benchmark::State& state, std::int32_t header) {
    frmChooseFiles& chooser = Shared().open();
    const auto column = static_cast<size_t>(header - 1);
    std::vector<const ui::ListItem*> items;
    for (std::int32_t i = 0; i < chooser.lvwQueue.count(); ++i) items.push_back(&chooser.lvwQueue.item(i));
    bool descending = false;
    const auto text = [column](const ui::ListItem* item) -> const std::wstring& {
        return column == 0 ? item->text : item->subItems[column - 1];
    };
    for (auto _ : state) {
        descending = !descending;
        std::sort(items.begin(), items.end(), [&](const ui::ListItem* a, const ui::ListItem* b) {
            if (descending) std::swap(a, b);
            if (const int c = ui::CompareForSort(text(a), text(b)); c != 0) return c < 0;
            return a->key < b->key;
        });
        benchmark::DoNotOptimize(items.data());
    }
}

void BM_CopyBack(benchmark::State& state) {
    Setting& s = Shared();
    frmChooseFiles& chooser = s.open();
    for (auto _ : state) CopyQueueToOptions(chooser.lvwQueue, s.options);
    state.counters["entries"] = s.options.count();
}

void BM_CopyBackFloor(benchmark::State& state) {
    frmChooseFiles& chooser = Shared().open();
    for (auto _ : state) {
        std::vector<ui::ListItem> entries;
        bench::ReadEntries(chooser.lvwQueue, entries);
        benchmark::DoNotOptimize(entries.data());
    }
}

// Collects each run's time per iteration, then prints each operation beside its floor.
class FloorReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace
}  // namespace tavisk

int main(int argc, char** argv) {
    using namespace tavisk;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--files=", 8) == 0) {
            g_files = std::max(100, std::atoi(argv[i] + 8));
        } else {
            rest.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    using Measure = std::function<void(benchmark::State&)>;
    const auto sort = [](void (*measure)(benchmark::State&, std::int32_t), std::int32_t header) -> Measure {
        return [measure, header](benchmark::State& state) { measure(state, header); };
    };
    const struct {
        const char* name;
        Measure run, floor;
    } operations[] = {
        {"load the chooser", BM_Load, BM_LoadFloor},
        {"list the root folder", BM_ListFolder, BM_ListFolderFloor},
        {"add, then remove, the unqueued root pages", BM_AddRemove, BM_AddRemoveFloor},
        {"sort the queue by Name", sort(BM_Sort, 1), sort(BM_SortFloor, 1)},
        {"sort the queue by Title", sort(BM_Sort, 2), sort(BM_SortFloor, 2)},
        {"sort the queue by Located in", sort(BM_Sort, 3), sort(BM_SortFloor, 3)},
        {"copy the queue back", BM_CopyBack, BM_CopyBackFloor},
    };
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& operation : operations) {
        const std::string run = operation.name, floor = run + " (floor)";
        benchmark::RegisterBenchmark(run.c_str(), operation.run)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(floor.c_str(), operation.floor)->Unit(benchmark::kMillisecond);
        rows.emplace_back(run, floor);
    }
    FloorReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nThe page chooser on a web of %d files (%d folders, %d root pages, a queue of %d), in ms:\n", g_files,
                std::max(1, g_files / 20), g_files / 5, g_files / 5);
    std::printf("%-56s %10s %10s %7s\n", "operation", "time", "floor", "ratio");
    for (const auto& [run, floor] : rows) {
        const auto a = reporter.times.find(run);
        const auto b = reporter.times.find(floor);
        if (a == reporter.times.end() || b == reporter.times.end()) continue;
        std::printf("%-56s %10.2f %10.2f %6.2fx\n", run.c_str(), a->second, b->second, a->second / b->second);
    }
    benchmark::Shutdown();
    g_setting.reset();
    return 0;
}
