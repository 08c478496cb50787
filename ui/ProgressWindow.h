#pragma once

#include <cstdint>
#include <string>

namespace tavisk::ui {

class EditorWindow;
class Form;

struct ProgressDesign {
    std::wstring caption;
    int icon = 0;  // icon resource of the add-in shown in the title bar; 0: none
    // The form the work was started from: the window is centred on it and has no
    // task bar button of its own (the form may be hidden). nullptr: an independent window.
    Form* owner = nullptr;
    // The host's main window, which the window then belongs to instead of the form,
    // so that it stays above the host but below the host's own dialogs.
    EditorWindow* editor = nullptr;
};

// A small window that shows how far a long piece of work has got: a line of
// status, a line naming the item in hand, a progress bar and a Cancel button that
// Esc and the close box press too. The work runs on the same thread and keeps it
// busy, so the window only reacts when processMessages() is called.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;

    // Shows it above its owner, not topmost (a prompt of the host must be able to
    // come above it), with the focus on Cancel; in the foreground when the host's
    // windows are (not when the user has switched to another program).
    virtual void show() = 0;
    // The bar at `done` of `total`, and the two lines; drawn at once.
    virtual void update(std::int32_t done, std::int32_t total, const std::wstring& status,
                        const std::wstring& item) = 0;
    // Handles what is waiting for this window and its controls (painting, the
    // user's clicks and keys), lets the thread's other windows repaint, throws away
    // the keys and clicks addressed to them (the host waits for the work as for a
    // modal dialog; an Esc among them cancels), and returns at once. Their other
    // messages stay queued for their own loop. The host's quit, which the system
    // hands out whatever is asked for, cancels too, and close() posts it again.
    virtual void processMessages() = 0;
    // Gives the focus back to the shown window when another window of this program
    // took it (the host's page window, say); the foreground of another program is
    // left alone.
    virtual void regainFocus() = 0;
    // True once the user pressed Cancel, Esc or the close box.
    virtual bool cancelled() const = 0;
    // Destroys the window; nothing else may be called afterwards, except close().
    virtual void close() noexcept = 0;
};

}  // namespace tavisk::ui
