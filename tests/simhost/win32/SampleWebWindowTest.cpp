#include <filesystem>
#include <fstream>

#include "WindowFixture.h"
#include "simhost/disk/DiskWeb.h"
#include "base/win32/Screenshot.h"

namespace tavisk::testing {
namespace {

// A Linux path as the Wine program sees it, through the prefix's Z: drive.
std::wstring WinePath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return path;
}

TEST_F(HostWindowTest, ShowsTheSampleWebAndSavesAScreenshotInTheBuildFolder) {
    host.openWeb(simhost::OpenDiskWeb(std::filesystem::path(WinePath(TAVISK_SOURCE_DIR "/samples/web"))));
    pageSource = [](const simhost::PageDocument& document) { return simhost::PageSourceText(document); };
    makeWindow();
    const auto lines = treeLines();
    for (const auto* expected : {L"  _private", L"  images", L"  products", L"  styles", L"    site.css"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
            << std::string(expected, expected + wcslen(expected));

    const auto index = host.web()->findFile(host.web()->root().url() + L"index.htm");
    ASSERT_TRUE(index);
    host.openPage(index);
    Pump();
    EXPECT_EQ(tabTexts(), (std::vector<std::wstring>{L"index.htm [Default]"}));
    // The page's own text, BODY start tag and line breaks as in the file.
    const auto source = Text(window->source());
    EXPECT_NE(source.find(L"<HTML>\r\n"), std::wstring::npos);
    EXPECT_NE(source.find(L"<TITLE>"), std::wstring::npos);

    const auto shot = WinePath(TAVISK_BINARY_DIR "/simhost-window-sample-web.png");
    DeleteFileW(shot.c_str());
    base::win32::SaveWindowPng(window->handle(), shot);
    std::ifstream file(std::filesystem::path(shot), std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

}  // namespace
}  // namespace tavisk::testing
