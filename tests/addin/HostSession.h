#pragma once

#include <windows.h>

#include <string>

namespace tavisk::testing {

// The sample web, as the Windows path simhost.exe opens.
std::wstring SampleWeb();

// A host process, ended at the end of the test whatever happens.
class HostProcess {
public:
    explicit HostProcess(const std::wstring& commandLine);
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;
    ~HostProcess();
    bool started() const { return _started; }
    // The exit code once the host has ended on its own (given a generous bound).
    DWORD wait();
    DWORD id() const { return _info.dwProcessId; }
    HANDLE handle() const { return _info.hProcess; }

private:
    PROCESS_INFORMATION _info{};
    bool _started = false;
};

// The host's main window ("SimHost ..."), brought to the foreground; null when it
// does not show within a generous bound.
HWND WaitForHostWindow(const HostProcess& host);

// Runs Tools > "&Halvern Add-ins" > "&Tavisk 2002..." by keyboard in the host's
// window `main`, as a user would, and returns the options dialog once it shows
// topmost; null (with the step that failed reported) otherwise. The open menus are
// saved as `png` when it is not empty.
HWND RunToolsCommand(const HostProcess& host, HWND main, const std::wstring& png);

}  // namespace tavisk::testing
