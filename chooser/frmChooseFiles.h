#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/Texts.h"
#include "ui/Form.h"

namespace tavisk {

// The page chooser: the web's folder tree, the pages of the selected folder and
// the queue being edited, a working copy of the options dialog's queue that its OK
// copies back. There is at most one instance in the process, made hidden by
// Create() and released by OK, Cancel, the close box or Discard(), so that each
// opening starts from an empty chooser.
class frmChooseFiles final : public std::enable_shared_from_this<frmChooseFiles> {
public:
    static constexpr const wchar_t* kCaption = base::English(base::TextId::ChooserCaption);
    // The folder tree's images, by index.
    static constexpr std::int32_t kImageWeb = 0;
    static constexpr std::int32_t kImageClosed = 1;
    static constexpr std::int32_t kImageHFile = 2;
    static constexpr std::int32_t kImageOpen = 3;
    static constexpr std::uint32_t kMaskColour = 0xC0C0C0;  // silver

    // Makes the process-wide instance, hidden, for the options dialog's queue list
    // `options`, which OK replaces. Raises std::logic_error when one exists.
    static frmChooseFiles& Create(ui::ListView& options);
    static bool Exists() noexcept;
    // The instance; raises std::logic_error when there is none.
    static frmChooseFiles& Instance();
    // Unloads and releases the instance, if any, without copying its queue back.
    static void Discard();

    explicit frmChooseFiles(std::shared_ptr<ui::Form> form, ui::ListView& options);
    ~frmChooseFiles();

    void Form_Activate();
    void tvwWebList_NodeClick(const std::wstring& key);
    void lvwWebList_DblClick(const std::wstring& key);
    void lvwWebList_ColumnClick(std::int32_t header);
    void lvwQueue_ColumnClick(std::int32_t header);
    void lvwQueue_DblClick(const std::wstring& key);
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    ui::Form& form() { return *_form; }
    ui::ListView& options() { return _options; }

private:
    std::shared_ptr<ui::Form> _form;
    ui::ListView& _options;

public:
    // The controls, declared in tab order: the order they are made in.
    ui::TreeView& tvwWebList;
    ui::Label& Label1;
    ui::ListView& lvwWebList;
    ui::Button& cmdAdd;
    ui::Label& Label2;
    ui::ListView& lvwQueue;
    ui::Label& Label3;
    ui::Button& cmdRemove;
    ui::Button& cmdCancel;
    ui::Button& cmdOK;

private:
    void wireEvents();
    // Hides, unloads and releases the instance.
    void close();
    // Queues a page of the page list and marks it bold. The "Located in" text is
    // asked of the host first, so a refusal queues nothing and leaves no mark.
    void queuePage(const ui::ListItem& page);

    // The entry each queued page is written into before it is copied into the
    // queue, which then fills the storage of entries removed before.
    ui::ListItem _entry;
};

}  // namespace tavisk
