#pragma once

// The stand-in host as simhost.exe builds it, for the benchmarks under Wine: its
// window shown over `host`, its add-in loader, its object model, and the registered
// add-in connected to it.

#include <windows.h>

#include <wrl/client.h>

#include <optional>

#include "simhost/SimHost.h"
#include "simhost/win32/AddInLoader.h"
#include "simhost/win32/HostWindow.h"

namespace tavisk::bench {

class HostedAddIn {
public:
    // Throws when the add-in `progId` does not connect.
    HostedAddIn(simhost::SimHost& host, const wchar_t* progId);
    ~HostedAddIn();

    HWND window() const { return _window->handle(); }
    const Microsoft::WRL::ComPtr<IDispatch>& application() const { return _application; }

private:
    simhost::win32::AddInLoader _loader;
    std::optional<simhost::win32::HostWindow> _window;
    Microsoft::WRL::ComPtr<IDispatch> _application;
};

}  // namespace tavisk::bench
