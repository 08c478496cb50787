#include "dialogs/OptionsDialog.h"

#include "dialogs/frmMain.h"
#include "ui/win32/Win32Form.h"

namespace tavisk {

void ShowOptionsDialog() {
    if (!ui::HasToolkit()) ui::SetToolkit(std::make_shared<ui::win32::Win32Toolkit>());
    frmMain::Open();
}

void CloseOptionsDialog() noexcept { frmMain::CloseIfOpen(); }

}  // namespace tavisk
