#include <filesystem>
#include <fstream>

#include "LateBound.h"
#include "WindowFixture.h"
#include "simhost/win32/ComHost.h"
#include "base/win32/Screenshot.h"
#include "base/win32/ThisModule.h"

namespace tavisk::testing {
namespace {

std::wstring BesideTheProgram(const std::wstring& name) {
    const std::wstring program = base::win32::ModulePath(nullptr);
    return program.substr(0, program.find_last_of(L"\\/") + 1) + name;
}

TEST_F(HostWindowTest, ShowsTheWebAndOpensAndClosesPagesAndWebs) {
    makeWindow();
    EXPECT_EQ(treeLines(), (std::vector<std::wstring>{
                               L"file:///C:/Webs/site/",
                               L"  news",
                               L"    today.htm",
                               L"  _private",
                               L"    secret.htm",
                               L"  index.htm  \"Home\"",
                           }));
    EXPECT_TRUE(tabTexts().empty());

    doubleClickTree(L"index.htm  \"Home\"");
    doubleClickTree(L"today.htm");
    EXPECT_EQ(tabTexts(), (std::vector<std::wstring>{L"index.htm [Default]", L"today.htm [Default]"}));
    EXPECT_EQ(SendMessageW(window->tabs(), TCM_GETCURSEL, 0, 0), 1);

    // Choosing a tab activates its page; the source shows the page as edited,
    // and the tab its view mode.
    SendMessageW(window->tabs(), TCM_SETCURSEL, 0, 0);
    NMHDR header{window->tabs(), 2, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(window->handle(), WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&header));
    Pump();
    ASSERT_TRUE(host.activePageWindow());
    EXPECT_EQ(host.activePageWindow()->file->name(), L"index.htm");
    const auto app = simhost::win32::MakeApplicationDispatch(host);
    const auto page = GetObject(app.Get(), L"ActivePageWindow");
    Put(page.Get(), L"ViewMode", Variant::Int(1));
    Method(GetObject(GetObject(page.Get(), L"Document").Get(), L"body").Get(), L"setAttribute", {L"topmargin", L"7"});
    Pump();
    EXPECT_EQ(tabTexts(), (std::vector<std::wstring>{L"index.htm [Normal]", L"today.htm [Default]"}));
    EXPECT_EQ(Text(window->source()), L"<body bgcolor=\"white\" topmargin=\"7\">\r\n</body>");

    // File > Close closes the active page; Close Web leaves no web open.
    choose(L"&Close");
    EXPECT_EQ(tabTexts(), (std::vector<std::wstring>{L"today.htm [Default]"}));
    choose(L"Close W&eb");
    EXPECT_EQ(host.web(), nullptr);
    EXPECT_TRUE(treeLines().empty());
    EXPECT_TRUE(tabTexts().empty());
    EXPECT_EQ(Text(window->source()), L"");

    // A command that fails says so in the status line, and the window goes on.
    choose(L"&Close");
    EXPECT_EQ(status(), L"There is no page to close.");
    host.openWeb(web);
    Pump();
    EXPECT_EQ(treeLines().size(), 6u);
}

TEST_F(HostWindowTest, TheMenuBarFollowsTheCommandBarsAndRaisesClick) {
    makeWindow();
    EXPECT_EQ(menuCaptions(), (std::vector<std::wstring>{L"&File", L"&Edit", L"&View", L"&Tools", L"&Help"}));
    const auto app = simhost::win32::MakeApplicationDispatch(host);
    const auto tools = GetObject(
        GetObject(GetObject(GetObject(app.Get(), L"CommandBars").Get(), L"Item", {L"Menu Bar"}).Get(), L"Controls")
            .Get(),
        L"Item", {L"Tools"});
    const auto popup = GetObject(GetObject(tools.Get(), L"Controls").Get(), L"Add", {10});
    Put(popup.Get(), L"Caption", Variant::Text(L"&Halvern Add-ins"));
    const auto button = GetObject(GetObject(popup.Get(), L"Controls").Get(), L"Add", {1});
    Put(button.Get(), L"Caption", Variant::Text(L"&Tavisk 2002..."));
    Pump();
    ASSERT_TRUE(menuCommand(L"&Tavisk 2002..."));

    int clicks = 0;
    const auto toolsNode = simhost::CommandBarsModel::FindByCaption(*host.menuBar().controls, L"Tools");
    const auto popupNode = simhost::CommandBarsModel::FindByCaption(toolsNode->controls(), L"Halvern Add-ins");
    const auto node = simhost::CommandBarsModel::FindByCaption(popupNode->controls(), L"Tavisk 2002...");
    ASSERT_TRUE(node);
    const int cookie = node->subscribe([&](simhost::ControlNode&, bool&) { ++clicks; });
    choose(L"&Tavisk 2002...");
    EXPECT_EQ(clicks, 1);
    node->unsubscribe(cookie);

    Method(popup.Get(), L"Delete");
    Pump();
    EXPECT_FALSE(menuCommand(L"&Tavisk 2002..."));
    EXPECT_FALSE(menuCommand(L"&Halvern Add-ins"));
}

TEST_F(HostWindowTest, SavesAPictureOfItselfAsPng) {
    makeWindow();
    doubleClickTree(L"index.htm  \"Home\"");
    const auto path = BesideTheProgram(L"simhost-window-test.png");
    DeleteFileW(path.c_str());
    base::win32::SaveWindowPng(window->handle(), path);
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    file.seekg(0, std::ios::end);
    EXPECT_GT(file.tellg(), 1000);
}

}  // namespace
}  // namespace tavisk::testing
