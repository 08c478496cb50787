#pragma once

// What the benchmarks run under Wine share: finding the windows a user would see,
// pumping the thread's messages, and writing results as Google Benchmark's JSON,
// which tools/bench_report.py reads.

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tavisk::bench {

// prefix, number, suffix; appended piece by piece, as GCC 12 warns wrongly of
// `"f" + std::to_string(n)` (-Wrestrict).
std::string Name(const char* prefix, long long number, const char* suffix = "");

void Pump();
std::wstring WindowText(HWND window);
// A child window (at any depth) with this text, or null.
HWND FindChild(HWND parent, const std::wstring& text);
// The visible top-level window of this thread with this title and, when `child` is
// given, a child window with that text; null when there is none.
HWND FindWindowOfThread(const std::wstring& title, const std::wstring& child = {});

// One benchmark's repetitions. A time series is written with its values in both time
// fields ("ms"); a memory series as "memory_mb", which the report shows in MB
// against an absolute target.
struct Series {
    std::string name;  // "Operation/Name/size:N"
    std::vector<double> values;
    bool memory = false;
};

void WriteBenchmarkJson(const std::filesystem::path& path, const char* executable, const std::vector<Series>& series);

// A number argument of a benchmark program: anything but a whole number of at least
// `least` that fits an int makes Main print the usage line.
int Number(const wchar_t* text, int least = 0);

// A benchmark program's wmain: with fewer than `arguments` arguments or a bad
// number, prints `usage` and returns 2; otherwise returns what `run` returns, or
// prints the error that ended it, after the program's name, and returns 1.
int Main(const char* program, const char* usage, int argc, int arguments, const std::function<int()>& run);

}  // namespace tavisk::bench
