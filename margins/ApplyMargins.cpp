#include "margins/ApplyMargins.h"

#include <exception>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "base/Error.h"
#include "base/Texts.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "margins/BodyMargins.h"

namespace tavisk {
namespace {

constexpr std::int32_t kSaveControlId = 3;
constexpr std::int32_t kCloseControlId = 106;
constexpr std::int32_t kNormalViewMode = 1;

host::HostApplication& App() { return host::Application(); }

std::int32_t OpenPageWindowCount() { return App().activeWebWindow()->pageWindows()->count(); }

std::shared_ptr<host::PageWindow> ActivePageWindow() {
    auto window = App().activePageWindow();
    if (!window) throw host::HostError(host::kErrorFail, base::Text(base::TextId::NoActivePage));
    return window;
}

void ExecuteMenuCommand(std::int32_t id) {
    auto control = App().commandBars()->item(host::kMenuBar)->findControl(id, true);
    if (!control) {
        throw host::HostError(host::kErrorNotFound, base::Text(base::TextId::NoCommandWithId, {std::to_wstring(id)}));
    }
    control->execute();
}

// IsPageOpen for the pages of one run, asking each window once per run instead of
// once per page. Between two pages only the run opens and closes windows (its
// progress window handles no message of the host's but its paints), and it closes every window it
// opened, so while the window count stays the same the set of pages shown stays the
// same. Their order does not: an editor may move the window it activates to the end
// of its list. So a walk always covers every window, and the answer comes from the
// set of URLs it met, never from where in the list a page was.
class OpenPageCheck {
public:
    bool operator()(host::WebFile& file) {
        const std::int32_t count = OpenPageWindowCount();
        if (count == 0) return false;
        if (count != _count) {
            _count = count;
            _seen.clear();
            for (std::int32_t i = 0; i < count; ++i) {
                _seen.insert(App().activeWebWindow()->pageWindows()->item(i)->file()->url());
            }
        }
        return _seen.count(file.url()) > 0;
    }

private:
    std::int32_t _count = 0;
    std::unordered_set<std::wstring> _seen;
};

// How far ProcessPage got with a page, so a run that cannot go on can put it back
// and say what happened to it. The page's window is held only while the page is in hand.
struct PageState {
    bool wasOpen = false;
    bool opened = false;  // open() returned: a window shows the page
    std::int32_t savedViewMode = 0;
    std::shared_ptr<host::PageWindow> window;  // once its view mode is about to change
    bool saved = false;                        // the Save command went through
};

void ProcessPage(host::WebFile& file, const MarginSettings& settings, OpenPageCheck& isPageOpen, PageState& state) {
    state = {};
    state.wasOpen = isPageOpen(file);
    file.open();
    state.opened = true;
    if (state.wasOpen) state.savedViewMode = ActivePageWindow()->viewMode();
    state.window = ActivePageWindow();
    state.window->setViewMode(kNormalViewMode);
    SetBodyMargins(*state.window, settings);
    ExecuteMenuCommand(kSaveControlId);
    state.saved = true;
    if (state.wasOpen) {
        ActivePageWindow()->setViewMode(state.savedViewMode);
    } else {
        ExecuteMenuCommand(kCloseControlId);
    }
    state = {};
}

// Puts a page the run failed on back as the user had it, as far as the host still
// answers: the user's own window in its view mode, a window the run opened closed
// (unsaved when the failure came before the save; the editor may ask about the
// edit itself), so that a retry does not take it for a page the user had open.
// Through the page's own window, which stays usable when the host has already let
// the add-in go; only when the host refused to name that window is the active one
// taken, which is the page just opened.
// True when the page is back as the user had it.
bool PutBack(const PageState& state) noexcept {
    if (!state.opened) return false;  // no window of the run's, and the user's is not changed yet
    try {
        if (state.wasOpen) {
            if (!state.window) return false;
            state.window->setViewMode(state.savedViewMode);
        } else if (const auto window = state.window ? state.window : App().activePageWindow()) {
            window->close();
        } else {
            return false;
        }
        return true;
    } catch (...) {
        return false;  // the host refuses: the page stays as the failure left it, and the message names it
    }
}

// The page a run is working on, kept so a failure can name it and, when nobody
// can retry, put it back. Its URL is read only when a failure is reported, so a
// run makes no host call for it otherwise.
struct CurrentPage {
    std::wstring queuedUrl;
    std::shared_ptr<host::WebFile> file;
    PageState state;

