#include "chooser/frmChooseFiles.h"

#include <stdexcept>
#include <vector>

#include "chooser/PageEntry.h"
#include "chooser/mChooser.h"
#include "chooser/ResourceIds.h"
#include "host/Application.h"
#include "ui/ColumnSort.h"
#include "ui/EventBoundary.h"
#include "ui/ProductIcon.h"

namespace tavisk {
namespace {

std::shared_ptr<frmChooseFiles> g_instance;

std::shared_ptr<ui::Form> MakeForm() {
    ui::FormDesign design;
    design.caption = base::Text(base::TextId::ChooserCaption);
    design.clientWidth = 8550;
    design.clientHeight = 6720;
    design.icon = IDI_TAVISK;
    design.taskbarButton = false;
    design.centreOnScreen = true;
    return ui::CurrentToolkit().createForm(design);
}

}  // namespace

frmChooseFiles& frmChooseFiles::Create(ui::ListView& options) {
    if (g_instance) throw std::logic_error("the page chooser is already open");
    g_instance = std::make_shared<frmChooseFiles>(MakeForm(), options);
    return *g_instance;
}

bool frmChooseFiles::Exists() noexcept { return g_instance != nullptr; }

frmChooseFiles& frmChooseFiles::Instance() {
    if (!g_instance) throw std::logic_error("the page chooser is not open");
    return *g_instance;
}

void frmChooseFiles::Discard() {
    if (g_instance) g_instance->close();
}

frmChooseFiles::frmChooseFiles(std::shared_ptr<ui::Form> form, ui::ListView& options)
    : _form(std::move(form)),
      _options(options),
      tvwWebList(_form->addTreeView({240, 600, 3135, 2325})),
      Label1(_form->addLabel(base::Text(base::TextId::LookIn), {240, 360, 2415, 255})),
      lvwWebList(
          _form->addListView({3480, 600, 4815, 2325}, {{base::Text(base::TextId::ColumnName), L"name", 1440},
                                                       {base::Text(base::TextId::ColumnTitle), L"title", 3300}})),
      cmdAdd(_form->addButton(base::Text(base::TextId::AddToQueue), {5730, 2970, 2550, 360})),
      Label2(_form->addLabel(base::Text(base::TextId::FilesInFolder), {3480, 360, 4815, 255})),
      lvwQueue(
          _form->addListView({240, 3480, 8055, 1845}, {{base::Text(base::TextId::ColumnName), L"name", 1440},
                                                       {base::Text(base::TextId::ColumnTitle), L"title", 2440},
                                                       {base::Text(base::TextId::ColumnLocation), L"location", 4100}})),
      Label3(_form->addLabel(base::Text(base::TextId::FilesInQueue), {270, 3210, 2475, 255})),
      cmdRemove(_form->addButton(base::Text(base::TextId::RemoveFromQueue), {5730, 5355, 2550, 360})),
      cmdCancel(_form->addButton(base::Text(base::TextId::Cancel), {6000, 6165, 1095, 375}, ui::ButtonRole::Cancel)),
      cmdOK(_form->addButton(base::Text(base::TextId::OK), {7200, 6165, 1095, 375}, ui::ButtonRole::Default)) {
    // The rule above the OK and Cancel buttons: shadow at y 5970, highlight at 5985.
    _form->addEtchedRule({255, 5970, 8010, 30});
    tvwWebList.setImageStrip(IDB_WEBLIST, 16, kMaskColour);
    cmdRemove.setEnabled(false);
    wireEvents();
}

frmChooseFiles::~frmChooseFiles() { _form->unload(); }

void frmChooseFiles::wireEvents() {
    _form->onActivate = [this] { Form_Activate(); };
    tvwWebList.onNodeClick = {base::Text(base::TextId::ListingFolder),
                              [this](const std::wstring& key) { tvwWebList_NodeClick(key); }};
    lvwWebList.onDoubleClick = {base::Text(base::TextId::MovingPage),
                                [this](const std::wstring& key) { lvwWebList_DblClick(key); }};
    lvwWebList.onColumnClick = [this](std::int32_t header) { lvwWebList_ColumnClick(header); };
    lvwQueue.onDoubleClick = {base::Text(base::TextId::MovingPage),
                              [this](const std::wstring& key) { lvwQueue_DblClick(key); }};
    lvwQueue.onColumnClick = [this](std::int32_t header) { lvwQueue_ColumnClick(header); };
    cmdAdd.onClick = [this] { cmdAdd_Click(); };
    cmdRemove.onClick = [this] { cmdRemove_Click(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    // The close box has no handler of its own: it discards the chooser as Cancel does.
    _form->onClose = [this] { cmdCancel_Click(); };
}

void frmChooseFiles::Form_Activate() { cmdRemove.setEnabled(lvwQueue.count() > 0); }

void frmChooseFiles::tvwWebList_NodeClick(const std::wstring& key) {
    ListFolderPages(*this, *host::ActiveWebOrThrow()->locateFolder(key));
}

void frmChooseFiles::queuePage(const ui::ListItem& page) {
    // The web is asked for afresh for every page, as the host may have closed it.
    const auto web = host::ActiveWebOrThrow();
    const std::wstring locatedIn = host::Application().relativeUrl(web->url(), FolderOfPage(page.tag, page.text));
    AssignQueueEntry(_entry, page, locatedIn);
    lvwQueue.add(_entry);
    lvwWebList.setBold(page.key, true);
}

void frmChooseFiles::lvwWebList_DblClick(const std::wstring& key) {
    const ui::ListItem* page = lvwWebList.find(key);
    if (!page) return;
    if (!page->bold) {
        queuePage(*page);
    } else {
        lvwQueue.remove(page->tag);
        lvwWebList.setBold(key, false);
    }
}

void frmChooseFiles::lvwWebList_ColumnClick(std::int32_t header) { ui::SortOnColumnClick(lvwWebList, header); }

void frmChooseFiles::lvwQueue_ColumnClick(std::int32_t header) { ui::SortOnColumnClick(lvwQueue, header); }

void frmChooseFiles::lvwQueue_DblClick(const std::wstring& key) {
    const ui::ListItem* entry = lvwQueue.find(key);
    if (!entry) return;
    if (lvwWebList.contains(entry->tag)) lvwWebList.setBold(entry->tag, false);
    lvwQueue.remove(key);
}

void frmChooseFiles::cmdAdd_Click() {
    {
        // Shown once when done, or when a refusal of the host ends the walk: the
        // pages queued before it stay queued and bold.
        ui::ListUpdate queueUpdate(lvwQueue), pagesUpdate(lvwWebList);
        // Walked in place: queuing a page changes only its bold mark, never the order.
        for (std::int32_t i = 0; i < lvwWebList.count(); ++i) {
            const ui::ListItem& page = lvwWebList.item(i);
            if (page.selected && !page.bold) queuePage(page);
        }
    }
    if (lvwQueue.count() > 0) cmdRemove.setEnabled(true);
}

void frmChooseFiles::cmdRemove_Click() {
    {
        ui::ListUpdate queueUpdate(lvwQueue), pagesUpdate(lvwWebList);
        // A removed entry keeps its contents until the queue's next addition (the
        // list's lifetime rule), so the selected entries are held by address, not by
        // copies of their keys.
        std::vector<const ui::ListItem*> selected;
        for (std::int32_t i = 0; i < lvwQueue.count(); ++i) {
            const ui::ListItem& entry = lvwQueue.item(i);
            if (entry.selected) selected.push_back(&entry);
        }
        for (const ui::ListItem* entry : selected) {
            // A page whose folder is not listed has no mark to clear.
            if (lvwWebList.contains(entry->tag)) lvwWebList.setBold(entry->tag, false);
            lvwQueue.remove(entry->key);
        }
    }
    if (lvwQueue.count() == 0) cmdRemove.setEnabled(false);
}

void frmChooseFiles::cmdOK_Click() {
    CopyQueueToOptions(lvwQueue, _options);
    close();
}

void frmChooseFiles::cmdCancel_Click() { close(); }

void frmChooseFiles::close() {
    const auto keepAlive = shared_from_this();
    if (_form->visible()) _form->hide();
    _form->unload();
    if (g_instance.get() == this) ui::ReleaseAfterEvent(std::move(g_instance));
}

}  // namespace tavisk
