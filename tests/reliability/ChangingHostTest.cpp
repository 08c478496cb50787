// The options dialog while the host changes under it: the web closed, or the
// add-in disconnected, while the dialog (and its about box) are open. The user's
// next action gets a clear message, nothing is left half-made, and the dialog can
// still be closed and opened again.
#include <gtest/gtest.h>

#include <algorithm>

#include "addin/Connect.h"
#include "tests/dialogs/DialogFixture.h"

namespace tavisk::testing {
namespace {

class ChangingHostTest : public DialogTest {
protected:
    // Every form made so far that is still loaded, by caption.
    std::vector<MemoryForm*> loadedForms() const {
        std::vector<MemoryForm*> loaded;
        for (const wchar_t* caption : {frmMain::kCaption, frmAbout::kCaption})
            for (auto* form : toolkit->forms(caption))
                if (!form->unloaded() && std::find(loaded.begin(), loaded.end(), form) == loaded.end())
                    loaded.push_back(form);
        return loaded;
    }

    std::shared_ptr<simhost::ControlNode> ourButton() {
        const auto tools = simhost::CommandBarsModel::FindByCaption(*host.menuBar().controls, L"Tools")->childList();
        return tools->items.back()->controls().items.back();
    }
};

TEST_F(ChangingHostTest, OkAfterTheHostChangedUnderTheDialogTellsTheUserAndKeepsTheDialogWhole) {
    struct Case {
        const char* name;
        bool queue;
        bool disconnect;  // otherwise the web is closed
        const wchar_t* reason;
    };
    const Case cases[] = {
        {"web closed, all pages", false, false, L"No web is open in FrontPage."},
        {"web closed, queue", true, false, L"No web is open in FrontPage."},
        {"disconnected, all pages", false, true, L"The add-in is not connected to a host application."},
        {"disconnected, queue", true, true, L"The add-in is not connected to a host application."},
    };
    web->addFile(L"a.htm");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.openWeb(web);
        toolkit->shown().clear();
        addin::Connect connect({toolkit->messages(), [] { frmMain::Open(); }});
        connect.OnConnection(simhost::InMemoryHost(host));
        ourButton()->execute();
        auto& dialog = frmMain::Instance();
        Click(dialog.chkTop);
        if (c.queue) {
            Click(dialog.optSelect, 1);
            dialog.lvwStaticQueue.add(Entry(L"a.htm", L"A"));
        }
        Click(dialog.cmdAbout);
        ASSERT_NE(aboutForm(), nullptr);

        if (c.disconnect) {
            connect.OnDisconnection();
        } else {
            host.closeWeb();
        }
        Click(dialog.cmdOK);

        ASSERT_EQ(toolkit->shown().size(), 1u);
        EXPECT_EQ(toolkit->shown()[0].title, L"Tavisk 2002");
        EXPECT_EQ(toolkit->shown()[0].icon, ui::MessageIcon::Error);
        EXPECT_NE(toolkit->shown()[0].text.find(c.reason), std::wstring::npos)
            << host::ToUtf8(toolkit->shown()[0].text);
        EXPECT_EQ(saveCount(L"a.htm"), 0);
        // Only the dialog itself (and its about box) are loaded, the dialog shown
        // again with the user's choices; no progress window is left behind.
        ASSERT_TRUE(frmMain::Exists());
        EXPECT_EQ(&frmMain::Instance(), &dialog);
        EXPECT_TRUE(mainForm()->visible());
        EXPECT_EQ(dialog.chkTop.value(), 1);
        EXPECT_EQ(dialog.lvwStaticQueue.count(), c.queue ? 1 : 0);
        EXPECT_EQ(loadedForms(), (std::vector<MemoryForm*>{mainForm(), aboutForm()}));

        // The user closes it: everything goes, and the host can load the add-in again.
        Click(dialog.cmdCancel);
        EXPECT_TRUE(loadedForms().empty());
        EXPECT_FALSE(frmMain::Exists());
        if (!c.disconnect) {
            host.openWeb(web);
            connect.OnDisconnection();
        }
        addin::Connect again({toolkit->messages(), [] { frmMain::Open(); }});
        again.OnConnection(simhost::InMemoryHost(host));
        ourButton()->execute();
        EXPECT_EQ(loadedForms(), (std::vector<MemoryForm*>{mainForm()}));
        EXPECT_TRUE(mainForm()->visible());
        Click(frmMain::Instance().cmdCancel);
        again.OnDisconnection();
    }
}

}  // namespace
}  // namespace tavisk::testing
