#pragma once

#include <cstdint>
#include <string>

namespace tavisk {

// Which attribute families a run writes.
enum class Platform : std::int32_t {
    Both = 0,              // "topmargin"/"leftmargin" and "marginheight"/"marginwidth"
    InternetExplorer = 1,  // "topmargin"/"leftmargin"
    Netscape = 2,          // "marginheight"/"marginwidth"
};

// The user's choices, read from the options dialog when OK is pressed. The texts
// go to the page exactly as typed: they are never turned into numbers.
struct MarginSettings {
    bool leftOn = false;
    std::wstring leftText = L"0";
    bool topOn = false;
    std::wstring topText = L"0";
    Platform platform = Platform::Both;
    bool allPages = true;
};

}  // namespace tavisk
