// The margin run through COM, as a user starts it in the stand-in host: the real
// tavisk2002.dll, loaded from the registry by the host's add-in loader into the host
// window over a disk web, driven from its menu command through the options
// dialog's OK (its initial choices: all pages, both margins off) to its closing
// message. Beside it, its floor: the same pages opened, edited, saved and closed
// through the same IDispatch object model by a plain loop in the host's process
// (bench/MarginsFloor over the add-in's own late-bound layer), which ends with a
// message box too. Repetitions of the two alternate, after one of each untimed
// (the first run rewrites every page).
//
// comrun_bench.exe PAGES WEB-FOLDER OUT.json [REPETITIONS]
// Writes Google Benchmark's JSON, one entry per repetition, wall-clock times in
// both time fields, as "Com/Run/pages:N" and "Com/Run_Floor/pages:N".

#include <windows.h>

#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/win32/Harness.h"
#include "bench/win32/HostedAddIn.h"
#include "bench/MarginsFloor.h"
#include "base/Text.h"
#include "host/win32/DispatchHost.h"
#include "simhost/SimHost.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/win32/AddInLoader.h"
#include "simhost/win32/ComHost.h"
#include "simhost/win32/HostWindow.h"

namespace {

using namespace tavisk;
using bench::FindChild;
using bench::FindWindowOfThread;
using bench::Name;
using bench::Pump;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kAddInProgId[] = L"tavisk2002.Connect";
constexpr wchar_t kTitle[] = L"Tavisk 2002";
constexpr wchar_t kRunDone[] = L"Margin settings have been applied successfully.";
constexpr wchar_t kFloorDone[] = L"The floor run is done.";

// `pages` pages in folders of 100, each with an image beside it.
void WriteWeb(const std::filesystem::path& folder, int pages) {
    std::filesystem::remove_all(folder);
    for (int i = 0; i < pages; ++i) {
        const auto dir = folder / Name("f", i / 100);
        std::filesystem::create_directories(dir);
        std::ofstream(dir / Name("p", i, ".htm"), std::ios::binary)
            << "<html><head><title>Page " << i << "</title></head>\r\n<body bgcolor=\"white\" topmargin=\"3\">\r\n<p>"
            << i << "</p>\r\n</body></html>\r\n";
        std::ofstream(dir / Name("i", i, ".gif"), std::ios::binary) << "GIF89a";
    }
}

// The closing message of a repetition, watched for by a timer while the message
// box's own loop runs: its appearance ends the repetition, and it is then closed as
// a user would. Another message box with the same title (a failed run's) is closed
// too and ends the benchmark with its text.
class ClosingMessage {
public:
    explicit ClosingMessage(const wchar_t* text) : _text(text) {
        g_current = this;
        _timer = SetTimer(nullptr, 0, 1, &ClosingMessage::Tick);
        if (!_timer) throw std::runtime_error("SetTimer failed");
    }
    ClosingMessage(const ClosingMessage&) = delete;
    ~ClosingMessage() {
        KillTimer(nullptr, _timer);
        g_current = nullptr;
    }

    // Milliseconds from `start` to the message's appearance.
    double since(Clock::time_point start) const {
        if (!_failure.empty()) throw std::runtime_error("the run failed: " + base::ToUtf8(_failure));
        if (!_seen) throw std::runtime_error("the closing message never showed");
        return std::chrono::duration<double, std::milli>(_shown - start).count();
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        auto* self = g_current;
        if (!self || self->_seen || !self->_failure.empty()) return;
        const auto now = Clock::now();
        HWND box = FindWindowOfThread(kTitle, self->_text);
        if (box) {
            self->_seen = true;
            self->_shown = now;
        } else if ((box = FindWindowOfThread(kTitle)) != nullptr && FindChild(box, L"OK") &&
                   !FindChild(box, L"Cancel")) {
            self->_failure = L"a message box other than the closing one";
        }
        if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
    }

    static inline ClosingMessage* g_current = nullptr;
    const wchar_t* _text;
    UINT_PTR _timer = 0;
    bool _seen = false;
    Clock::time_point _shown;
    std::wstring _failure;
};

// The add-in's menu command: Tools > &Halvern Add-ins > &Tavisk 2002...
std::shared_ptr<simhost::ControlNode> MenuCommand(simhost::SimHost& host) {
    using simhost::CommandBarsModel;
    const auto tools = CommandBarsModel::FindByCaption(*host.menuBar().controls, L"&Tools");
    const auto popup = tools ? CommandBarsModel::FindByCaption(*tools->childList(), L"&Halvern Add-ins") : nullptr;
    const auto command = popup ? CommandBarsModel::FindByCaption(*popup->childList(), L"&Tavisk 2002...") : nullptr;
    if (!command) throw std::runtime_error("the add-in's menu command is missing");
    return command;
}

double TimeAddInRun(simhost::SimHost& host) {
    const auto command = MenuCommand(host);
    ClosingMessage closing(kRunDone);
    const auto start = Clock::now();
    command->execute();
    const HWND dialog = FindWindowOfThread(kTitle, L"OK");
    const HWND ok = dialog ? FindChild(dialog, L"OK") : nullptr;
    if (!ok) throw std::runtime_error("the options dialog did not show");
    SendMessageW(ok, BM_CLICK, 0, 0);
    return closing.since(start);
}

double TimeFloor(host::HostApplication& app, HWND owner) {
    ClosingMessage closing(kFloorDone);
    const auto start = Clock::now();
    MarginSettings settings;  // the options dialog's initial choices
    bench::RunMarginsFloor(app, settings, {});
    MessageBoxW(owner, kFloorDone, kTitle, MB_OK | MB_ICONINFORMATION);
    return closing.since(start);
}

int Run(int pages, const std::wstring& folder, const std::wstring& out, int repetitions) {
    WriteWeb(folder, pages);
    if (FAILED(OleInitialize(nullptr))) throw std::runtime_error("OleInitialize failed");
    std::vector<double> run, floor;
    {
        simhost::SimHost host;
        host.openWeb(simhost::OpenDiskWeb(folder));
        const bench::HostedAddIn hosted(host, kAddInProgId);
        const auto app = host::win32::MakeDispatchApplication(hosted.application());

        for (int i = 0; i <= repetitions; ++i) {
            Pump();
            const double r = TimeAddInRun(host);
            Pump();
            const double f = TimeFloor(*app, hosted.window());
            if (i == 0) continue;  // the first of each rewrites every page
            run.push_back(r);
            floor.push_back(f);
            std::printf("repetition %d: add-in %.1f ms, floor %.1f ms\n", i, r, f);
            std::fflush(stdout);
        }
    }
    OleUninitialize();
    bench::WriteBenchmarkJson(
        out, "comrun_bench",
        {{bench::Name("Com/Run/pages:", pages), run}, {bench::Name("Com/Run_Floor/pages:", pages), floor}});
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    return bench::Main("comrun_bench", "PAGES WEB-FOLDER OUT.json [REPETITIONS]", argc, 4, [&] {
        return Run(bench::Number(argv[1], 1), argv[2], argv[3], argc > 4 ? bench::Number(argv[4], 1) : 5);
    });
}
