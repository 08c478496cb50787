#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/Texts.h"
#include "host/HostModel.h"
#include "margins/MarginSettings.h"
#include "ui/MessageBoxes.h"

namespace tavisk {

// What the run needs of the options dialog that started it.
class RunDialog {
public:
    virtual ~RunDialog() = default;
    // Hides the dialog; it stays loaded with its choices and queue.
    virtual void hide() = 0;
    virtual std::int32_t queueCount() = 0;
    // The tag (the page's URL) of the queue entry at `index`, counted from 0 in
    // the list's order.
    virtual std::wstring queueTag(std::int32_t index) = 0;
    // Unloads the dialog and releases the process-wide instance.
    virtual void unload() = 0;
    // Shows the hidden dialog again, as it was, after a run that failed.
    virtual void showAgain() = 0;
    // True once the dialog is going for good (the add-in is being let go): a run
    // that fails now cannot be retried from it.
    virtual bool closing() const { return false; }
};

// Where a run reports how far it has got, and learns that the user wants it to stop.
// It is asked between pages only, so the page in hand is always finished first.
class RunProgress {
public:
    // Gives the URL of the page about to be processed. It may ask the host (a page of
    // the web's file collection), so it is called only when the URL is shown; a
    // refusal is the run's failure on that page.
    using PageUrl = std::function<std::wstring()>;

    virtual ~RunProgress() = default;
    // Before file `done` (from 0) of the `total` files of the web that a run over all
    // pages reads once to count its pages. False: the user asked to stop, and the run
    // stops before its first page.
    virtual bool counting(std::int32_t done, std::int32_t total) = 0;
    // Before page `index` (from 0) of the `total` pages the run walks. False: the
    // user asked to stop, and the run stops before this page.
    virtual bool next(std::int32_t index, std::int32_t total, const PageUrl& url) = 0;
    // The run is over, finished, stopped or failed: the display goes before any
    // message is shown.
    virtual void end() noexcept = 0;
};

// The English texts; the user reads them in the editor's language (base/Texts.h).
inline constexpr const wchar_t* kRunDoneMessage = base::English(base::TextId::RunDone);

// What the user is told when a run stopped at their request after `done` of `total` pages.
std::wstring RunStoppedMessage(std::int32_t done, std::int32_t total);
// What the user is told when a run over all pages stopped at their request while
// the pages were counted.
inline constexpr const wchar_t* kCountStoppedMessage = base::English(base::TextId::CountStopped);

// Writes `settings` into every page of the open web, or into every queued page,
// through the host's editor, Save and Close commands, then reports success. A
// failure stops the run where it happened: pages done stay saved; the page in hand
// goes back as far as the host allows (a page the run opened is closed, unsaved if
// it was not saved yet; a page the user had open stays open, in its view mode); the
// user is told which page failed and why, or that it was saved, whether it was then
// put back all the same, and what failed after the save; and the dialog is shown again so the run can be retried or
// cancelled. Once every page is done the run is complete, even when the page window that was active before cannot be
// made active again. With `progress`, the run reports to it before every page and stops there when the user asks: the
// saved page window is active again, the user is told how far the run got, and the dialog is shown again with its
// choices and queue. The progress display asks the host for nothing but, over all pages, the URL of the page shown.
// Over all pages, a file fetched for the run that is no longer a page (the web's
// files changed after the count) fails the run on that file.
void ApplyMargins(const MarginSettings& settings, RunDialog& dialog, ui::MessageBoxes& messages,
                  RunProgress* progress = nullptr);

// True when a page window of the host's active web window shows `file`.
bool IsPageOpen(host::WebFile& file);

}  // namespace tavisk
