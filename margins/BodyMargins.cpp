#include "margins/BodyMargins.h"

#include <array>

namespace tavisk {
namespace {

std::shared_ptr<host::BodyElement> Body(host::PageWindow& window) { return window.document()->body(); }

void SetMargin(host::PageWindow& window, const wchar_t* name, const std::wstring& value) {
    Body(window)->setAttribute(name, value, host::kMatchCase);
}

}  // namespace

void SetBodyMargins(host::PageWindow& window, const MarginSettings& settings) {
    static constexpr std::array<const wchar_t*, 4> kMarginAttributes = {L"topmargin", L"leftmargin", L"marginheight",
                                                                        L"marginwidth"};
    const auto body = Body(window);
    for (const auto* name : kMarginAttributes) body->removeAttribute(name, host::kMatchCase);

    const bool explorer = settings.platform != Platform::Netscape;
    const bool netscape = settings.platform != Platform::InternetExplorer;
    if (settings.topOn) {
        if (explorer) SetMargin(window, L"topmargin", settings.topText);
        if (netscape) SetMargin(window, L"marginheight", settings.topText);
    }
    if (settings.leftOn) {
        if (explorer) SetMargin(window, L"leftmargin", settings.leftText);
        if (netscape) SetMargin(window, L"marginwidth", settings.leftText);
    }
}

}  // namespace tavisk
