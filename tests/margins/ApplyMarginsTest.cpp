#include "margins/ApplyMargins.h"

#include "tests/simhost/SimHostFixture.h"

namespace tavisk::testing {
namespace {

class ApplyMarginsTest : public SimHostTest {
protected:
    void SetUp() override {
        SimHostTest::SetUp();
        settings.topOn = true;
        settings.topText = L"10";
        settings.platform = Platform::InternetExplorer;
    }

    void run() {
        host.recorder().clear();
        ApplyMargins(settings, dialog, messages);
    }
    void runQueue(std::vector<std::wstring> paths) {
        settings.allPages = false;
        dialog.queue.clear();
        for (const auto& path : paths) dialog.queue.push_back(Url(path));
        run();
    }
    std::vector<std::wstring> opened() const {
        std::vector<std::wstring> urls;
        for (const auto& call : calls({L"WebFile.open"})) urls.push_back(call.substr(call.find(L'[')));
        return urls;
    }
    static std::wstring At(const std::wstring& path) { return L"[" + Url(path) + L"]"; }

    void expectSucceeded() const {
        EXPECT_EQ(dialog.events, (std::vector<std::wstring>{L"hide", L"unload"}));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, L"Margin settings have been applied successfully.");
        EXPECT_EQ(messages.shown[0].title, L"Tavisk 2002");
        EXPECT_EQ(messages.shown[0].icon, ui::MessageIcon::Information);
    }
    // The run stopped: the user is told which page and why, and the dialog is back.
    void expectStopped(const std::wstring& url, const std::wstring& reason) const {
        EXPECT_EQ(dialog.events, (std::vector<std::wstring>{L"hide", L"showAgain"}));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].title, L"Tavisk 2002");
        EXPECT_EQ(messages.shown[0].icon, ui::MessageIcon::Error);
        if (!url.empty()) {
            EXPECT_NE(messages.shown[0].text.find(url), std::wstring::npos) << base::ToUtf8(messages.shown[0].text);
        }
        EXPECT_NE(messages.shown[0].text.find(reason), std::wstring::npos) << base::ToUtf8(messages.shown[0].text);
    }

    MarginSettings settings;
    FakeRunDialog dialog;
    FakeMessageBoxes messages;
};

TEST_F(ApplyMarginsTest, APageThatWasNotOpenIsOpenedEditedSavedAndClosed) {
    web->addFile(L"a.htm", L"A", {{L"marginheight", L"5"}, {L"leftmargin", L"3"}, {L"text", L"black"}});
    runQueue({L"a.htm"});

    const auto a = At(L"a.htm");
    const std::vector<std::wstring> expected = {
        L"Application.activeWebWindow",
        L"WebWindow.pageWindows",
        L"PageWindows.count",
        L"Application.activeWeb",
        L"Web.locateFile(" + Url(L"a.htm") + L")",
        L"Application.activeWebWindow",
        L"WebWindow.pageWindows",
        L"PageWindows.count",
        L"WebFile.open" + a,
        L"Application.activePageWindow",
        L"PageWindow.setViewMode" + a + L"(1)",
        L"PageWindow.document" + a,
        L"Document.body" + a,
        L"Body.removeAttribute" + a + L"(topmargin,1)",
        L"Body.removeAttribute" + a + L"(leftmargin,1)",
        L"Body.removeAttribute" + a + L"(marginheight,1)",
        L"Body.removeAttribute" + a + L"(marginwidth,1)",
        L"PageWindow.document" + a,
        L"Document.body" + a,
        L"Body.setAttribute" + a + L"(topmargin=10,1)",
        L"Application.commandBars",
        L"CommandBars.item(menu bar)",
        L"CommandBar.findControl[Menu Bar](3,true)",
        L"Control.execute[&Save]",
        L"Application.commandBars",
        L"CommandBars.item(menu bar)",
        L"CommandBar.findControl[Menu Bar](106,true)",
        L"Control.execute[&Close]",
        L"Application.activeWebWindow",
        L"WebWindow.pageWindows",
        L"PageWindows.count",
    };
    EXPECT_EQ(host.recorder().calls(), expected);
    EXPECT_EQ(saved(L"a.htm"), (std::vector<Attribute>{{L"text", L"black"}, {L"topmargin", L"10"}}));
    EXPECT_TRUE(openPages().empty());
    expectSucceeded();
}

