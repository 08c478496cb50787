#include "simhost/disk/DiskPageStore.h"

#include <fcntl.h>

#include <fstream>
#include <iterator>
#include <system_error>

#include "simhost/SimError.h"
#include "base/Text.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavisk::simhost {
namespace {

std::wstring Shown(const std::filesystem::path& file) { return PathText(file); }

std::wstring Reason(const std::error_code& error) { return base::FromUtf8(error.message()); }

// The temporary file's name for `file`: in `folder`, hidden from a casual listing,
// and not yet taken.
std::filesystem::path TemporaryIn(const std::filesystem::path& folder, const std::filesystem::path& file) {
    for (int n = 0;; ++n) {
        auto name = std::filesystem::path("~");
        name += file.filename();
        name += ".";
        name += std::to_string(n);
        name += ".saving";
        const auto candidate = folder / name;
        std::error_code error;
        if (!std::filesystem::exists(candidate, error) && !error) return candidate;
        if (n > 1000 || error)
            throw SimError(kErrorFail, L"No temporary file can be made beside " + Shown(file) + L".");
    }
}

// The file a save replaces: for a page reached through a symbolic link, the file the
// link names, so the link stays a link.
std::filesystem::path SaveTarget(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_symlink(file, error)) return file;
    auto target = std::filesystem::canonical(file, error);
    return error ? file : target;
}

// Forces the file's data to the disk, so a crash after the replace cannot leave a
// page whose data never arrived.
bool FlushToDisk(const std::filesystem::path& file) {
#ifdef _WIN32
    const int fd = _wopen(file.c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0) return false;
    const bool flushed = _commit(fd) == 0;
    _close(fd);
#else
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
#endif
    return flushed;
}

// Removes the temporary file unless the save got as far as putting it in place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path) : _path(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        std::error_code ignored;
        if (!_kept) std::filesystem::remove(_path, ignored);
    }
    const std::filesystem::path& path() const noexcept { return _path; }
    void keep() noexcept { _kept = true; }

private:
    std::filesystem::path _path;
    bool _kept = false;
};

}  // namespace

std::wstring PathText(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return base::FromUtf8(path.string());
#endif
}

std::string ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw SimError(kErrorFail, L"The file " + Shown(file) + L" cannot be opened.");
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw SimError(kErrorFail, L"The file " + Shown(file) + L" cannot be read.");
    return bytes;
}

std::unique_ptr<PageDocument> DiskPageStore::load() {
    auto bytes = ReadFileBytes(file());
    _known = std::make_unique<const std::string>(bytes);
    return std::make_unique<DiskPageDocument>(std::make_shared<const HtmlPage>(std::move(bytes)));
}

void DiskPageStore::write(const PageDocument& document, bool overChanges) {
    const auto* fromDisk = dynamic_cast<const DiskPageDocument*>(&document);
    // A document that did not come from this file is written into the file as it is now.
    const std::string bytes =
        fromDisk ? fromDisk->bytesToSave() : HtmlPage(ReadFileBytes(file())).render(document.bodyAttributes());
    const auto target = SaveTarget(file());
    const auto fail = [&](const std::wstring& why) {
        throw SimError(kErrorFail, L"The page " + Shown(file()) + L" could not be saved: " + why);
    };

    // A page that another program changed since it was opened keeps that change.
    std::error_code existsError;
    if (fromDisk && !overChanges && _known && std::filesystem::exists(target, existsError) &&
        ReadFileBytes(target) != *_known)
        fail(L"another program changed it since it was opened.");
    // A page marked read-only stays as it is, as an editor on Windows would find it.
    std::error_code statusError;
    const auto status = std::filesystem::status(target, statusError);
    if (!statusError && (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        fail(L"the file is read-only.");

    std::error_code moved;
    const auto folder = _saveFolder ? _saveFolder->get() : std::nullopt;
    if (folder) moved = writeAndReplace(bytes, *folder, target);
    // Without a save folder, or when the page cannot be moved from it (it lies on
    // another volume): beside the page.
    if (!folder || moved) moved = writeAndReplace(bytes, target.parent_path(), target);
    if (moved) fail(Reason(moved));
    _known = std::make_unique<const std::string>(bytes);
}

std::error_code DiskPageStore::writeAndReplace(const std::string& bytes, const std::filesystem::path& folder,
                                               const std::filesystem::path& target) {
    const auto step = [&](SaveStep s) {
        if (_hook) (*_hook)(s);
    };
    const auto fail = [&](const std::wstring& why) {
        throw SimError(kErrorFail, L"The page " + Shown(file()) + L" could not be saved: " + why);
    };

    step(SaveStep::CreateTemporary);
    TemporaryFile temporary(TemporaryIn(folder, target));
    std::ofstream out(temporary.path(), std::ios::binary | std::ios::trunc);
    if (!out) fail(L"no file can be created beside it.");

    step(SaveStep::Write);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fail(L"writing failed.");

    step(SaveStep::Close);
    out.close();
    if (!out || !FlushToDisk(temporary.path())) fail(L"writing failed.");
#ifndef _WIN32
    // The page keeps who may read and write it (Windows keeps no such bits here).
    std::error_code error;
    const auto permissions = std::filesystem::status(target, error).permissions();
    if (!error) std::filesystem::permissions(temporary.path(), permissions, error);
#endif

    step(SaveStep::Replace);
    std::error_code renameError;
    std::filesystem::rename(temporary.path(), target, renameError);
    if (!renameError) temporary.keep();
    return renameError;
}

SaveFolder::SaveFolder(const std::filesystem::path& webFolder) {
    auto name = std::filesystem::path("~");
    name += webFolder.filename();
    name += ".saving";
    if (webFolder.has_filename() && webFolder.has_parent_path() && webFolder.parent_path() != webFolder)
        _path = webFolder.parent_path() / name;
    else
        _failed = true;
}

SaveFolder::~SaveFolder() {
    std::error_code ignored;
    if (_made) std::filesystem::remove(_path, ignored);  // only when empty: another save may be writing there
}

std::optional<std::filesystem::path> SaveFolder::get() {
    if (_failed) return std::nullopt;
    if (!_made) {
        std::error_code error;
        _made = std::filesystem::create_directory(_path, error);
        if (error || !std::filesystem::is_directory(_path, error)) {
            _failed = true;
            return std::nullopt;
        }
    }
    return _path;
}

std::unique_ptr<PageDocument> OtherFileStore::load() {
    throw SimError(kErrorFail,
                   L"The file " + Shown(_file.get()) + L" is not a page: the editor opens .htm, .html and .asp files.");
}

void OtherFileStore::save(const PageDocument&) {
    throw SimError(kErrorFail, L"The file " + Shown(_file.get()) + L" is not a page and cannot be saved as one.");
}

}  // namespace tavisk::simhost
