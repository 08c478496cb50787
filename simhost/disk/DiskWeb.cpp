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

struct Entries {
    std::vector<fs::path> folders;
    std::vector<fs::path> files;
};

Entries ListFolder(const fs::path& folder) {
    Entries entries;
    std::error_code error;
    fs::directory_iterator it(folder, error), end;
    for (; !error && it != end; it.increment(error)) {
        std::error_code kind;
        if (it->is_directory(kind) && !it->is_symlink(kind))
            entries.folders.push_back(it->path());
        else if (it->is_regular_file(kind))
            entries.files.push_back(it->path());
    }
    if (error) Refuse(folder, error);
    const auto byName = [](const fs::path& a, const fs::path& b) {
        const auto na = PathText(a.filename()), nb = PathText(b.filename());
        const auto la = base::AsciiLower(na), lb = base::AsciiLower(nb);
        return la != lb ? la < lb : na < nb;
    };
    std::sort(entries.folders.begin(), entries.folders.end(), byName);
    std::sort(entries.files.begin(), entries.files.end(), byName);
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
    for (const auto& file : entries.files) {
        const auto name = PathText(file.filename());
        if (IsPageName(name))
            web.addFile(node, name, PageTitle(file), std::make_shared<DiskPageStore>(file, saves));
        else
            web.addFile(node, name, name, std::make_shared<OtherFileStore>(file));
    }
    for (const auto& sub : entries.folders) AddFolder(web, web.addFolder(node, PathText(sub.filename())), sub, saves);
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
