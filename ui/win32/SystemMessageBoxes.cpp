#include "ui/win32/SystemMessageBoxes.h"

#include "ui/win32/ActivationContext.h"

namespace tavisk::ui::win32 {

void SystemMessageBoxes::show(const std::wstring& text, const std::wstring& title, MessageIcon icon) {
    const UINT style = MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    // Inside the add-in's context, so the box is themed like the dialogs.
    ActivationScope activation;
    MessageBoxW(_owner && IsWindow(_owner) ? _owner : GetActiveWindow(), text.c_str(), title.c_str(), style);
}

}  // namespace tavisk::ui::win32
