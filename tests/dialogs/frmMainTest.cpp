#include "dialogs/frmMain.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "dialogs/PageChooser.h"
#include "ui/ProductIcon.h"
#include "tests/dialogs/DialogFixture.h"

namespace tavisk::testing {
namespace {

class FrmMainTest : public DialogTest {
protected:
    void expectFresh(frmMain& dialog) {
        EXPECT_EQ(dialog.chkTop.value(), 0);
        EXPECT_EQ(dialog.chkLeft.value(), 0);
        for (ui::TextBox* box : {&dialog.txtTop, &dialog.txtLeft}) {
            EXPECT_EQ(box->text(), L"0");
            EXPECT_FALSE(box->enabled());
        }
        EXPECT_FALSE(dialog.udTop.enabled());
        EXPECT_FALSE(dialog.udLeft.enabled());
        EXPECT_EQ(dialog.udTop.position(), 0);
        EXPECT_EQ(dialog.udLeft.position(), 0);
        EXPECT_EQ(dialog.optPlatform.chosen(), 0);
        EXPECT_EQ(dialog.optSelect.chosen(), 0);
        EXPECT_TRUE(dialog.optSelect.enabled(1));
        EXPECT_FALSE(dialog.cmdEditQueue.enabled());
        EXPECT_FALSE(dialog.lvwStaticQueue.enabled());
        EXPECT_EQ(dialog.lvwStaticQueue.count(), 0);
        EXPECT_EQ(dialog.lvwStaticQueue.sortState(), (ui::SortState{0, ui::kAscending}));
        EXPECT_TRUE(dialog.cmdOK.enabled());
        EXPECT_TRUE(dialog.cmdCancel.enabled());
        EXPECT_TRUE(dialog.cmdAbout.enabled());
    }
};

TEST_F(FrmMainTest, TheWindowHoldsEveryControlInTabOrderInItsFrame) {
    Open();
    const MemoryForm& form = *mainForm();
    EXPECT_EQ(form.design().caption, L"Tavisk 2002");
    EXPECT_EQ(form.design().icon, IDI_TAVISK);
    const std::wstring margins = L"Margins", files = L"Files to be processed (if processing selected page(s))",
                       scope = L"Apply to", compatibility = L"Compatibility";
    ExpectLaidOut(form, {
                            {L"check", L"&Top margin", margins},
                            {L"text", L"0", margins},
                            {L"updown", L"", margins},
                            {L"check", L"&Left margin", margins},
                            {L"text", L"0", margins},
                            {L"updown", L"", margins},
                            {L"option", L"&Both Internet Explorer and Netscape", compatibility},
                            {L"option", L"Internet &Explorer only", compatibility},
                            {L"option", L"&Netscape only", compatibility},
                            {L"option", L"&All pages", scope},
                            {L"option", L"Selected &page(s)", scope},
                            {L"list", L"", files},
                            {L"button", L"Edit &Queue", files},
                            {L"frame", margins, L""},
                            {L"frame", files, L""},
                            {L"frame", scope, L""},
                            {L"frame", compatibility, L""},
                            {L"button", L"About...", L""},
                            {L"button", L"Cancel", L""},
                            {L"button", L"OK", L""},
                        });
    const auto& columns = frmMain::Instance().lvwStaticQueue.columns();
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].caption, L"Name");
    EXPECT_EQ(columns[1].caption, L"Title");
    EXPECT_EQ(columns[2].caption, L"Located in");
    EXPECT_EQ(columns[0].width + columns[1].width + columns[2].width, 2000 + 2001 + 3800);
    EXPECT_EQ(frmMain::Instance().udTop.maximum(), 99);
    EXPECT_EQ(frmMain::Instance().udLeft.maximum(), 80);
}

