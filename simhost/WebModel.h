#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavisk::simhost {

struct Attribute {
    std::wstring name;
    std::wstring value;
    bool operator==(const Attribute&) const = default;
};

// A page as its editor holds it: the attributes of its BODY element, in order.
// Names are matched as the browser's element does: with flags 1 exactly, with
// flags 0 ignoring the case of A-Z. A page store may keep more of the page in a
// class derived from this one.
class PageDocument {
public:
    PageDocument() = default;
    explicit PageDocument(std::vector<Attribute> body) : _body(std::move(body)) {}
    virtual ~PageDocument() = default;

    const std::vector<Attribute>& bodyAttributes() const noexcept { return _body; }
    std::optional<std::wstring> attribute(const std::wstring& name) const;
    std::optional<std::wstring> attribute(const std::wstring& name, std::int32_t flags) const;
    void setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags);
    bool removeAttribute(const std::wstring& name, std::int32_t flags);

private:
    std::vector<Attribute> _body;
};

// Where a page's document comes from when it is opened and goes when it is saved.
class PageStore {
public:
    virtual ~PageStore() = default;
    virtual std::unique_ptr<PageDocument> load() = 0;
    virtual void save(const PageDocument& document) = 0;
    // Saves even over a change that another program made since the page was opened;
    // the same as save() where no such change is detected.
    virtual void overwrite(const PageDocument& document) { save(document); }
};

// A page kept in memory: what was saved last, and how often.
class MemoryPageStore : public PageStore {
public:
    explicit MemoryPageStore(std::vector<Attribute> body = {}) : _saved(std::move(body)) {}
    std::unique_ptr<PageDocument> load() override;
    void save(const PageDocument& document) override;

    const std::vector<Attribute>& saved() const noexcept { return _saved; }
    int saveCount() const noexcept { return _saveCount; }

private:
    std::vector<Attribute> _saved;
    int _saveCount = 0;
};

class FolderNode;

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

// A web: a tree of folders holding files, and the flat collection of all its
// files in the order they were added. The web's URL has no closing "/"; its root
// folder's URL is the web's URL followed by "/"; every other folder or file URL is
// its parent folder's URL, a "/" where needed, and its name.
class WebModel {
public:
    explicit WebModel(std::wstring url);

    const std::wstring& url() const noexcept { return _url; }
    FolderNode& root() noexcept { return *_root; }
    std::shared_ptr<FolderNode> rootPtr() const noexcept { return _root; }
    const std::vector<std::shared_ptr<FileNode>>& allFiles() const noexcept { return _allFiles; }

    // Folders whose name starts with "_", but _private, are the web's hidden folders.
    static bool IsHiddenName(const std::wstring& name);
    FolderNode& addFolder(FolderNode& parent, const std::wstring& name);
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

    // `url` relative to `base`: the part of `url` after `base` and a "/" between
    // them; `url` itself when it does not lie below `base`.
    static std::wstring RelativeUrl(const std::wstring& base, const std::wstring& url);
    // `url` taken relative to the folder `base` ("a/../b.htm", "./b.htm"); `url`
    // itself when it already names a scheme ("file:///..."). Raises SimError when
    // ".." would go above the root ("file:///").
    static std::wstring AbsoluteUrl(const std::wstring& base, const std::wstring& url);

private:
    std::wstring childUrl(const FolderNode& parent, const std::wstring& name) const;
    // The slot of _fileSlots holding the file with this URL and hash, or a free one.
    std::size_t fileSlot(std::wstring_view url, std::size_t hash) const;

    std::wstring _url;
    std::shared_ptr<FolderNode> _root;
    std::vector<std::shared_ptr<FileNode>> _allFiles;
    // The files by URL: open addressing with linear probing over a power-of-two
    // table at most half full, holding each file's URL hash and its place in
    // _allFiles. Written here because a map keyed by URL needs each URL as a string,
    // and files make theirs only when asked.
    struct FileSlot {
        std::size_t hash = 0;
        std::uint32_t file = kNoFile;
    };
    static constexpr std::uint32_t kNoFile = static_cast<std::uint32_t>(-1);
    std::vector<FileSlot> _fileSlots;
    std::unordered_map<std::wstring_view, std::shared_ptr<FolderNode>> _foldersByUrl;
};

}  // namespace tavisk::simhost
