#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "simhost/PageStore.h"

namespace tavisk::simhost {

class FileNode {
public:
    // `folderUrl` is the URL of the file's folder up to the file's name, closing "/"
    // included; the files of one folder share it.
    FileNode(std::wstring name, std::shared_ptr<const std::wstring> folderUrl, std::wstring title,
             std::shared_ptr<PageStore> store);

    const std::wstring& name() const noexcept { return _name; }
    // Made from the folder's URL and the name when asked for: a URL of its own in
    // every file of a large web costs as much as the rest of the file.
    std::wstring url() const { return *_folderUrl + _name; }
    bool hasUrl(std::wstring_view url) const noexcept;
    const std::wstring& title() const noexcept { return _title; }
    // The name's extension without the dot; empty when the name has none.
    std::wstring extension() const;
    PageStore& store() const noexcept { return *_store; }

private:
    std::wstring _name;
    std::shared_ptr<const std::wstring> _folderUrl;
    std::wstring _title;
    std::shared_ptr<PageStore> _store;
};

}  // namespace tavisk::simhost
