#include "ui/win32/SystemMessageBoxes.h"

#include <windows.h>

namespace tavisk::ui::win32 {

void SystemMessageBoxes::show(const std::wstring& text, const std::wstring& title, MessageIcon icon) {
    const UINT style = MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    MessageBoxW(GetActiveWindow(), text.c_str(), title.c_str(), style);
}

}  // namespace tavisk::ui::win32
