#include "simhost/FileNode.h"

namespace tavisk::simhost {

FileNode::FileNode(std::wstring name, std::shared_ptr<const std::wstring> folderUrl, std::wstring title,
                   std::shared_ptr<PageStore> store)
    : _name(std::move(name)), _folderUrl(std::move(folderUrl)), _title(std::move(title)), _store(std::move(store)) {}

bool FileNode::hasUrl(std::wstring_view url) const noexcept {
    return url.size() == _folderUrl->size() + _name.size() && url.starts_with(*_folderUrl) && url.ends_with(_name);
}

std::wstring FileNode::extension() const {
    const auto dot = _name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : _name.substr(dot + 1);
}

}  // namespace tavisk::simhost
