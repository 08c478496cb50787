// The menu command in the host's Tools menu: finding or creating the maker's popup,
// the button and its Click, disconnection, and failures of the host during
// connection. Each case runs against every way this build can connect the add-in.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "tests/addin/AddinHarness.h"
#include "tests/simhost/SimHostFixture.h"

namespace tavisk::testing {
namespace {

using simhost::ControlList;
using simhost::ControlNode;
using simhost::ControlType;

struct Entry {
    ControlType type;
    std::wstring caption;
    std::wstring tag;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << (e.type == ControlType::Popup ? "popup " : "button ") << base::ToUtf8(e.caption) << " ["
               << base::ToUtf8(e.tag) << "]";
}

const Entry kOurPopup{ControlType::Popup, L"&Halvern Add-ins", L"HALVERN"};
const Entry kOurButton{ControlType::Button, L"&Tavisk 2002...", L"tavisk2002.Connect"};
const Entry kSpelling{ControlType::Button, L"&Spelling...", L""};
const Entry kOptions{ControlType::Button, L"&Options...", L""};

class ConnectTest : public ::testing::TestWithParam<AddinKind> {
protected:
    void SetUp() override {
        host.openWeb(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site"));
        addin = make();
    }
    void TearDown() override { host::SetApplication(nullptr); }

    std::unique_ptr<AddinUnderTest> make() {
        return GetParam().make(host, addin::CommandUi{messages, [this] { ++dialogShown; }});
    }

    std::shared_ptr<ControlList> tools() {
        return simhost::CommandBarsModel::FindByCaption(*host.menuBar().controls, L"Tools")->childList();
    }
    static std::vector<Entry> entries(const ControlList& list) {
        std::vector<Entry> out;
        for (const auto& c : list.items) out.push_back({c->type(), c->caption(), c->tag()});
        return out;
    }
    // A popup of another add-in, put into the Tools menu before the add-in connects.
    std::shared_ptr<ControlNode> addToolsPopup(const std::wstring& caption, const std::wstring& tag,
                                               std::vector<std::wstring> buttons = {}) {
        auto popup = ControlNode::Append(tools(), ControlType::Popup, 1, caption);
        popup->setTag(tag);
        for (const auto& b : buttons) ControlNode::Append(popup->childList(), ControlType::Button, 1, b);
        return popup;
    }
    std::shared_ptr<ControlNode> lastToolsControl() { return tools()->items.back(); }
    std::shared_ptr<ControlNode> ourButton(const std::shared_ptr<ControlNode>& popup) {
        return popup->controls().items.back();
    }

    simhost::SimHost host;
    FakeMessageBoxes messages;
    int dialogShown = 0;
    std::unique_ptr<AddinUnderTest> addin;
};

TEST_P(ConnectTest, ConnectionAppendsTemporaryPopupAndButtonToTheToolsMenu) {
    ASSERT_EQ(addin->connect(), 0);

    EXPECT_EQ(entries(*tools()), (std::vector<Entry>{kSpelling, kOptions, kOurPopup}));
    const auto popup = lastToolsControl();
    EXPECT_EQ(popup->parameter(), L"HALVERN");
    EXPECT_TRUE(popup->temporary());
    EXPECT_EQ(entries(popup->controls()), std::vector<Entry>{kOurButton});
    const auto button = ourButton(popup);
    EXPECT_EQ(button->parameter(), L"Tavisk");
    EXPECT_TRUE(button->temporary());
    EXPECT_EQ(button->subscriberCount(), 1u);
    EXPECT_TRUE(host::HasApplication());
}

struct ExistingPopupCase {
    const char* name;
    std::vector<std::pair<std::wstring, std::wstring>> popups;  // caption, tag, put in before connecting
    int used;                                                   // index among them, or -1 for a new popup
};

TEST_P(ConnectTest, MakersPopupIsTheFirstToolsControlTaggedExactlyHalvern) {
    const std::vector<ExistingPopupCase> cases = {
        {"one of the maker's", {{L"Old caption", L"HALVERN"}}, 0},
        {"tag differing in case only", {{L"&Halvern Add-ins", L"halvern"}}, -1},
        {"tag with more text", {{L"&Halvern Add-ins", L"HALVERN2"}}, -1},
        {"several tagged", {{L"First", L"HALVERN"}, {L"Second", L"HALVERN"}}, 0},
        {"tagged after another", {{L"Other", L"OTHER"}, {L"Second", L"HALVERN"}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        simhost::SimHost fresh;
        std::vector<std::shared_ptr<ControlNode>> existing;
        auto freshTools = simhost::CommandBarsModel::FindByCaption(*fresh.menuBar().controls, L"Tools")->childList();
        for (const auto& [caption, tag] : c.popups) {
            auto popup = ControlNode::Append(freshTools, ControlType::Popup, 1, caption);
            popup->setTag(tag);
            ControlNode::Append(popup->childList(), ControlType::Button, 1, L"Sibling of " + caption);
            existing.push_back(popup);
        }
        FakeMessageBoxes noMessages;
        auto other = GetParam().make(fresh, addin::CommandUi{noMessages, [] {}});
        ASSERT_EQ(other->connect(), 0);

        const size_t expectedCount = 2 + c.popups.size() + (c.used < 0 ? 1 : 0);
        ASSERT_EQ(freshTools->items.size(), expectedCount);
        const auto ours = c.used < 0 ? freshTools->items.back() : existing[static_cast<size_t>(c.used)];
        EXPECT_EQ(ours->caption(), L"&Halvern Add-ins");
        EXPECT_EQ(ours->tag(), L"HALVERN");
        const auto& inside = ours->controls().items;
        ASSERT_FALSE(inside.empty());
        EXPECT_EQ(inside.back()->caption(), L"&Tavisk 2002...");
        if (c.used >= 0) {
            ASSERT_EQ(inside.size(), 2u);  // the sibling stays first, our button follows
            EXPECT_EQ(inside.front()->caption(), L"Sibling of " + c.popups[static_cast<size_t>(c.used)].first);
        }
        for (size_t i = 0; i < existing.size(); ++i) {
            if (static_cast<int>(i) == c.used) continue;
            EXPECT_EQ(existing[i]->caption(), c.popups[i].first) << "popup " << i << " is not ours";
            EXPECT_EQ(existing[i]->tag(), c.popups[i].second);
            EXPECT_EQ(existing[i]->controls().items.size(), 1u);
        }
        other->disconnect();
    }
}

TEST_P(ConnectTest, ButtonIsAppendedAtEveryConnection) {
    ASSERT_EQ(addin->connect(), 0);
    auto second = make();
    ASSERT_EQ(second->connect(), 0);
    const auto popup = lastToolsControl();
    EXPECT_EQ(entries(popup->controls()), (std::vector<Entry>{kOurButton, kOurButton}));
    EXPECT_EQ(entries(*tools()), (std::vector<Entry>{kSpelling, kOptions, kOurPopup}));

    // After a disconnection the popup is gone, so the next connection starts afresh.
    second->disconnect();
    auto third = make();
    ASSERT_EQ(third->connect(), 0);
    EXPECT_EQ(entries(lastToolsControl()->controls()), std::vector<Entry>{kOurButton});
    third->disconnect();
}

TEST_P(ConnectTest, DisconnectionRemovesThePopupWithOtherAddinsEntries) {
    addToolsPopup(L"&Halvern Add-ins", L"HALVERN", {L"&Other Halvern tool"});
    ASSERT_EQ(addin->connect(), 0);
    const auto popup = lastToolsControl();
    const auto button = ourButton(popup);
    ASSERT_EQ(popup->controls().items.size(), 2u);

    addin->disconnect();
    EXPECT_EQ(entries(*tools()), (std::vector<Entry>{kSpelling, kOptions}));
    EXPECT_TRUE(popup->deleted());
    EXPECT_EQ(button->subscriberCount(), 0u);
    EXPECT_FALSE(host::HasApplication());

    // A click that reaches the removed button no longer runs the command.
    button->execute();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dialogShown, 0);
}

TEST_P(ConnectTest, DisconnectionSurvivesAPopupAlreadyGoneAndStillDropsTheSubscription) {
    ASSERT_EQ(addin->connect(), 0);
    const auto popup = lastToolsControl();
    const auto button = ourButton(popup);
    popup->remove();  // another add-in of the maker disconnected first

    addin->disconnect();
    EXPECT_EQ(button->subscriberCount(), 0u);
    EXPECT_EQ(entries(*tools()), (std::vector<Entry>{kSpelling, kOptions}));
    EXPECT_FALSE(host::HasApplication());
}

TEST_P(ConnectTest, DisconnectionWithoutConnectionDoesNothing) {
    addin->disconnect();
    EXPECT_EQ(entries(*tools()), (std::vector<Entry>{kSpelling, kOptions}));
}

TEST_P(ConnectTest, ClickChecksForAnOpenWebEveryTime) {
    ASSERT_EQ(addin->connect(), 0);
    const auto button = ourButton(lastToolsControl());

    button->execute();
    EXPECT_EQ(dialogShown, 1);
    EXPECT_TRUE(messages.shown.empty());

    host.closeWeb();
    button->execute();
    EXPECT_EQ(dialogShown, 1) << "no dialog without a web";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, L"You must open a Web before using Tavisk 2002.");
    EXPECT_EQ(messages.shown[0].title, L"Tavisk 2002");
    EXPECT_EQ(messages.shown[0].icon, ui::MessageIcon::Information);

    host.openWeb(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/other"));
    button->execute();
    EXPECT_EQ(dialogShown, 2);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_P(ConnectTest, ClickAsksTheProcessWideHostForItsWeb) {
    ASSERT_EQ(addin->connect(), 0);
    simhost::SimHost withoutWeb;
    host::SetApplication(simhost::InMemoryHost(withoutWeb));

    ourButton(lastToolsControl())->execute();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(dialogShown, 0);
    EXPECT_EQ(withoutWeb.recorder().countOf(L"Application.activeWeb"), 1);
    EXPECT_EQ(host.recorder().countOf(L"Application.activeWeb"), 0);
}

// Office raises a click in every handler of a control with the clicked one's Id (1 for all custom ones) and Tag.
TEST_P(ConnectTest, ClickOnSomeoneElsesUntaggedButtonIsNotOurs) {
    ASSERT_EQ(addin->connect(), 0);
    const auto ours = ourButton(lastToolsControl());
    const auto other = ControlNode::AppendCustom(tools(), ControlType::Button, L"", false);
    int otherClicks = 0;
    other->subscribe([&](ControlNode&, bool&) { ++otherClicks; });
    other->execute();
    ours->execute();
    EXPECT_EQ(dialogShown, 1) << "only our own button opens the dialog";
    EXPECT_EQ(otherClicks, 1) << "our click runs another button's handler";
}

struct FailingStep {
    const char* name;
    std::wstring operation;
    int nth;
    std::vector<Entry> toolsAfter;  // what stays in the Tools menu
    std::vector<Entry> popupAfter;  // what the last Tools control holds
};

TEST_P(ConnectTest, FailingStepEndsConnectionWithItsCodeAndKeepsWhatWasMade) {
    const Entry newPopup{ControlType::Popup, L"Custom", L""};
    const Entry namedPopup{ControlType::Popup, L"&Halvern Add-ins", L""};
    const Entry newButton{ControlType::Button, L"Custom", L""};
    const std::vector<FailingStep> steps = {
        {"menu bar", L"CommandBars.item", 1, {kSpelling, kOptions}, {}},
        {"Tools menu", L"Controls.item", 1, {kSpelling, kOptions}, {}},
        {"reading a tag", L"Control.tag", 2, {kSpelling, kOptions}, {}},
        {"adding the popup", L"Controls.add", 1, {kSpelling, kOptions}, {}},
        {"captioning the popup", L"Control.setCaption", 1, {kSpelling, kOptions, newPopup}, {}},
        {"tagging the popup", L"Control.setTag", 1, {kSpelling, kOptions, namedPopup}, {}},
        {"adding the button", L"Controls.add", 2, {kSpelling, kOptions, kOurPopup}, {}},
        {"captioning the button", L"Control.setCaption", 2, {kSpelling, kOptions, kOurPopup}, {newButton}},
        {"binding the click", L"Control.bindClick", 1, {kSpelling, kOptions, kOurPopup}, {kOurButton}},
    };
    constexpr std::int32_t kRefused = static_cast<std::int32_t>(0x800A1234);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        simhost::SimHost fresh;
        fresh.recorder().failOn(step.operation, step.nth, kRefused, L"Refused by the test.");
        FakeMessageBoxes noMessages;
        auto other = GetParam().make(fresh, addin::CommandUi{noMessages, [] {}});

        EXPECT_EQ(other->connect(), kRefused);
        const auto freshTools =
            simhost::CommandBarsModel::FindByCaption(*fresh.menuBar().controls, L"Tools")->childList();
        EXPECT_EQ(entries(*freshTools), step.toolsAfter);
        if (step.toolsAfter.size() > 2) {
            EXPECT_EQ(entries(freshTools->items.back()->controls()), step.popupAfter);
        }
        for (const auto& control : freshTools->items)
            for (const auto& inner : control->controls().items) EXPECT_EQ(inner->subscriberCount(), 0u);
    }
}

TEST_P(ConnectTest, ControlTaggedHalvernThatIsNotAPopupFailsTheConnection) {
    ControlNode::Append(tools(), ControlType::Button, 1, L"Halvern button")->setTag(L"HALVERN");
    EXPECT_NE(addin->connect(), 0);
    EXPECT_EQ(tools()->items.back()->caption(), L"&Halvern Add-ins") << "captioned before the failure";
    EXPECT_EQ(tools()->items.size(), 3u) << "no popup of its own is made";
}

// An editor in another language captions its Tools menu in that language: it is the
// popup with the built-in Id on the menu bar itself, and the add-in's own captions
// follow the editor's language. Without it nothing is made.
TEST_P(ConnectTest, TranslatedToolsMenuIsFoundByItsIdOnTheMenuBar) {
    const struct {
        const wchar_t *language, *tools, *popup, *button;
    } editions[] = {{L"de", L"E&xtras", L"&Halvern-Add-Ins", L"&Tavisk 2002..."},
                    {L"fr", L"&Outils", L"Compléments &Halvern", L"&Tavisk 2002..."},
                    {L"ja", L"ツール(&T)", L"Halvern アドイン(&H)", L"Tavisk 2002(&T)..."}};
    for (const auto& edition : editions) {
        simhost::SimHost translated(edition.language);
        auto other = GetParam().make(translated, addin::CommandUi{messages, [] {}});
        ASSERT_EQ(other->connect(), 0);
        const auto menu = translated.menuBar().find(simhost::SimHost::kToolsMenuId, false);
        EXPECT_EQ(menu->caption(), edition.tools);
        EXPECT_EQ(menu->controls().items.back()->caption(), edition.popup);
        EXPECT_EQ(entries(menu->controls().items.back()->controls()),
                  (std::vector<Entry>{{ControlType::Button, edition.button, kOurButton.tag}}));
        other->disconnect();
    }
    // An editor that does not say its language leaves it to Windows, not the menus'.
    simhost::SimHost silent(L"ja");
    silent.recorder().failOn(L"LanguageSettings.languageId");
    ASSERT_EQ(GetParam().make(silent, addin::CommandUi{messages, [] {}})->connect(), 0);
    EXPECT_NE(silent.menuBar().find(simhost::SimHost::kToolsMenuId, false)->controls().items.back()->caption(),
              L"Halvern アドイン(&H)");
    simhost::SimHost neither(L"de");
    auto& bar = neither.menuBar();
    bar.find(simhost::SimHost::kToolsMenuId, false)->remove();
    const auto nested = ControlNode::Append(bar.find(simhost::SimHost::kFileMenuId, false)->childList(),
                                            ControlType::Popup, simhost::SimHost::kToolsMenuId, L"E&xtras");
    ControlNode::Append(bar.controls, ControlType::Button, simhost::SimHost::kToolsMenuId, L"E&xtras");
    EXPECT_EQ(GetParam().make(neither, addin::CommandUi{messages, [] {}})->connect(), host::kErrorNotFound);
    EXPECT_TRUE(nested->controls().items.empty());
    // A refused look-up is the host's failure, not a missing menu.
    constexpr std::int32_t kRefused = static_cast<std::int32_t>(0x800A1234);
    neither.recorder().failOn(L"CommandBar.findControl", 1, kRefused, L"Refused by the test.");
    EXPECT_EQ(GetParam().make(neither, addin::CommandUi{messages, [] {}})->connect(), kRefused);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ConnectTest, ::testing::ValuesIn(AddinKinds()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tavisk::testing
