#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tavisk::ui::win32 {

// An empty in-memory dialog template: DLGTEMPLATE with `style` (which must hold
// DS_SETFONT) and `exStyle`, no menu, the default dialog class, the caption, then
// the font the dialog manager gives the window and its controls. The forms add
// their controls after creation, at the screen's real DPI.
std::vector<WORD> EmptyDialogTemplate(DWORD style, DWORD exStyle, const std::wstring& caption);

// The screen's logical DPI; 96 when it cannot be read.
int ScreenDpi();

}  // namespace tavisk::ui::win32
