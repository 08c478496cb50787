// simhost.exe [--language en|de|fr|ja] [--screenshot FILE.png] [WEB-FOLDER]
// The stand-in editor: opens the folder as a web, loads the COM add-ins registered
// for the host, and runs a plain message loop until its window closes. With
// --language its menus are captioned as that language's edition of the editor
// captions them (English unless given). With --screenshot it saves a PNG of its
// window once started, then closes.

#include <windows.h>

#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "simhost/SimError.h"
#include "simhost/SimHost.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/disk/HtmlPage.h"
#include "base/Text.h"
#include "simhost/win32/AddInLoader.h"
#include "simhost/win32/ComHost.h"
#include "base/win32/ComError.h"
#include "simhost/win32/HostWindow.h"

namespace {

using namespace tavisk::simhost;
using namespace tavisk::simhost::win32;

constexpr UINT kScreenshotDelayMs = 1500;

struct CommandLine {
    std::wstring web;
    std::wstring screenshot;
    std::wstring language = L"en";
};

CommandLine ReadCommandLine() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words) throw tavisk::base::Error(HRESULT_FROM_WIN32(GetLastError()), L"The command line could not be read.");
    std::vector<std::wstring> args(words + 1, words + count);
    LocalFree(words);
    CommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--screenshot" && i + 1 < args.size())
            line.screenshot = args[++i];
        else if (args[i] == L"--language" && i + 1 < args.size())
            line.language = args[++i];
        else if (line.web.empty())
            line.web = args[i];
        else
            throw tavisk::base::Error(E_INVALIDARG,
                                      L"Usage: simhost [--language en|de|fr|ja] [--screenshot FILE.png] [WEB-FOLDER]");
    }
    return line;
}

class Apartment {
public:
    Apartment() { tavisk::base::win32::ThrowIfFailed(OleInitialize(nullptr), L"OleInitialize"); }
    Apartment(const Apartment&) = delete;
    ~Apartment() { OleUninitialize(); }
};

int Run(int show) {
    const auto line = ReadCommandLine();
    Apartment apartment;
    SimHost host(line.language);
    // Nothing in this program reads the log of calls, which would otherwise grow
    // with every call of the object model for as long as the window stays open.
    host.recorder().setRecording(false);
    std::wstring problem;
    if (!line.web.empty()) {
        try {
            host.openWeb(OpenDiskWeb(line.web));
        } catch (const tavisk::simhost::SimError& e) {
            problem = L"; the web could not be opened: " + e.message();
        }
    }
    AddInLoader loader;
    HostWindow::Options options;
    options.openWeb = [](const std::wstring& folder) { return OpenDiskWeb(folder); };
    options.pageSource = [](const PageDocument& document) { return PageSourceText(document); };
    // Read as a browser reads the start tag "<body TEXT>" of a UTF-8 page.
    options.parseBodyAttributes = [](const std::wstring& text) {
        return HtmlPage("\xEF\xBB\xBF<body " + tavisk::base::ToUtf8(text) + ">").bodyAttributes();
    };
    options.closing = [&loader] { loader.shutdown(); };
    HostWindow window(host, std::move(options));
    ShowWindow(window.handle(), show);
    UpdateWindow(window.handle());

    const auto application = MakeApplicationDispatch(host);
    loader.connectAll(application.Get());
    window.setStatus(loader.summary() + problem);
    if (!line.screenshot.empty()) window.screenshotAndClose(line.screenshot, kScreenshotDelayMs);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    try {
        return Run(show);
    } catch (...) {
        MessageBoxW(nullptr, tavisk::base::CaughtErrorText().c_str(), L"SimHost", MB_OK | MB_ICONERROR);
        return 1;
    }
}
