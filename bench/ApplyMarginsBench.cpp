// The margin run over large webs through the in-memory host, beside its floor: the
// same host work (open, view mode, the BODY calls, Save, Close) issued directly in
// a loop, without the add-in. The host's recording is off in both, so the ratio is
// the add-in's own share: page filter, open-window check, command lookups.
//
// Naming: "Run/<scope>" is the add-in's run, "Run/<scope>_Floor" its floor, with
// the same arguments (pages, then open page windows); tools/bench_report.py pairs
// them by that suffix.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <set>

#include "host/Application.h"
#include "margins/ApplyMargins.h"
#include "simhost/SimHost.h"

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
    host::SetApplication(host.application());
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

void Run(benchmark::State& state, bool allPages) {
    const int pages = static_cast<int>(state.range(0));
    auto& large = WebOf(pages, static_cast<int>(state.range(1)));
    const auto settings = Settings(allPages);
    for (auto _ : state) ApplyMargins(settings, large.dialog, large.messages);
    state.SetItemsProcessed(state.iterations() * pages);
}

// ---- The floor: the host's own cost of the same pages -----------------------------

void ExecuteMenuCommand(host::HostApplication& app, std::int32_t id) {
    app.commandBars()->item(L"menu bar")->findControl(id, true)->execute();
}

void SetAttribute(host::HostApplication& app, const wchar_t* name, const std::wstring& value) {
    app.activeDocument()->body()->setAttribute(name, value, host::kMatchCase);
}

// What the host must do for one page, as the run asks it: open, view mode 1, the
// four removals on one BODY lookup and each setting on its own, Save, then the view
// mode put back or Close. The settings are Settings()'s: both sides, both families.
void FloorPage(host::HostApplication& app, host::WebFile& file, bool wasOpen, const MarginSettings& settings) {
    file.open();
    std::int32_t savedViewMode = 0;
    if (wasOpen) savedViewMode = app.activePageWindow()->viewMode();
    app.activePageWindow()->setViewMode(1);
    const auto body = app.activeDocument()->body();
    for (const auto* name : {L"topmargin", L"leftmargin", L"marginheight", L"marginwidth"})
        body->removeAttribute(name, host::kMatchCase);
    SetAttribute(app, L"topmargin", settings.topText);
    SetAttribute(app, L"marginheight", settings.topText);
    SetAttribute(app, L"leftmargin", settings.leftText);
    SetAttribute(app, L"marginwidth", settings.leftText);
    ExecuteMenuCommand(app, 3);
    if (wasOpen) {
        app.activePageWindow()->setViewMode(savedViewMode);
    } else {
        ExecuteMenuCommand(app, 106);
    }
}

// A direct loop needs to know which pages the user has open, but it asks the host
// only once: the windows do not change between pages.
std::set<std::wstring> OpenUrls(host::HostApplication& app) {
    std::set<std::wstring> urls;
    const auto windows = app.activeWebWindow()->pageWindows();
    const std::int32_t count = windows->count();
    for (std::int32_t i = 0; i < count; ++i) urls.insert(windows->item(i)->file()->url());
    return urls;
}

bool WasOpen(const std::set<std::wstring>& openUrls, host::WebFile& file) {
    return !openUrls.empty() && openUrls.count(file.url()) > 0;
}

// Out of line, so that a profile can single it out as it does ApplyMargins:
//   valgrind --tool=callgrind --toggle-collect='*FloorRun*' ...
[[gnu::noinline]] void FloorRun(const MarginSettings& settings, QuietDialog& dialog) {
    auto& app = host::Application();
    const auto openUrls = OpenUrls(app);
    const auto savedWindow = openUrls.empty() ? nullptr : app.activePageWindow();
    if (settings.allPages) {
        const auto files = app.activeWeb()->allFiles();
        const std::int32_t count = files->count();
        for (std::int32_t i = 0; i < count; ++i) {
            const auto file = files->item(i);
            if (file->extension() == L"htm") FloorPage(app, *file, WasOpen(openUrls, *file), settings);
        }
    } else {
        for (const auto& url : dialog.queue) {
            const auto file = app.activeWeb()->locateFile(url);
            FloorPage(app, *file, WasOpen(openUrls, *file), settings);
        }
    }
    if (savedWindow) savedWindow->activate();
}

void Floor(benchmark::State& state, bool allPages) {
    const int pages = static_cast<int>(state.range(0));
    auto& large = WebOf(pages, static_cast<int>(state.range(1)));
    const auto settings = Settings(allPages);
    for (auto _ : state) FloorRun(settings, large.dialog);
    state.SetItemsProcessed(state.iterations() * pages);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"pages", "windows"})->Unit(benchmark::kMillisecond);
    for (const int windows : {0, 50})
        for (const int pages : {1000, 10000, 50000}) b->Args({pages, windows});
}

BENCHMARK_CAPTURE(Run, AllPages, true)->Name("Run/AllPages")->Apply(Sizes);
BENCHMARK_CAPTURE(Floor, AllPages, true)->Name("Run/AllPages_Floor")->Apply(Sizes);
BENCHMARK_CAPTURE(Run, Queue, false)->Name("Run/Queue")->Apply(Sizes);
BENCHMARK_CAPTURE(Floor, Queue, false)->Name("Run/Queue_Floor")->Apply(Sizes);

}  // namespace
}  // namespace tavisk

BENCHMARK_MAIN();
