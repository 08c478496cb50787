// Opening the page chooser: the wait window, the folder tree, the root folder's
// listing, the queue copied in, and the load's failures.
#include <gtest/gtest.h>

#include "chooser/PageEntry.h"
#include "chooser/ResourceIds.h"
#include "ui/ProductIcon.h"
#include "tests/chooser/ChooserFixture.h"

namespace tavisk::testing {
namespace {

using ui::Rect;

TEST(ChooserTextTest, RootTextAndFolderOfPage) {
    const struct {
        const wchar_t* url;
        const wchar_t* text;
    } roots[] = {
        {L"file:///C:/Webs/site/", L"C:/Webs/site"},
        {L"FILE:///C:/Webs/site/", L"C:/Webs/site"},
        {L"File:///C:/Webs/site/", L"C:/Webs/site"},
        {L"http://server/site/", L"http://server/site/"},
        {L"http://server/site", L"http://server/site"},
        // Only a closing "/" is dropped.
        {L"file:///C:/Webs/site", L"C:/Webs/site"},
        {L"file:///", L""},
        {L"file://", L"file://"},
    };
    for (const auto& root : roots) EXPECT_EQ(RootText(root.url), root.text) << base::ToUtf8(root.url);

    // Only the name at the end goes, whatever occurs earlier in the URL.
    EXPECT_EQ(FolderOfPage(L"file:///C:/w/class.htm/s.htm", L"s.htm"), L"file:///C:/w/class.htm/");
    EXPECT_EQ(FolderOfPage(L"file:///C:/w/a.htm/a.htm", L"a.htm"), L"file:///C:/w/a.htm/");
    EXPECT_EQ(FolderOfPage(L"file:///C:/w/sub/page.htm", L"page.htm"), L"file:///C:/w/sub/");
    EXPECT_EQ(FolderOfPage(L"file:///C:/w/sub/page.htm", L"other.htm"), L"file:///C:/w/sub/page.htm");
}

TEST_F(ChooserTest, EditQueueShowsTheWaitWindowThenTheFilledChooserInItsLayout) {
    web->addFile(L"index.htm", L"Home");
    frmChooseFiles& chooser = EditQueue();

    const auto waits = toolkit->forms(frmLoading::kCaption);
    ASSERT_EQ(waits.size(), 1u);
    const MemoryForm& wait = *waits[0];
    EXPECT_TRUE(wait.design().toolWindow);
    EXPECT_TRUE(wait.design().centreOnScreen);
    EXPECT_EQ(wait.design().owner, nullptr);
    EXPECT_EQ(wait.design().icon, 0);
    EXPECT_EQ(wait.mousePointer(), ui::MousePointer::ArrowHourglass);
    // Painted at once after it came to the front, and gone before the chooser shows.
    EXPECT_EQ(wait.events(), (std::vector<std::wstring>{L"show", L"front", L"refresh", L"hide", L"unload"}));
    ASSERT_EQ(wait.placed().size(), 3u);
    EXPECT_EQ(wait.placed()[0].caption, L"Loading Web.  This may take a minute.");
    EXPECT_EQ(wait.placed()[1].caption, L"Please wait...");
    for (int i = 0; i < 2; ++i) EXPECT_EQ(wait.placed()[static_cast<size_t>(i)].align, ui::TextAlign::Centre);
    EXPECT_EQ(wait.placed()[2].kind, L"frame");
    EXPECT_EQ(wait.placed()[2].caption, L"");
    EXPECT_EQ(wait.placed()[2].rect, (Rect{0, 0, wait.design().clientWidth, wait.design().clientHeight}));

    const MemoryForm& form = *chooserForm();
    EXPECT_EQ(form.design().icon, IDI_TAVISK);
    EXPECT_FALSE(form.design().taskbarButton);
    EXPECT_FALSE(form.design().toolWindow);
    EXPECT_EQ(form.design().owner, nullptr);
    EXPECT_EQ(form.events(), (std::vector<std::wstring>{L"show", L"front"}));
    EXPECT_TRUE(form.visible());
    EXPECT_TRUE(mainForm()->visible());

    ExpectLaidOut(form, {
                            {L"tree", L"", L""},
                            {L"label", L"Look in:", L""},
                            {L"list", L"", L""},
                            {L"button", L"&Add Selected to Queue", L""},
                            {L"label", L"Files in selected folder (bold indicates file already in queue):", L""},
                            {L"list", L"", L""},
                            {L"label", L"Files in queue:", L""},
                            {L"button", L"Re&move Selected from Queue", L""},
                            {L"button", L"Cancel", L""},
                            {L"button", L"OK", L""},
                            {L"rule", L"", L""},
                        });
    const auto columns = [](const ui::ListView& list) {
        std::vector<std::wstring> texts;
        for (const auto& column : list.columns())
            texts.push_back(column.caption + L"/" + column.key + L"/" + std::to_wstring(column.width));
        return texts;
    };
    EXPECT_EQ(columns(chooser.lvwWebList), (std::vector<std::wstring>{L"Name/name/1440", L"Title/title/3300"}));
    EXPECT_EQ(columns(chooser.lvwQueue),
              (std::vector<std::wstring>{L"Name/name/1440", L"Title/title/2440", L"Located in/location/4100"}));
    EXPECT_EQ(Tree(chooser).imageStrip().bitmap, IDB_WEBLIST);
    EXPECT_EQ(Tree(chooser).imageStrip().size, 16);
    EXPECT_EQ(Tree(chooser).imageStrip().mask, 0xC0C0C0u);

    // Enter presses OK, Esc presses Cancel: each closes the chooser.
    static_cast<MemoryForm&>(chooser.form()).userPressEscape();
    EXPECT_FALSE(frmChooseFiles::Exists());
    EditQueue();
    chooserForm()->userPressEnter();
    EXPECT_FALSE(frmChooseFiles::Exists());
}

TEST_F(ChooserTest, TheTreeHoldsEveryShownFolderInTheHostsOrderAndNothingBelowAnExcludedOne) {
    web->folderAt(L"zeta/deep");
    web->folderAt(L"alpha");
    web->folderAt(L"zeta/apple");
    web->folderAt(L"_themes/inner");  // hidden by its name; inner is not, but lies below it
    web->folderAt(L"_private");       // the one "_" folder the editor shows
    frmChooseFiles& chooser = EditQueue();

    MemoryTreeView& tree = Tree(chooser);
    const std::wstring root = Url(L"");
    EXPECT_EQ(tree.children(L""), (std::vector<std::wstring>{root}));
    EXPECT_EQ(tree.text(root), L"C:/Webs/site");
    EXPECT_EQ(tree.children(root), (std::vector<std::wstring>{Url(L"zeta"), Url(L"alpha"), Url(L"_private")}));
    EXPECT_EQ(tree.children(Url(L"zeta")), (std::vector<std::wstring>{Url(L"zeta/deep"), Url(L"zeta/apple")}));
    EXPECT_TRUE(tree.children(Url(L"alpha")).empty());
    EXPECT_EQ(tree.count(), 6);
    EXPECT_EQ(tree.text(Url(L"zeta/apple")), L"apple");
    EXPECT_EQ(tree.image(root), frmChooseFiles::kImageWeb);
    EXPECT_EQ(tree.selectedImage(root), frmChooseFiles::kImageWeb);
    for (const auto* path : {L"zeta", L"alpha", L"_private", L"zeta/deep", L"zeta/apple"}) {
        EXPECT_EQ(tree.image(Url(path)), frmChooseFiles::kImageClosed);
        EXPECT_EQ(tree.selectedImage(Url(path)), frmChooseFiles::kImageClosed);
        EXPECT_FALSE(tree.expanded(Url(path)));
    }
    EXPECT_FALSE(tree.expanded(root));
    EXPECT_EQ(tree.selectedKey(), L"");
    // One walk of each shown folder's subfolders; none below an excluded one.
    EXPECT_EQ(host.recorder().countOf(L"WebFolder.subFolders"), 6);
}

TEST_F(ChooserTest, TheRootFoldersPagesAreListedBoldWhenTheCopiedQueueHoldsThem) {
    web->addFile(L"b.htm", L"Bee");
    web->addFile(L"A.Html", L"Ay");
    web->addFile(L"shop.ASP", L"Shop");
    web->addFile(L"c.shtml", L"");
    web->addFile(L"d.php", L"");
    web->addFile(L"logo.gif", L"");
    web->addFile(L"sub/e.htm", L"Sub");
    const std::vector<ui::ListItem> queue = {
        Entry(L"b.htm", L"Bee", L""),
        Entry(L"sub/e.htm", L"Sub", L"sub/"),
        // A tag differing from a page's URL only in case marks nothing.
        {Url(L"a.html"), L"a.html", {L"Ay", L""}, Url(L"a.html")},
    };
    frmChooseFiles& chooser = EditQueue(queue);

    EXPECT_EQ(Column(chooser.lvwWebList, 0), (std::vector<std::wstring>{L"A.Html", L"b.htm", L"shop.ASP"}));
    EXPECT_EQ(Column(chooser.lvwWebList, 1), (std::vector<std::wstring>{L"Ay", L"Bee", L"Shop"}));
    EXPECT_EQ(Bold(chooser.lvwWebList), (std::vector<std::wstring>{L"b.htm"}));
    const ui::ListItem& page = *chooser.lvwWebList.find(Url(L"b.htm"));
    EXPECT_EQ(page.tag, Url(L"b.htm"));
    EXPECT_EQ(page.subItems, (std::vector<std::wstring>{L"Bee"}));

    // Each entry copied whole, under its tag.
    ASSERT_EQ(chooser.lvwQueue.count(), 3);
    for (const auto& entry : queue) {
        const ui::ListItem* copied = chooser.lvwQueue.find(entry.tag);
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->text, entry.text);
        EXPECT_EQ(copied->subItems, entry.subItems);
        EXPECT_EQ(copied->tag, entry.tag);
    }
    // With a queue the Remove button is enabled on activation; the list was shown once.
    EXPECT_TRUE(chooser.cmdRemove.enabled());
    EXPECT_EQ(Of<MemoryListView>(chooser.lvwWebList).redraws(), 1);
}

TEST_F(ChooserTest, AnEmptyQueueAndAWebWithoutSubfoldersGiveAnEmptyQueueAndOneNode) {
    frmChooseFiles& chooser = EditQueue();
    EXPECT_EQ(chooser.lvwQueue.count(), 0);
    EXPECT_EQ(chooser.lvwWebList.count(), 0);
    EXPECT_EQ(chooser.tvwWebList.count(), 1);
    EXPECT_FALSE(chooser.cmdRemove.enabled());
    static_cast<MemoryForm&>(chooser.form()).userDeactivate();
    chooser.lvwQueue.add(Entry(L"x.htm", L"X"));
    static_cast<MemoryForm&>(chooser.form()).userActivate();
    EXPECT_TRUE(chooser.cmdRemove.enabled());
}

TEST_F(ChooserTest, ClickingAFolderListsItsPagesAndKeepsOtherFoldersQueued) {
    web->addFile(L"index.htm", L"Home");
    web->addFile(L"docs/guide.htm", L"Guide");
    web->addFile(L"docs/notes.htm", L"Notes");
    web->addFile(L"docs/pic.gif", L"");
    web->folderAt(L"empty");
    frmChooseFiles& chooser = EditQueue({Entry(L"docs/notes.htm", L"Notes", L"docs/")});
    DoubleClick(chooser.lvwWebList, Url(L"index.htm"));

    ClickFolder(chooser, Url(L"docs"));
    EXPECT_EQ(Column(chooser.lvwWebList, 0), (std::vector<std::wstring>{L"guide.htm", L"notes.htm"}));
    EXPECT_EQ(Bold(chooser.lvwWebList), (std::vector<std::wstring>{L"notes.htm"}));
    EXPECT_EQ(Keys(chooser.lvwQueue), (std::vector<std::wstring>{Url(L"index.htm"), Url(L"docs/notes.htm")}));
    ClickFolder(chooser, Url(L"empty"));
    EXPECT_EQ(chooser.lvwWebList.count(), 0);
    ClickFolder(chooser, Url(L""));  // the root node lists the root folder
    EXPECT_EQ(Bold(chooser.lvwWebList), (std::vector<std::wstring>{L"index.htm"}));
}

TEST_F(ChooserTest, ASecondEditQueueBringsTheOpenChooserForwardAndLoadsNothing) {
    web->addFile(L"index.htm", L"Home");
    frmChooseFiles& chooser = EditQueue();
    DoubleClick(chooser.lvwWebList, Url(L"index.htm"));
    const int loads = host.recorder().countOf(L"Web.rootFolder");
    Click(frmMain::Instance().cmdEditQueue);

    EXPECT_EQ(&frmChooseFiles::Instance(), &chooser);
    EXPECT_EQ(host.recorder().countOf(L"Web.rootFolder"), loads);
    EXPECT_EQ(toolkit->forms(frmLoading::kCaption).size(), 1u);
    EXPECT_EQ(chooser.lvwQueue.count(), 1);
    EXPECT_EQ(chooserForm()->events(), (std::vector<std::wstring>{L"show", L"front", L"show", L"front"}));
    EXPECT_TRUE(toolkit->shown().empty());
}

TEST_F(ChooserTest, AFailingLoadIsReportedAndLeavesNeitherWindow) {
    web->folderAt(L"docs/deep");
    web->addFile(L"index.htm", L"Home");
    const struct {
        const wchar_t* operation;
        int nth;
    } failures[] = {
        {L"Web.rootFolder", 1}, {L"WebFolder.subFolders", 2},    {L"WebFolder.name", 1},
        {L"WebFile.title", 1},  {L"Application.relativeUrl", 2},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(base::ToUtf8(failure.operation));
        toolkit->shown().clear();
        host.recorder().failOn(failure.operation, failure.nth, host::kErrorFail, L"The host refused.");
        PressEditQueue();
        ASSERT_EQ(toolkit->shown().size(), 1u);
        EXPECT_EQ(toolkit->shown()[0].text, L"\"Edit Queue\" failed.\n\nThe host refused.");
        EXPECT_EQ(toolkit->shown()[0].icon, ui::MessageIcon::Error);
        EXPECT_FALSE(frmChooseFiles::Exists());
        EXPECT_EQ(toolkit->loaded(frmLoading::kCaption), nullptr);
        EXPECT_EQ(chooserForm(), nullptr);
        EXPECT_TRUE(mainForm()->visible());
    }
    // With the web closed in the host meanwhile.
    toolkit->shown().clear();
    host.closeWeb();
    PressEditQueue();
    ASSERT_EQ(toolkit->shown().size(), 1u);
    EXPECT_EQ(toolkit->shown()[0].text, L"\"Edit Queue\" failed.\n\nNo web is open in FrontPage.");
    EXPECT_EQ(toolkit->loaded(frmLoading::kCaption), nullptr);
}

TEST_F(ChooserTest, ClosingTheOptionsDialogClosesTheChooserWithoutCopying) {
    web->addFile(L"index.htm", L"Home");
    frmChooseFiles& chooser = EditQueue();
    DoubleClick(chooser.lvwWebList, Url(L"index.htm"));
    Click(frmMain::Instance().cmdCancel);
    EXPECT_FALSE(frmMain::Exists());
    EXPECT_FALSE(frmChooseFiles::Exists());
    EXPECT_EQ(chooserForm(), nullptr);
}

}  // namespace
}  // namespace tavisk::testing
