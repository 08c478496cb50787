#include "margins/ApplyMargins.h"

#include <exception>
#include <memory>

#include "base/Error.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "margins/BodyMargins.h"

namespace tavisk {
namespace {

constexpr std::int32_t kSaveControlId = 3;
constexpr std::int32_t kCloseControlId = 106;
constexpr std::int32_t kNormalViewMode = 1;
constexpr wchar_t kMenuBar[] = L"menu bar";

host::HostApplication& App() { return host::Application(); }

std::shared_ptr<host::Web> ActiveWeb() {
    auto web = App().activeWeb();
    if (!web) throw host::HostError(host::kErrorFail, L"No web is open in FrontPage.");
    return web;
}

std::int32_t OpenPageWindowCount() { return App().activeWebWindow()->pageWindows()->count(); }

std::shared_ptr<host::PageWindow> ActivePageWindow() {
    auto window = App().activePageWindow();
    if (!window) throw host::HostError(host::kErrorFail, L"No page is active in FrontPage.");
    return window;
}

void ExecuteMenuCommand(std::int32_t id) {
    auto control = App().commandBars()->item(kMenuBar)->findControl(id, true);
    if (!control) {
        throw host::HostError(host::kErrorNotFound,
                              L"The menu bar has no command with Id " + std::to_wstring(id) + L".");
    }
    control->execute();
}

void ProcessPage(host::WebFile& file, const MarginSettings& settings) {
    const bool wasOpen = IsPageOpen(file);
    file.open();
    std::int32_t savedViewMode = 0;
    if (wasOpen) savedViewMode = ActivePageWindow()->viewMode();
    ActivePageWindow()->setViewMode(kNormalViewMode);
    SetBodyMargins(settings);
    ExecuteMenuCommand(kSaveControlId);
    if (wasOpen) {
        ActivePageWindow()->setViewMode(savedViewMode);
    } else {
        ExecuteMenuCommand(kCloseControlId);
    }
}

// The page a run is working on, kept so a failure can name it. Its URL is read
// only when a failure is reported, so a run makes no host call for it otherwise.
struct CurrentPage {
    std::wstring queuedUrl;
    std::shared_ptr<host::WebFile> file;

    std::wstring url() const noexcept {
        if (!queuedUrl.empty() || !file) return queuedUrl;
        try {
            return file->url();
        } catch (...) {
            return {};  // the host refuses even that: report the failure without a URL
        }
    }
};

// Where a run ended: after every file, or stopped by the user before file `done`.
struct RunEnd {
    bool stopped = false;
    std::int32_t done = 0;
    std::int32_t total = 0;
};

RunEnd RunOverPages(const MarginSettings& settings, RunDialog& dialog, RunProgress* progress, CurrentPage& current) {
    std::shared_ptr<host::PageWindow> savedWindow;
    if (OpenPageWindowCount() > 0) savedWindow = App().activePageWindow();

    RunEnd end;
    const auto goOn = [&](std::int32_t index, std::int32_t total, const std::wstring& url) {
        if (!progress || progress->next(index, total, url)) return true;
        end = {true, index, total};
        return false;
    };
    if (settings.allPages) {
        const auto files = ActiveWeb()->allFiles();
        const std::int32_t count = files->count();
        for (std::int32_t i = 0; i < count; ++i) {
            current = {};
            if (!goOn(i, count, {})) break;
            current.file = files->item(i);
            if (IsPage(*current.file)) ProcessPage(*current.file, settings);
        }
    } else {
        const std::int32_t count = dialog.queueCount();
        for (std::int32_t i = 0; i < count; ++i) {
            current = {};
            const std::wstring url = dialog.queueTag(i);
            if (!goOn(i, count, url)) break;
            current.queuedUrl = url;
            current.file = ActiveWeb()->locateFile(url);
            ProcessPage(*current.file, settings);
        }
    }
    current = {};

    if (OpenPageWindowCount() > 0 && savedWindow) savedWindow->activate();
    return end;
}

std::wstring FailureText(const std::wstring& url, const std::wstring& reason) {
    std::wstring text =
        url.empty() ? L"The margins could not be applied." : L"The margins could not be applied to " + url + L".";
    if (!reason.empty()) text += L"\n\n" + reason;
    return text;
}

}  // namespace

std::wstring RunStoppedMessage(std::int32_t done, std::int32_t total) {
    return L"The run was stopped after " + std::to_wstring(done) + L" of " + std::to_wstring(total) +
           L" pages. The pages done keep their new margins.";
}

bool IsPageOpen(host::WebFile& file) {
    const std::int32_t count = OpenPageWindowCount();
    for (std::int32_t i = 0; i < count; ++i) {
        const auto url = file.url();
        if (App().activeWebWindow()->pageWindows()->item(i)->file()->url() == url) return true;
    }
    return false;
}

void ApplyMargins(const MarginSettings& settings, RunDialog& dialog, ui::MessageBoxes& messages,
                  RunProgress* progress) {
    dialog.hide();
    CurrentPage current;
    std::wstring reason;
    try {
        const RunEnd end = RunOverPages(settings, dialog, progress, current);
        if (progress) progress->end();
        if (end.stopped) {
            // Stopped by the user between pages: what is done stays done, and the
            // dialog comes back with its choices and queue for another run.
            messages.show(RunStoppedMessage(end.done, end.total), ui::kProductTitle, ui::MessageIcon::Information);
            dialog.showAgain();
            return;
        }
        dialog.unload();
        messages.show(kRunDoneMessage, ui::kProductTitle, ui::MessageIcon::Information);
        return;
    } catch (const std::exception&) {
        reason = base::CaughtErrorText();
    }
    if (progress) progress->end();
    // Pages done stay saved and the current one stays open, unsaved: the user sees
    // where the run stopped, and can retry from the dialog or cancel it.
    messages.show(FailureText(current.url(), reason), ui::kProductTitle, ui::MessageIcon::Error);
    dialog.showAgain();
}

}  // namespace tavisk
