// The stand-in host's own cost per page against the size of its web, through COM
// under Wine: a fixed number of pages, evenly spread over the web, each located,
// opened, put in view mode 1, stripped of its four margin attributes, saved and
// closed through the host's IDispatch object model (bench/MarginsFloor over the
// add-in's late-bound layer, the add-in itself not loaded), in disk webs of
// different sizes. A page's cost must not depend on how many pages lie beside it.
//
// Its floor is the same work on the smallest web given, measured right before or
// after each row's repetition (the order alternates), so both see the same load.
// The smallest web's own row is thus two measurements of one web, and shows the
// noise. The webs are opened once, before any timing; one untimed pass over each
// sample comes first (it rewrites the sampled pages).
//
// standin_bench.exe OUT.json REPETITIONS SAMPLE WEB-FOLDER...
// Writes Google Benchmark's JSON, one entry per repetition, wall-clock milliseconds
// per page in both time fields, as "StandIn/PerPage/pages:N" and
// "StandIn/PerPage_Floor/pages:N", N the number of pages of the web. Most of that
// time is the wait for the disk to take each saved page (the store flushes it); the
// process's own CPU time per page, which a walk through a whole folder would raise,
// is written as "StandIn/PerPageCpu/pages:N" and its floor, one entry each.

#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Text.h"
#include "bench/MarginsFloor.h"
#include "bench/win32/Harness.h"
#include "host/win32/DispatchHost.h"
#include "simhost/SimHost.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/win32/ComHost.h"

namespace {

using namespace tavisk;
using Clock = std::chrono::steady_clock;

struct SampledWeb {
    std::shared_ptr<simhost::WebModel> model;
    int pages = 0;
    std::vector<std::wstring> sample;  // page URLs
};

bool IsPageName(const std::wstring& name) {
    const auto dot = name.rfind(L'.');
    return dot != std::wstring::npos && base::AsciiLower(name.substr(dot)) == L".htm";
}

SampledWeb OpenSampled(const std::wstring& folder, int sampleSize) {
    const auto start = Clock::now();
    SampledWeb web;
    web.model = simhost::OpenDiskWeb(folder);
    std::vector<std::wstring> pages;
    for (const auto& file : web.model->allFiles())
        if (IsPageName(file->name())) pages.push_back(file->url());
    web.pages = static_cast<int>(pages.size());
    if (web.pages == 0) throw std::runtime_error("the web " + base::ToUtf8(folder) + " has no pages");
    const int taken = std::min(sampleSize, web.pages);
    for (int k = 0; k < taken; ++k)
        web.sample.push_back(pages[static_cast<size_t>(static_cast<long long>(k) * web.pages / taken)]);
    std::printf("opened %d pages in %.1f s: %s\n", web.pages,
                std::chrono::duration<double>(Clock::now() - start).count(), base::ToUtf8(folder).c_str());
    std::fflush(stdout);
    return web;
}

// The process's CPU time so far (user and kernel), in milliseconds.
double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        throw std::runtime_error("GetProcessTimes failed");
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;  // 100 ns ticks
}

struct Cost {
    double wallMs = 0;  // per page
    double cpuMs = 0;   // per page
};

// The cost per page of one pass over the web's sample.
Cost PerPage(simhost::SimHost& host, host::HostApplication& app, const SampledWeb& web) {
    host.openWeb(web.model);
    MarginSettings settings;  // both margins off: the four removals only
    settings.allPages = false;
    const double cpuStart = ProcessCpuMs();
    const auto start = Clock::now();
    bench::RunMarginsFloor(app, settings, web.sample);
    const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double cpu = ProcessCpuMs() - cpuStart;
    const auto pages = static_cast<double>(web.sample.size());
    return {wall / pages, cpu / pages};
}

// One row family's repetitions: the row's and its floor's.
struct Family {
    std::vector<double> row, floor;
};

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (const double v : values) sum += v;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

int Run(const std::wstring& out, int repetitions, int sampleSize, const std::vector<std::wstring>& folders) {
    if (FAILED(OleInitialize(nullptr))) throw std::runtime_error("OleInitialize failed");
    std::vector<bench::Series> series;
    {
        std::vector<SampledWeb> webs;
        for (const auto& folder : folders) webs.push_back(OpenSampled(folder, sampleSize));
        const auto smallest =
            std::min_element(webs.begin(), webs.end(), [](const auto& a, const auto& b) { return a.pages < b.pages; });

        simhost::SimHost host;
        const auto application = simhost::win32::MakeApplicationDispatch(host);
        const auto app = host::win32::MakeDispatchApplication(application);
        for (const auto& web : webs) PerPage(host, *app, web);

        std::vector<Family> wall(webs.size()), cpu(webs.size());
        for (int i = 0; i < repetitions; ++i) {
            for (size_t w = 0; w < webs.size(); ++w) {
                const bool floorFirst = (i + static_cast<int>(w)) % 2 == 0;
                Cost floor;
                if (floorFirst) floor = PerPage(host, *app, *smallest);
                const Cost row = PerPage(host, *app, webs[w]);
                if (!floorFirst) floor = PerPage(host, *app, *smallest);
                wall[w].row.push_back(row.wallMs);
                wall[w].floor.push_back(floor.wallMs);
                cpu[w].row.push_back(row.cpuMs);
                cpu[w].floor.push_back(floor.cpuMs);
                std::printf(
                    "repetition %d, %d pages: %.3f ms per page (CPU %.3f ms); floor (%d pages) %.3f ms (CPU %.3f ms)\n",
                    i + 1, webs[w].pages, row.wallMs, row.cpuMs, smallest->pages, floor.wallMs, floor.cpuMs);
                std::fflush(stdout);
            }
        }
        host.closeWeb();
        for (size_t w = 0; w < webs.size(); ++w) {
            const int pages = webs[w].pages;
            series.push_back({bench::Name("StandIn/PerPage/pages:", pages), wall[w].row});
            series.push_back({bench::Name("StandIn/PerPage_Floor/pages:", pages), wall[w].floor});
            // Over all repetitions: the process's CPU time is counted in ticks of
            // 10 ms under Wine, too coarse for one pass of the sample.
            series.push_back({bench::Name("StandIn/PerPageCpu/pages:", pages), {Mean(cpu[w].row)}});
            series.push_back({bench::Name("StandIn/PerPageCpu_Floor/pages:", pages), {Mean(cpu[w].floor)}});
        }
    }
    OleUninitialize();
    bench::WriteBenchmarkJson(out, "standin_bench", series);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    return bench::Main("standin_bench", "OUT.json REPETITIONS SAMPLE WEB-FOLDER...", argc, 5, [&] {
        return Run(argv[1], bench::Number(argv[2], 1), bench::Number(argv[3], 1),
                   std::vector<std::wstring>(argv + 4, argv + argc));
    });
}
