#include "ui/memory/MemoryProgress.h"

#include <stdexcept>

namespace tavisk::ui::memory {

void MemoryProgressWindow::checkOpen() const {
    if (_closed) throw std::logic_error("the progress window is closed");
}

void MemoryProgressWindow::show() {
    checkOpen();
    _visible = true;
}

void MemoryProgressWindow::update(std::int32_t done, std::int32_t total, const std::wstring& status,
                                  const std::wstring& item) {
    checkOpen();
    _updates.push_back({done, total, status, item});
}

void MemoryProgressWindow::processMessages() {
    checkOpen();
    ++_messageRounds;
    if (_cancelPending) _cancelled = true;
}

}  // namespace tavisk::ui::memory
