#pragma once

#include <windows.h>

#include <memory>

#include "ui/EditorWindow.h"
#include "ui/win32/SystemMessageBoxes.h"

namespace tavisk::ui::win32 {

// The host's main window by its handle. Each call checks that the window still
// exists: the host may destroy it while a run goes on.
class Win32EditorWindow : public EditorWindow {
public:
    explicit Win32EditorWindow(HWND window) : _window(window), _messages(window) {}

    // The root owner of the thread's active window when it is the host's: a visible
    // top-level window of this thread that is not a dialog (the add-in's forms are
    // dialogs, and their root owners hidden windows). Otherwise, as when the command
    // arrives while the user is in another program, the thread's first visible
    // unowned window that is not a dialog. nullptr: the host shows no such window.
    static std::shared_ptr<Win32EditorWindow> Find();

    bool enabled() const override { return IsWindow(_window) && IsWindowEnabled(_window); }
    void setEnabled(bool enabled) noexcept override;
    MessageBoxes& messages() override { return _messages; }

    HWND window() const noexcept { return _window; }

private:
    HWND _window;
    SystemMessageBoxes _messages;
};

}  // namespace tavisk::ui::win32
