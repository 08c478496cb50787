#pragma once

#include <windows.h>

#include <string>

namespace tavisk::testing {

// Saves what the screen shows inside `area` as a PNG file (through WIC) and returns
// how many different colours it holds, so a blank capture can be told apart.
// Raises std::runtime_error when the capture or the file fails.
size_t SaveScreenPng(const RECT& area, const std::wstring& path);

}  // namespace tavisk::testing
