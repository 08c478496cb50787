#pragma once

#include <memory>

#include "base/Texts.h"
#include "ui/Form.h"

namespace tavisk {

// The about box: names the product and its version. One process-wide instance,
// made on opening and released when it closes (on OK, or as soon as it stops
// being the active window), so every opening shows a new one.
class frmAbout final : public std::enable_shared_from_this<frmAbout> {
public:
    static constexpr const wchar_t* kCaption = base::English(base::TextId::AboutCaption);

    // Shows the box (made first when needed) modeless over `owner`, topmost and in
    // the foreground.
    static void Open(ui::Form* owner);
    static bool IsOpen() noexcept;
    static void CloseIfOpen();

    explicit frmAbout(std::shared_ptr<ui::Form> form);
    ~frmAbout();

    void cmdOK_Click();
    void Form_Deactivate();

private:
    std::shared_ptr<ui::Form> _form;
    bool _closed = false;

public:
    ui::Label& Label1;
    ui::Label& Label2;
    ui::Label& Label3;
    ui::Label& Label4;
    ui::Button& cmdOK;

private:
    // Hides, unloads and releases the instance; a second call does nothing.
    void close();
};

}  // namespace tavisk
