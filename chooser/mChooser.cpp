#include "chooser/mChooser.h"

#include <vector>

#include "chooser/PageEntry.h"
#include "chooser/frmChooseFiles.h"
#include "host/Application.h"

namespace tavisk {

void LoadWeb(frmChooseFiles& chooser, const ui::ListView& options, host::Web& web) {
    {
        ui::ListUpdate update(chooser.lvwQueue);
        for (std::int32_t i = 0; i < options.count(); ++i) {
            const ui::ListItem& entry = options.item(i);
            chooser.lvwQueue.add(QueueEntry(entry, SubItem(entry, 2)));
        }
    }
    const auto root = web.rootFolder();
    const std::wstring rootUrl = root->url();
    chooser.tvwWebList.add(L"", rootUrl, RootText(rootUrl), frmChooseFiles::kImageWeb, frmChooseFiles::kImageWeb);
    FillFolderTree(chooser.tvwWebList, *root);
    ListFolderPages(chooser, *root);
}

void FillFolderTree(ui::TreeView& tree, host::WebFolder& folder) {
    const std::wstring parentKey = folder.url();
    // One walk gives both passes: the nodes of all shown subfolders first, then
    // each of them is visited in the same order.
    std::vector<std::shared_ptr<host::WebFolder>> shown;
    const auto subFolders = folder.subFolders();
    const std::int32_t count = subFolders->count();
    for (std::int32_t i = 0; i < count; ++i) {
        auto sub = subFolders->item(i);
        if (sub->excluded()) continue;
        const std::wstring key = sub->url();
        tree.add(parentKey, key, host::Application().relativeUrl(folder, key), frmChooseFiles::kImageClosed,
                 frmChooseFiles::kImageClosed);
        shown.push_back(std::move(sub));
    }
    for (const auto& sub : shown) FillFolderTree(tree, *sub);
}

void ListFolderPages(frmChooseFiles& chooser, host::WebFolder& folder) {
    host::HostApplication& application = host::Application();
    ui::ListUpdate update(chooser.lvwWebList);
    chooser.lvwWebList.clear();
    const auto files = folder.files();
    const std::int32_t count = files->count();
    for (std::int32_t i = 0; i < count; ++i) {
        const auto file = files->item(i);
        if (!host::IsPage(*file)) continue;
        std::wstring url = file->url();
        // Filled field by field so each text is made once and moved into the list.
        ui::ListItem page;
        page.text = application.relativeUrl(folder, url);
        page.subItems.push_back(file->title());
        page.bold = IsQueued(chooser.lvwQueue, url);
        page.key = std::move(url);
        page.tag = page.key;  // the same string, shared
        chooser.lvwWebList.add(std::move(page));
    }
}

bool IsQueued(const ui::ListView& queue, const std::wstring& url) {
    // The queue's keys are its entries' tags, the pages' URLs.
    return queue.contains(url);
}

void CopyQueueToOptions(const ui::ListView& queue, ui::ListView& options) {
    ui::ListUpdate update(options);
    options.clear();
    // One entry made over and over and copied in: the options list refills the
    // storage its cleared entries had, so a copy back allocates next to nothing.
    ui::ListItem copy;
    for (std::int32_t i = 0; i < queue.count(); ++i) {
        const ui::ListItem& entry = queue.item(i);
        AssignQueueEntry(copy, entry, SubItem(entry, 2));
        options.add(copy);
    }
}

}  // namespace tavisk
