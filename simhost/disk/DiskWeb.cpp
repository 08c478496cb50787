#include "simhost/disk/DiskWeb.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "simhost/SimError.h"
#include "base/Text.h"
#include "simhost/disk/DiskPageStore.h"
#include "simhost/disk/HtmlPage.h"

namespace tavisk::simhost {
namespace fs = std::filesystem;
namespace {

bool IsPageName(const std::wstring& name) {
    const auto dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    const auto extension = base::AsciiLower(name.substr(dot + 1));
    return extension == L"htm" || extension == L"html" || extension == L"asp";
}

[[noreturn]] void Refuse(const fs::path& folder, const std::error_code& error) {
    throw SimError(kErrorFail, L"The folder " + PathText(folder) + L" cannot be opened as a web: " +
                                   base::FromUtf8(error.message()) + L".");
}

// A folder's entry by name: its name as the web shows it and as the file system
// has it. Not a full std::filesystem::path, which keeps each of its parts parsed
// and costs several times its text, for every entry of a folder at once.
struct Entry {
    std::wstring text;
    fs::path::string_type name;
};

struct Entries {
    std::vector<Entry> folders;
    std::vector<Entry> files;
};

// A-Z compared without case, then exactly.
bool ByName(const Entry& a, const Entry& b) {
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    const auto differ = std::mismatch(a.text.begin(), a.text.end(), b.text.begin(), b.text.end(),
                                      [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
    if (differ.first != a.text.end() && differ.second != b.text.end())
        return lower(*differ.first) < lower(*differ.second);
    if (a.text.size() != b.text.size()) return a.text.size() < b.text.size();
    return a.text < b.text;
}

Entries ListFolder(const fs::path& folder) {
    Entries entries;
    std::error_code error;
    fs::directory_iterator it(folder, error), end;
    for (; !error && it != end; it.increment(error)) {
        std::error_code kind;
        std::vector<Entry>* list = nullptr;
        if (it->is_directory(kind) && !it->is_symlink(kind))
            list = &entries.folders;
        else if (it->is_regular_file(kind))
            list = &entries.files;
        else
            continue;
        const auto name = it->path().filename();
        auto text = PathText(name);
        if (list == &entries.folders && WebModel::IsMetadataName(text)) continue;
        list->push_back({std::move(text), name.native()});
    }
    if (error) Refuse(folder, error);
    std::sort(entries.folders.begin(), entries.folders.end(), ByName);
    std::sort(entries.files.begin(), entries.files.end(), ByName);
    return entries;
}

std::wstring PageTitle(const fs::path& file) {
    try {
        return HtmlPage(ReadFileBytes(file)).title();
    } catch (const SimError&) {
        return {};  // an unreadable page is listed by its name; opening it reports the error
    }
}

void AddFolder(WebModel& web, FolderNode& node, const fs::path& folder, const std::shared_ptr<SaveFolder>& saves) {
    const auto entries = ListFolder(folder);
    const auto shared = std::make_shared<const fs::path>(folder);
    for (const auto& entry : entries.files) {
        StoredPath file(shared, entry.name);
        if (IsPageName(entry.text)) {
            auto title = PageTitle(file.get());  // read before the path moves into the store
            web.addFile(node, entry.text, title, std::make_shared<DiskPageStore>(std::move(file), saves));
        } else {
            web.addFile(node, entry.text, entry.text, std::make_shared<OtherFileStore>(std::move(file)));
        }
    }
    for (const auto& sub : entries.folders) AddFolder(web, web.addFolder(node, sub.text), folder / sub.name, saves);
}

}  // namespace

std::wstring DiskUrl(const fs::path& absolute) {
#ifdef _WIN32
    auto path = absolute.generic_wstring();
#else
    auto path = PathText(absolute);
#endif
    while (!path.empty() && path.front() == L'/') path.erase(0, 1);
    return L"file:///" + path;
}

std::shared_ptr<WebModel> OpenDiskWeb(const fs::path& folder) {
    std::error_code error;
    const auto absolute = fs::canonical(folder, error);
    if (error) Refuse(folder, error);
    if (!fs::is_directory(absolute, error))
        Refuse(folder, error ? error : std::make_error_code(std::errc::not_a_directory));
    auto web = std::make_shared<WebModel>(DiskUrl(absolute));
    AddFolder(*web, web->root(), absolute, std::make_shared<SaveFolder>(absolute));
    return web;
}

std::wstring PageSourceText(const PageDocument& document) {
    if (const auto* page = dynamic_cast<const DiskPageDocument*>(&document))
        return page->page().text(page->bytesToSave());
    std::wstring tag = L"<body";
    for (const auto& a : document.bodyAttributes()) {
        tag += L" " + a.name + L"=\"";
        for (const wchar_t c : a.value)
            tag += c == L'&' ? L"&amp;" : c == L'"' ? L"&quot;" : c == L'<' ? L"&lt;" : std::wstring(1, c);
        tag += L"\"";
    }
    return tag + L">";
}

}  // namespace tavisk::simhost
