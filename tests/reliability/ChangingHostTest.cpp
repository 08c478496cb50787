// The dialogs while the host changes under them: the web closed while the options
// dialog (with its about box) or the page chooser is open, then the user's next
// action gets a clear message and nothing is left half-made; or the add-in
// disconnected, which closes them as Cancel would. Either way they can still be
// closed, and the host can load the add-in again and open its dialog.
#include <gtest/gtest.h>

#include <algorithm>

#include "addin/Connect.h"
#include "tests/chooser/ChooserFixture.h"

namespace tavisk::testing {
namespace {

class ChangingHostTest : public ChooserTest {
protected:
    // Every form made so far that is still loaded.
    std::vector<MemoryForm*> loadedForms() const {
        std::vector<MemoryForm*> loaded;
        for (const wchar_t* caption : {frmMain::kCaption, frmAbout::kCaption, frmChooseFiles::kCaption})
            for (auto* form : toolkit->forms(caption))
                if (!form->unloaded() && std::find(loaded.begin(), loaded.end(), form) == loaded.end())
                    loaded.push_back(form);
        return loaded;
    }
    static frmChooseFiles* chooser() { return frmChooseFiles::Exists() ? &frmChooseFiles::Instance() : nullptr; }
    addin::CommandUi commandUi() {
        return {toolkit->messages(), [] { frmMain::Open(); }, [] { frmMain::CloseIfOpen(); }};
    }
    std::shared_ptr<simhost::ControlNode> ourButton() {
        const auto tools = simhost::CommandBarsModel::FindByCaption(*host.menuBar().controls, L"Tools")->childList();
        return tools->items.back()->controls().items.back();
    }
    // The web open, the add-in connected, its command clicked, the top margin ticked.
    frmMain& openWithTopMargin(addin::Connect& connect) {
        host.openWeb(web);
        toolkit->shown().clear();
        connect.OnConnection(simhost::InMemoryHost(host));
        ourButton()->execute();
        auto& dialog = frmMain::Instance();
        Click(dialog.chkTop);
        return dialog;
    }
    // The host loads the add-in again: its command opens a fresh dialog, which closes.
    void expectItLoadsAgain() {
        addin::Connect again(commandUi());
        again.OnConnection(simhost::InMemoryHost(host));
        ourButton()->execute();
        EXPECT_EQ(loadedForms(), (std::vector<MemoryForm*>{mainForm()}));
        EXPECT_TRUE(mainForm()->visible());
        Click(frmMain::Instance().cmdCancel);
        again.OnDisconnection();
        EXPECT_TRUE(loadedForms().empty());
    }
};

TEST_F(ChangingHostTest, TheWebClosedOrTheAddinDisconnectedUnderItsDialogs) {
    enum class Action { Ok, EditQueue, FolderClick, Add, Disconnect };
    struct Case {
        const char* name;
        bool queue;
        bool chooser;  // open when the host changes
        Action action;
        const wchar_t* message;  // what the user is told; nullptr: nothing
    };
    const Case cases[] = {
        {"web closed, OK over all pages", false, false, Action::Ok, L"No web is open in FrontPage."},
        {"web closed, OK over the queue", true, false, Action::Ok, L"No web is open in FrontPage."},
        {"web closed, Edit Queue", true, false, Action::EditQueue,
         L"\"Edit Queue\" failed.\n\nNo web is open in FrontPage."},
        {"web closed, folder click", true, true, Action::FolderClick,
         L"Listing the folder failed.\n\nNo web is open in FrontPage."},
        {"web closed, Add", true, true, Action::Add,
         L"\"Add Selected to Queue\" failed.\n\nNo web is open in FrontPage."},
        {"disconnected, all pages", false, false, Action::Disconnect, nullptr},
        {"disconnected, queue", true, false, Action::Disconnect, nullptr},
        {"disconnected, chooser open", true, true, Action::Disconnect, nullptr},
        {"web closed, OK with the chooser open", true, true, Action::Ok, L"No web is open in FrontPage."},
    };
    for (const wchar_t* path : {L"a.htm", L"c.htm", L"docs/b.htm"}) web->addFile(path, L"T");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        addin::Connect connect(commandUi());
        auto& dialog = openWithTopMargin(connect);
        if (c.queue) {
            Click(dialog.optSelect, 1);
            dialog.lvwStaticQueue.add(Entry(L"a.htm", L"A"));
        }
        Click(dialog.cmdAbout);
        ASSERT_NE(aboutForm(), nullptr);
        if (c.chooser) {
            frmChooseFiles& chooser = EditQueue();
            Select(chooser.lvwWebList, Keys(chooser.lvwWebList));
        }
        const auto before = loadedForms();
        const auto queueBefore = Keys(chooser() ? chooser()->lvwQueue : dialog.lvwStaticQueue);

        if (c.action == Action::Disconnect) {
            connect.OnDisconnection();
        } else {
            host.closeWeb();
            if (c.action == Action::Ok) Click(dialog.cmdOK);
            if (c.action == Action::EditQueue) Click(dialog.cmdEditQueue);
            if (c.action == Action::FolderClick) ClickFolder(*chooser(), Url(L"docs"));
            if (c.action == Action::Add) Click(chooser()->cmdAdd);
        }

        EXPECT_EQ(saveCount(L"a.htm"), 0);
        EXPECT_EQ(toolkit->loaded(frmLoading::kCaption), nullptr);
        for (const auto& progress : toolkit->progressWindows()) EXPECT_TRUE(progress->closed());
        if (!c.message) {
            // Closed as Cancel closes them: nothing applied, nothing said, nothing loaded.
            EXPECT_TRUE(toolkit->shown().empty());
            EXPECT_TRUE(loadedForms().empty());
            EXPECT_FALSE(frmMain::Exists());
            EXPECT_FALSE(frmChooseFiles::Exists());
            expectItLoadsAgain();
            continue;
        }
        ASSERT_EQ(toolkit->shown().size(), 1u);
        EXPECT_EQ(toolkit->shown()[0].title, L"Tavisk 2002");
        EXPECT_EQ(toolkit->shown()[0].icon, ui::MessageIcon::Error);
        if (c.action == Action::Ok) {
            EXPECT_NE(toolkit->shown()[0].text.find(c.message), std::wstring::npos)
                << base::ToUtf8(toolkit->shown()[0].text);
        } else {
            EXPECT_EQ(toolkit->shown()[0].text, c.message);
        }
        // The same windows as before, each whole and shown with the user's choices.
        ASSERT_TRUE(frmMain::Exists());
        EXPECT_EQ(&frmMain::Instance(), &dialog);
        EXPECT_TRUE(mainForm()->visible());
        EXPECT_EQ(dialog.chkTop.value(), 1);
        EXPECT_EQ(dialog.lvwStaticQueue.count(), c.queue ? 1 : 0);
        EXPECT_EQ(Keys(chooser() ? chooser()->lvwQueue : dialog.lvwStaticQueue), queueBefore);
        // A run closes the about box and the chooser first.
        EXPECT_EQ(loadedForms(), c.action == Action::Ok ? std::vector<MemoryForm*>{mainForm()} : before);
        if (chooser()) {
            EXPECT_TRUE(chooserForm()->visible());
        }

        // The user closes it: everything goes, and the host can load the add-in again.
        Click(dialog.cmdCancel);
        EXPECT_TRUE(loadedForms().empty());
        EXPECT_FALSE(frmMain::Exists());
        EXPECT_FALSE(frmChooseFiles::Exists());
        host.openWeb(web);
        connect.OnDisconnection();
        expectItLoadsAgain();
    }
}

// A disconnection between two pages of a run, as it can arrive while the progress
// window handles its messages: the page in hand is finished, the run stops before
// the next one, and the dialog closes without a word. Inside a page's host call,
// after which the host refuses the add-in: the page the run opened is closed
// through its own window, unsaved, and the user is told; once that page is saved,
// the user is told it was, and what failed after.
TEST_F(ChangingHostTest, ADisconnectionDuringARunStopsItAndClosesTheDialog) {
    constexpr int kPages = 10;
    constexpr int kLastDone = 3;
    const auto page = [](int i) { return L"p" + std::to_wstring(i) + L".htm"; };
    enum class Moment { BetweenPages, BeforeTheSave, AfterTheSave };
    for (const auto moment : {Moment::BetweenPages, Moment::BeforeTheSave, Moment::AfterTheSave}) {
        const bool inPage = moment != Moment::BetweenPages;
        const int lastSaved = moment == Moment::AfterTheSave ? kLastDone + 1 : kLastDone;
        web = std::make_shared<simhost::WebModel>(kWebUrl);
        for (int i = 0; i < kPages; ++i) web->addFile(page(i), L"", {{L"text", L"black"}});
        addin::Connect connect(commandUi());
        auto& dialog = openWithTopMargin(connect);
        Click(dialog.cmdAbout);
        bool disconnected = false;
        host.setChangeListener([&] {
            // Between pages: page kLastDone's window has just closed. Inside: the next page is in view mode 1.
            const auto active = host.activePageWindow();
            if (disconnected || saveCount(page(lastSaved)) == 0 ||
                (inPage ? !active || active->viewMode != 1 || active->file->url() != Url(page(kLastDone + 1))
                        : !openPages().empty()))
                return;
            // Nothing of the add-in is entered meanwhile, as through a modal loop of the system's.
            ourButton()->execute();
            for (auto* button : {&dialog.cmdOK, &dialog.cmdEditQueue, &dialog.cmdCancel}) Click(*button);
            EXPECT_FALSE(mainForm()->visible() || !frmMain::Exists() || aboutForm());
            disconnected = true;
            connect.OnDisconnection();
        });
        Click(dialog.cmdOK);
        host.setChangeListener({});

        ASSERT_TRUE(disconnected);
        for (int i = 0; i < kPages; ++i) EXPECT_EQ(saveCount(page(i)), i <= lastSaved ? 1 : 0) << i;
        EXPECT_TRUE(openPages().empty());
        EXPECT_EQ(toolkit->shown().size(), inPage ? 1u : 0u);
        if (inPage) {
            EXPECT_EQ(toolkit->shown().at(0).text,
                      (moment == Moment::AfterTheSave
                           ? L"The margins were applied and saved to " + Url(page(kLastDone + 1)) +
                                 L", and the page was closed, but the run stopped there."
                           : L"The margins could not be applied to " + Url(page(kLastDone + 1)) + L".") +
                          L"\n\nThe add-in is not connected to a host application.");
        }
        EXPECT_TRUE(loadedForms().empty());
        EXPECT_FALSE(frmMain::Exists());
        for (const auto& progress : toolkit->progressWindows()) EXPECT_TRUE(progress->closed());
        expectItLoadsAgain();
    }
}

}  // namespace
}  // namespace tavisk::testing
