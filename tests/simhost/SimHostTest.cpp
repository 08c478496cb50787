#include "tests/simhost/SimHostFixture.h"

#include "base/Text.h"
#include "simhost/SimError.h"
#include "simhost/WebModel.h"

namespace tavisk::testing {
namespace {

TEST_F(SimHostTest, WebModelGivesUrlsStructureAndLookups) {
    web->addFile(L"index.htm", L"Home");
    web->addFile(L"images/logo.gif");
    web->addFile(L"_borders/notes.htm");
    auto& app = host::Application();
    const auto w = app.activeWeb();
    EXPECT_EQ(w->url(), L"file:///C:/Webs/site");
    const auto root = w->rootFolder();
    EXPECT_EQ(root->url(), L"file:///C:/Webs/site/");
    const auto subs = root->subFolders();
    ASSERT_EQ(subs->count(), 2);
    EXPECT_EQ(subs->item(0)->url(), L"file:///C:/Webs/site/images");
    EXPECT_FALSE(subs->item(0)->excluded());
    EXPECT_TRUE(subs->item(1)->excluded());
    EXPECT_EQ(w->allFiles()->count(), 3);
    EXPECT_EQ(w->locateFile(Url(L"images/logo.gif"))->title(), L"logo.gif");
    EXPECT_EQ(w->locateFile(Url(L"index.htm"))->title(), L"Home");
    EXPECT_EQ(w->locateFolder(Url(L"_borders"))->files()->item(0)->extension(), L"htm");
    EXPECT_THROW(w->locateFile(Url(L"INDEX.htm")), host::HostError);
    EXPECT_THROW(w->locateFolder(Url(L"nowhere")), host::HostError);
    EXPECT_THROW(subs->item(2), host::HostError);

    EXPECT_EQ(app.relativeUrl(*root, Url(L"images")), L"images");
    EXPECT_EQ(app.relativeUrl(*subs->item(0), Url(L"images/logo.gif")), L"logo.gif");
    EXPECT_EQ(app.relativeUrl(w->url(), Url(L"images/")), L"images/");
    EXPECT_EQ(app.relativeUrl(w->url(), L"http://elsewhere/x"), L"http://elsewhere/x");
}

TEST(WebModelTest, FindsEveryFileByItsWholeUrlOnlyAcrossGrowth) {
    simhost::WebModel model(L"file:///C:/w");
    std::vector<std::wstring> urls;
    for (int i = 0; i < 300; ++i) {
        const std::wstring path = (i % 3 == 0 ? L"" : i % 3 == 1 ? L"a/" : L"a/b/") + std::to_wstring(i) + L".htm";
        urls.push_back(model.addFile(path).url());
        EXPECT_EQ(urls.back(), L"file:///C:/w/" + path);
    }
    for (const auto& url : urls) {
        const auto file = model.findFile(url);
        ASSERT_NE(file, nullptr) << base::ToUtf8(url);
        EXPECT_EQ(file->url(), url);
    }
    for (const wchar_t* missing : {L"file:///C:/w/", L"file:///C:/w/a/", L"file:///C:/w/a/0.htm", L"file:///C:/w/1.htm",
                                   L"file:///C:/w//0.htm", L"file:///C:/w/0.HTM", L"file:///C:/w/0.htm/", L""}) {
        EXPECT_EQ(model.findFile(missing), nullptr) << base::ToUtf8(missing);
    }
    EXPECT_THROW(model.addFile(L"a/b/2.htm"), simhost::SimError);
    EXPECT_EQ(model.allFiles().size(), urls.size());
}

TEST_F(SimHostTest, ObjectsOfAClosedWebOrWindowRefuseEveryCall) {
    web->addFile(L"a.htm");
    const auto file = host::Application().activeWeb()->locateFile(Url(L"a.htm"));
    file->open();
    const auto window = host::Application().activePageWindow();
    host.closeWeb();
    EXPECT_EQ(host::Application().activeWeb(), nullptr);
    EXPECT_EQ(host::Application().activePageWindow(), nullptr);
    EXPECT_THROW(file->open(), host::HostError);
    EXPECT_THROW(window->setViewMode(1), host::HostError);
    EXPECT_THROW(host::Application().activeDocument(), host::HostError);
}

TEST_F(SimHostTest, PagesReuseTheirWindowAndCloseDropsUnsavedEdits) {
    web->addFile(L"a.htm", L"", {{L"topmargin", L"1"}});
    web->addFile(L"b.htm");
    openPage(L"a.htm");
    openPage(L"b.htm");
    openPage(L"a.htm");
    EXPECT_EQ(openPages(), (std::vector<std::wstring>{Url(L"a.htm"), Url(L"b.htm")}));
    EXPECT_EQ(activePage(), Url(L"a.htm"));

    host::Application().activeDocument()->body()->setAttribute(L"topmargin", L"9", 1);
    host.closeActivePage();
    EXPECT_EQ(saved(L"a.htm"), (std::vector<Attribute>{{L"topmargin", L"1"}}));
    EXPECT_EQ(activePage(), Url(L"b.htm"));
    openPage(L"a.htm");
    EXPECT_EQ(host.activePageWindow()->document->attribute(L"topmargin"), L"1");
}

TEST_F(SimHostTest, BodyAttributesFollowTheCaseFlag) {
    web->addFile(L"a.htm", L"", {{L"TopMargin", L"1"}});
    openPage(L"a.htm");
    const auto body = host::Application().activeDocument()->body();
    EXPECT_FALSE(body->removeAttribute(L"topmargin", 1));
    body->setAttribute(L"topmargin", L"2", 1);  // another attribute: the case differs
    EXPECT_EQ(host.activePageWindow()->document->bodyAttributes().size(), 2u);
    EXPECT_TRUE(body->removeAttribute(L"TOPMARGIN", 0));
    EXPECT_EQ(host.activePageWindow()->document->bodyAttributes(), (std::vector<Attribute>{{L"topmargin", L"2"}}));
}

TEST_F(SimHostTest, CommandBarsAreFoundAsOfficeFindsThem) {
    auto& app = host::Application();
    const auto bar = app.commandBars()->item(L"menu bar");
    EXPECT_THROW(app.commandBars()->item(L"Menu"), host::HostError);
    const auto tools = bar->controls()->findByCaption(L"Tools");
    EXPECT_EQ(bar->controls()->findByCaption(L"Tool"), nullptr);
    EXPECT_NE(bar->findControl(host::ControlType::Popup, 30007, false), nullptr);
    EXPECT_EQ(bar->findControl(host::ControlType::Button, 30007, false), nullptr);
    EXPECT_EQ(tools->controls()->count(), 2);
    EXPECT_NE(bar->findControl(106, true), nullptr);
    EXPECT_EQ(bar->findControl(106, false), nullptr);
    EXPECT_EQ(bar->findControl(4242, true), nullptr);

    const auto popup = tools->controls()->add(host::ControlType::Popup, L"HALVERN", true);
    popup->setCaption(L"&Halvern Add-ins");
    popup->setTag(L"HALVERN");
    const auto button = popup->controls()->add(host::ControlType::Button, L"Tavisk", true);
    EXPECT_THROW(button->controls(), host::HostError);
    EXPECT_THROW(popup->bindClick([](host::CommandBarControl*) {}), host::HostError);
    const auto node = host.menuBar().find(30007, false)->controls().items.back();
    EXPECT_EQ(node->tag(), L"HALVERN");
    EXPECT_EQ(node->parameter(), L"HALVERN");
    EXPECT_TRUE(node->temporary());
    EXPECT_EQ(node->controls().items.size(), 1u);

    int clicks = 0;
    {
        const auto binding = button->bindClick([&](host::CommandBarControl*) { ++clicks; });
        node->controls().items[0]->execute();
        button->execute();
    }
    node->controls().items[0]->execute();
    EXPECT_EQ(clicks, 2);

    popup->deleteControl();
    EXPECT_EQ(tools->controls()->count(), 2);
    EXPECT_THROW(popup->deleteControl(), host::HostError);
    EXPECT_THROW(button->setCaption(L"x"), host::HostError) << "a control inside a deleted popup is gone too";
}

TEST_F(SimHostTest, TheRecorderRefusesExactlyTheChosenCall) {
    web->addFile(L"a.htm");
    auto& recorder = host.recorder();
    recorder.failOn(L"WebFile.title", 2, host::kErrorInvalidArg, L"No title today.");
    const auto file = host::Application().activeWeb()->locateFile(Url(L"a.htm"));
    EXPECT_NO_THROW(file->title());
    try {
        file->title();
        FAIL() << "the second call should have been refused";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.code(), host::kErrorInvalidArg);
        EXPECT_EQ(error.message(), L"No title today.");
    }
    EXPECT_NO_THROW(file->title());
    EXPECT_EQ(recorder.countOf(L"WebFile.title"), 3);
    EXPECT_EQ(recorder.calls().front(), L"Application.activeWeb");
}

}  // namespace
}  // namespace tavisk::testing
