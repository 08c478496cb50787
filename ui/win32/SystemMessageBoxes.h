#pragma once

#include <windows.h>

#include "ui/MessageBoxes.h"

namespace tavisk::ui::win32 {

// Message boxes of the system, made inside the add-in's activation context and
// owned by `owner` while it exists, else by the thread's active window, so they
// stay in front of the add-in's dialogs and of the host.
class SystemMessageBoxes final : public MessageBoxes {
public:
    explicit SystemMessageBoxes(HWND owner = nullptr) : _owner(owner) {}
    void show(const std::wstring& text, const std::wstring& title, MessageIcon icon) override;

private:
    HWND _owner;
};

}  // namespace tavisk::ui::win32