TEST_F(ApplyMarginsTest, APageTheUserHadOpenIsEditedThereAndKeepsItsViewMode) {
    web->addFile(L"x.htm");
    web->addFile(L"a.htm", L"A", {{L"topmargin", L"1"}});
    openPage(L"x.htm");
    openPage(L"a.htm");
    host.pageWindows()[1]->viewMode = 2;
    host.pageWindows()[1]->document->setAttribute(L"bgcolor", L"red", 1);  // the user's unsaved edit
    openPage(L"x.htm");
    runQueue({L"a.htm"});

    const auto a = At(L"a.htm");
    const auto x = At(L"x.htm");
    const std::vector<std::wstring> expected = {
        L"Application.activeWebWindow",
        L"WebWindow.pageWindows",
        L"PageWindows.count",
        L"Application.activePageWindow",
        L"Application.activeWeb",
        L"Web.locateFile(" + Url(L"a.htm") + L")",
        L"Application.activeWebWindow",
        L"WebWindow.pageWindows",
        L"PageWindows.count",
        L"Application.activeWebWindow",
        L"WebWindow.pageWindows",
        L"PageWindows.item(0)",
        L"PageWindow.file" + x,
        L"WebFile.url" + x,
        L"Application.activeWebWindow",
        L"WebWindow.pageWindows",
        L"PageWindows.item(1)",
        L"PageWindow.file" + a,
        L"WebFile.url" + a,
        L"WebFile.url" + a,
        L"WebFile.open" + a,
        L"Application.activePageWindow",
        L"PageWindow.viewMode" + a,
        L"Application.activePageWindow",
        L"PageWindow.setViewMode" + a + L"(1)",
        L"PageWindow.document" + a,
        L"Document.body" + a,
        L"Body.removeAttribute" + a + L"(topmargin,1)",
        L"Body.removeAttribute" + a + L"(leftmargin,1)",
        L"Body.removeAttribute" + a + L"(marginheight,1)",
        L"Body.removeAttribute" + a + L"(marginwidth,1)",
        L"PageWindow.document" + a,
        L"Document.body" + a,
        L"Body.setAttribute" + a + L"(topmargin=10,1)",
        L"Application.commandBars",
        L"CommandBars.item(menu bar)",
        L"CommandBar.findControl[Menu Bar](3,true)",
        L"Control.execute[&Save]",
        L"Application.activePageWindow",
        L"PageWindow.setViewMode" + a + L"(2)",
        L"Application.activeWebWindow",
        L"WebWindow.pageWindows",
        L"PageWindows.count",
        L"PageWindow.activate" + x,
    };
    EXPECT_EQ(host.recorder().calls(), expected);
    // Saved together with the user's own edit, still open, view mode as it was.
    EXPECT_EQ(saved(L"a.htm"), (std::vector<Attribute>{{L"bgcolor", L"red"}, {L"topmargin", L"10"}}));
    EXPECT_EQ(openPages(), (std::vector<std::wstring>{Url(L"x.htm"), Url(L"a.htm")}));
    EXPECT_EQ(host.pageWindows()[1]->viewMode, 2);
    EXPECT_EQ(activePage(), Url(L"x.htm"));
    expectSucceeded();
}

