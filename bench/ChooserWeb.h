#pragma once

// A generated web for the page chooser's benchmarks, and what merely reading the
// chooser's values from the host costs: the floors the chooser is measured against.

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "host/HostModel.h"
#include "simhost/WebModel.h"
#include "simhost/WebUrl.h"
#include "ui/ListView.h"

namespace tavisk::bench {

// `files` files: a fifth of them pages of the root folder; the rest, in turn a page
// and an image, spread over files/20 folders (a fiftieth of them below the root, the
// others below those). The queue holds every other root page and as many pages of
// the other folders, as PageEntry items.
struct ChooserWeb {
    explicit ChooserWeb(int files) : web(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/large")) {
        const int rootPages = files / 5;
        const int folderCount = std::max(1, files / 20);
        const int top = std::max(1, folderCount / 50);
        std::vector<simhost::FolderNode*> folders;
        for (int i = 0; i < folderCount; ++i) {
            simhost::FolderNode& parent = i < top ? web->root() : *folders[static_cast<size_t>(i % top)];
            folders.push_back(&web->addFolder(parent, (i < top ? L"f" : L"g") + std::to_wstring(i)));
        }
        for (int i = 0; i < rootPages; ++i) {
            const auto& page =
                web->addFile(web->root(), L"page" + std::to_wstring(i) + L".htm", L"Page " + std::to_wstring(i));
            if (i % 2 == 0) {
                queue.push_back({page.url(), page.name(), {page.title(), L""}, page.url()});
            } else {
                unqueuedRootPages.push_back(page.url());
            }
        }
        const size_t wanted = static_cast<size_t>(rootPages);
        for (int i = 0; i < files - rootPages; ++i) {
            simhost::FolderNode& folder = *folders[static_cast<size_t>(i % folderCount)];
            const bool isPage = i % 2 == 0;
            const auto& file = web->addFile(
                folder, (isPage ? L"q" : L"i") + std::to_wstring(i) + (isPage ? L".htm" : L".gif"), L"File");
            if (isPage && queue.size() < wanted) {
                const std::wstring located = simhost::RelativeUrl(web->url(), folder.url()) + L"/";
                queue.push_back({file.url(), file.name(), {file.title(), located}, file.url()});
            }
        }
    }

    std::shared_ptr<simhost::WebModel> web;
    std::vector<ui::ListItem> queue;
    std::vector<std::wstring> unqueuedRootPages;
};

// The tree's values: every shown folder's URL and name, each folder's subfolders
// read once.
inline void ReadFolderTree(host::HostApplication& application, host::WebFolder& folder,
                           std::vector<std::wstring>& out) {
    std::vector<std::shared_ptr<host::WebFolder>> shown;
    const auto subFolders = folder.subFolders();
    const std::int32_t count = subFolders->count();
    for (std::int32_t i = 0; i < count; ++i) {
        auto sub = subFolders->item(i);
        if (sub->excluded()) continue;
        const std::wstring url = sub->url();
        out.push_back(application.relativeUrl(folder, url));
        shown.push_back(std::move(sub));
    }
    for (const auto& sub : shown) ReadFolderTree(application, *sub, out);
}

// A folder's pages as a page list holds them.
inline void ReadFolderPages(host::HostApplication& application, host::WebFolder& folder,
                            std::vector<ui::ListItem>& out) {
    const auto files = folder.files();
    const std::int32_t count = files->count();
    for (std::int32_t i = 0; i < count; ++i) {
        const auto file = files->item(i);
        if (!host::IsPage(*file)) continue;
        const std::wstring url = file->url();
        out.push_back({url, application.relativeUrl(folder, url), {file->title()}, url});
    }
}

// The entries of a list, copied out in its order.
inline void ReadEntries(const ui::ListView& list, std::vector<ui::ListItem>& out) {
    for (std::int32_t i = 0; i < list.count(); ++i) out.push_back(list.item(i));
}

}  // namespace tavisk::bench
