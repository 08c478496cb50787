#include "ui/win32/Win32EditorWindow.h"

#include "ui/win32/SystemMessageBoxes.h"

namespace tavisk::ui::win32 {
namespace {

bool IsDialog(HWND window) {
    wchar_t windowClass[16] = {};
    return GetClassNameW(window, windowClass, 16) && lstrcmpW(windowClass, L"#32770") == 0;
}

bool IsHostMainWindow(HWND window) {
    return window && IsWindowVisible(window) && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) &&
           GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && !IsDialog(window);
}

BOOL CALLBACK FindUnownedWindow(HWND window, LPARAM result) {
    if (GetWindow(window, GW_OWNER) || !IsHostMainWindow(window)) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

}  // namespace

std::shared_ptr<Win32EditorWindow> Win32EditorWindow::Find() {
    // The root owner, not the active window itself: a floating tool bar or a page's
    // own window of the host belongs to its main window, which is what must wait.
    HWND found = nullptr;
    if (const HWND active = GetActiveWindow()) found = GetAncestor(active, GA_ROOTOWNER);
    if (!IsHostMainWindow(found)) {
        found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindUnownedWindow, reinterpret_cast<LPARAM>(&found));
    }
    return found ? std::make_shared<Win32EditorWindow>(found) : nullptr;
}

void Win32EditorWindow::setEnabled(bool enabled) noexcept {
    _waiting = !enabled;
    if (IsWindow(_window)) EnableWindow(_window, enabled);
}

void Win32EditorWindow::show(const std::wstring& text, const std::wstring& title, MessageIcon icon) {
    // A box owned by a window it did not disable leaves it disabled when it closes,
    // and the system hands the activation to another program's window. So the box
    // takes over the wait: enabled here, the window is disabled again by the box
    // before any message is handled, and enabled and active once the box is gone.
    // The keys and clicks still queued for the host would reach it through the
    // box's loop: they go first.
    if (_waiting && IsWindow(_window)) {
        MSG message;
        for (const auto& [first, last] : kInputRanges) {
            for (int i = 0; i < 1000 && PeekMessageW(&message, nullptr, first, last, PM_REMOVE); ++i) {
            }
        }
        EnableWindow(_window, TRUE);
    }
    SystemMessageBoxes(_window).show(text, title, icon);
}

}  // namespace tavisk::ui::win32
