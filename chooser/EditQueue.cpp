#include "chooser/EditQueue.h"

#include <memory>

#include "chooser/frmChooseFiles.h"
#include "chooser/frmLoading.h"
#include "chooser/mChooser.h"
#include "dialogs/PageChooser.h"
#include "host/Application.h"

namespace tavisk {
namespace {

class Chooser final : public PageChooser {
public:
    void editQueue(ui::ListView& queue) override { EditQueue(queue); }
    void optionsClosing() override { frmChooseFiles::Discard(); }
};

}  // namespace

void EditQueue(ui::ListView& options) {
    if (frmChooseFiles::Exists()) {
        frmChooseFiles& open = frmChooseFiles::Instance();
        open.form().show();
        open.form().bringToFront();
        return;
    }
    frmLoading loading;
    try {
        const auto web = host::ActiveWebOrThrow();
        LoadWeb(frmChooseFiles::Create(options), options, *web);
    } catch (...) {
        frmChooseFiles::Discard();
        throw;
    }
    loading.hide();
    loading.unload();
    frmChooseFiles& chooser = frmChooseFiles::Instance();
    chooser.form().show();
    chooser.form().bringToFront();
}

void InstallPageChooser() { SetPageChooser(std::make_shared<Chooser>()); }

}  // namespace tavisk
