#include "bench/win32/Harness.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "base/Error.h"
#include "base/Text.h"

namespace tavisk::bench {
namespace {

struct BadNumber {};

struct ChildSearch {
    const std::wstring& text;
    HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
    auto& search = *reinterpret_cast<ChildSearch*>(data);
    if (WindowText(child) != search.text) return TRUE;
    search.found = child;
    return FALSE;
}

struct WindowSearch {
    const std::wstring& title;
    const std::wstring& child;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    if (!IsWindowVisible(window) || WindowText(window) != search.title) return TRUE;
    if (!search.child.empty() && !FindChild(window, search.child)) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

std::string Name(const char* prefix, long long number, const char* suffix) {
    std::string name(prefix);
    name += std::to_string(number);
    name += suffix;
    return name;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

HWND FindChild(HWND parent, const std::wstring& text) {
    ChildSearch search{text};
    EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindWindowOfThread(const std::wstring& title, const std::wstring& child) {
    WindowSearch search{title, child};
    EnumThreadWindows(GetCurrentThreadId(), &MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WriteBenchmarkJson(const std::filesystem::path& path, const char* executable, const std::vector<Series>& series) {
    std::ofstream out(path);
    out << "{\n  \"context\": {\"executable\": \"" << executable << "\"},\n  \"benchmarks\": [\n";
    bool first = true;
    for (const auto& s : series) {
        for (size_t i = 0; i < s.values.size(); ++i) {
            out << (first ? "" : ",\n") << "    {\"name\": \"" << s.name << "\", \"run_name\": \"" << s.name
                << "\", \"run_type\": \"iteration\", \"repetitions\": " << s.values.size()
                << ", \"repetition_index\": " << i << ", \"iterations\": 1, ";
            if (s.memory)
                out << "\"memory_mb\": " << s.values[i] << "}";
            else
                out << "\"real_time\": " << s.values[i] << ", \"cpu_time\": " << s.values[i]
                    << ", \"time_unit\": \"ms\"}";
            first = false;
        }
    }
    out << "\n  ]\n}\n";
    if (!out) throw std::runtime_error("the results could not be written");
}

int Number(const wchar_t* text, int least) {
    const auto number = base::ToInteger(base::ToUtf8(text));
    if (!number || *number < least || *number > std::numeric_limits<int>::max()) throw BadNumber{};
    return static_cast<int>(*number);
}

int Main(const char* program, const char* usage, int argc, int arguments, const std::function<int()>& run) {
    try {
        if (argc >= arguments) return run();
    } catch (const BadNumber&) {
    } catch (...) {
        std::fprintf(stderr, "%s: %s\n", program, base::ToUtf8(base::CaughtErrorText()).c_str());
        return 1;
    }
    std::fprintf(stderr, "usage: %s %s\n", program, usage);
    return 2;
}

}  // namespace tavisk::bench
