#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "base/Texts.h"
#include "margins/ApplyMargins.h"
#include "ui/Form.h"

namespace tavisk {

// The progress window of a run. It is made only once the run has lasted about a
// second, counted from the start of the pages' count, so a short run looks as it
// always did; from then on it shows "Counting pages..." while the web's files are
// counted, then "Applying margins to page i of n" and the page's file name, a few
// times a second, and lets the window handle its messages (painting, Cancel, Esc)
// between files and pages. Cancel makes the run stop before its next page. Opening
// a page may give the editor the focus; the window takes it back before it handles
// its messages, so an Esc pressed meanwhile reaches Cancel. Its only host call is
// the page's URL, read when the texts are redrawn.
class frmProgress final : public RunProgress {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr wchar_t kCaption[] = L"Tavisk 2002";
    // How long a run goes on before the window appears.
    static constexpr std::chrono::milliseconds kDelay{1000};
    // How often the texts and the bar are redrawn.
    static constexpr std::chrono::milliseconds kUpdateInterval{250};
    // How often the window's messages are handled: often enough that a click paints
    // and Cancel answers at once, seldom enough to cost nothing on fast pages.
    static constexpr std::chrono::milliseconds kMessageInterval{50};

    // The clock every run is timed with; nullptr restores the steady clock. Tests
    // drive "about a second" with a clock of their own instead of waiting.
    static void SetClock(Clock clock);

    static constexpr const wchar_t* kCountingText = base::English(base::TextId::ProgressCounting);

    // The run starts now. `owner`: the form the run was started from (the options
    // dialog, hidden while the run lasts); `editor`: the host's main window, which
    // the window belongs to when there is one.
    explicit frmProgress(ui::Form* owner, ui::EditorWindow* editor = nullptr);
    ~frmProgress() override;
    frmProgress(const frmProgress&) = delete;
    frmProgress& operator=(const frmProgress&) = delete;

    bool counting(std::int32_t done, std::int32_t total) override;
    bool next(std::int32_t index, std::int32_t total, const PageUrl& url) override;
    // For a caller that has the URL in hand.
    bool next(std::int32_t index, std::int32_t total, const std::wstring& url) {
        return next(index, total, [&url] { return url; });
    }
    void end() noexcept override;

    static std::wstring StatusText(std::int32_t page, std::int32_t total);

private:
    // The step the count and the run share: the window once it is due, its messages,
    // and its texts (from `texts`, status then item) when a redraw is due, or at
    // once when the pages begin after the count. False: the user cancelled.
    using Texts = std::function<std::pair<std::wstring, std::wstring>()>;
    bool step(std::int32_t done, std::int32_t total, bool counting, const Texts& texts);

    ui::Form* _owner;
    ui::EditorWindow* _editor;
    Clock _clock;
    std::chrono::steady_clock::time_point _start, _lastUpdate, _lastMessages;
    std::shared_ptr<ui::ProgressWindow> _window;
    bool _counting = false;  // what the texts last drawn were about
};

}  // namespace tavisk
