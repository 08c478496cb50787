#pragma once

#include <windows.h>

namespace tavisk::ui::win32 {

// Puts a shown window above all others and gives it the foreground, as every
// window of the add-in is brought up; one that is not `topmost` comes to the top
// of its own band only, so windows its owner shows later can come above it. The
// results are not examined: the system may refuse the foreground to a process that
// does not own it, and the window is on top all the same.
void BringToFront(HWND window, bool topmost = true) noexcept;

}  // namespace tavisk::ui::win32
