#pragma once

#include <windows.h>

#include <string>

namespace tavisk::simhost::win32 {

// Saves what the screen shows of `window` (frame included) as a PNG file at
// `path`, through the Windows Imaging Component. Raises ComError on failure.
void SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace tavisk::simhost::win32