    std::wstring url() const noexcept {
        if (!queuedUrl.empty() || !file) return queuedUrl;
        try {
            return file->url();
        } catch (...) {
            return {};  // the host refuses even that: report the failure without a URL
        }
    }
};

// Where a run ended: after every page, or stopped by the user before page `done`,
// or while the pages were counted.
struct RunEnd {
    bool stopped = false;
    std::int32_t done = 0;
    std::int32_t total = 0;
    bool counting = false;
};

std::wstring StoppedText(const RunEnd& end) {
    return end.counting ? base::Text(base::TextId::CountStopped) : RunStoppedMessage(end.done, end.total);
}

// The positions of the web's pages in its flat file collection. Counted before the
// run so that its progress counts pages, not the images and style sheets between
// them; each file's extension is read here once. On a large web this takes a
// while, so the progress hears of every file and may stop the count: nullopt.
std::optional<std::vector<std::int32_t>> PagePositions(host::WebFiles& files, RunProgress* progress) {
    std::vector<std::int32_t> pages;
    const std::int32_t count = files.count();
    for (std::int32_t i = 0; i < count; ++i) {
        if (progress && !progress->counting(i, count)) return std::nullopt;
        if (host::IsPage(*files.item(i))) pages.push_back(i);
    }
    return pages;
}

// A file fetched for the run at a position the count found a page at. Its
// extension is read again: the web's files may have changed since the count (the
// host is live while the progress window handles messages), and a file that is no
// longer a page there means every later position may be wrong too. The run fails
// on it, naming it, rather than skip pages it could then never report.
void CheckStillAPage(host::WebFile& file) {
    if (host::IsPage(file)) return;
    throw host::HostError(host::kErrorFail, base::Text(base::TextId::FilesChanged));
}

RunEnd RunOverPages(const MarginSettings& settings, RunDialog& dialog, RunProgress* progress, CurrentPage& current) {
    std::shared_ptr<host::PageWindow> savedWindow;
    if (OpenPageWindowCount() > 0) savedWindow = App().activePageWindow();
    OpenPageCheck isPageOpen;

    RunEnd end;
    const auto goOn = [&](std::int32_t index, std::int32_t total, const RunProgress::PageUrl& url) {
        if (!progress || progress->next(index, total, url)) return true;
        end = {true, index, total};
        return false;
    };
    if (settings.allPages) {
        const auto files = host::ActiveWebOrThrow()->allFiles();
        const auto pages = PagePositions(*files, progress);
        if (!pages) {
            end = {true, 0, 0, true};
            return end;
        }
        const auto count = static_cast<std::int32_t>(pages->size());
        for (std::int32_t i = 0; i < count; ++i) {
            current = {};
            // The file is fetched when the progress window first wants its name, else just after.
            const auto fetch = [&]() -> host::WebFile& {
                if (!current.file) {
                    current.file = files->item((*pages)[static_cast<std::size_t>(i)]);
                    CheckStillAPage(*current.file);
                }
                return *current.file;
            };
            if (!goOn(i, count, [&] { return fetch().url(); })) break;
            ProcessPage(fetch(), settings, isPageOpen, current.state);
        }
    } else {
        const std::int32_t count = dialog.queueCount();
        for (std::int32_t i = 0; i < count; ++i) {
            current = {};
            const std::wstring url = dialog.queueTag(i);
            if (!goOn(i, count, [&] { return url; })) break;
            current.queuedUrl = url;
            current.file = host::ActiveWebOrThrow()->locateFile(url);
            ProcessPage(*current.file, settings, isPageOpen, current.state);
        }
    }
    current = {};

    // Every page is done: bringing the user's window back to the front is a courtesy
    // that cannot undo that. The user may have closed that window meanwhile, or the
    // host may refuse; the run is complete either way.
    try {
        if (OpenPageWindowCount() > 0 && savedWindow) savedWindow->activate();
    } catch (const std::exception&) {
    }
    return end;
}

std::wstring FailureText(const std::wstring& url, const PageState& state, bool putBack, const std::wstring& reason) {
    std::wstring text;
    if (state.saved) {
        // The page is done: only what comes after its save failed, and the page's own
        // window may still have done that when the run put the page back.
        using base::TextId;
        const TextId id = !putBack ? (state.wasOpen ? TextId::SavedViewFailed : TextId::SavedCloseFailed)
                                   : (state.wasOpen ? TextId::SavedViewPutBack : TextId::SavedClosedPutBack);
        text = base::Text(id, {url.empty() ? std::wstring(base::Text(TextId::ThePage)) : url});
    } else {
        text = url.empty() ? base::Text(base::TextId::NotApplied) : base::Text(base::TextId::NotAppliedTo, {url});
    }
    if (!reason.empty()) text += L"\n\n" + reason;
    return text;
}

}  // namespace

std::wstring RunStoppedMessage(std::int32_t done, std::int32_t total) {
    return base::Text(base::TextId::RunStopped, {std::to_wstring(done), std::to_wstring(total)});
}

bool IsPageOpen(host::WebFile& file) {
    const std::int32_t count = OpenPageWindowCount();
    for (std::int32_t i = 0; i < count; ++i) {
        // Both URLs asked afresh for each window.
        const auto url = file.url();
        if (App().activeWebWindow()->pageWindows()->item(i)->file()->url() == url) return true;
    }
    return false;
}

void ApplyMargins(const MarginSettings& settings, RunDialog& dialog, ui::MessageBoxes& messages,
                  RunProgress* progress) {
    dialog.hide();
    CurrentPage current;
    RunEnd end;
    bool failed = false;
    std::wstring reason;
    try {
        end = RunOverPages(settings, dialog, progress, current);
    } catch (const std::exception&) {
        failed = true;
        reason = base::CaughtErrorText();
    }
    // The run is over: what fails from here on is not the run, and goes to the
    // caller's event boundary as it is (never as margins not applied, and never
    // showing a dialog that is already unloaded).
    if (progress) progress->end();
    if (failed) {
        // Pages done stay saved and the page in hand goes back as the user had it:
        // the user is told where the run stopped, and can retry from the dialog or
        // cancel it. With the dialog going for good (the add-in is being let go)
        // nobody can retry, but the user is still told what became of the page in
        // hand. Between pages there is nothing to tell: the host just let go.
        const bool putBack = PutBack(current.state);
        if (!dialog.closing() || current.file) {
            messages.show(FailureText(current.url(), current.state, putBack, reason), ui::kProductTitle,
                          ui::MessageIcon::Error);
        }
        dialog.showAgain();
    } else if (end.stopped) {
        // Stopped by the user between pages: what is done stays done, and the
        // dialog comes back with its choices and queue for another run.
        messages.show(StoppedText(end), ui::kProductTitle, ui::MessageIcon::Information);
        dialog.showAgain();
    } else {
        dialog.unload();
        messages.show(base::Text(base::TextId::RunDone), ui::kProductTitle, ui::MessageIcon::Information);
    }
}

}  // namespace tavisk
