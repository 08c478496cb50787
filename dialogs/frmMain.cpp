#include "dialogs/frmMain.h"

#include <utility>

#include "dialogs/PageChooser.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmProgress.h"
#include "host/Application.h"
#include "ui/ColumnSort.h"
#include "ui/EventBoundary.h"
#include "ui/ProductIcon.h"

namespace tavisk {
namespace {

std::shared_ptr<frmMain> g_instance;

// The frames, relative to the window; the controls inside them are placed
// relative to their frame.
constexpr ui::Rect kFrame1{120, 120, 2355, 1335};
constexpr ui::Rect kFrame2{120, 1500, 8175, 2535};
constexpr ui::Rect kFrame3{6060, 120, 2235, 1335};
constexpr ui::Rect kFrame4{2520, 120, 3495, 1335};

constexpr ui::Rect In(ui::Rect frame, ui::Rect rect) {
    return {frame.left + rect.left, frame.top + rect.top, rect.width, rect.height};
}

// The translations run longer than the English captions the layout was made for:
// they get wider page options, Edit Queue and About buttons.
std::int32_t Wider(std::int32_t english, std::int32_t translated) {
    return base::CurrentLanguage() == base::Language::English ? english : translated;
}

std::shared_ptr<ui::Form> MakeForm() {
    ui::FormDesign design;
    design.caption = base::Text(base::TextId::OptionsCaption);
    design.clientWidth = 8415;
    design.clientHeight = 4710;
    design.icon = IDI_TAVISK;
    return ui::CurrentToolkit().createForm(design);
}

void EnableMargin(const ui::CheckBox& check, ui::TextBox& text, ui::UpDown& upDown) {
    const bool on = check.value() == 1;
    text.setEnabled(on);
    upDown.setEnabled(on);
}

void SelectAll(ui::TextBox& text) { text.select(0, static_cast<std::int32_t>(text.text().size())); }

// The run's modal state, in one place so that the order of its steps can be seen:
// the editor waits for the run as a modal dialog's owner waits for it, and the
// activation never passes to another program's window, which the system would
// bring in front of the editor. At the start the editor takes the activation from
// the options dialog before that is hidden, and only then waits; the progress
// window, the editor's own, takes the activation when it comes up. At the end the
// editor takes input again before the progress window goes, so that the activation
// returns to it, and the closing message is its own box. Once the dialog is closing
// (the add-in is being let go), the run stops before its next page and nothing more
// is shown but a failure, which the user must hear of even then.
class ModalRun final : public RunDialog, public RunProgress, public ui::MessageBoxes {
public:
    ModalRun(frmMain& dialog, ui::Form* form, ui::EditorWindow* editor, ui::MessageBoxes& messages, const bool& closing)
        : _dialog(dialog), _editor(editor), _progress(form, editor), _messages(messages), _closing(closing) {}
    ~ModalRun() override { end(); }
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;

    void hide() override {
        // An editor already disabled (a modal window of someone else's is up) is
        // left to whoever disabled it.
        _waiting = _editor && _editor->enabled();
        if (_waiting) _editor->activate();
        _dialog.hide();
        if (_waiting) _editor->setEnabled(false);
    }
    std::int32_t queueCount() override { return _dialog.queueCount(); }
    std::wstring queueTag(std::int32_t index) override { return _dialog.queueTag(index); }
    void unload() override { _dialog.unload(); }
    void showAgain() override { _dialog.showAgain(); }
    bool closing() const override { return _closing; }

