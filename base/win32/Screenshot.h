#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavisk::base::win32 {

// A copy of what the screen shows inside an area, taken when constructed.
// Raises base::Error when there is no screen to copy.
class ScreenCapture {
public:
    explicit ScreenCapture(const RECT& area);
    // What `window` draws of itself, frame included, when asked to print it
    // (PrintWindow): the same picture whatever covers the window on the screen.
    explicit ScreenCapture(HWND window);
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;
    ~ScreenCapture();

    HBITMAP bitmap() const noexcept { return _bitmap; }
    int width() const noexcept { return _width; }
    int height() const noexcept { return _height; }
    // The pixels as 0x00RRGGBB, row by row from the top.
    std::vector<std::uint32_t> pixels() const;
    void savePng(const std::wstring& path) const;

private:
    int _width = 0;
    int _height = 0;
    HBITMAP _bitmap = nullptr;
};

// Writes a bitmap (not selected into any DC) as a PNG file through the Windows
// Imaging Component. Raises base::Error on failure.
void SaveBitmapPng(HBITMAP bitmap, const std::wstring& path);

// Saves what the screen shows of `window` (frame included) as a PNG file at
// `path`, once the window has repainted.
void SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace tavisk::base::win32
