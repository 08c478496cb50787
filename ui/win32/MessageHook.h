#pragma once

#include <windows.h>

namespace tavisk::ui::win32 {

// Keyboard navigation for modeless dialogs inside a host's message loop, which
// knows nothing of them and never calls IsDialogMessage: while at least one of
// the add-in's dialogs exists, a WH_GETMESSAGE hook on the UI thread hands every
// key message meant for one of them to IsDialogMessage (Tab, Shift+Tab, Enter,
// Esc, arrows, mnemonics) and takes it out of the host's loop when it was used.
void AddDialogWindow(HWND dialog);
// Removes the hook with the last dialog.
void RemoveDialogWindow(HWND dialog) noexcept;
bool MessageHookInstalled() noexcept;

}  // namespace tavisk::ui::win32
