// The page chooser over a large generated web on the in-memory host and controls:
// each operation beside its floor, the time that merely reading the same values
// (from the host, or from the list they come from) takes, measured in the same run.
// Each operation "Chooser/<op>" runs on webs of 1,000, 10,000 and 100,000 files,
// beside "Chooser/<op>_Floor" with the same size (tools/bench_report.py pairs them).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "ChooserWeb.h"
#include "chooser/EditQueue.h"
#include "chooser/frmChooseFiles.h"
#include "chooser/mChooser.h"
#include "host/Application.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "ui/ColumnSort.h"
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
    std::shared_ptr<ui::EditorWindow> editorWindow() override { return _editor; }

private:
    ui::memory::MemoryMessageBoxes _messages;
    std::shared_ptr<ui::EditorWindow> _editor = std::make_shared<ui::memory::MemoryEditorWindow>(_messages);
};

// A generated web, the options dialog's queue list holding its queue, and the
// chooser opened on it. Every size's setting is made once and kept; the one in use
// is the host's application, and switching discards the chooser of the other.
struct Setting {
    explicit Setting(int files)
        : generated(files), options({{L"Name", L"", 2000}, {L"Title", L"", 2001}, {L"Located in", L"", 3800}}) {
        host.openWeb(generated.web);
        host.recorder().setRecording(false);
        ui::ListUpdate update(options);
        for (const auto& entry : generated.queue) options.add(entry);
    }
    frmChooseFiles& open() {
        if (!frmChooseFiles::Exists()) EditQueue(options);
        return frmChooseFiles::Instance();
    }

    simhost::SimHost host;
    bench::ChooserWeb generated;
    ui::memory::MemoryListView options;
};

std::map<std::int64_t, std::unique_ptr<Setting>> g_settings;
Setting* g_active = nullptr;

// The setting of the benchmark's size, made on first use and made the host's.
Setting& Shared(const benchmark::State& state) {
    auto& setting = g_settings[state.range(0)];
    if (!setting) setting = std::make_unique<Setting>(static_cast<int>(state.range(0)));
    if (g_active != setting.get()) {
        frmChooseFiles::Discard();
        host::SetApplication(simhost::InMemoryHost(setting->host));
        g_active = setting.get();
    }
    return *setting;
}

void BM_Load(benchmark::State& state) {
    Setting& s = Shared(state);
    frmChooseFiles::Discard();
    for (auto _ : state) {
        EditQueue(s.options);
        frmChooseFiles::Discard();
    }
}

void BM_LoadFloor(benchmark::State& state) {
    Setting& s = Shared(state);
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
    frmChooseFiles& chooser = Shared(state).open();
    const auto root = host::Application().activeWeb()->rootFolder();
    for (auto _ : state) ListFolderPages(chooser, *root);
    state.counters["pages"] = chooser.lvwWebList.count();
}

void BM_ListFolderFloor(benchmark::State& state) {
    Shared(state);
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
    Setting& s = Shared(state);
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
    Setting& s = Shared(state);
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
    frmChooseFiles& chooser = Shared(state).open();
    for (auto _ : state) ui::SortOnColumnClick(chooser.lvwQueue, header);
    ui::SortOnColumnClick(chooser.lvwQueue, 1);
    chooser.lvwQueue.setSortState({});
}

// Ordering the same entries by the same rule in a plain array.
void BM_SortFloor(benchmark::State& state, std::int32_t header) {
    frmChooseFiles& chooser = Shared(state).open();
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
    Setting& s = Shared(state);
    frmChooseFiles& chooser = s.open();
    for (auto _ : state) CopyQueueToOptions(chooser.lvwQueue, s.options);
    state.counters["entries"] = s.options.count();
}

void BM_CopyBackFloor(benchmark::State& state) {
    frmChooseFiles& chooser = Shared(state).open();
    for (auto _ : state) {
        std::vector<ui::ListItem> entries;
        bench::ReadEntries(chooser.lvwQueue, entries);
        benchmark::DoNotOptimize(entries.data());
    }
}

}  // namespace
}  // namespace tavisk

int main(int argc, char** argv) {
    using namespace tavisk;
    benchmark::Initialize(&argc, argv);
    ui::SetToolkit(std::make_shared<BenchToolkit>());
    using Measure = std::function<void(benchmark::State&)>;
    const auto sort = [](void (*measure)(benchmark::State&, std::int32_t), std::int32_t header) -> Measure {
        return [measure, header](benchmark::State& state) { measure(state, header); };
    };
    const struct {
        const char* name;
        Measure run, floor;
    } operations[] = {
        {"Load", BM_Load, BM_LoadFloor},
        {"ListFolder", BM_ListFolder, BM_ListFolderFloor},
        {"AddRemove", BM_AddRemove, BM_AddRemoveFloor},
        {"SortByName", sort(BM_Sort, 1), sort(BM_SortFloor, 1)},
        {"SortByTitle", sort(BM_Sort, 2), sort(BM_SortFloor, 2)},
        {"SortByLocation", sort(BM_Sort, 3), sort(BM_SortFloor, 3)},
        {"CopyBack", BM_CopyBack, BM_CopyBackFloor},
    };
    for (const auto& operation : operations) {
        const std::string run = std::string("Chooser/") + operation.name;
        for (const auto& [name, measure] : {std::pair{run, operation.run}, std::pair{run + "_Floor", operation.floor}})
            benchmark::RegisterBenchmark(name.c_str(), measure)
                ->ArgName("files")
                ->Arg(1000)
                ->Arg(10000)
                ->Arg(100000)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    frmChooseFiles::Discard();
    g_active = nullptr;
    g_settings.clear();
    ui::SetToolkit(nullptr);
    host::SetApplication(nullptr);
    return 0;
}
