#pragma once

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "ui/EditorWindow.h"

namespace tavisk::ui::win32 {

// The keys and clicks a window can be sent, which the host's windows must not get
// while a run keeps the host waiting.
inline constexpr std::pair<UINT, UINT> kInputRanges[] = {
    {WM_KEYFIRST, WM_KEYLAST},
    {WM_MOUSEFIRST, WM_MOUSELAST},
    {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},
};

// The host's main window by its handle. Each call checks that the window still
// exists: the host may destroy it while a run goes on.
class Win32EditorWindow : public EditorWindow, private MessageBoxes {
public:
    explicit Win32EditorWindow(HWND window) : _window(window) { _disabled.reserve(8); }

    // The root owner of the thread's active window when it is the host's: a visible
    // top-level window of this thread that is not a dialog (the add-in's forms are
    // dialogs, and their root owners hidden windows). Otherwise, as when the command
    // arrives while the user is in another program, the thread's first visible
    // unowned window that is not a dialog. nullptr: the host shows no such window.
    static std::shared_ptr<Win32EditorWindow> Find();

    bool enabled() const override { return IsWindow(_window) && IsWindowEnabled(_window); }
    void activate() noexcept override;
    // Its thread's windows; the add-in's forms and progress window are dialogs of
    // the add-in's module, and are left alone.
    void setEnabled(bool enabled) noexcept override;
    // System message boxes owned by the window.
    MessageBoxes& messages() override { return *this; }

    HWND window() const noexcept { return _window; }

private:
    void show(const std::wstring& text, const std::wstring& title, MessageIcon icon) override;

    HWND _window;
    std::vector<HWND> _disabled;  // by setEnabled(false), enabled again by setEnabled(true)
};

}  // namespace tavisk::ui::win32
