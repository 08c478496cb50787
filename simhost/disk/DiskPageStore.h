#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "simhost/PageStore.h"
#include "simhost/disk/HtmlPage.h"

namespace tavisk::simhost {

// A page opened from disk: its BODY element, and the page as it was read, which a
// save writes back with only its BODY start tags changed.
class DiskPageDocument : public PageDocument {
public:
    explicit DiskPageDocument(std::shared_ptr<const HtmlPage> page)
        : PageDocument(page->bodyAttributes(), page->firstFrameSource()), _page(std::move(page)) {}

    const HtmlPage& page() const noexcept { return *_page; }
    // What a save writes now.
    std::string bytesToSave() const { return _page->render(bodyAttributes()); }

private:
    std::shared_ptr<const HtmlPage> _page;
};

// Where the saves of one web write their new pages before moving them into place: a
// folder beside the web's folder ("~<web>.saving"), made at the first save and
// removed with the web when it is empty. A save into it adds no name to the page's
// own folder: Wine looks through a whole folder for every name it does not find
// there, so a temporary file beside the page made each save cost in proportion to
// the size of its folder.
class SaveFolder {
public:
    explicit SaveFolder(const std::filesystem::path& webFolder);
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;
    ~SaveFolder();

    // The folder, made if need be; none when it cannot be made (the web's folder is
    // a drive's root, or its parent refuses new folders).
    std::optional<std::filesystem::path> get();

private:
    std::filesystem::path _path;
    bool _made = false;
    bool _failed = false;
};

// A file's path kept as its folder, shared by every file of that folder, and its
// name: a web holds a store for every file, and a whole path in each cost as much
// as the file's URL again.
class StoredPath {
public:
    explicit StoredPath(const std::filesystem::path& file) : _name(file.native()) {}
    StoredPath(std::shared_ptr<const std::filesystem::path> folder, std::filesystem::path::string_type name)
        : _folder(std::move(folder)), _name(std::move(name)) {}

    std::filesystem::path get() const { return _folder ? *_folder / _name : std::filesystem::path(_name); }

private:
    std::shared_ptr<const std::filesystem::path> _folder;  // null: _name is the whole path
    std::filesystem::path::string_type _name;
};

// A page file of a disk-based web. Opening reads and parses the file; saving writes
// the page as the editor holds it in the web's save folder (or, without one or on
// another volume, beside the file), then puts it in the file's place, so a failure
// at any step leaves the old file whole and no temporary file behind.
// A read-only page is refused, and so is a page that another program changed since
// it was opened (its change is kept); a page reached through a symbolic link is saved into
// the file the link names; on Linux the page keeps its permission bits. The new page
// is flushed to the disk before it takes the old one's place.
class DiskPageStore : public PageStore {
public:
    enum class SaveStep { CreateTemporary, Write, Close, Replace };

    explicit DiskPageStore(const std::filesystem::path& file, std::shared_ptr<SaveFolder> saveFolder = nullptr)
        : _file(file), _saveFolder(std::move(saveFolder)) {}
    DiskPageStore(StoredPath file, std::shared_ptr<SaveFolder> saveFolder)
        : _file(std::move(file)), _saveFolder(std::move(saveFolder)) {}

    std::filesystem::path file() const { return _file.get(); }
    std::unique_ptr<PageDocument> load() override;
    // Raises SimError when the page cannot be written; the file is then as it was.
    void save(const PageDocument& document) override { write(document, false); }
    // Writes over a change another program made; still refuses a read-only page.
    void overwrite(const PageDocument& document) override { write(document, true); }

    // Called before each step of a save; what it throws fails the save at that step.
    void setStepHook(std::function<void(SaveStep)> hook) {
        _hook = hook ? std::make_unique<std::function<void(SaveStep)>>(std::move(hook)) : nullptr;
    }

private:
    void write(const PageDocument& document, bool overChanges);
    // Writes `bytes` into a new file in `folder` and moves it over `target`; returns
    // the move's error, and raises SimError for a failure of any earlier step.
    std::error_code writeAndReplace(const std::string& bytes, const std::filesystem::path& folder,
                                    const std::filesystem::path& target);

    // Not a std::filesystem::path, which also keeps each of its parts parsed,
    // several times the text's size.
    StoredPath _file;
    std::shared_ptr<SaveFolder> _saveFolder;
    // Both by pointer: most stores of a web are never opened or hooked, and a
    // pointer costs a tenth of either in every store.
    std::unique_ptr<std::function<void(SaveStep)>> _hook;
    std::unique_ptr<const std::string> _known;  // the file's bytes as last read or written here
};

// A file of the web that is not a page: the editor does not open it.
class OtherFileStore : public PageStore {
public:
    explicit OtherFileStore(const std::filesystem::path& file) : _file(file) {}
    explicit OtherFileStore(StoredPath file) : _file(std::move(file)) {}
    std::unique_ptr<PageDocument> load() override;
    void save(const PageDocument& document) override;

private:
    StoredPath _file;
};

// A path or file name as text. On Linux a name need not be UTF-8: bytes that are not
// show as U+FFFD rather than fail.
std::wstring PathText(const std::filesystem::path& path);

// The whole file; raises SimError when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

}  // namespace tavisk::simhost
