// The margin run over large webs through the in-memory host: the cost of the
// add-in's own walk (page filter, open-window check, BODY edits, command lookups)
// per page, with the host's recording switched off; and the same run with its
// progress window shown from the first page to the last (in memory), to compare.

#include <benchmark/benchmark.h>

#include <chrono>
#include <utility>

#include "dialogs/frmProgress.h"
#include "host/Application.h"
#include "margins/ApplyMargins.h"
#include "simhost/SimHost.h"
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
// page, and `openWindows` of its pages open in the editor.
struct LargeWeb {
    LargeWeb(int pages, int openWindows) : web(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/large")) {
        for (int i = 0; i < pages; ++i) {
            const auto folder = L"f" + std::to_wstring(i / 100) + L"/";
            auto& page = web->addFile(folder + L"p" + std::to_wstring(i) + L".htm", L"Page",
                                      {{L"bgcolor", L"white"}, {L"topmargin", L"3"}});
            web->addFile(folder + L"i" + std::to_wstring(i) + L".gif");
            dialog.queue.push_back(page.url());
        }
        host.openWeb(web);
        for (int i = 0; i < openWindows; ++i) host.openPage(web->findFile(dialog.queue[static_cast<size_t>(i)]));
        host.recorder().setRecording(false);
        host::SetApplication(simhost::InMemoryHost(host));
    }
    ~LargeWeb() { host::SetApplication(nullptr); }

    simhost::SimHost host;
    std::shared_ptr<simhost::WebModel> web;
    QuietDialog dialog;
    QuietMessages messages;
};

// A clock on which the run began long ago, so its progress window is there from
// the first page; after that the real time, as a run reads it.
frmProgress::Clock StartedLongAgo() {
    return [started = false]() mutable {
        if (!std::exchange(started, true)) return std::chrono::steady_clock::time_point{};
        return std::chrono::steady_clock::now();
    };
}

void Run(benchmark::State& state, bool allPages, bool withProgress) {
    const int pages = static_cast<int>(state.range(0));
    LargeWeb large(pages, static_cast<int>(state.range(1)));
    MarginSettings settings;
    settings.topOn = settings.leftOn = true;
    settings.topText = L"10";
    settings.leftText = L"5";
    settings.allPages = allPages;
    ui::SetToolkit(std::make_shared<ui::memory::MemoryToolkit>());
    for (auto _ : state) {
        if (withProgress) {
            frmProgress::SetClock(StartedLongAgo());
            frmProgress progress(nullptr);
            ApplyMargins(settings, large.dialog, large.messages, &progress);
        } else {
            ApplyMargins(settings, large.dialog, large.messages);
        }
    }
    frmProgress::SetClock(nullptr);
    ui::SetToolkit(nullptr);
    state.SetItemsProcessed(state.iterations() * pages);
}

void BM_AllPages(benchmark::State& state) { Run(state, true, false); }
void BM_Queue(benchmark::State& state) { Run(state, false, false); }
void BM_AllPagesWithProgress(benchmark::State& state) { Run(state, true, true); }
void BM_QueueWithProgress(benchmark::State& state) { Run(state, false, true); }

BENCHMARK(BM_AllPages)->Args({1000, 0})->Args({40000, 0})->Args({40000, 20})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllPagesWithProgress)->Args({1000, 0})->Args({40000, 0})->Args({40000, 20})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Queue)->Args({1000, 0})->Args({40000, 0})->Args({40000, 20})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueueWithProgress)->Args({1000, 0})->Args({40000, 0})->Args({40000, 20})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavisk

BENCHMARK_MAIN();
