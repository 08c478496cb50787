#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/ProgressWindow.h"

namespace tavisk::ui::memory {

// A progress window in memory: it keeps what it was shown, and takes the user's
// Cancel as the real one does, when its messages are next processed.
class MemoryProgressWindow final : public ProgressWindow {
public:
    struct Update {
        std::int32_t done, total;
        std::wstring status, item;
        bool operator==(const Update&) const = default;
    };

    explicit MemoryProgressWindow(ProgressDesign design) : _design(std::move(design)) {}

    void show() override;
    void update(std::int32_t done, std::int32_t total, const std::wstring& status, const std::wstring& item) override;
    void processMessages() override;
    // In memory no other window can take the focus.
    void regainFocus() override {}
    bool cancelled() const override { return _cancelled; }
    void close() noexcept override { _closed = true; }

    const ProgressDesign& design() const { return _design; }
    const std::vector<Update>& updates() const { return _updates; }
    bool visible() const { return _visible && !_closed; }
    bool closed() const { return _closed; }
    int messageRounds() const { return _messageRounds; }

    // A click on Cancel (or Esc): it waits in the queue until messages are processed.
    void userCancel() { _cancelPending = true; }

private:
    void checkOpen() const;

    ProgressDesign _design;
    std::vector<Update> _updates;
    bool _visible = false;
    bool _closed = false;
    bool _cancelPending = false;
    bool _cancelled = false;
    int _messageRounds = 0;
};

}  // namespace tavisk::ui::memory
