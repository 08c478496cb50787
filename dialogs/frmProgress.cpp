#include "dialogs/frmProgress.h"

#include <utility>

#include "ui/ProductIcon.h"

namespace tavisk {
namespace {

frmProgress::Clock g_clock;

}  // namespace

void frmProgress::SetClock(Clock clock) { g_clock = std::move(clock); }

frmProgress::frmProgress(ui::Form* owner, ui::EditorWindow* editor)
    : _owner(owner),
      _editor(editor),
      _clock(g_clock ? g_clock : Clock(std::chrono::steady_clock::now)),
      _start(_clock()) {}

frmProgress::~frmProgress() { end(); }

std::wstring frmProgress::StatusText(std::int32_t page, std::int32_t total) {
    return base::Text(base::TextId::ProgressStatus, {std::to_wstring(page), std::to_wstring(total)});
}

bool frmProgress::counting(std::int32_t done, std::int32_t total) {
    return step(done, total, true,
                [] { return std::pair<std::wstring, std::wstring>(base::Text(base::TextId::ProgressCounting), L""); });
}

bool frmProgress::next(std::int32_t index, std::int32_t total, const PageUrl& url) {
    return step(index, total, false, [&] {
        // The page's name is the last segment of its URL.
        const std::wstring page = url();
        return std::pair(StatusText(index + 1, total), page.substr(page.find_last_of(L'/') + 1));
    });
}

bool frmProgress::step(std::int32_t done, std::int32_t total, bool counting, const Texts& texts) {
    const auto now = _clock();
    bool due = false;
    if (_window) {
        if (now - _lastMessages >= kMessageInterval) {
            _lastMessages = now;
            // The focus first: keys are addressed to the focus as they are taken from
            // the queue, so an Esc pressed while a page held it goes to Cancel.
            _window->regainFocus();
            _window->processMessages();
        }
        if (_window->cancelled()) return false;
        due = now - _lastUpdate >= kUpdateInterval || counting != _counting;
    } else if (now - _start >= kDelay) {
        _window = ui::CurrentToolkit().createProgressWindow({kCaption, IDI_TAVISK, _owner, _editor});
        _window->show();
        _lastMessages = now;
        due = true;
    }
    if (due) {
        _lastUpdate = now;
        _counting = counting;
        const auto [status, item] = texts();
        _window->update(done, total, status, item);
    }
    return true;
}

void frmProgress::end() noexcept {
    if (_window) std::exchange(_window, nullptr)->close();
}

}  // namespace tavisk
