// The host process's peak memory with the page chooser open on a large web and all
// of its pages queued. The process is the stand-in host as simhost.exe builds it
// (its window with the web's tree, its add-in loader, the IDispatch object model)
// with the real tavisk2002.dll loaded from the registry, driven as a user would:
// the menu command, "Selected &page(s)", "Edit &Queue", every page of the root
// folder selected in the chooser's page list and "&Add Selected to Queue".
//
// The process's memory is read from inside (GetProcessMemoryInfo) after each step:
// the empty host (window and add-in, no web), the web open, the chooser open, the
// pages queued. With a handshake folder the process also writes "stage-<step>"
// there after each step and waits for "outside-<step>", in which tools/bench.sh
// puts the Wine process's VmHWM and VmRSS lines read from /proc/<pid>/status.
//
// host_memory_bench.exe WEB-FOLDER OUT.json [HANDSHAKE-FOLDER]
// Writes Google Benchmark's JSON with "memory_mb" entries (MB of 2^20 bytes):
// "Memory/HostPeak/files:N" the peak working set at the end and, as its floor, the
// empty host's; with a handshake, "Memory/HostPeakVmHWM/files:N" the same from /proc.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/Text.h"
#include "bench/win32/Harness.h"
#include "bench/win32/HostedAddIn.h"
#include "simhost/SimHost.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/win32/AddInLoader.h"
#include "simhost/win32/ComHost.h"
#include "simhost/win32/HostWindow.h"

namespace {

using namespace tavisk;
using bench::FindChild;
using bench::FindWindowOfThread;
using bench::Pump;
namespace fs = std::filesystem;

constexpr wchar_t kAddInProgId[] = L"tavisk2002.Connect";
constexpr wchar_t kTitle[] = L"Tavisk 2002";
constexpr wchar_t kChooserTitle[] = L"Tavisk 2002 - Select Files";
constexpr double kMegabyte = 1024.0 * 1024.0;

struct Reading {
    std::string step;
    PROCESS_MEMORY_COUNTERS_EX inside{};
    std::optional<double> vmHwmMb, vmRssMb;  // from /proc, when told
};

// The value in kB of a "/proc/<pid>/status" line ("VmHWM:   123456 kB"), in MB.
std::optional<double> StatusLine(const std::string& text, const std::string& key) {
    const auto at = text.find(key + ":");
    if (at == std::string::npos) return std::nullopt;
    std::istringstream in(text.substr(at + key.size() + 1));
    double kb = 0;
    if (!(in >> kb)) return std::nullopt;
    return kb / 1024.0;
}

class Stages {
public:
    explicit Stages(std::optional<fs::path> handshake) : _handshake(std::move(handshake)) {}

    void read(const std::string& step) {
        Pump();
        Reading reading;
        reading.step = step;
        reading.inside.cb = sizeof(reading.inside);
        if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&reading.inside),
                                  sizeof(reading.inside)))
            throw std::runtime_error("GetProcessMemoryInfo failed");
        if (_handshake) askOutside(reading);
        const auto& m = reading.inside;
        std::printf("%-12s working set %7.1f MB, peak %7.1f MB; pagefile %7.1f MB, peak %7.1f MB; private %7.1f MB",
                    step.c_str(), m.WorkingSetSize / kMegabyte, m.PeakWorkingSetSize / kMegabyte,
                    m.PagefileUsage / kMegabyte, m.PeakPagefileUsage / kMegabyte, m.PrivateUsage / kMegabyte);
        if (reading.vmHwmMb && reading.vmRssMb)
            std::printf("; /proc: VmHWM %7.1f MB, VmRSS %7.1f MB", *reading.vmHwmMb, *reading.vmRssMb);
        std::printf("\n");
        std::fflush(stdout);
        _readings.push_back(reading);
    }

    const std::vector<Reading>& readings() const noexcept { return _readings; }

private:
    void askOutside(Reading& reading) {
        std::ofstream(*_handshake / ("stage-" + reading.step)) << reading.step << "\n";
        const auto answer = *_handshake / ("outside-" + reading.step);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!fs::exists(answer)) {
            if (std::chrono::steady_clock::now() > deadline)
                throw std::runtime_error("no reading from outside for " + reading.step);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::ifstream in(answer);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        reading.vmHwmMb = StatusLine(text, "VmHWM");
        reading.vmRssMb = StatusLine(text, "VmRSS");
    }

    std::optional<fs::path> _handshake;
    std::vector<Reading> _readings;
};

