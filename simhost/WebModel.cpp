#include "simhost/WebModel.h"

#include <algorithm>
#include <cwctype>

#include "base/Text.h"
#include "simhost/SimError.h"

namespace tavisk::simhost {

WebModel::WebModel(std::wstring url)
    : _url(std::move(url)), _filesByUrl(0, FileUrlHash{&_allFiles}, FileUrlEqual{&_allFiles}) {
    while (!_url.empty() && _url.back() == L'/') _url.pop_back();
    _root = std::make_shared<FolderNode>(L"", _url + L"/", false);
    _foldersByUrl.emplace(_root->url(), _root);
}

std::wstring WebModel::childUrl(const FolderNode& parent, const std::wstring& name) const {
    return &parent == _root.get() ? parent.url() + name : parent.url() + L"/" + name;
}

// The editor hides a web's folders named with a leading "_" (its own _borders,
// _themes, _vti_cnf...) and always shows _private, the one meant for the author.
bool WebModel::IsHiddenName(const std::wstring& name) {
    static const std::wstring kPrivate = L"_private";
    const bool isPrivate = name.size() == kPrivate.size() &&
                           std::equal(name.begin(), name.end(), kPrivate.begin(), [](wchar_t a, wchar_t b) {
                               return std::towlower(static_cast<wint_t>(a)) == static_cast<wint_t>(b);
                           });
    return !name.empty() && name.front() == L'_' && !isPrivate;
}

bool WebModel::IsMetadataName(const std::wstring& name) {
    return name.size() >= 5 && base::AsciiLower(name.substr(0, 5)) == L"_vti_";
}

FolderNode& WebModel::addFolder(FolderNode& parent, const std::wstring& name) {
    if (IsMetadataName(name))
        throw SimError(kErrorInvalidArg, L"The folder " + name + L" holds the editor's metadata, not the web's files.");
    auto folder = std::make_shared<FolderNode>(name, childUrl(parent, name), IsHiddenName(name));
    if (!_foldersByUrl.emplace(folder->url(), folder).second)
        throw SimError(kErrorInvalidArg, L"The web already has a folder " + folder->url() + L".");
    parent._subFolders.push_back(folder);
    return *folder;
}

FileNode& WebModel::addFile(FolderNode& folder, const std::wstring& name, const std::wstring& title,
                            std::shared_ptr<PageStore> store) {
    if (!store) store = std::make_shared<MemoryPageStore>();
    if (!folder._fileUrl)
        folder._fileUrl =
            std::make_shared<const std::wstring>(&folder == _root.get() ? folder.url() : folder.url() + L"/");
    const std::wstring url = *folder._fileUrl + name;
    if (_filesByUrl.contains(std::wstring_view(url)))
        throw SimError(kErrorInvalidArg, L"The web already has a file " + url + L".");
    auto file = std::make_shared<FileNode>(name, folder._fileUrl, title.empty() ? name : title, std::move(store));
    folder._files.push_back(file);
    _allFiles.push_back(file);
    _filesByUrl.insert(static_cast<std::uint32_t>(_allFiles.size() - 1));
    return *file;
}

FolderNode& WebModel::folderAt(const std::wstring& path) {
    FolderNode* folder = _root.get();
    size_t start = 0;
    while (start < path.size()) {
        const auto slash = std::min(path.find(L'/', start), path.size());
        const auto name = path.substr(start, slash - start);
        start = slash + 1;
        if (name.empty()) continue;
        const auto& subs = folder->subFolders();
        const auto it = std::find_if(subs.begin(), subs.end(), [&](const auto& s) { return s->name() == name; });
        folder = it != subs.end() ? it->get() : &addFolder(*folder, name);
    }
    return *folder;
}

FileNode& WebModel::addFile(const std::wstring& path, const std::wstring& title, std::vector<Attribute> body) {
    const auto slash = path.rfind(L'/');
    auto& folder = slash == std::wstring::npos ? *_root : folderAt(path.substr(0, slash));
    return addFile(folder, slash == std::wstring::npos ? path : path.substr(slash + 1), title,
                   std::make_shared<MemoryPageStore>(std::move(body)));
}

std::shared_ptr<FileNode> WebModel::findFile(const std::wstring& url) const {
    const auto it = _filesByUrl.find(std::wstring_view(url));
    return it == _filesByUrl.end() ? nullptr : _allFiles[*it];
}

std::shared_ptr<FolderNode> WebModel::findFolder(const std::wstring& url) const {
    const auto it = _foldersByUrl.find(url);
    return it == _foldersByUrl.end() ? nullptr : it->second;
}

std::shared_ptr<FolderNode> WebModel::parentFolder(const std::wstring& url) const {
    if (url == _root->url()) return nullptr;
    const auto slash = url.rfind(L'/');
    if (slash == std::wstring::npos) return nullptr;
    auto folder = findFolder(url.substr(0, slash));
    return folder ? folder : findFolder(url.substr(0, slash + 1));  // the root's URL ends in "/"
}

}  // namespace tavisk::simhost
