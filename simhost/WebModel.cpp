#include "simhost/WebModel.h"

#include <algorithm>
#include <cwctype>

#include "simhost/SimError.h"
#include "base/Text.h"

namespace tavisk::simhost {
namespace {

bool NamesMatch(const std::wstring& a, const std::wstring& b, std::int32_t flags) {
    return (flags & 1) ? a == b : base::AsciiLower(a) == base::AsciiLower(b);
}

}  // namespace

std::optional<std::wstring> PageDocument::attribute(const std::wstring& name) const {
    for (const auto& a : _body)
        if (a.name == name) return a.value;
    return std::nullopt;
}

std::optional<std::wstring> PageDocument::attribute(const std::wstring& name, std::int32_t flags) const {
    for (const auto& a : _body)
        if (NamesMatch(a.name, name, flags)) return a.value;
    return std::nullopt;
}

void PageDocument::setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags) {
    for (auto& a : _body) {
        if (NamesMatch(a.name, name, flags)) {
            a.value = value;
            return;
        }
    }
    _body.push_back({name, value});
}

bool PageDocument::removeAttribute(const std::wstring& name, std::int32_t flags) {
    const auto it =
        std::find_if(_body.begin(), _body.end(), [&](const Attribute& a) { return NamesMatch(a.name, name, flags); });
    if (it == _body.end()) return false;
    _body.erase(it);
    return true;
}

std::unique_ptr<PageDocument> MemoryPageStore::load() { return std::make_unique<PageDocument>(_saved); }

void MemoryPageStore::save(const PageDocument& document) {
    _saved = document.bodyAttributes();
    ++_saveCount;
}

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

WebModel::WebModel(std::wstring url) : _url(std::move(url)) {
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

FolderNode& WebModel::addFolder(FolderNode& parent, const std::wstring& name) {
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
    const std::size_t hash = std::hash<std::wstring_view>{}(url);
    if (_fileSlots.empty() || (_allFiles.size() + 1) * 2 > _fileSlots.size()) {
        std::vector<FileSlot> slots(_fileSlots.empty() ? 16 : _fileSlots.size() * 2);
        const std::size_t mask = slots.size() - 1;
        for (const auto& slot : _fileSlots) {
            if (slot.file == kNoFile) continue;
            std::size_t i = slot.hash & mask;
            while (slots[i].file != kNoFile) i = (i + 1) & mask;
            slots[i] = slot;
        }
        _fileSlots = std::move(slots);
    }
    const std::size_t slot = fileSlot(url, hash);
    if (_fileSlots[slot].file != kNoFile) throw SimError(kErrorInvalidArg, L"The web already has a file " + url + L".");
    auto file = std::make_shared<FileNode>(name, folder._fileUrl, title.empty() ? name : title, std::move(store));
    folder._files.push_back(file);
    _allFiles.push_back(file);
    _fileSlots[slot] = {hash, static_cast<std::uint32_t>(_allFiles.size() - 1)};
    return *file;
}

std::size_t WebModel::fileSlot(std::wstring_view url, std::size_t hash) const {
    const std::size_t mask = _fileSlots.size() - 1;
    std::size_t i = hash & mask;
    for (; _fileSlots[i].file != kNoFile; i = (i + 1) & mask) {
        if (_fileSlots[i].hash == hash && _allFiles[_fileSlots[i].file]->hasUrl(url)) break;
    }
    return i;
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
    if (_fileSlots.empty()) return nullptr;
    const auto& slot = _fileSlots[fileSlot(url, std::hash<std::wstring_view>{}(url))];
    return slot.file == kNoFile ? nullptr : _allFiles[slot.file];
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

std::wstring WebModel::RelativeUrl(const std::wstring& base, const std::wstring& url) {
    if (base.empty() || url.compare(0, base.size(), base) != 0) return url;
    if (base.back() == L'/') return url.substr(base.size());
    if (url.size() == base.size()) return {};
    if (url[base.size()] == L'/') return url.substr(base.size() + 1);
    return url;
}

std::wstring WebModel::AbsoluteUrl(const std::wstring& base, const std::wstring& url) {
    const auto scheme = url.find(L':');
    if (scheme != std::wstring::npos && url.find_first_of(L"/?#") > scheme) return url;
    // The part of the base that names its root ("file:///", "http://host/"), then
    // the base's segments and the url's, "." and ".." resolved.
    const auto marker = base.find(L"://");
    std::size_t rootEnd = marker == std::wstring::npos ? 0 : base.find(L'/', marker + 3);
    rootEnd = rootEnd == std::wstring::npos ? base.size() : rootEnd + 1;
    std::vector<std::wstring> segments;
    const auto split = [&](const std::wstring& text, std::size_t from) {
        while (from <= text.size()) {
            const auto slash = std::min(text.find(L'/', from), text.size());
            const auto segment = text.substr(from, slash - from);
            if (segment == L"..") {
                if (segments.empty())
                    throw SimError(kErrorInvalidArg, L"The URL " + url + L" goes above the root of " + base + L".");
                segments.pop_back();
            } else if (!segment.empty() && segment != L".") {
                segments.push_back(segment);
            }
            from = slash + 1;
        }
    };
    split(base, rootEnd);
    split(url, 0);
    std::wstring absolute = base.substr(0, rootEnd);
    for (std::size_t k = 0; k < segments.size(); ++k) absolute += (k ? L"/" : L"") + segments[k];
    return absolute;
}

}  // namespace tavisk::simhost
