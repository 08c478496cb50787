#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <tsl/robin_set.h>

#include "simhost/FileNode.h"
#include "simhost/FolderNode.h"
#include "simhost/MemoryPageStore.h"
#include "simhost/PageDocument.h"
#include "simhost/PageStore.h"

namespace tavisk::simhost {

// A web: a tree of folders holding files, and the flat collection of all its
// files in the order they were added. The web's URL has no closing "/"; its root
// folder's URL is the web's URL followed by "/"; every other folder or file URL is
// its parent folder's URL, a "/" where needed, and its name.
class WebModel {
public:
    explicit WebModel(std::wstring url);
    // The index of files by URL reads this very model's files.
    WebModel(const WebModel&) = delete;
    WebModel& operator=(const WebModel&) = delete;

    const std::wstring& url() const noexcept { return _url; }
    FolderNode& root() noexcept { return *_root; }
    std::shared_ptr<FolderNode> rootPtr() const noexcept { return _root; }
    const std::vector<std::shared_ptr<FileNode>>& allFiles() const noexcept { return _allFiles; }

    // Folders whose name starts with "_", but _private, are the web's hidden folders.
    static bool IsHiddenName(const std::wstring& name);
    // Folders whose name starts with "_vti_" hold the editor's metadata: they are no
    // part of the web, in none of its collections, not even as hidden folders.
    static bool IsMetadataName(const std::wstring& name);
    // Raises SimError for a metadata folder's name.
    FolderNode& addFolder(FolderNode& parent, const std::wstring& name);
    // Without a store the file's page is kept in a MemoryPageStore.
    FileNode& addFile(FolderNode& folder, const std::wstring& name, const std::wstring& title,
                      std::shared_ptr<PageStore> store = nullptr);

    // Conveniences taking a path below the root with "/" between names; folders on
    // the way are created as needed.
    FolderNode& folderAt(const std::wstring& path);
    FileNode& addFile(const std::wstring& path, const std::wstring& title = {}, std::vector<Attribute> body = {});

    std::shared_ptr<FileNode> findFile(const std::wstring& url) const;
    std::shared_ptr<FolderNode> findFolder(const std::wstring& url) const;
    // The folder holding the file or folder with this URL; none for the root folder.
    std::shared_ptr<FolderNode> parentFolder(const std::wstring& url) const;

private:
    using Files = std::vector<std::shared_ptr<FileNode>>;
    // The files by URL hold places in _allFiles and are looked up by a URL's text:
    // a map keyed by URL would need each URL as a string, and files make theirs
    // only when asked. The stored hash spares making every URL again as the set grows.
    struct FileUrlHash {
        using is_transparent = void;
        const Files* files;
        std::size_t operator()(std::wstring_view url) const noexcept { return std::hash<std::wstring_view>{}(url); }
        std::size_t operator()(std::uint32_t file) const { return (*this)((*files)[file]->url()); }
    };
    struct FileUrlEqual {
        using is_transparent = void;
        const Files* files;
        // Places are added only for URLs not yet held, so two places are two URLs.
        bool operator()(std::uint32_t a, std::uint32_t b) const noexcept { return a == b; }
        bool operator()(std::uint32_t file, std::wstring_view url) const noexcept {
            return (*files)[file]->hasUrl(url);
        }
    };

    std::wstring childUrl(const FolderNode& parent, const std::wstring& name) const;

    std::wstring _url;
    std::shared_ptr<FolderNode> _root;
    Files _allFiles;
    tsl::robin_set<std::uint32_t, FileUrlHash, FileUrlEqual, std::allocator<std::uint32_t>, true> _filesByUrl;
    std::unordered_map<std::wstring_view, std::shared_ptr<FolderNode>> _foldersByUrl;
};

}  // namespace tavisk::simhost
