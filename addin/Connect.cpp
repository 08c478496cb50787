#include "addin/Connect.h"

#include <string>

#include "host/Application.h"
#include "host/HostError.h"
#include "ui/EventBoundary.h"

namespace tavisk::addin {

void Connect::OnConnection(std::shared_ptr<host::HostApplication> application) {
    if (!application) throw host::HostError(host::kErrorInvalidArg, L"The host handed over no application.");
    fpApp = std::move(application);
    host::SetApplication(fpApp);
    try {
        base::SetLanguage(base::LanguageOfLcid(fpApp->userInterfaceLanguage()));
        addMenuCommand();
    } catch (...) {
        forgetHost();
        throw;
    }
}

Connect::~Connect() { forgetHost(); }

void Connect::forgetHost() noexcept {
    if (fpApp && host::HasApplication() && &host::Application() == fpApp.get()) {
        host::SetApplication(nullptr);
        base::SetLanguage(base::Language::English);
    }
}

std::shared_ptr<host::CommandBarControl> Connect::toolsMenu() {
    auto menuBar = fpApp->commandBars()->item(host::kMenuBar);
    if (auto tools = menuBar->controls()->findByCaption(kToolsMenu)) return tools;
    // An editor in another language captions the menu in that language ("E&xtras",
    // "&Outils"); its built-in Id is the same in every edition. Only the menu bar's
    // own popups count: a submenu elsewhere may carry the same command.
    if (auto tools = menuBar->findControl(host::ControlType::Popup, kToolsMenuId, false)) return tools;
    throw host::HostError(host::kErrorNotFound, L"The menu bar has no Tools menu: no control \"Tools\" and no popup " +
                                                    std::to_wstring(kToolsMenuId) + L".");
}

void Connect::addMenuCommand() {
    auto tools = toolsMenu()->controls();

    p_ctlPopup = nullptr;
    const std::int32_t count = tools->count();
    for (std::int32_t i = 0; i < count && !p_ctlPopup; ++i) {
        auto control = tools->item(i);
        if (control->tag() == kMakerTag) p_ctlPopup = std::move(control);
    }
    if (!p_ctlPopup) p_ctlPopup = tools->add(host::ControlType::Popup, kMakerParameter, true);
    p_ctlPopup->setCaption(base::Text(base::TextId::MakerPopup));
    p_ctlPopup->setTag(kMakerTag);

    p_ctlBtn = p_ctlPopup->controls()->add(host::ControlType::Button, kButtonParameter, true);
    p_ctlBtn->setCaption(base::Text(base::TextId::MenuCommand));
    // Office raises a click in the handlers of every control with the clicked one's
    // Id and Tag, and every custom button has the Id 1: our own Tag keeps the clicks
    // of other untagged buttons from reaching us, and ours from reaching them.
    p_ctlBtn->setTag(kButtonTag);
    p_ctlBtnEvents = p_ctlBtn->bindClick([this](host::CommandBarControl* clicked) {
        ui::RunEvent(
            ui::ActionName(base::Text(base::TextId::MenuCommand)),
            [this, clicked] {
                if (clicked && clicked->tag() == kButtonTag) p_ctlBtnEvents_Click();
            },
            _ui.messages);
    });
}

void Connect::OnDisconnection() noexcept {
    try {
        // First, while the host is still there: a run in progress stops before its
        // next page, and nothing of the library is left on the screen to keep it loaded.
        if (_ui.closeDialogs) _ui.closeDialogs();
    } catch (...) {
        // Nothing more can be closed than what closed.
    }
    try {
        if (p_ctlPopup) p_ctlPopup->deleteControl();
    } catch (...) {
        // The popup may be gone already (another add-in of the maker removed it, or
        // the host is closing): nothing is left to remove.
    }
    p_ctlBtnEvents.reset();
    host::SetApplication(nullptr);
    base::SetLanguage(base::Language::English);
}

void Connect::p_ctlBtnEvents_Click() {
    if (!host::Application().activeWeb()) {
        _ui.messages.show(base::Text(base::TextId::NoWebMessage), ui::kProductTitle, ui::MessageIcon::Information);
        return;
    }
    _ui.showOptionsDialog();
}

}  // namespace tavisk::addin