TEST_F(FrmMainTest, AFreshDialogIsShownOnTopInItsDesignState) {
    auto& dialog = Open();
    expectFresh(dialog);
    EXPECT_TRUE(dialog.optSelect.enabled(0));
    EXPECT_EQ(mainForm()->events(), (std::vector<std::wstring>{L"show", L"front"}));
    EXPECT_TRUE(mainForm()->visible());
    EXPECT_TRUE(mainForm()->topmost());

    // A second opening shows the same dialog with what the user did in it.
    Click(dialog.chkTop);
    Open();
    EXPECT_EQ(toolkit->forms(frmMain::kCaption).size(), 1u);
    EXPECT_EQ(frmMain::Instance().chkTop.value(), 1);
}

TEST_F(FrmMainTest, WithNoWebAllPagesIsGreyedButChosenAndCannotBeChosenAgain) {
    host.closeWeb();
    auto& dialog = Open();
    EXPECT_FALSE(dialog.optSelect.enabled(0));
    EXPECT_EQ(dialog.optSelect.chosen(), 0);
    EXPECT_FALSE(dialog.cmdEditQueue.enabled());
    Click(dialog.optSelect, 1);
    EXPECT_TRUE(dialog.cmdEditQueue.enabled());
    Click(dialog.optSelect, 0);
    EXPECT_EQ(dialog.optSelect.chosen(), 1);
    EXPECT_TRUE(dialog.lvwStaticQueue.enabled());
}

TEST_F(FrmMainTest, TickingAMarginEnablesItsBoxAndArrowsAndUntickingKeepsTheText) {
    auto& dialog = Open();
    struct Set {
        ui::CheckBox& check;
        ui::TextBox& text;
        ui::UpDown& upDown;
        ui::TextBox& otherText;
    };
    for (const Set& set : {Set{dialog.chkTop, dialog.txtTop, dialog.udTop, dialog.txtLeft},
                           Set{dialog.chkLeft, dialog.txtLeft, dialog.udLeft, dialog.txtTop}}) {
        const bool otherWas = set.otherText.enabled();
        Click(set.check);
        EXPECT_TRUE(set.text.enabled());
        EXPECT_TRUE(set.upDown.enabled());
        set.text.setText(L"17");
        Click(set.check);
        EXPECT_FALSE(set.text.enabled());
        EXPECT_FALSE(set.upDown.enabled());
        EXPECT_EQ(set.text.text(), L"17");
        Click(set.check);
        EXPECT_EQ(set.text.text(), L"17");
        EXPECT_TRUE(set.text.enabled());
        EXPECT_EQ(set.otherText.enabled(), otherWas);
    }
}

TEST_F(FrmMainTest, TheArrowsWriteOnlyValuesWithinTheirRange) {
    auto& dialog = Open();
    // Greyed at load: the arrows do nothing.
    Arrow(dialog.udTop, +1);
    EXPECT_EQ(dialog.txtTop.text(), L"0");

    Click(dialog.chkTop);
    Click(dialog.chkLeft);
    struct Pair {
        ui::UpDown& upDown;
        ui::TextBox& text;
        int maximum;
    };
    for (const Pair& pair : {Pair{dialog.udTop, dialog.txtTop, 99}, Pair{dialog.udLeft, dialog.txtLeft, 80}}) {
        std::vector<std::wstring> written;
        for (int i = 0; i < pair.maximum + 20; ++i) {
            Arrow(pair.upDown, +1);
            written.push_back(pair.text.text());
        }
        for (int i = 0; i < pair.maximum + 20; ++i) {
            Arrow(pair.upDown, -1);
            written.push_back(pair.text.text());
        }
        for (const auto& text : written) {
            const int value = std::stoi(text);
            EXPECT_GE(value, 0);
            EXPECT_LE(value, pair.maximum);
        }
        EXPECT_EQ(written[static_cast<size_t>(pair.maximum - 1)], std::to_wstring(pair.maximum));
        EXPECT_EQ(written.back(), L"0");

        // A typed number is where the arrows start; other text leaves the position.
        pair.text.setText(L"40");
        Arrow(pair.upDown, +1);
        EXPECT_EQ(pair.text.text(), L"41");
        pair.text.setText(L"1000");
        Arrow(pair.upDown, -1);
        EXPECT_EQ(pair.text.text(), L"40");
        pair.text.setText(L"ten");
        Arrow(pair.upDown, +1);
        EXPECT_EQ(pair.text.text(), L"41");
    }
}

