#include "ui/win32/BringToFront.h"

namespace tavisk::ui::win32 {

void BringToFront(HWND window, bool topmost) noexcept {
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
}

}  // namespace tavisk::ui::win32
