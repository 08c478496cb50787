#include "chooser/frmLoading.h"

namespace tavisk {
namespace {

constexpr std::int32_t kWidth = 4305;
constexpr std::int32_t kHeight = 1305;

std::shared_ptr<ui::Form> MakeForm() {
    ui::FormDesign design;
    design.caption = base::Text(base::TextId::WaitCaption);
    design.clientWidth = kWidth;
    design.clientHeight = kHeight;
    design.toolWindow = true;
    design.centreOnScreen = true;
    return ui::CurrentToolkit().createForm(design);
}

}  // namespace

// The labels are made before the frame that holds them, as the options dialog's
// are, so the frame's box does not cover them.
frmLoading::frmLoading()
    : _form(MakeForm()),
      Label1(_form->addLabel(base::Text(base::TextId::WaitLoading), {120, 300, kWidth - 240, 255}, nullptr,
                             ui::TextAlign::Centre)),
      Label2(_form->addLabel(base::Text(base::TextId::WaitPlease), {120, 720, kWidth - 240, 255}, nullptr,
                             ui::TextAlign::Centre)),
      fraWait(_form->addFrame(L"", {0, 0, kWidth, kHeight})) {
    _form->show();
    _form->setMousePointer(ui::MousePointer::ArrowHourglass);
    _form->bringToFront();
    _form->refresh();
}

frmLoading::~frmLoading() { unload(); }

void frmLoading::hide() { _form->hide(); }

void frmLoading::unload() { _form->unload(); }

}  // namespace tavisk
