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
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;
    ~ScreenCapture();

    HBITMAP bitmap() const noexcept { return _bitmap; }
    // The pixels as 0x00RRGGBB, row by row from the top.
    std::vector<std::uint32_t> pixels() const;
    void savePng(const std::wstring& path) const;

private:
    int _width;
    int _height;
    HBITMAP _bitmap;
};

// Writes a bitmap (not selected into any DC) as a PNG file through the Windows
// Imaging Component. Raises base::Error on failure.
void SaveBitmapPng(HBITMAP bitmap, const std::wstring& path);

// Saves what the screen shows of `window` (frame included) as a PNG file at
// `path`, once the window has repainted.
void SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace tavisk::base::win32
