#include "tests/dialogs_win32/WindowDriver.h"

#include <commctrl.h>

#include "base/win32/Screenshot.h"

namespace tavisk::testing {
namespace {

// The window's picture as a 32-bit top-down DIB section: what the screen shows of
// it (the window is topmost), or what it draws of itself when asked to print.
enum class Source { Screen, Print };

struct Picture {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* bits = nullptr;
    int width = 0, height = 0;

    Picture(HWND window, Source source) {
        RECT rect{};
        GetWindowRect(window, &rect);
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        previous = SelectObject(dc, bitmap);
        if (source == Source::Print) {
            PrintWindow(window, dc, 0);
        } else {
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Pump();
            GdiFlush();
            const HDC screen = GetDC(nullptr);
            BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
            ReleaseDC(nullptr, screen);
        }
        GdiFlush();
    }
    ~Picture() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

}  // namespace

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
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (lstrcmpiW(name, windowClass.c_str()) == 0) found.push_back(child);
    }
    return found;
}

HWND Child(HWND parent, const std::wstring& windowClass, const std::wstring& text) {
    for (const HWND child : Children(parent, windowClass)) {
        if (text.empty() || Text(child) == text) return child;
    }
    return nullptr;
}

std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

void PressKey(HWND focused, UINT key) {
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(focused, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(focused, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    Pump();
}

void Click(HWND window, int x, int y) {
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

std::wstring SaveScreenshot(HWND window, const std::wstring& name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + name;

    const Picture picture(window, Source::Screen);
    base::win32::SaveBitmapPng(picture.bitmap, path);
    return path;
}

int DarkPixels(HWND window, RECT area) {
    const Picture picture(window, Source::Print);
    int dark = 0;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, picture.height); ++y) {
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, picture.width); ++x) {
            const std::uint32_t pixel = picture.bits[y * picture.width + x];
            const int sum = static_cast<int>((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF));
            if (sum < 3 * 128) ++dark;
        }
    }
    return dark;
}

}  // namespace tavisk::testing
