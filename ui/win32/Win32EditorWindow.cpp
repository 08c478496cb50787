#include "ui/win32/Win32EditorWindow.h"

#include "base/win32/ThisModule.h"
#include "ui/win32/SystemMessageBoxes.h"

namespace tavisk::ui::win32 {
namespace {

using base::win32::ThisModule;

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

// The editor's windows that take input, besides its main window, already listed.
// Without memory for more, the windows listed so far wait.
BOOL CALLBACK CollectWaiting(HWND window, LPARAM found) noexcept {
    auto& windows = *reinterpret_cast<std::vector<HWND>*>(found);
    const bool ours =
        IsDialog(window) && reinterpret_cast<HMODULE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)) == ThisModule();
    if (window == windows.front() || !IsWindowVisible(window) || !IsWindowEnabled(window) || ours) return TRUE;
    try {
        windows.push_back(window);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
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

void Win32EditorWindow::activate() noexcept {
    const HWND active = GetActiveWindow();
    if (active && active != _window && IsWindow(_window)) SetActiveWindow(_window);
}

void Win32EditorWindow::setEnabled(bool enabled) noexcept {
    if (!enabled) {
        if (!_disabled.empty() || !IsWindow(_window)) return;
        _disabled.push_back(_window);  // within the capacity reserved when it was made
        EnumThreadWindows(GetWindowThreadProcessId(_window, nullptr), CollectWaiting,
                          reinterpret_cast<LPARAM>(&_disabled));
        for (const HWND window : _disabled) EnableWindow(window, FALSE);
        return;
    }
    if (_disabled.empty()) return;
    // The keys and clicks still queued for the editor would reach it once it takes
    // input again: they go first. The quit a retrieval hands out whatever its filter
    // is posted again once the drain is done, so the editor still ends.
    MSG message;
    bool quit = false;
    WPARAM exitCode = 0;
    for (const auto& [first, last] : kInputRanges) {
        for (int i = 0; i < 1000 && PeekMessageW(&message, nullptr, first, last, PM_REMOVE); ++i) {
            if (message.message == WM_QUIT) {
                quit = true;
                exitCode = message.wParam;
            }
        }
    }
    if (quit) PostQuitMessage(static_cast<int>(exitCode));
    for (const HWND window : std::exchange(_disabled, {})) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
}

void Win32EditorWindow::show(const std::wstring& text, const std::wstring& title, MessageIcon icon) {
    // The run has enabled the window before its box comes up: a box whose owner is
    // already disabled leaves it disabled when it closes, and the activation then
    // passes to another program's window.
    SystemMessageBoxes(_window).show(text, title, icon);
}

}  // namespace tavisk::ui::win32
