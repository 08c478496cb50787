#include "dialogs/frmAbout.h"

#include "dialogs/Version.h"
#include "ui/EventBoundary.h"
#include "ui/ProductIcon.h"

namespace tavisk {
namespace {

std::shared_ptr<frmAbout> g_instance;

// The product's name in bold, in the dialogs' face.
const ui::Font* TitleFont() {
    static ui::Font font;
    font = {base::DialogFontFace(), 8.25, true};
    return &font;
}

std::shared_ptr<ui::Form> MakeForm(ui::Form* owner) {
    ui::FormDesign design;
    design.caption = base::Text(base::TextId::AboutCaption);
    design.clientWidth = 5250;
    design.clientHeight = 2775;
    design.icon = IDI_TAVISK;
    design.owner = owner;
    return ui::CurrentToolkit().createForm(design);
}

}  // namespace

void frmAbout::Open(ui::Form* owner) {
    if (!g_instance) g_instance = std::make_shared<frmAbout>(MakeForm(owner));
    g_instance->_form->show();
    g_instance->_form->bringToFront();
}

bool frmAbout::IsOpen() noexcept { return g_instance != nullptr; }

void frmAbout::CloseIfOpen() {
    if (g_instance) g_instance->close();
}

frmAbout::frmAbout(std::shared_ptr<ui::Form> form)
    : _form(std::move(form)),
      Label1(_form->addLabel(L"Halvern Tavisk 2002 (SR-1)", {1320, 360, 2895, 255}, TitleFont())),
      Label2(_form->addLabel(base::Text(base::TextId::AboutVersion, {kProductVersion}), {2400, 660, 1695, 315})),
      Label3(_form->addLabel(base::Text(base::TextId::AboutProduct), {1320, 1140, 3735, 255})),
      Label4(_form->addLabel(base::Text(base::TextId::AboutPurpose), {1320, 1440, 3735, 615})),
      cmdOK(_form->addButton(base::Text(base::TextId::OK), {4080, 2340, 1035, 315}, ui::ButtonRole::Default)) {
    _form->addPicture(IDI_TAVISK, {540, 300, 495, 495});  // Picture1
    cmdOK.onClick = [this] { cmdOK_Click(); };
    _form->onDeactivate = [this] { Form_Deactivate(); };
    _form->onClose = [this] { close(); };
}

frmAbout::~frmAbout() { _form->unload(); }

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::Form_Deactivate() { close(); }

void frmAbout::close() {
    if (_closed) return;
    // Hiding takes the activation away, which raises Form_Deactivate again.
    _closed = true;
    const auto keepAlive = shared_from_this();
    _form->hide();
    _form->unload();
    if (g_instance.get() == this) ui::ReleaseAfterEvent(std::move(g_instance));
}

}  // namespace tavisk
