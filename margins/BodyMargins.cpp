#include "margins/BodyMargins.h"

#include <array>

#include "host/Application.h"

namespace tavisk {
namespace {

std::shared_ptr<host::BodyElement> ActiveBody() { return host::Application().activeDocument()->body(); }

void SetMargin(const wchar_t* name, const std::wstring& value) {
    ActiveBody()->setAttribute(name, value, host::kMatchCase);
}

}  // namespace

void SetBodyMargins(const MarginSettings& settings) {
    static constexpr std::array<const wchar_t*, 4> kMarginAttributes = {L"topmargin", L"leftmargin", L"marginheight",
                                                                        L"marginwidth"};
    const auto body = ActiveBody();
    for (const auto* name : kMarginAttributes) body->removeAttribute(name, host::kMatchCase);

    const bool explorer = settings.platform != Platform::Netscape;
    const bool netscape = settings.platform != Platform::InternetExplorer;
    if (settings.topOn) {
        if (explorer) SetMargin(L"topmargin", settings.topText);
        if (netscape) SetMargin(L"marginheight", settings.topText);
    }
    if (settings.leftOn) {
        if (explorer) SetMargin(L"leftmargin", settings.leftText);
        if (netscape) SetMargin(L"marginwidth", settings.leftText);
    }
}

}  // namespace tavisk
