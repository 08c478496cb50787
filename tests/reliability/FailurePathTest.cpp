// Failures on the paths around the run: the menu command's click, the connection
// that fails or is never undone, and what can still fail after the last page.

#include <gtest/gtest.h>

#include "addin/Connect.h"
#include "tests/simhost/SimHostFixture.h"

namespace tavisk::testing {
namespace {

std::shared_ptr<simhost::ControlNode> OurButton(simhost::SimHost& host) {
    const auto tools = simhost::CommandBarsModel::FindByCaption(*host.menuBar().controls, L"Tools")->childList();
    return tools->items.back()->controls().items.back();
}

TEST(MenuCommandFailureTest, AFailingCommandIsShownToTheUserAndNotReturnedToTheHost) {
    simhost::SimHost host;
    host.openWeb(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site"));
    FakeMessageBoxes messages;
    addin::Connect connect(
        {messages, [] { throw host::HostError(host::kErrorFail, L"The options dialog cannot be loaded."); }});
    connect.OnConnection(simhost::InMemoryHost(host));

    EXPECT_NO_THROW(OurButton(host)->execute());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"Tavisk 2002");
    EXPECT_EQ(messages.shown[0].icon, ui::MessageIcon::Error);
    EXPECT_NE(messages.shown[0].text.find(L"\"Tavisk 2002...\""), std::wstring::npos)
        << base::ToUtf8(messages.shown[0].text);
    EXPECT_NE(messages.shown[0].text.find(L"The options dialog cannot be loaded."), std::wstring::npos);
    connect.OnDisconnection();
}

TEST(MenuCommandFailureTest, TheProcessWideHostIsClearedOnEveryWayOut) {
    FakeMessageBoxes messages;
    const addin::CommandUi ui{messages, [] {}};
    {
        SCOPED_TRACE("a connection that fails");
        simhost::SimHost host;
        host.recorder().failOn(L"Control.bindClick");
        addin::Connect connect(ui);
        EXPECT_THROW(connect.OnConnection(simhost::InMemoryHost(host)), host::HostError);
        EXPECT_FALSE(host::HasApplication());
    }
    {
        SCOPED_TRACE("released without a disconnection");
        simhost::SimHost host;
        {
            addin::Connect connect(ui);
            connect.OnConnection(simhost::InMemoryHost(host));
            EXPECT_TRUE(host::HasApplication());
        }
        EXPECT_FALSE(host::HasApplication());
    }
    {
        SCOPED_TRACE("another host's application is not ours to clear");
        simhost::SimHost host, other;
        {
            addin::Connect connect(ui);
            connect.OnConnection(simhost::InMemoryHost(host));
            host::SetApplication(simhost::InMemoryHost(other));
        }
        EXPECT_TRUE(host::HasApplication());
        host::SetApplication(nullptr);
    }
}

// After the last page, what fails is not the run: it is neither reported as margins
// not applied nor followed by showing a dialog that is already unloaded; it leaves
// the run for the event boundary to report.
class RunEndFailureTest : public SimHostTest {};

TEST_F(RunEndFailureTest, AFailureAfterTheLastPageIsNotAFailedRun) {
    class Dialog final : public FakeRunDialog {
    public:
        bool unloadFails = false;
        void unload() override {
            FakeRunDialog::unload();
            if (unloadFails) throw host::HostError(host::kErrorFail, L"The dialog cannot be unloaded.");
        }
    };
    class Messages final : public FakeMessageBoxes {
    public:
        bool fails = false;
        void show(const std::wstring& text, const std::wstring& title, ui::MessageIcon icon) override {
            FakeMessageBoxes::show(text, title, icon);
            if (fails) throw std::runtime_error("no message box");
        }
    };
    web->addFile(L"a.htm");
    for (const bool unloadFails : {true, false}) {
        SCOPED_TRACE(unloadFails ? "unloading fails" : "the closing message fails");
        Dialog dialog;
        dialog.unloadFails = unloadFails;
        Messages messages;
        messages.fails = !unloadFails;
        MarginSettings settings;
        settings.topOn = true;
        EXPECT_ANY_THROW(ApplyMargins(settings, dialog, messages));
        EXPECT_EQ(dialog.events, (std::vector<std::wstring>{L"hide", L"unload"}));
        ASSERT_EQ(messages.shown.size(), unloadFails ? 0u : 1u);
        if (!unloadFails) {
            EXPECT_EQ(messages.shown[0].text, kRunDoneMessage);
        }
    }
    EXPECT_EQ(saveCount(L"a.htm"), 2);
}

}  // namespace
}  // namespace tavisk::testing
