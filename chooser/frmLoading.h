#pragma once

#include <memory>

#include "base/Texts.h"
#include "ui/Form.h"

namespace tavisk {

// The wait window shown while the page chooser is filled. It has no behaviour of
// its own: it is made and shown on construction, painted at once (the load that
// follows pumps no messages), and unloaded by unload() or on destruction, so that
// a failing load never leaves it behind.
class frmLoading final {
public:
    static constexpr const wchar_t* kCaption = base::English(base::TextId::WaitCaption);

    // Shows the window modeless and without an owner, with the arrow-and-hourglass
    // pointer, topmost and in the foreground, and paints it.
    frmLoading();
    ~frmLoading();
    frmLoading(const frmLoading&) = delete;
    frmLoading& operator=(const frmLoading&) = delete;

    void hide();
    void unload();

    ui::Form& form() { return *_form; }

private:
    std::shared_ptr<ui::Form> _form;

public:
    ui::Label& Label1;
    ui::Label& Label2;
    ui::Frame& fraWait;
};

}  // namespace tavisk
