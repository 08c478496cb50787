#include "ui/win32/DialogTemplate.h"

#include "base/Texts.h"

namespace tavisk::ui::win32 {

std::vector<WORD> EmptyDialogTemplate(DWORD style, DWORD exStyle, const std::wstring& caption) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* head = reinterpret_cast<DLGTEMPLATE*>(words.data());
    head->style = style;
    head->dwExtendedStyle = exStyle;
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    words.insert(words.end(), caption.begin(), caption.end());
    words.push_back(0);
    words.push_back(8);  // points
    for (const wchar_t* c = base::DialogFontFace(); *c; ++c) words.push_back(*c);
    words.push_back(0);
    return words;
}

int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace tavisk::ui::win32