TEST_F(FrmMainTest, FocusInAMarginBoxSelectsItsWholeText) {
    auto& dialog = Open();
    Click(dialog.chkTop);
    Click(dialog.chkLeft);
    for (ui::TextBox* box : {&dialog.txtTop, &dialog.txtLeft}) {
        box->setText(L"12345");
        box->select(2, 0);
        Of<MemoryTextBox>(*box).userFocus();
        EXPECT_EQ(box->selectionStart(), 0);
        EXPECT_EQ(box->selectionLength(), 5);
        Of<MemoryTextBox>(*box).userType(L"8");
        EXPECT_EQ(box->text(), L"8");
    }
}

TEST_F(FrmMainTest, TheScopeOptionsEnableTheQueueAndKeepItsEntries) {
    auto& dialog = Open();
    dialog.lvwStaticQueue.add(Entry(L"a.htm", L"A"));
    Click(dialog.optSelect, 1);
    EXPECT_TRUE(dialog.cmdEditQueue.enabled());
    EXPECT_TRUE(dialog.lvwStaticQueue.enabled());
    Click(dialog.optSelect, 0);
    EXPECT_FALSE(dialog.cmdEditQueue.enabled());
    EXPECT_FALSE(dialog.lvwStaticQueue.enabled());
    EXPECT_EQ(dialog.lvwStaticQueue.count(), 1);
    // The compatibility options change nothing else.
    Click(dialog.optPlatform, 2);
    EXPECT_EQ(dialog.optPlatform.chosen(), 2);
    EXPECT_FALSE(dialog.cmdEditQueue.enabled());
}

TEST_F(FrmMainTest, EnterPressesNothingAndEscOpensTheAboutBox) {
    Open();
    mainForm()->userPressEnter();
    EXPECT_TRUE(frmMain::Exists());
    EXPECT_TRUE(mainForm()->visible());
    EXPECT_TRUE(host.recorder().calls().empty() ||
                host.recorder().callsOf({L"WebFile.open", L"Application.activeWebWindow"}).empty());
    EXPECT_TRUE(toolkit->shown().empty());
    mainForm()->userPressEscape();
    ASSERT_NE(aboutForm(), nullptr);
    EXPECT_TRUE(aboutForm()->visible());
    EXPECT_TRUE(mainForm()->visible());
}

TEST_F(FrmMainTest, CancelOrTheCloseBoxDiscardsTheDialogAndTheNextOneIsFresh) {
    for (const bool useCloseBox : {false, true}) {
        auto& dialog = Open();
        Click(dialog.chkTop);
        dialog.txtTop.setText(L"5");
        Click(dialog.optPlatform, 1);
        Click(dialog.optSelect, 1);
        dialog.lvwStaticQueue.add(Entry(L"a.htm", L"A"));
        ClickHeader(dialog.lvwStaticQueue, 2);
        MemoryForm* form = mainForm();
        if (useCloseBox) {
            form->userClose();
        } else {
            Click(dialog.cmdCancel);
        }
        EXPECT_EQ(form->events(), (std::vector<std::wstring>{L"show", L"front", L"hide", L"unload"}));
        EXPECT_FALSE(frmMain::Exists());
        EXPECT_TRUE(host.recorder().callsOf({L"WebFile.open"}).empty());

        auto& fresh = Open();
        EXPECT_NE(mainForm(), form);
        expectFresh(fresh);
        Click(fresh.cmdCancel);
    }
}

