#include "host/win32/BringToFront.h"

namespace tavisk::host::win32 {

void BringToFront(HWND window) noexcept {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
}

}  // namespace tavisk::host::win32
