#include "tests/addin/ScreenShot.h"

#include <set>

#include "base/win32/Screenshot.h"

namespace tavisk::testing {

size_t SaveScreenPng(const RECT& area, const std::wstring& path) {
    const base::win32::ScreenCapture capture(area);
    capture.savePng(path);
    const auto pixels = capture.pixels();
    return std::set<std::uint32_t>(pixels.begin(), pixels.end()).size();
}

}  // namespace tavisk::testing
