#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "simhost/WebModel.h"
#include "simhost/disk/HtmlPage.h"

namespace tavisk::simhost {

// A page opened from disk: its BODY element, and the page as it was read, which a
// save writes back with only the BODY start tag changed.
class DiskPageDocument : public PageDocument {
public:
    explicit DiskPageDocument(std::shared_ptr<const HtmlPage> page)
        : PageDocument(page->bodyAttributes()), _page(std::move(page)) {}

    const HtmlPage& page() const noexcept { return *_page; }
    // What a save writes now.
    std::string bytesToSave() const { return _page->render(bodyAttributes()); }

private:
    std::shared_ptr<const HtmlPage> _page;
};

// A page file of a disk-based web. Opening reads and parses the file; saving writes
// the page as the editor holds it beside the file, then puts it in the file's place,
// so a failure at any step leaves the old file whole and no temporary file behind.
// A read-only page is refused, and so is a page that another program changed since
// it was opened (its change is kept); a page reached through a symbolic link is saved into
// the file the link names; on Linux the page keeps its permission bits. The new page
// is flushed to the disk before it takes the old one's place.
class DiskPageStore : public PageStore {
public:
    enum class SaveStep { CreateTemporary, Write, Close, Replace };

    explicit DiskPageStore(std::filesystem::path file) : _file(std::move(file)) {}

    const std::filesystem::path& file() const noexcept { return _file; }
    std::unique_ptr<PageDocument> load() override;
    // Raises SimError when the page cannot be written; the file is then as it was.
    void save(const PageDocument& document) override;

    // Called before each step of a save; what it throws fails the save at that step.
    void setStepHook(std::function<void(SaveStep)> hook) { _hook = std::move(hook); }

private:
    std::filesystem::path _file;
    std::function<void(SaveStep)> _hook;
    std::optional<std::string> _known;  // the file's bytes as last read or written here
};

// A file of the web that is not a page: the editor does not open it.
class OtherFileStore : public PageStore {
public:
    explicit OtherFileStore(std::filesystem::path file) : _file(std::move(file)) {}
    std::unique_ptr<PageDocument> load() override;
    void save(const PageDocument& document) override;

private:
    std::filesystem::path _file;
};

// A path or file name as text. On Linux a name need not be UTF-8: bytes that are not
// show as U+FFFD rather than fail.
std::wstring PathText(const std::filesystem::path& path);

// The whole file; raises SimError when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

}  // namespace tavisk::simhost
