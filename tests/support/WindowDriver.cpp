#include "tests/support/WindowDriver.h"

#include <commctrl.h>

#include <set>

#include "base/win32/Screenshot.h"
#include "base/win32/ThisModule.h"

namespace tavisk::testing {

void Pump() {
    MSG message;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

std::vector<HWND> Children(HWND parent, const std::wstring& windowClass) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (lstrcmpiW(ClassName(child).c_str(), windowClass.c_str()) == 0) found.push_back(child);
    return found;
}

HWND Child(HWND parent, const std::wstring& windowClass, const std::wstring& text) {
    for (const HWND child : Children(parent, windowClass)) {
        if (text.empty() || Text(child) == text) return child;
    }
    return nullptr;
}

std::wstring Text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

int Pixels(int twips) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(twips, dpi, 1440);
}

void PressKey(HWND focused, UINT key) {
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(focused, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(focused, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    Pump();
}

void Click(HWND window, int x, int y) {
    // The pointer goes there and stays (earlier moves may still arrive under X): a tree view reads GetMessagePos.
    POINT at{x, y}, now{};
    ClientToScreen(window, &at);
    for (int steady = 0, wait = 0; steady < 3 && wait < 50; ++wait) {
        steady = GetCursorPos(&now) && now.x == at.x && now.y == at.y ? steady + 1 : 0;
        if (!steady) SetCursorPos(at.x, at.y);
        Sleep(20);
    }
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
}

std::vector<std::wstring> ListColumn(HWND list, int column) {
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

std::wstring SaveScreenshot(HWND window, const std::wstring& name, bool repaint) {
    std::wstring path = base::win32::ModulePath(nullptr);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + name;
    // The window is topmost: what the screen shows of it.
    if (!repaint) {
        RECT area{};
        GetWindowRect(window, &area);
        base::win32::ScreenCapture(area).savePng(path);
        return path;
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    GdiFlush();
    base::win32::SaveWindowPng(window, path);
    return path;
}

size_t SaveScreenPng(const RECT& area, const std::wstring& path) {
    const base::win32::ScreenCapture capture(area);
    capture.savePng(path);
    const auto pixels = capture.pixels();
    return std::set<std::uint32_t>(pixels.begin(), pixels.end()).size();
}

int DarkPixels(HWND window, RECT area) {
    const base::win32::ScreenCapture picture(window);
    const auto pixels = picture.pixels();
    int dark = 0;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, picture.height()); ++y) {
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, picture.width()); ++x) {
            const std::uint32_t pixel = pixels[static_cast<size_t>(y * picture.width() + x)];
            const int sum = static_cast<int>((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF));
            if (sum < 3 * 128) ++dark;
        }
    }
    return dark;
}

}  // namespace tavisk::testing
