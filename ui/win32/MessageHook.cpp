#include "ui/win32/MessageHook.h"

#include <algorithm>
#include <vector>

#include "base/win32/ComError.h"

namespace tavisk::ui::win32 {

using base::win32::ThrowLastErrorIf;
namespace {

HHOOK g_hook = nullptr;
std::vector<HWND> g_dialogs;

LRESULT CALLBACK GetMessageHook(int code, WPARAM removal, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE && message->message >= WM_KEYFIRST &&
        message->message <= WM_KEYLAST) {
        for (const HWND dialog : g_dialogs) {
            if (message->hwnd != dialog && !IsChild(dialog, message->hwnd)) continue;
            if (IsDialogMessageW(dialog, message)) {
                // Used: the host's loop must neither translate nor dispatch it again.
                message->message = WM_NULL;
                message->wParam = 0;
                message->lParam = 0;
            }
            break;
        }
    }
    return CallNextHookEx(g_hook, code, removal, lParam);
}

}  // namespace

void AddDialogWindow(HWND dialog) {
    if (!g_hook) {
        g_hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
        ThrowLastErrorIf(g_hook == nullptr, "SetWindowsHookEx");
    }
    g_dialogs.push_back(dialog);
}

void RemoveDialogWindow(HWND dialog) noexcept {
    g_dialogs.erase(std::remove(g_dialogs.begin(), g_dialogs.end(), dialog), g_dialogs.end());
    if (g_dialogs.empty() && g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

bool MessageHookInstalled() noexcept { return g_hook != nullptr; }

}  // namespace tavisk::ui::win32
