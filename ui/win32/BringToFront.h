#pragma once

#include <windows.h>

namespace tavisk::ui::win32 {

// Puts a shown window above all others and gives it the foreground, as every
// window of the add-in is brought up. The results are not examined: the system
// may refuse the foreground to a process that does not own it, and the window is
// on top all the same.
void BringToFront(HWND window) noexcept;

}  // namespace tavisk::ui::win32