    bool counting(std::int32_t done, std::int32_t total) override {
        return !_closing && _progress.counting(done, total) && !_closing;
    }
    bool next(std::int32_t index, std::int32_t total, const PageUrl& url) override {
        // Asked again after the progress window's messages: that is when a
        // disconnection can arrive.
        return !_closing && _progress.next(index, total, url) && !_closing;
    }
    void end() noexcept override {
        if (std::exchange(_waiting, false)) _editor->setEnabled(true);
        _progress.end();
    }
    void show(const std::wstring& text, const std::wstring& title, ui::MessageIcon icon) override {
        if (!_closing || icon == ui::MessageIcon::Error) _messages.show(text, title, icon);
    }

private:
    frmMain& _dialog;
    ui::EditorWindow* _editor;
    frmProgress _progress;
    ui::MessageBoxes& _messages;
    const bool& _closing;
    bool _waiting = false;
};

}  // namespace

frmMain& frmMain::Instance() {
    if (!g_instance) {
        auto instance = std::make_shared<frmMain>(MakeForm());
        try {
            instance->Form_Load();
        } catch (...) {
            instance->_form->unload();
            throw;
        }
        g_instance = std::move(instance);
    }
    return *g_instance;
}

bool frmMain::Exists() noexcept { return g_instance != nullptr; }

void frmMain::CloseIfOpen() noexcept {
    if (!g_instance) return;
    g_instance->_closing = true;
    // A run unloads the dialog itself once it has stopped.
    if (g_instance->_running) return;
    try {
        g_instance->cmdCancel_Click();
    } catch (...) {
        // Whatever could not be closed stays as it is: releasing the instance here
        // would unload its form again from a destructor, which must not throw.
    }
}

void frmMain::Open() {
    // The menu command can arrive inside a run (through a modal loop of the system's
    // while the progress window is dragged, or while its closing message is up, with
    // the dialog already unloaded): the dialog stays hidden until it ends.
    if (_running) return;
    // Found now, while the editor's window that gave the command is still active.
    auto editor = ui::CurrentToolkit().editorWindow();
    frmMain& dialog = Instance();
    dialog._editor = std::move(editor);
    dialog._form->show();
    dialog._form->bringToFront();
}

frmMain::frmMain(std::shared_ptr<ui::Form> form)
    : _form(std::move(form)),
      chkTop(_form->addCheckBox(base::Text(base::TextId::TopMargin), In(kFrame1, {300, 300, 1155, 375}))),
      txtTop(_form->addTextBox(L"0", In(kFrame1, {1500, 360, 330, 315}))),
      udTop(_form->addUpDown(In(kFrame1, {1830, 360, 240, 315}), txtTop, 0, 99)),
      chkLeft(_form->addCheckBox(base::Text(base::TextId::LeftMargin), In(kFrame1, {300, 780, 1215, 375}))),
      txtLeft(_form->addTextBox(L"0", In(kFrame1, {1500, 780, 330, 315}))),
      udLeft(_form->addUpDown(In(kFrame1, {1830, 780, 240, 315}), txtLeft, 0, 80)),
      optPlatform(_form->addOptionGroup({
          {base::Text(base::TextId::BothBrowsers), In(kFrame4, {300, 240, 3075, 315})},
          {base::Text(base::TextId::ExplorerOnly), In(kFrame4, {300, 600, 3075, 315})},
          {base::Text(base::TextId::NetscapeOnly), In(kFrame4, {300, 960, 3075, 315})},
      })),
      optSelect(_form->addOptionGroup({
          {base::Text(base::TextId::AllPages), In(kFrame3, {360, 360, Wider(1575, 1815), 315})},
          {base::Text(base::TextId::SelectedPages), In(kFrame3, {360, 720, Wider(1575, 1815), 315})},
      })),
      lvwStaticQueue(_form->addListView(In(kFrame2, {120, 240, 7875, 1815}),
                                        {{base::Text(base::TextId::ColumnName), L"", 2000},
                                         {base::Text(base::TextId::ColumnTitle), L"", 2001},
                                         {base::Text(base::TextId::ColumnLocation), L"", 3800}})),
      cmdEditQueue(_form->addButton(base::Text(base::TextId::EditQueue),
                                    In(kFrame2, {Wider(6360, 5760), 2100, Wider(1635, 2235), 315}))),
      Frame1(_form->addFrame(base::Text(base::TextId::MarginsFrame), kFrame1)),
      Frame2(_form->addFrame(base::Text(base::TextId::FilesFrame), kFrame2)),
      Frame3(_form->addFrame(base::Text(base::TextId::ApplyToFrame), kFrame3)),
      Frame4(_form->addFrame(base::Text(base::TextId::CompatibilityFrame), kFrame4)),
      // "About...", not "Cancel", is the dialog's cancel button: Esc opens the about
      // box instead of throwing away the margins and the queue the user has set up.
      cmdAbout(_form->addButton(base::Text(base::TextId::AboutButton), {120, 4200, Wider(1095, 1455), 375},
                                ui::ButtonRole::Cancel)),
      cmdCancel(_form->addButton(base::Text(base::TextId::Cancel), {6000, 4200, 1095, 375})),
      cmdOK(_form->addButton(base::Text(base::TextId::OK), {7200, 4200, 1095, 375})) {
    // The design-time state: what is not the controls' own default.
    txtTop.setEnabled(false);
    udTop.setEnabled(false);
    txtLeft.setEnabled(false);
    udLeft.setEnabled(false);
    lvwStaticQueue.setEnabled(false);
    cmdEditQueue.setEnabled(false);
    wireEvents();
}

frmMain::~frmMain() { _form->unload(); }

void frmMain::wireEvents() {
    chkTop.onClick = [this] { chkTop_Click(); };
    chkLeft.onClick = [this] { chkLeft_Click(); };
    txtTop.onGotFocus = [this] { txtTop_GotFocus(); };
    txtLeft.onGotFocus = [this] { txtLeft_GotFocus(); };
    optSelect.onClick = [this](std::int32_t index) { optSelect_Click(index); };
    lvwStaticQueue.onColumnClick = [this](std::int32_t header) { lvwStaticQueue_ColumnClick(header); };
    cmdAbout.onClick = [this] { cmdAbout_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    cmdEditQueue.onClick = [this] { cmdEditQueue_Click(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    // The close box has no handler of its own: it discards the dialog as Cancel does.
    _form->onClose = [this] { cmdCancel_Click(); };
}

MarginSettings frmMain::settings() const {
    MarginSettings settings;
    settings.leftOn = chkLeft.value() == 1;
    settings.leftText = txtLeft.text();
    settings.topOn = chkTop.value() == 1;
    settings.topText = txtTop.text();
    settings.platform = static_cast<Platform>(optPlatform.chosen());
    settings.allPages = optSelect.chosen() == 0;
    return settings;
}

void frmMain::hide() { _form->hide(); }

std::int32_t frmMain::queueCount() { return lvwStaticQueue.count(); }

std::wstring frmMain::queueTag(std::int32_t index) { return lvwStaticQueue.item(index).tag; }

void frmMain::unload() {
    // The about box and the page chooser belong to this dialog and go with it.
    frmAbout::CloseIfOpen();
    if (const auto chooser = CurrentPageChooser()) chooser->optionsClosing();
    if (_form->visible()) _form->hide();
    _form->unload();
    if (g_instance.get() == this) ui::ReleaseAfterEvent(std::move(g_instance));
}

bool frmMain::closing() const { return _closing; }

void frmMain::showAgain() {
    if (_closing) return unload();
    _form->show();
    _form->bringToFront();
}

void frmMain::Form_Load() {
    // With no web open "&All pages" is greyed but stays the chosen option.
    optSelect.setEnabled(0, host::Application().activeWeb() != nullptr);
}

void frmMain::chkTop_Click() { EnableMargin(chkTop, txtTop, udTop); }

void frmMain::chkLeft_Click() { EnableMargin(chkLeft, txtLeft, udLeft); }

void frmMain::txtTop_GotFocus() { SelectAll(txtTop); }

void frmMain::txtLeft_GotFocus() { SelectAll(txtLeft); }

void frmMain::optSelect_Click(std::int32_t index) {
    // The queue's entries stay either way; "&All pages" just does not use them.
    const bool selected = index == 1;
    cmdEditQueue.setEnabled(selected);
    lvwStaticQueue.setEnabled(selected);
}

void frmMain::lvwStaticQueue_ColumnClick(std::int32_t header) { ui::SortOnColumnClick(lvwStaticQueue, header); }

void frmMain::cmdAbout_Click() { frmAbout::Open(_form.get()); }

void frmMain::cmdCancel_Click() {
    if (_running) return;
    const auto keepAlive = shared_from_this();
    unload();
}

void frmMain::cmdEditQueue_Click() {
    if (_running) return;
    const auto chooser = CurrentPageChooser();
    if (!chooser) {
        ui::CurrentToolkit().messages().show(base::Text(base::TextId::ChooserUnavailable), ui::kProductTitle,
                                             ui::MessageIcon::Information);
        return;
    }
    chooser->editQueue(lvwStaticQueue);
}

void frmMain::cmdOK_Click() {
    // A run's progress window lets the system's modal loops (a drag, its system
    // menu) dispatch what waits for the hidden dialog: a second OK must not nest a
    // run, nor Cancel or "Edit Queue" change the dialog the run reads.
    if (_running) return;
    const auto keepAlive = shared_from_this();
    // The chooser would write into the queue the run reads, and both boxes would
    // stay on the screen, dead, for the whole run: they go first, applying nothing.
    frmAbout::CloseIfOpen();
    if (const auto chooser = CurrentPageChooser()) chooser->optionsClosing();
    struct RunScope {
        RunScope() { _running = true; }
        ~RunScope() { _running = false; }
    } scope;
    // The guard holds until the run's closing message is dismissed, also once a
    // finished run has unloaded the dialog: whatever way the run ends.
    ModalRun run(*this, _form.get(), _editor.get(), _editor ? _editor->messages() : ui::CurrentToolkit().messages(),
                 _closing);
    ApplyMargins(settings(), run, run, &run);
}

}  // namespace tavisk
