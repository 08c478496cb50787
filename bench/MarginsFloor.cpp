#include "bench/MarginsFloor.h"

#include <set>

namespace tavisk::bench {
namespace {

void ExecuteMenuCommand(host::HostApplication& app, std::int32_t id) {
    app.commandBars()->item(L"menu bar")->findControl(id, true)->execute();
}

void SetAttribute(host::PageWindow& window, const wchar_t* name, const std::wstring& value) {
    window.document()->body()->setAttribute(name, value, host::kMatchCase);
}

void FloorPage(host::HostApplication& app, host::WebFile& file, bool wasOpen, const MarginSettings& settings) {
    file.open();
    std::int32_t savedViewMode = 0;
    if (wasOpen) savedViewMode = app.activePageWindow()->viewMode();
    const auto window = app.activePageWindow();
    window->setViewMode(1);
    const auto body = window->document()->body();
    for (const auto* name : {L"topmargin", L"leftmargin", L"marginheight", L"marginwidth"})
        body->removeAttribute(name, host::kMatchCase);
    const bool explorer = settings.platform != Platform::Netscape;
    const bool netscape = settings.platform != Platform::InternetExplorer;
    if (settings.topOn && explorer) SetAttribute(*window, L"topmargin", settings.topText);
    if (settings.topOn && netscape) SetAttribute(*window, L"marginheight", settings.topText);
    if (settings.leftOn && explorer) SetAttribute(*window, L"leftmargin", settings.leftText);
    if (settings.leftOn && netscape) SetAttribute(*window, L"marginwidth", settings.leftText);
    ExecuteMenuCommand(app, 3);
    if (wasOpen) {
        app.activePageWindow()->setViewMode(savedViewMode);
    } else {
        ExecuteMenuCommand(app, 106);
    }
}

std::set<std::wstring> OpenUrls(host::HostApplication& app) {
    std::set<std::wstring> urls;
    const auto windows = app.activeWebWindow()->pageWindows();
    const std::int32_t count = windows->count();
    for (std::int32_t i = 0; i < count; ++i) urls.insert(windows->item(i)->file()->url());
    return urls;
}

bool WasOpen(const std::set<std::wstring>& openUrls, host::WebFile& file) {
    return !openUrls.empty() && openUrls.count(file.url()) > 0;
}

bool IsPageExtension(const std::wstring& extension) {
    std::wstring upper = extension;
    for (auto& c : upper)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return upper == L"HTM" || upper == L"HTML" || upper == L"ASP";
}

}  // namespace

void RunMarginsFloor(host::HostApplication& app, const MarginSettings& settings,
                     const std::vector<std::wstring>& queue) {
    const auto openUrls = OpenUrls(app);
    const auto savedWindow = openUrls.empty() ? nullptr : app.activePageWindow();
    if (settings.allPages) {
        const auto files = app.activeWeb()->allFiles();
        const std::int32_t count = files->count();
        for (std::int32_t i = 0; i < count; ++i) {
            const auto file = files->item(i);
            if (IsPageExtension(file->extension())) FloorPage(app, *file, WasOpen(openUrls, *file), settings);
        }
    } else {
        for (const auto& url : queue) {
            const auto file = app.activeWeb()->locateFile(url);
            FloorPage(app, *file, WasOpen(openUrls, *file), settings);
        }
    }
    if (savedWindow) savedWindow->activate();
}

}  // namespace tavisk::bench