TEST_F(FrmMainTest, OkRunsOverTheQueueWithTheChoicesOfTheControls) {
    web->addFile(L"a.htm", L"A", {{L"topmargin", L"1"}});
    web->addFile(L"b.htm", L"B");
    web->addFile(L"c.htm", L"C");
    auto& dialog = Open();
    Click(dialog.chkLeft);
    dialog.txtLeft.setText(L" 7px");
    Click(dialog.optPlatform, 2);
    Click(dialog.optSelect, 1);
    dialog.lvwStaticQueue.add(Entry(L"c.htm", L"C"));
    dialog.lvwStaticQueue.add(Entry(L"a.htm", L"A"));
    const auto expected = dialog.settings();
    EXPECT_TRUE(expected.leftOn);
    EXPECT_EQ(expected.leftText, L" 7px");
    EXPECT_FALSE(expected.topOn);
    EXPECT_EQ(expected.platform, Platform::Netscape);
    EXPECT_FALSE(expected.allPages);

    MemoryForm* form = mainForm();
    Click(dialog.cmdOK);
    // The queue in the list's order; only Netscape's left margin, the text unchanged.
    const auto opened = host.recorder().callsOf({L"WebFile.open"});
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[0].find(Url(L"a.htm")), std::wstring::npos);
    EXPECT_NE(opened[1].find(Url(L"c.htm")), std::wstring::npos);
    EXPECT_EQ(saved(L"a.htm"), (std::vector<simhost::Attribute>{{L"marginwidth", L" 7px"}}));
    EXPECT_EQ(saved(L"c.htm"), (std::vector<simhost::Attribute>{{L"marginwidth", L" 7px"}}));
    EXPECT_EQ(saveCount(L"b.htm"), 0);
    EXPECT_EQ(form->events(), (std::vector<std::wstring>{L"show", L"front", L"hide", L"unload"}));
    EXPECT_FALSE(frmMain::Exists());
    ASSERT_EQ(toolkit->shown().size(), 1u);
    EXPECT_EQ(toolkit->shown()[0].text, L"Margin settings have been applied successfully.");

    // The next opening is fresh.
    expectFresh(Open());
}

TEST_F(FrmMainTest, OkOverAllPagesTouchesPagesOnly) {
    web->addFile(L"index.htm", L"Home");
    web->addFile(L"logo.gif");
    web->addFile(L"_private/x.ASP", L"X");
    auto& dialog = Open();
    Click(dialog.chkTop);
    Click(dialog.optPlatform, 1);
    Click(dialog.cmdOK);
    EXPECT_EQ(saved(L"index.htm"), (std::vector<simhost::Attribute>{{L"topmargin", L"0"}}));
    EXPECT_EQ(saved(L"_private/x.ASP"), (std::vector<simhost::Attribute>{{L"topmargin", L"0"}}));
    EXPECT_EQ(saveCount(L"logo.gif"), 0);
    EXPECT_FALSE(frmMain::Exists());
}

TEST_F(FrmMainTest, AFailedRunShowsTheDialogAgainWithItsChoicesAndQueue) {
    auto& dialog = Open();
    Click(dialog.optSelect, 1);
    dialog.lvwStaticQueue.add(Entry(L"gone.htm", L"Moved away"));
    Click(dialog.chkTop);
    Click(dialog.cmdOK);
    ASSERT_TRUE(frmMain::Exists());
    EXPECT_EQ(mainForm()->events(), (std::vector<std::wstring>{L"show", L"front", L"hide", L"show", L"front"}));
    EXPECT_TRUE(mainForm()->visible());
    EXPECT_EQ(frmMain::Instance().lvwStaticQueue.count(), 1);
    EXPECT_EQ(frmMain::Instance().chkTop.value(), 1);
    ASSERT_EQ(toolkit->shown().size(), 1u);
    EXPECT_EQ(toolkit->shown()[0].icon, ui::MessageIcon::Error);
    EXPECT_NE(toolkit->shown()[0].text.find(Url(L"gone.htm")), std::wstring::npos);
}

