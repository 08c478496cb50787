#include "ui/EventBoundary.h"

#include <vector>

#include "base/Error.h"
#include "base/Texts.h"
#include "ui/Form.h"

namespace tavisk::ui {
namespace {

int g_depth = 0;
std::vector<std::shared_ptr<void>> g_released;

// Inside a catch block only: tells the user of the exception being handled,
// through `messages`, or the toolkit's when none is given.
void ReportCaught(const std::wstring& action, MessageBoxes* messages) noexcept {
    const std::wstring reason = base::CaughtErrorText();
    try {
        std::wstring text = base::Text(base::TextId::ActionFailed, {action});
        if (!reason.empty()) text += L"\n\n" + reason;
        (messages ? *messages : CurrentToolkit().messages()).show(text, kProductTitle, MessageIcon::Error);
    } catch (...) {
        // No toolkit or no memory left to say it: nothing more can be done here.
    }
}

void Run(const std::wstring& action, const std::function<void()>& handler, MessageBoxes* messages) noexcept {
    ++g_depth;
    try {
        handler();
    } catch (...) {
        ReportCaught(action, messages);
    }
    if (--g_depth == 0) {
        // Swapped out first: a destructor may itself release something.
        while (!g_released.empty()) {
            auto released = std::move(g_released);
            released.clear();
        }
    }
}

}  // namespace

void RunEvent(const std::wstring& action, const std::function<void()>& handler) noexcept {
    Run(action, handler, nullptr);
}

void RunEvent(const std::wstring& action, const std::function<void()>& handler, MessageBoxes& messages) noexcept {
    Run(action, handler, &messages);
}

std::wstring ActionName(const std::wstring& caption) {
    std::wstring name = L"\"";
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) ++i;  // "&&" shows one '&'
        name += caption[i];
    }
    return name + L"\"";
}

void ReleaseAfterEvent(std::shared_ptr<void> object) {
    if (g_depth > 0) {
        g_released.push_back(std::move(object));
    }
    // Otherwise `object` goes out of scope here.
}

}  // namespace tavisk::ui
