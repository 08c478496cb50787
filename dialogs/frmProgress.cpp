#include "dialogs/frmProgress.h"

#include <utility>

#include "ui/ProductIcon.h"

namespace tavisk {
namespace {

frmProgress::Clock g_clock;

}  // namespace

void frmProgress::SetClock(Clock clock) { g_clock = std::move(clock); }

frmProgress::frmProgress(ui::Form* owner)
    : _owner(owner), _clock(g_clock ? g_clock : Clock(std::chrono::steady_clock::now)), _start(_clock()) {}

frmProgress::~frmProgress() { end(); }

std::wstring frmProgress::StatusText(std::int32_t page, std::int32_t total) {
    return L"Applying margins to page " + std::to_wstring(page) + L" of " + std::to_wstring(total);
}

bool frmProgress::next(std::int32_t index, std::int32_t total, const PageUrl& url) {
    const auto now = _clock();
    bool due = false;
    if (_window) {
        if (now - _lastMessages >= kMessageInterval) {
            _lastMessages = now;
            _window->processMessages();
        }
        if (_window->cancelled()) return false;
        _window->regainFocus();
        due = now - _lastUpdate >= kUpdateInterval;
    } else if (now - _start >= kDelay) {
        _window = ui::CurrentToolkit().createProgressWindow({kCaption, IDI_TAVISK, _owner});
        _window->show();
        _lastMessages = now;
        due = true;
    }
    if (due) {
        _lastUpdate = now;
        // The page's name is the last segment of its URL.
        const std::wstring page = url();
        _window->update(index, total, StatusText(index + 1, total), page.substr(page.find_last_of(L'/') + 1));
    }
    return true;
}

void frmProgress::end() noexcept {
    if (_window) std::exchange(_window, nullptr)->close();
}

}  // namespace tavisk
