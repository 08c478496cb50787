#include "tests/e2e/WebFiles.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "base/Text.h"
#include "simhost/disk/HtmlPage.h"
#include "tests/simhost/disk/BodyTagCheck.h"

namespace tavisk::e2e {
namespace {

namespace fs = std::filesystem;

std::wstring Describe(std::vector<simhost::Attribute> attributes) {
    std::sort(attributes.begin(), attributes.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    std::wstring text;
    for (const auto& a : attributes) text += (text.empty() ? L"" : L" ") + a.name + L"=\"" + a.value + L"\"";
    return text;
}

}  // namespace

WebSnapshot ReadWeb(const fs::path& folder) {
    WebSnapshot files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[fs::relative(entry.path(), folder).generic_wstring()] = bytes.str();
    }
    return files;
}

fs::path CopyWeb(const fs::path& source, const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const fs::path target = fs::path(temp) / name;
    fs::remove_all(target);
    fs::create_directories(target);
    fs::copy(source, target, fs::copy_options::recursive);
    return target;
}

bool IsPageFile(const std::wstring& relative) {
    if (base::AsciiLower(L"/" + relative).find(L"/_vti_") != std::wstring::npos) return false;
    const std::wstring extension = base::AsciiUpper(fs::path(relative).extension().wstring());
    return extension == L".HTM" || extension == L".HTML" || extension == L".ASP";
}

std::wstring BodyStartTag(const std::string& page) {
    const simhost::HtmlPage parsed(page);
    const auto tags = parsed.bodyTagRanges();
    if (tags.front().first == tags.front().second) return L"(none)";
    // text() drops the page's byte-order mark from the front of what it is given.
    size_t mark = 0;
    for (const std::string_view bom : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
        if (std::string_view(page).substr(0, bom.size()) == bom) mark = bom.size();
    std::wstring shown;
    for (const auto& [from, to] : tags)
        shown += (shown.empty() ? L"" : L" ... ") + parsed.text(page.substr(0, mark) + page.substr(from, to - from));
    return shown;
}

std::vector<simhost::Attribute> BodyAttributes(const std::string& page) {
    return simhost::HtmlPage(page).bodyAttributes();
}

std::wstring RewriteProblem(const std::string& before, const std::string& after,
                            const std::vector<simhost::Attribute>& attributes) {
    if (const auto problem = testing::BodyTagsRewriteProblem(before, after); !problem.empty())
        return base::FromUtf8(problem) + L"; the BODY start tags are now " + BodyStartTag(after);
    const simhost::HtmlPage now(after);
    if (Describe(now.bodyAttributes()) != Describe(attributes))
        return L"the BODY element holds " + Describe(now.bodyAttributes()) + L", not " + Describe(attributes);
    return {};
}

}  // namespace tavisk::e2e