void Click(HWND window, const std::wstring& text) {
    const HWND button = FindChild(window, text);
    if (!button) throw std::runtime_error("no button " + base::ToUtf8(text));
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
}

std::int32_t ItemCount(HWND list) { return static_cast<std::int32_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::shared_ptr<simhost::ControlNode> MenuCommand(simhost::SimHost& host) {
    using simhost::CommandBarsModel;
    const auto tools = CommandBarsModel::FindByCaption(*host.menuBar().controls, L"&Tools");
    const auto popup = tools ? CommandBarsModel::FindByCaption(*tools->childList(), L"&Halvern Add-ins") : nullptr;
    const auto command = popup ? CommandBarsModel::FindByCaption(*popup->childList(), L"&Tavisk 2002...") : nullptr;
    if (!command) throw std::runtime_error("the add-in's menu command is missing");
    return command;
}

int Run(const std::wstring& folder, const std::wstring& out, std::optional<fs::path> handshake) {
    if (FAILED(OleInitialize(nullptr))) throw std::runtime_error("OleInitialize failed");
    Stages stages(std::move(handshake));
    std::int32_t files = 0;
    {
        simhost::SimHost host;
        host.recorder().setRecording(false);  // as simhost.exe: nothing reads its log of calls
        const bench::HostedAddIn hosted(host, kAddInProgId);
        stages.read("empty");

        auto model = simhost::OpenDiskWeb(folder);
        stages.read("model");
        host.openWeb(std::move(model));
        files = static_cast<std::int32_t>(host.web()->root().files().size());
        stages.read("web");

        MenuCommand(host)->execute();
        const HWND dialog = FindWindowOfThread(kTitle, L"OK");
        if (!dialog) throw std::runtime_error("the options dialog did not show");
        Click(dialog, L"Selected &page(s)");
        Click(dialog, L"Edit &Queue");
        const HWND chooser = FindWindowOfThread(kChooserTitle);
        if (!chooser) throw std::runtime_error("the page chooser did not show");
        const HWND pages = FindWindowExW(chooser, nullptr, WC_LISTVIEWW, nullptr);
        const HWND queue = pages ? FindWindowExW(chooser, pages, WC_LISTVIEWW, nullptr) : nullptr;
        if (!queue || ItemCount(pages) != files)
            throw std::runtime_error("the chooser does not list the web's " + std::to_string(files) + " files");
        stages.read("chooser");

        LVITEMW all{};
        all.stateMask = LVIS_SELECTED;
        all.state = LVIS_SELECTED;
        SendMessageW(pages, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
        Click(chooser, L"&Add Selected to Queue");
        if (ItemCount(queue) != files) throw std::runtime_error("the queue does not hold every page");
        stages.read("queued");

        Click(chooser, L"Cancel");
        Click(dialog, L"Cancel");
    }
    OleUninitialize();

    const auto& first = stages.readings().front();
    const auto& last = stages.readings().back();
    std::vector<bench::Series> series{
        {bench::Name("Memory/HostPeak/files:", files), {last.inside.PeakWorkingSetSize / kMegabyte}, true},
        {bench::Name("Memory/HostPeak_Floor/files:", files), {first.inside.PeakWorkingSetSize / kMegabyte}, true},
    };
    if (first.vmHwmMb && last.vmHwmMb) {
        series.push_back({bench::Name("Memory/HostPeakVmHWM/files:", files), {*last.vmHwmMb}, true});
        series.push_back({bench::Name("Memory/HostPeakVmHWM_Floor/files:", files), {*first.vmHwmMb}, true});
    }
    bench::WriteBenchmarkJson(out, "host_memory_bench", series);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    return bench::Main("host_memory_bench", "WEB-FOLDER OUT.json [HANDSHAKE-FOLDER]", argc, 3, [&] {
        return Run(argv[1], argv[2], argc > 3 ? std::optional<fs::path>(argv[3]) : std::nullopt);
    });
}
