#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/Texts.h"
#include "host/HostModel.h"
#include "ui/MessageBoxes.h"

namespace tavisk::addin {

// What the menu command shows: its message box, and the options dialog (the
// process-wide instance, shown modeless, topmost and in the foreground); and what
// closes that dialog with everything it opened when the host lets the add-in go.
struct CommandUi {
    ui::MessageBoxes& messages;
    std::function<void()> showOptionsDialog;
    std::function<void()> closeDialogs = {};
};

// The add-in's connection to the host: the menu command in the host's Tools menu
// and its Click handler. Written against the host's object model only, so it is
// the same whatever host offers that model.
class Connect {
public:
    static constexpr wchar_t kToolsMenu[] = L"Tools";
    // The Tools popup's built-in control Id, the same in every language of the editor.
    static constexpr std::int32_t kToolsMenuId = 30007;
    static constexpr wchar_t kMakerTag[] = L"HALVERN";
    static constexpr wchar_t kMakerParameter[] = L"HALVERN";
    static constexpr wchar_t kButtonParameter[] = L"Tavisk";
    // Our button's alone (the maker's popup keeps "HALVERN"): a click is ours only
    // when the clicked control carries it.
    static constexpr wchar_t kButtonTag[] = L"tavisk2002.Connect";

    explicit Connect(CommandUi ui) : _ui(std::move(ui)) {}
    // Released without a disconnection (a host may do that), it still forgets the
    // process-wide host it set, so nothing is left to release that host's object late.
    ~Connect();
    Connect(const Connect&) = delete;
    Connect& operator=(const Connect&) = delete;

    // Makes `application` the process-wide host, finds or creates the maker's popup
    // in the Tools menu, appends the button, tags it and subscribes to its Click event. The
    // first failing host call raises HostError; what was made before it stays, and
    // the process-wide host is cleared again.
    void OnConnection(std::shared_ptr<host::HostApplication> application);

    // The one disconnection entry: closes the add-in's open dialogs as Cancel would,
    // deletes the maker's popup, then drops the Click subscription, each step
    // ignoring every error; then forgets the process-wide host. The references
    // themselves are kept until the object is destroyed.
    void OnDisconnection() noexcept;

    // The menu command: without an open web only the message; otherwise the options
    // dialog. The web is asked for at every click, through the process-wide host.
    // The Click subscription runs it inside the event boundary: a failure becomes a
    // "Tavisk 2002" message naming the command, since a host ignores an event's result.
    void p_ctlBtnEvents_Click();

private:
    void addMenuCommand();
    std::shared_ptr<host::CommandBarControl> toolsMenu();
    void forgetHost() noexcept;

    CommandUi _ui;
    std::shared_ptr<host::HostApplication> fpApp;
    std::shared_ptr<host::CommandBarControl> p_ctlPopup;
    std::shared_ptr<host::CommandBarControl> p_ctlBtn;
    std::unique_ptr<host::EventBinding> p_ctlBtnEvents;
};

}  // namespace tavisk::addin
