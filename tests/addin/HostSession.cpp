#include "tests/addin/HostSession.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/addin/ScreenShot.h"
#include "tests/addin/WinTestSupport.h"

namespace tavisk::testing {
namespace {

// The top-level windows of a process, with their class names and titles.
struct TopWindow {
    HWND handle;
    std::wstring className;
    std::wstring title;
};

std::vector<TopWindow> WindowsOf(DWORD process) {
    std::vector<TopWindow> found;
    for (const HWND window : VisibleTopWindows(process)) {
        wchar_t className[64]{};
        wchar_t title[256]{};
        GetClassNameW(window, className, 64);
        GetWindowTextW(window, title, 256);
        found.push_back({window, className, title});
    }
    return found;
}

// Waits, pumping nothing of its own, until `found` holds for the process's windows;
// gives up after a generous bound so a broken host fails the test instead of hanging it.
template <class Predicate>
bool WaitForWindows(DWORD process, Predicate found) {
    for (int i = 0; i < 300; ++i) {
        if (found(WindowsOf(process))) return true;
        Sleep(100);
    }
    return false;
}

// Types keys as the user would, into the foreground window.
void Type(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (const auto& [key, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

size_t CountMenus(const std::vector<TopWindow>& windows) {
    size_t menus = 0;
    for (const auto& w : windows) menus += w.className == L"#32768";
    return menus;
}

}  // namespace

std::wstring SampleWeb() {
    std::wstring path = L"Z:" TAVISK_SOURCE_DIR L"/samples/web";
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

HostProcess::HostProcess(const std::wstring& commandLine) : _started(StartProcess(commandLine, _info)) {}

HostProcess::~HostProcess() {
    if (!_started) return;
    if (WaitForSingleObject(_info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(_info.hProcess, 1);
    CloseHandle(_info.hThread);
    CloseHandle(_info.hProcess);
}

DWORD HostProcess::wait() {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(_info.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(_info.hProcess, &code);
    return code;
}

HWND WaitForHostWindow(const HostProcess& host) {
    HWND main = nullptr;
    WaitForWindows(host.id(), [&](const std::vector<TopWindow>& windows) {
        for (const auto& w : windows)
            if (w.title.rfind(L"SimHost", 0) == 0) main = w.handle;
        return main != nullptr;
    });
    if (main) SetForegroundWindow(main);
    return main;
}

HWND RunToolsCommand(const HostProcess& host, HWND main, const std::wstring& png) {
    // Alt+T opens Tools; "h" its "&Halvern Add-ins" popup, which only the add-in adds.
    Type({{VK_MENU, true}, {'T', true}, {'T', false}, {VK_MENU, false}});
    if (!WaitForWindows(host.id(), [](const auto& windows) { return CountMenus(windows) >= 1; })) {
        ADD_FAILURE() << "the Tools menu did not open";
        return nullptr;
    }
    Type({{'H', true}, {'H', false}});
    if (!WaitForWindows(host.id(), [](const auto& windows) { return CountMenus(windows) >= 2; })) {
        ADD_FAILURE() << "no \"&Halvern Add-ins\" popup in the Tools menu";
        return nullptr;
    }
    if (!png.empty()) {
        Sleep(300);  // let the popups finish painting before the capture
        RECT area{};
        GetWindowRect(main, &area);
        for (const auto& w : WindowsOf(host.id())) {
            if (w.className != L"#32768") continue;
            RECT menu{};
            GetWindowRect(w.handle, &menu);
            UnionRect(&area, &area, &menu);
        }
        EXPECT_GT(SaveScreenPng(area, png), 8u) << "the capture is blank";
    }

    // "t" runs "&Tavisk 2002...": with the sample web open, the options dialog appears.
    Type({{'T', true}, {'T', false}});
    HWND dialog = nullptr;
    EXPECT_TRUE(WaitForWindows(host.id(), [&](const std::vector<TopWindow>& windows) {
        for (const auto& w : windows)
            if (w.title == L"Tavisk 2002" && w.handle != main) dialog = w.handle;
        // The click creates the dialog, shows it, then makes it topmost: wait for the last step.
        return dialog != nullptr && (GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    })) << "the command did not show the options dialog topmost";
    return dialog && (GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) ? dialog : nullptr;
}

}  // namespace tavisk::testing