TEST_F(ApplyMarginsTest, AllPagesOpensOnlyPagesAndReachesHiddenFolders) {
    web->addFile(L"index.htm");
    web->addFile(L"images/logo.gif");
    web->addFile(L"style.css");
    web->addFile(L"_borders/secret.HTML");
    web->addFile(L"docs/guide.asp");
    web->addFile(L"docs/notes.txt");
    ASSERT_TRUE(web->findFolder(Url(L"_borders"))->excluded());
    run();

    EXPECT_EQ(opened(),
              (std::vector<std::wstring>{At(L"index.htm"), At(L"_borders/secret.HTML"), At(L"docs/guide.asp")}));
    for (const auto* page : {L"index.htm", L"_borders/secret.HTML", L"docs/guide.asp"})
        EXPECT_EQ(saved(page), (std::vector<Attribute>{{L"topmargin", L"10"}}));
    for (const auto* other : {L"images/logo.gif", L"style.css", L"docs/notes.txt"}) EXPECT_EQ(saveCount(other), 0);
    // Nothing is asked of a file but its extension unless it is a page (read again when fetched).
    EXPECT_EQ(calls({L"WebFile.extension"}).size(), 6u + 3u);
    EXPECT_TRUE(openPages().empty());
    expectSucceeded();
}

TEST_F(ApplyMarginsTest, QueuedPagesRunInTheQueuesOrder) {
    for (const auto* path : {L"a.htm", L"b.htm", L"sub/c.htm"}) web->addFile(path);
    runQueue({L"sub/c.htm", L"a.htm", L"b.htm"});
    EXPECT_EQ(opened(), (std::vector<std::wstring>{At(L"sub/c.htm"), At(L"a.htm"), At(L"b.htm")}));
    EXPECT_EQ(calls({L"Control.execute"}).size(), 6u);
    expectSucceeded();
}

TEST_F(ApplyMarginsTest, NothingToDoStillEndsWithTheClosingMessage) {
    web->addFile(L"logo.gif");
    runQueue({});
    expectSucceeded();
    dialog.events.clear();
    messages.shown.clear();

    settings.allPages = true;
    run();  // a web without pages
    EXPECT_TRUE(opened().empty());
    expectSucceeded();
}

TEST_F(ApplyMarginsTest, TheWindowActiveBeforeIsActiveAgainAndNoneIsActivatedWithoutOne) {
    for (const auto* path : {L"a.htm", L"b.htm", L"c.htm"}) web->addFile(path);
    openPage(L"a.htm");
    openPage(L"b.htm");
    openPage(L"a.htm");
    runQueue({L"c.htm", L"b.htm"});
    EXPECT_EQ(activePage(), Url(L"a.htm"));
    EXPECT_EQ(openPages(), (std::vector<std::wstring>{Url(L"a.htm"), Url(L"b.htm")}));

    host.closeWeb();
    host.openWeb(web);
    runQueue({L"c.htm", L"b.htm"});
    EXPECT_TRUE(calls({L"PageWindow.activate"}).empty());
    EXPECT_TRUE(openPages().empty());
}

TEST_F(ApplyMarginsTest, AFramesPageIsEditedItselfNeverThePageInItsFrame) {
    web->addFile(L"main.htm", L"", {{L"text", L"black"}});
    auto& frames = web->addFile(L"frames.htm", L"", {{L"cols", L"*,*"}});
    static_cast<simhost::MemoryPageStore&>(frames.store()).setFirstFrameSource(L"./main.htm#top");
    // As in the editor, the application's active document is the page in the first frame.
    openPage(L"frames.htm");
    host::Application().activeDocument()->body();
    EXPECT_EQ(calls({L"Document.body"}), (std::vector<std::wstring>{L"Document.body" + At(L"main.htm")}));
    host.closeActivePage();

    runQueue({L"frames.htm"});
    EXPECT_EQ(saved(L"frames.htm"), (std::vector<Attribute>{{L"cols", L"*,*"}, {L"topmargin", L"10"}}));
    EXPECT_EQ(saveCount(L"main.htm"), 0);
    expectSucceeded();
}

TEST_F(ApplyMarginsTest, OpenPagesAreMatchedByExactUrl) {
    web->addFile(L"a.htm");
    web->addFile(L"A.htm");
    openPage(L"A.htm");
    runQueue({L"a.htm"});
    // a.htm was not open: it is closed again, and A.htm's window stays untouched.
    EXPECT_EQ(calls({L"Control.execute"}),
              (std::vector<std::wstring>{L"Control.execute[&Save]", L"Control.execute[&Close]"}));
    EXPECT_EQ(openPages(), (std::vector<std::wstring>{Url(L"A.htm")}));
    EXPECT_EQ(saveCount(L"A.htm"), 0);
}