TEST_F(FrmMainTest, TheEditorWaitsForTheRunUntilItsMessageIsGoneWhicheverWayTheRunEnds) {
    enum class Way { Done, Failed, Disconnected, Thrown };
    web->addFile(L"a.htm", L"A");
    auto& editor = toolkit->editor();
    for (const Way way : {Way::Done, Way::Failed, Way::Disconnected, Way::Thrown}) {
        SCOPED_TRACE(static_cast<int>(way));
        auto& dialog = Open();
        Click(dialog.optSelect, 1);
        dialog.lvwStaticQueue.add(Entry(way == Way::Failed ? L"gone.htm" : L"a.htm", L"A"));
        editor.events.clear();
        const size_t dialogs = toolkit->forms(frmMain::kCaption).size();
        int shows = 0;
        // Under the run's message (inside the wait) the menu command opens no dialog.
        toolkit->boxes().onShow = [&] {
            if (shows++ > 0) return;  // the event boundary's report of the throw, after the run
            frmMain::Open();
            EXPECT_EQ(toolkit->forms(frmMain::kCaption).size(), dialogs);
            if (way == Way::Thrown) throw std::runtime_error("no memory for the box");
        };
        if (way == Way::Disconnected) host.setChangeListener([] { frmMain::CloseIfOpen(); });
        Click(dialog.cmdOK);
        host.setChangeListener({});
        toolkit->boxes().onShow = {};
        std::vector<std::wstring> waited{L"activate", L"disable", L"enable", L"message"};
        if (way == Way::Disconnected) waited.pop_back();  // a closing dialog tells nobody
        EXPECT_EQ(editor.events, waited);
        EXPECT_EQ(shows, way == Way::Disconnected ? 0 : way == Way::Thrown ? 2 : 1);
        if (frmMain::Exists()) frmMain::Instance().unload();
    }
}

class RecordingChooser final : public PageChooser {
public:
    void editQueue(ui::ListView& queue) override {
        handed = &queue;
        if (failure) throw host::HostError(host::kErrorFail, L"The web is not available.");
        queue.clear();
        queue.add({L"file:///C:/Webs/site/new.htm", L"new.htm", {L"New", L""}, L"file:///C:/Webs/site/new.htm"});
    }
    ui::ListView* handed = nullptr;
    bool failure = false;
};

TEST_F(FrmMainTest, EditQueueHandsTheQueueToTheInstalledChooser) {
    auto& dialog = Open();
    Click(dialog.optSelect, 1);

    Click(dialog.cmdEditQueue);  // none installed: the user is told, nothing changes
    ASSERT_EQ(toolkit->shown().size(), 1u);
    EXPECT_EQ(toolkit->shown()[0].title, L"Tavisk 2002");
    EXPECT_EQ(toolkit->shown()[0].icon, ui::MessageIcon::Information);
    EXPECT_NE(toolkit->shown()[0].text.find(L"page chooser"), std::wstring::npos);

    const auto chooser = std::make_shared<RecordingChooser>();
    SetPageChooser(chooser);
    Click(dialog.cmdEditQueue);
    EXPECT_EQ(chooser->handed, &dialog.lvwStaticQueue);
    EXPECT_EQ(Column(dialog.lvwStaticQueue, 0), (std::vector<std::wstring>{L"new.htm"}));
    EXPECT_TRUE(mainForm()->visible());

    // A failure inside the chooser reaches the user as an error naming the command.
    chooser->failure = true;
    Click(dialog.cmdEditQueue);
    ASSERT_EQ(toolkit->shown().size(), 2u);
    EXPECT_EQ(toolkit->shown()[1].icon, ui::MessageIcon::Error);
    EXPECT_EQ(toolkit->shown()[1].title, L"Tavisk 2002");
    EXPECT_EQ(toolkit->shown()[1].text, L"\"Edit Queue\" failed.\n\nThe web is not available.");
    EXPECT_TRUE(frmMain::Exists());
    SetPageChooser(nullptr);
}

TEST_F(FrmMainTest, ALoadThatFailsLeavesNoDialog) {
    host::SetApplication(nullptr);
    EXPECT_THROW(frmMain::Open(), host::HostError);
    EXPECT_FALSE(frmMain::Exists());
    ASSERT_EQ(toolkit->forms(frmMain::kCaption).size(), 1u);
    EXPECT_TRUE(toolkit->forms(frmMain::kCaption)[0]->unloaded());

    host::SetApplication(simhost::InMemoryHost(host));
    Open();
    EXPECT_TRUE(frmMain::Exists());
}

}  // namespace
}  // namespace tavisk::testing
