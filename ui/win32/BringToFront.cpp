#include "ui/win32/BringToFront.h"

namespace tavisk::ui::win32 {

void BringToFront(HWND window) noexcept {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
}

}  // namespace tavisk::ui::win32
