#include "dialogs/frmAbout.h"

#include <gtest/gtest.h>

#include "ui/ProductIcon.h"
#include "dialogs/Version.h"
#include "tests/dialogs/DialogFixture.h"

namespace tavisk::testing {
namespace {

class FrmAboutTest : public DialogTest {
protected:
    MemoryForm& openAbout() {
        Click(Open().cmdAbout);
        EXPECT_NE(aboutForm(), nullptr);
        return *aboutForm();
    }
};

TEST_F(FrmAboutTest, ShowsTheProductAndItsVersionOnTopOfTheOptionsDialog) {
    MemoryForm& about = openAbout();
    EXPECT_EQ(about.design().caption, L"About Tavisk 2002");
    EXPECT_EQ(about.design().icon, IDI_TAVISK);
    EXPECT_EQ(about.design().owner, mainForm());
    EXPECT_EQ(about.events(), (std::vector<std::wstring>{L"show", L"front"}));

    ExpectLaidOut(
        about,
        {
            {L"label", L"Halvern Tavisk 2002 (SR-1)", L""},
            {L"label", std::wstring(L"Version ") + kProductVersion, L""},
            {L"label", L"An add-in for Microsoft FrontPage 2002.", L""},
            {L"label", L"Sets the top and left margins of a web's pages, for Internet Explorer and Netscape.", L""},
            {L"button", L"OK", L""},
            {L"picture", std::to_wstring(IDI_TAVISK), L""},
        });
    ASSERT_FALSE(about.fonts().empty());
    const ui::Font& font = about.fonts()[0];
    EXPECT_EQ(std::tie(font.face, font.points, font.bold), std::tuple(std::wstring(L"MS Sans Serif"), 8.25, true));
    EXPECT_TRUE(mainForm()->visible());
}

TEST_F(FrmAboutTest, OkEnterTheCloseBoxAndLosingActivationEachCloseItAndTheNextIsNew) {
    const std::vector<std::function<void(MemoryForm&)>> closers = {
        [](MemoryForm& form) { form.userPressEnter(); },
        [](MemoryForm& form) { form.userDeactivate(); },
        [](MemoryForm& form) { form.userClose(); },
    };
    for (size_t i = 0; i < closers.size(); ++i) {
        MemoryForm& about = openAbout();
        closers[i](about);
        EXPECT_EQ(about.events(), (std::vector<std::wstring>{L"show", L"front", L"hide", L"unload"})) << i;
        EXPECT_FALSE(frmAbout::IsOpen());
        EXPECT_EQ(toolkit->forms(frmAbout::kCaption).size(), i + 1);
        EXPECT_TRUE(mainForm()->visible());
    }
    // Esc is no key of the about box.
    MemoryForm& about = openAbout();
    about.userPressEscape();
    EXPECT_TRUE(frmAbout::IsOpen());
}

TEST_F(FrmAboutTest, OpeningItWhileOpenShowsTheSameBox) {
    openAbout();
    Click(frmMain::Instance().cmdAbout);
    EXPECT_EQ(toolkit->forms(frmAbout::kCaption).size(), 1u);
    EXPECT_EQ(aboutForm()->events(), (std::vector<std::wstring>{L"show", L"front", L"show", L"front"}));
}

TEST_F(FrmAboutTest, DiscardingTheOptionsDialogClosesItsAboutBox) {
    MemoryForm& about = openAbout();
    Click(frmMain::Instance().cmdCancel);
    EXPECT_TRUE(about.unloaded());
    EXPECT_FALSE(frmAbout::IsOpen());
    EXPECT_FALSE(frmMain::Exists());
}

}  // namespace
}  // namespace tavisk::testing