TEST_F(ApplyMarginsTest, AQueuedPageTheWebNoLongerHasStopsTheRunThere) {
    web->addFile(L"a.htm");
    web->addFile(L"c.htm");
    runQueue({L"a.htm", L"gone.htm", L"c.htm"});
    EXPECT_EQ(saveCount(L"a.htm"), 1);
    EXPECT_EQ(saveCount(L"c.htm"), 0);
    EXPECT_TRUE(openPages().empty());
    expectStopped(Url(L"gone.htm"), L"The web has no file");
}

TEST_F(ApplyMarginsTest, AClosedWebStopsTheRunAtItsFirstNeed) {
    web->addFile(L"a.htm");
    host.closeWeb();
    runQueue({L"a.htm"});
    expectStopped(Url(L"a.htm"), L"No web is open");

    messages.shown.clear();
    dialog.events.clear();
    settings.allPages = true;
    run();
    expectStopped(L"", L"No web is open");
}

TEST_F(ApplyMarginsTest, AMissingSaveOrCloseCommandStopsTheRunAndClosesThePageItOpened) {
    struct Case {
        std::int32_t id;
        bool windowRefuses;  // the page's own window will not close it either
        int savesOfB;
        const wchar_t *told, *after;  // before and after b.htm's URL
    };
    const wchar_t* savedTo = L"The margins were applied and saved to ";
    for (const Case c : {Case{3, false, 0, L"The margins could not be applied to ", L"."},
                         Case{106, false, 1, savedTo, L", and the page was closed, but the run stopped there."},
                         Case{106, true, 1, savedTo, L", but closing the page afterwards failed."}}) {
        SCOPED_TRACE(c.id);
        simhost::SimHost fresh;
        host::SetApplication(simhost::InMemoryHost(fresh));
        web = std::make_shared<simhost::WebModel>(kWebUrl);
        fresh.openWeb(web);
        for (const auto* path : {L"a.htm", L"b.htm", L"c.htm"}) web->addFile(path);
        // The command disappears from the menu once a.htm is done and b.htm is open.
        fresh.setChangeListener([&] {
            const auto active = fresh.activePageWindow();
            if (active && active->file->url() == Url(L"b.htm"))
                if (auto control = fresh.menuBar().find(c.id, true)) control->remove();
        });
        if (c.windowRefuses) fresh.recorder().failOn(L"PageWindow.close");
        dialog.events.clear();
        messages.shown.clear();
        ApplyMargins(MarginSettings{}, dialog, messages);

        EXPECT_EQ(saveCount(L"a.htm"), 1);
        EXPECT_EQ(saveCount(L"b.htm"), c.savesOfB);
        EXPECT_EQ(saveCount(L"c.htm"), 0);
        EXPECT_EQ(fresh.pageWindows().size(), c.windowRefuses ? 1u : 0u);
        expectStopped(Url(L"b.htm"), L"no command with Id " + std::to_wstring(c.id));
        EXPECT_EQ(messages.shown.at(0).text.find(c.told + Url(L"b.htm") + c.after + L"\n\n"), 0u);
        fresh.setChangeListener({});
    }
}

TEST_F(ApplyMarginsTest, ARunOverFortyThousandQueuedPagesCompletes) {
    // Beyond what a 16-bit position can count.
    constexpr int kPages = 40000;
    settings.allPages = false;
    for (int i = 0; i < kPages; ++i) {
        const auto path = L"p" + std::to_wstring(i) + L".htm";
        web->addFile(path);
        dialog.queue.push_back(Url(path));
    }
    host.recorder().setRecording(false);
    ApplyMargins(settings, dialog, messages);
    EXPECT_EQ(saveCount(L"p0.htm"), 1);
    EXPECT_EQ(saveCount(L"p32767.htm"), 1);
    EXPECT_EQ(saveCount(L"p39999.htm"), 1);
    EXPECT_TRUE(openPages().empty());
    expectSucceeded();
}

}  // namespace
}  // namespace tavisk::testing
