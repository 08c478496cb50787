#pragma once

#include <memory>
#include <string>
#include <vector>

#include "simhost/FileNode.h"

namespace tavisk::simhost {

class FolderNode {
public:
    FolderNode(std::wstring name, std::wstring url, bool excluded)
        : _name(std::move(name)), _url(std::move(url)), _excluded(excluded) {}

    const std::wstring& name() const noexcept { return _name; }
    const std::wstring& url() const noexcept { return _url; }
    bool excluded() const noexcept { return _excluded; }
    const std::vector<std::shared_ptr<FileNode>>& files() const noexcept { return _files; }
    const std::vector<std::shared_ptr<FolderNode>>& subFolders() const noexcept { return _subFolders; }

private:
    friend class WebModel;
    std::wstring _name;
    std::wstring _url;
    bool _excluded;
    std::vector<std::shared_ptr<FileNode>> _files;
    std::vector<std::shared_ptr<FolderNode>> _subFolders;
    // The URL its files' names follow, shared by them; made with the first file.
    std::shared_ptr<const std::wstring> _fileUrl;
};

}  // namespace tavisk::simhost
