// The add-in in the stand-in host, as a user meets it: registered with regsvr32,
// loaded by simhost.exe at start-up, its command under Tools > "&Halvern Add-ins",
// and the command opening the options dialog. The open menus are saved as
// tools-menu.png beside the test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/WinTestSupport.h"
#include "tests/support/WindowDriver.h"

namespace tavisk::testing {
namespace {

std::wstring BuildFolder() {
    const std::wstring dll = AddinDllPath();
    return dll.substr(0, dll.rfind(L"\\addin\\"));
}

std::wstring SampleWeb() {
    std::wstring path = L"Z:" TAVISK_SOURCE_DIR L"/samples/web";
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

// The top-level windows of a process, with their class names and titles.
struct TopWindow {
    HWND handle;
    std::wstring className;
    std::wstring title;
};

std::vector<TopWindow> WindowsOf(DWORD process) {
    std::vector<TopWindow> found;
    for (const HWND window : VisibleTopWindows(process)) {
        found.push_back({window, ClassName(window), Text(window)});
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

// The add-in registered for the test's length only, so other programs that start
// the host in this prefix do not meet it.
class Registered {
public:
    explicit Registered(std::wstring dll) : _dll(std::move(dll)) {
        _ok = RunProgram(L"regsvr32.exe /s \"" + _dll + L"\"") == 0;
    }
    ~Registered() { RunProgram(L"regsvr32.exe /u /s \"" + _dll + L"\""); }
    bool ok() const { return _ok; }

private:
    std::wstring _dll;
    bool _ok = false;
};

// The host process, ended at the end of the test whatever happens.
class HostProcess {
public:
    explicit HostProcess(const std::wstring& commandLine) : _started(StartProcess(commandLine, _info)) {}
    ~HostProcess() {
        if (!_started) return;
        if (WaitForSingleObject(_info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(_info.hProcess, 1);
        CloseHandle(_info.hThread);
        CloseHandle(_info.hProcess);
    }
    bool started() const { return _started; }
    // The exit code once the host has ended on its own (given a generous bound).
    DWORD wait() {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(_info.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(_info.hProcess, &code);
        return code;
    }
    DWORD id() const { return _info.dwProcessId; }

private:
    PROCESS_INFORMATION _info{};
    bool _started = false;
};

TEST(HostStartupTest, HostLoadsTheAddinAndItsToolsCommandOpensTheOptionsDialog) {
    ComApartment apartment;
    const Registered registered(AddinDllPath());
    ASSERT_TRUE(registered.ok());
    const std::wstring host = BuildFolder() + L"\\simhost\\win32\\simhost.exe";
    ASSERT_NE(GetFileAttributesW(host.c_str()), INVALID_FILE_ATTRIBUTES) << "simhost.exe is built with the add-in";

    HostProcess process(L"\"" + host + L"\" \"" + SampleWeb() + L"\"");
    ASSERT_TRUE(process.started());
    HWND main = nullptr;
    ASSERT_TRUE(WaitForWindows(process.id(), [&](const std::vector<TopWindow>& windows) {
        for (const auto& w : windows)
            if (w.title.rfind(L"SimHost", 0) == 0) main = w.handle;
        return main != nullptr;
    }));
    SetForegroundWindow(main);

    // Alt+T opens Tools; "h" its "&Halvern Add-ins" popup, which only the add-in adds.
    Type({{VK_MENU, true}, {'T', true}, {'T', false}, {VK_MENU, false}});
    ASSERT_TRUE(WaitForWindows(process.id(), [](const auto& windows) { return CountMenus(windows) >= 1; }))
        << "the Tools menu did not open";
    Type({{'H', true}, {'H', false}});
    ASSERT_TRUE(WaitForWindows(process.id(), [](const auto& windows) { return CountMenus(windows) >= 2; }))
        << "no \"&Halvern Add-ins\" popup in the Tools menu";
    Sleep(300);  // let the popups finish painting before the capture

    RECT area{};
    GetWindowRect(main, &area);
    for (const auto& w : WindowsOf(process.id())) {
        if (w.className != L"#32768") continue;
        RECT menu{};
        GetWindowRect(w.handle, &menu);
        UnionRect(&area, &area, &menu);
    }
    const std::wstring png = BuildFolder() + L"\\tests\\addin\\tools-menu.png";
    EXPECT_GT(SaveScreenPng(area, png), 8u) << "the capture is blank";

    // "t" runs "&Tavisk 2002...": with the sample web open, the options dialog appears.
    Type({{'T', true}, {'T', false}});
    HWND dialog = nullptr;
    EXPECT_TRUE(WaitForWindows(process.id(), [&](const std::vector<TopWindow>& windows) {
        for (const auto& w : windows)
            if (w.title == L"Tavisk 2002" && w.handle != main) dialog = w.handle;
        // The click creates the dialog, shows it, then makes it topmost: wait for the last step.
        return dialog != nullptr && (GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    })) << "the command did not show the options dialog topmost";
    if (dialog) {
        EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.wait(), 0u) << "the host closed cleanly, with the add-in disconnected";
}

}  // namespace
}  // namespace tavisk::testing
