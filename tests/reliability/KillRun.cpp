// The kill test: a host process killed during a margin run over a web on disk leaves
// every page file with either its old or its new content, never a mix or a part.
//
// The stand-in host's disk web and page editor are portable code, so the host
// process here is a native child (fork) that runs the whole run over the web; the
// parent kills it with SIGKILL at random moments, which stops it between any two
// instructions, as a crash or a power cut of the program would, and then checks
// every page by its hash against the page before the run and after a complete run.
// After each kill a new run over the same folder completes and leaves every page new.
//
//   kill_run [pages (1000)] [kills (5)] [seed]
//
// Exit status 0 when every check held.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/Text.h"
#include "host/Application.h"
#include "margins/ApplyMargins.h"
#include "simhost/SimHost.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/inmemory/InMemoryHost.h"

namespace fs = std::filesystem;
using namespace tavisk;

namespace {

// FNV-1a, 64 bits: enough to tell two page contents apart; no library needed.
std::uint64_t Hash(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string PagePath(int i) { return "f" + std::to_string(i / 100) + "/p" + std::to_string(i) + ".htm"; }

// Pages of a few kinds (UTF-8 with CRLF, windows-1252, no BODY tag) and sizes from
// 1 to 8 KB, so a save takes long enough to be caught in the middle.
std::string PageBytes(int i) {
    std::string filler;
    for (int k = 0; k < (i * 37) % 8 + 1; ++k)
        filler +=
            "<p>Paragraph " + std::to_string(k) + " of page " + std::to_string(i) + std::string(990, '.') + "</p>\n";
    switch (i % 3) {
        case 0:
            return "\xEF\xBB\xBF<html>\r\n<head><title>Page " + std::to_string(i) +
                   "</title></head>\r\n<BODY TOPMARGIN=5 text='black'>\r\n" + filler + "</BODY></html>\r\n";
        case 1:
            return "<html><head><title>Caf\xE9 " + std::to_string(i) + "</title></head><body bgcolor=white>\n" +
                   filler + "</body></html>\n";
        default:
            return "<html><head><title>Bare " + std::to_string(i) + "</title></head>\n" + filler + "</html>\n";
    }
}

// What a user would do in the host: the dialog's choices and an OK.
class QuietDialog final : public RunDialog {
public:
    void hide() override {}
    std::int32_t queueCount() override { return 0; }
    std::wstring queueTag(std::int32_t) override { return {}; }
    void unload() override {}
    void showAgain() override {}
};

class Messages final : public ui::MessageBoxes {
public:
    bool succeeded = false;
    void show(const std::wstring& text, const std::wstring&, ui::MessageIcon) override {
        succeeded = text == kRunDoneMessage;
        if (!succeeded) std::wcerr << L"run failed: " << text << L"\n";
    }
};

// The host process: opens the folder as a web and runs over all its pages. It
// writes one byte to `started` when the run begins, so the parent's moments fall
// in the run and not in the opening of the web.
[[noreturn]] void RunHost(const fs::path& folder, int started) {
    simhost::SimHost host;
    host.recorder().setRecording(false);
    host.openWeb(simhost::OpenDiskWeb(folder));
    host::SetApplication(simhost::InMemoryHost(host));
    if (write(started, "s", 1) != 1) _exit(3);
    MarginSettings settings;
    settings.topOn = settings.leftOn = true;
    settings.topText = L"10";
    settings.leftText = L"4";
    QuietDialog dialog;
    Messages messages;
    ApplyMargins(settings, dialog, messages);
    host::SetApplication(nullptr);
    std::fflush(nullptr);
    _exit(messages.succeeded ? 0 : 1);
}

// Starts a host process over `folder` and returns once its run has begun.
pid_t StartHost(const fs::path& folder) {
    int started[2];
    if (pipe(started) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    std::cout.flush();  // the child must not print the parent's pending output again
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        std::exit(2);
    }
    if (pid == 0) {
        close(started[0]);
        RunHost(folder, started[1]);
    }
    close(started[1]);
    char signal = 0;
    if (read(started[0], &signal, 1) != 1) std::cerr << "the host process ended before its run began\n";
    close(started[0]);
    return pid;
}

bool HostSucceeded(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void CopyWeb(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

int CountSaving(const fs::path& folder) {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".saving") ++count;
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<long long> numbers[] = {1000, 5, std::random_device{}()};  // pages, kills, seed
    for (int i = 1; i < argc && i <= 3; ++i) numbers[i - 1] = tavisk::base::ToInteger(argv[i]);
    const auto within = [](const auto& n, long long most) { return n && *n >= 0 && *n <= most; };
    if (argc > 4 || !within(numbers[0], 1'000'000) || !within(numbers[1], 1000) || !within(numbers[2], 0xFFFFFFFF)) {
        std::cerr << "usage: kill_run [PAGES] [KILLS] [SEED]\n";
        return 2;
    }
    const int pages = static_cast<int>(*numbers[0]), kills = static_cast<int>(*numbers[1]);
    const auto seed = static_cast<unsigned>(*numbers[2]);
    std::mt19937 random(seed);
    std::cout << "kill test: " << pages << " pages, " << kills << " kills, seed " << seed << "\n";

    const fs::path root = fs::temp_directory_path() / ("tavisk-kill-" + std::to_string(getpid()));
    const fs::path pristine = root / "pristine", reference = root / "reference", work = root / "work";
    for (int i = 0; i < pages; ++i) {
        const auto file = pristine / PagePath(i);
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << PageBytes(i);
    }
    std::ofstream(pristine / "logo.gif", std::ios::binary) << "GIF89a";

    // A complete run gives each page's new content, and how long a run lasts.
    CopyWeb(pristine, reference);
    const pid_t referenceHost = StartHost(reference);
    const auto started = std::chrono::steady_clock::now();
    if (!HostSucceeded(referenceHost)) {
        std::cerr << "the reference run failed\n";
        return 1;
    }
    const auto runTime = std::chrono::steady_clock::now() - started;
    std::vector<std::uint64_t> before(static_cast<size_t>(pages)), after(static_cast<size_t>(pages));
    bool ok = true;
    for (int i = 0; i < pages; ++i) {
        before[static_cast<size_t>(i)] = Hash(Read(pristine / PagePath(i)));
        after[static_cast<size_t>(i)] = Hash(Read(reference / PagePath(i)));
        if (before[static_cast<size_t>(i)] == after[static_cast<size_t>(i)]) {
            std::cerr << PagePath(i) << ": the run did not change it\n";
            ok = false;
        }
    }
    const auto runMs = std::chrono::duration_cast<std::chrono::milliseconds>(runTime).count();
    std::cout << "complete run: " << runMs << " ms\n";

    int caughtMidway = 0;
    std::uniform_int_distribution<long long> moment(0, runMs * 9 / 10);
    for (int k = 0; k < kills; ++k) {
        CopyWeb(pristine, work);
        const auto delay = std::chrono::milliseconds(moment(random));
        const pid_t pid = StartHost(work);
        std::this_thread::sleep_for(delay);
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);

        int old = 0, fresh = 0, broken = 0;
        for (int i = 0; i < pages; ++i) {
            const auto hash = Hash(Read(work / PagePath(i)));
            if (hash == before[static_cast<size_t>(i)]) {
                ++old;
            } else if (hash == after[static_cast<size_t>(i)]) {
                ++fresh;
            } else {
                ++broken;
                std::cerr << "  " << PagePath(i) << " holds neither its old nor its new content\n";
            }
        }
        const int leftovers = CountSaving(work);
        std::cout << "kill " << k + 1 << " after " << delay.count() << " ms"
                  << (WIFSIGNALED(status) ? "" : " (the run had ended)") << ": " << fresh << " new, " << old << " old, "
                  << broken << " partial, " << leftovers << " temporary file(s) left beside pages\n";
        if (broken) ok = false;
        if (fresh > 0 && old > 0) ++caughtMidway;

        // The next run over the same folder completes and leaves every page new.
        if (!HostSucceeded(StartHost(work))) {
            std::cerr << "  the run after the kill failed\n";
            ok = false;
        }
        for (int i = 0; i < pages; ++i) {
            if (Hash(Read(work / PagePath(i))) != after[static_cast<size_t>(i)]) {
                std::cerr << "  after the next run " << PagePath(i) << " is not new\n";
                ok = false;
            }
        }
    }
    fs::remove_all(root);
    if (kills > 0 && caughtMidway == 0) {
        std::cerr << "no kill caught the run midway: the test proved nothing\n";
        ok = false;
    }
    std::cout << (ok ? "PASSED" : "FAILED") << ": " << caughtMidway << " of " << kills
              << " kills stopped the run midway\n";
    return ok ? 0 : 1;
}
