#pragma once

#include "ui/MessageBoxes.h"

namespace tavisk::ui::win32 {

// Message boxes of the system, owned by the thread's active window so they stay
// in front of the add-in's dialogs and of the host, and made inside the add-in's
// activation context.
class SystemMessageBoxes final : public MessageBoxes {
public:
    void show(const std::wstring& text, const std::wstring& title, MessageIcon icon) override;
};

}  // namespace tavisk::ui::win32
