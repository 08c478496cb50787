#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/Texts.h"
#include "margins/ApplyMargins.h"
#include "margins/MarginSettings.h"
#include "ui/Form.h"

namespace tavisk {

// The options dialog: margins, compatibility and scope, and the queue of selected
// pages. It holds no state outside its controls. There is at most one instance in
// the process, made with the current toolkit on first use and released when the
// dialog is cancelled or a run ends, so that each opening starts fresh.
class frmMain final : public RunDialog, public std::enable_shared_from_this<frmMain> {
public:
    static constexpr const wchar_t* kCaption = base::English(base::TextId::OptionsCaption);

    // The process-wide instance, created and loaded on first use. A failing load
    // releases the half-made instance and raises the failure.
    static frmMain& Instance();
    static bool Exists() noexcept;
    // Shows the instance (made first when needed) modeless, topmost and in the
    // foreground; nothing while a run of the dialog is in progress.
    static void Open();
    // The add-in is being disconnected: the dialog, its about box and the page
    // chooser close as Cancel closes them, applying nothing. A run in progress (the
    // disconnection arrived while its progress window handled messages) stops before
    // its next page, tells nobody, and unloads the dialog: no box of the add-in may
    // stay up once its host has let it go.
    static void CloseIfOpen() noexcept;

    explicit frmMain(std::shared_ptr<ui::Form> form);
    ~frmMain() override;

    // Reads the user's choices from the controls.
    MarginSettings settings() const;

    // RunDialog: what the run does with the dialog.
    void hide() override;
    std::int32_t queueCount() override;
    std::wstring queueTag(std::int32_t index) override;
    void unload() override;
    void showAgain() override;
    bool closing() const override;

    void Form_Load();
    void chkTop_Click();
    void chkLeft_Click();
    void txtTop_GotFocus();
    void txtLeft_GotFocus();
    void optSelect_Click(std::int32_t index);
    void lvwStaticQueue_ColumnClick(std::int32_t header);
    void cmdAbout_Click();
    void cmdCancel_Click();
    void cmdEditQueue_Click();
    void cmdOK_Click();

private:
    std::shared_ptr<ui::Form> _form;
    // The host's main window as the last menu command found it: the run keeps it
    // waiting, and its closing message belongs to it.
    std::shared_ptr<ui::EditorWindow> _editor;
    // A run is in progress, in this or an unloaded instance: one at a time per process.
    static inline bool _running = false;
    bool _closing = false;

public:
    // The controls, declared in tab order: the order they are made in.
    ui::CheckBox& chkTop;
    ui::TextBox& txtTop;
    ui::UpDown& udTop;
    ui::CheckBox& chkLeft;
    ui::TextBox& txtLeft;
    ui::UpDown& udLeft;
    ui::OptionGroup& optPlatform;
    ui::OptionGroup& optSelect;
    ui::ListView& lvwStaticQueue;
    ui::Button& cmdEditQueue;
    ui::Frame& Frame1;
    ui::Frame& Frame2;
    ui::Frame& Frame3;
    ui::Frame& Frame4;
    ui::Button& cmdAbout;
    ui::Button& cmdCancel;
    ui::Button& cmdOK;

    ui::Form& form() { return *_form; }

private:
    void wireEvents();
};

}  // namespace tavisk
