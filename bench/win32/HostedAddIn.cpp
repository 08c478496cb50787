#include "bench/win32/HostedAddIn.h"

#include <stdexcept>

#include "base/Text.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/win32/ComHost.h"

namespace tavisk::bench {

HostedAddIn::HostedAddIn(simhost::SimHost& host, const wchar_t* progId) {
    simhost::win32::HostWindow::Options options;
    options.openWeb = [](const std::wstring& web) { return simhost::OpenDiskWeb(web); };
    options.pageSource = [](const simhost::PageDocument& document) { return simhost::PageSourceText(document); };
    options.closing = [this] { _loader.shutdown(); };
    options.quitOnDestroy = false;
    _window.emplace(host, std::move(options));
    ShowWindow(_window->handle(), SW_SHOW);
    UpdateWindow(_window->handle());
    _application = simhost::win32::MakeApplicationDispatch(host);
    _loader.connectAll(_application.Get());
    bool connected = false;
    for (const auto& report : _loader.reports()) connected = connected || (report.progId == progId && report.connected);
    if (!connected) throw std::runtime_error("the add-in did not connect: " + base::ToUtf8(_loader.summary()));
}

HostedAddIn::~HostedAddIn() {
    _loader.shutdown();
    _application.Reset();
    _window.reset();
}

}  // namespace tavisk::bench
