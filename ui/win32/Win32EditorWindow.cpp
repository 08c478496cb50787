#include "ui/win32/Win32EditorWindow.h"

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
    if (IsWindow(_window)) EnableWindow(_window, enabled);
}

}  // namespace tavisk::ui::win32
