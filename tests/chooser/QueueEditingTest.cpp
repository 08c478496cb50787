// Moving pages into and out of the chooser's queue, and the chooser's OK and Cancel.
#include <gtest/gtest.h>

#include "tests/chooser/ChooserFixture.h"

namespace tavisk::testing {
namespace {

class QueueEditingTest : public ChooserTest {
protected:
    void SetUp() override {
        ChooserTest::SetUp();
        web->addFile(L"a.htm", L"Alpha");
        web->addFile(L"b.htm", L"Beta");
        web->addFile(L"c.htm", L"Gamma");
        web->addFile(L"class.htm/s.htm", L"Sub");
        web->addFile(L"other/o.htm", L"Other");
    }
    using Texts = std::vector<std::wstring>;
};

TEST_F(QueueEditingTest, DoubleClickingAPageQueuesItWholeAndAgainTakesItOut) {
    frmChooseFiles& chooser = EditQueue({Entry(L"other/o.htm", L"Other", L"other/")});
    ClickFolder(chooser, Url(L"class.htm"));
    const std::wstring page = Url(L"class.htm/s.htm");
    chooser.cmdRemove.setEnabled(false);

    DoubleClick(chooser.lvwWebList, page);
    const ui::ListItem* entry = chooser.lvwQueue.find(page);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text, L"s.htm");
    EXPECT_EQ(entry->tag, page);
    // The folder is found by removing the name at the end only.
    EXPECT_EQ(entry->subItems, (Texts{L"Sub", L"class.htm/"}));
    EXPECT_EQ(Bold(chooser.lvwWebList), (Texts{L"s.htm"}));
    EXPECT_FALSE(chooser.cmdRemove.enabled());  // a double-click leaves the button alone

    DoubleClick(chooser.lvwWebList, page);
    EXPECT_EQ(Keys(chooser.lvwQueue), (Texts{Url(L"other/o.htm")}));
    EXPECT_TRUE(Bold(chooser.lvwWebList).empty());
    EXPECT_FALSE(chooser.cmdRemove.enabled());
}

TEST_F(QueueEditingTest, AddQueuesTheSelectedPagesThatAreNotBold) {
    frmChooseFiles& chooser = EditQueue({Entry(L"b.htm", L"Beta")});
    chooser.cmdRemove.setEnabled(false);
    Click(chooser.cmdAdd);  // nothing selected: nothing added, the button enabled all the same
    EXPECT_EQ(chooser.lvwQueue.count(), 1);
    EXPECT_TRUE(chooser.cmdRemove.enabled());

    Select(chooser.lvwWebList, {Url(L"a.htm"), Url(L"b.htm"), Url(L"c.htm")});
    Click(chooser.cmdAdd);
    EXPECT_EQ(Keys(chooser.lvwQueue), (Texts{Url(L"a.htm"), Url(L"b.htm"), Url(L"c.htm")}));
    EXPECT_EQ(chooser.lvwQueue.find(Url(L"c.htm"))->subItems, (Texts{L"Gamma", L""}));
    EXPECT_EQ(Bold(chooser.lvwWebList), (Texts{L"a.htm", L"b.htm", L"c.htm"}));
    EXPECT_EQ(chooser.lvwWebList.selectedKeys().size(), 3u);  // the selection stays
    EXPECT_TRUE(toolkit->shown().empty());
}

TEST_F(QueueEditingTest, APageAndItsQueueEntryHoldItsUrlOnce) {
    frmChooseFiles& chooser = EditQueue();
    Select(chooser.lvwWebList, {Url(L"a.htm")});
    Click(chooser.cmdAdd);
    const ui::ListItem& page = *chooser.lvwWebList.find(Url(L"a.htm"));
    const ui::ListItem& entry = *chooser.lvwQueue.find(Url(L"a.htm"));
    for (const ui::SharedText* text : {&page.tag, &entry.key, &entry.tag}) {
        EXPECT_EQ(*text, Url(L"a.htm"));
        EXPECT_EQ(text->c_str(), page.key.c_str());  // one string, not a copy
    }
}

TEST_F(QueueEditingTest, RemoveTakesOutTheSelectedEntriesAndDisablesItselfOnAnEmptyQueue) {
    const struct {
        Texts selected;
        Texts left;
        bool enabled;
    } cases[] = {
        {{L"b.htm", L"c.htm"}, {L"a.htm"}, true},
        {{L"a.htm"}, {L"b.htm", L"c.htm"}, true},
        {{L"a.htm", L"b.htm", L"c.htm"}, {}, false},
        {{}, {L"a.htm", L"b.htm", L"c.htm"}, true},
    };
    for (const auto& c : cases) {
        frmChooseFiles& chooser = EditQueue();
        Select(chooser.lvwWebList, {Url(L"a.htm"), Url(L"b.htm"), Url(L"c.htm")});
        Click(chooser.cmdAdd);
        for (const auto& name : c.selected) chooser.lvwQueue.setSelected(Url(name), true);
        Click(chooser.cmdRemove);
        Texts left;
        for (const auto& entry : Column(chooser.lvwQueue, 0)) left.push_back(entry);
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(Bold(chooser.lvwWebList), c.left);  // the listed pages' marks follow
        EXPECT_EQ(chooser.cmdRemove.enabled(), c.enabled);
        Click(chooser.cmdCancel);
    }
}

TEST_F(QueueEditingTest, RemovingAPageOfAnotherFolderLeavesThePageListAlone) {
    frmChooseFiles& chooser = EditQueue({Entry(L"other/o.htm", L"Other", L"other/"), Entry(L"a.htm", L"Alpha")});
    chooser.lvwQueue.setSelected(Url(L"other/o.htm"), true);
    Click(chooser.cmdRemove);
    EXPECT_EQ(Keys(chooser.lvwQueue), (Texts{Url(L"a.htm")}));
    EXPECT_EQ(Bold(chooser.lvwWebList), (Texts{L"a.htm"}));
    ClickFolder(chooser, Url(L"other"));
    EXPECT_TRUE(Bold(chooser.lvwWebList).empty());
}

TEST_F(QueueEditingTest, DoubleClickingAQueueEntryRemovesItButLeavesTheButtonEnabled) {
    frmChooseFiles& chooser = EditQueue({Entry(L"a.htm", L"Alpha"), Entry(L"other/o.htm", L"Other", L"other/")});
    DoubleClick(chooser.lvwQueue, Url(L"other/o.htm"));
    EXPECT_EQ(Bold(chooser.lvwWebList), (Texts{L"a.htm"}));
    DoubleClick(chooser.lvwQueue, Url(L"a.htm"));
    EXPECT_EQ(chooser.lvwQueue.count(), 0);
    EXPECT_TRUE(Bold(chooser.lvwWebList).empty());
    EXPECT_TRUE(chooser.cmdRemove.enabled());
    Click(chooser.cmdRemove);  // removes nothing, then sees the empty queue
    EXPECT_FALSE(chooser.cmdRemove.enabled());
}

TEST_F(QueueEditingTest, OkReplacesTheOptionsQueueWithWholeEntriesCancelAndCloseLeaveIt) {
    const std::vector<ui::ListItem> before = {Entry(L"a.htm", L"Alpha"), Entry(L"other/o.htm", L"Other", L"other/")};
    frmChooseFiles& chooser = EditQueue(before);
    ui::ListView& options = frmMain::Instance().lvwStaticQueue;
    const auto snapshot = [&options] {
        std::vector<std::wstring> texts;
        for (int i = 0; i < options.count(); ++i) {
            const auto& item = options.item(i);
            texts.push_back(item.key + L"|" + item.text + L"|" + item.subItems.at(0) + L"|" + item.subItems.at(1) +
                            L"|" + item.tag);
        }
        return texts;
    };
    const auto original = snapshot();

    // Cancel, then the close box, after changes: the options queue is as it was.
    DoubleClick(chooser.lvwQueue, Url(L"a.htm"));
    Click(chooser.cmdCancel);
    EXPECT_FALSE(frmChooseFiles::Exists());
    EXPECT_EQ(snapshot(), original);
    frmChooseFiles& again = EditQueue();
    EXPECT_EQ(again.lvwQueue.count(), 2);  // a fresh chooser, filled anew
    DoubleClick(again.lvwWebList, Url(L"b.htm"));
    chooserForm()->userClose();
    EXPECT_FALSE(frmChooseFiles::Exists());
    EXPECT_EQ(snapshot(), original);

    frmChooseFiles& third = EditQueue();
    DoubleClick(third.lvwWebList, Url(L"a.htm"));
    ClickFolder(third, Url(L"class.htm"));
    DoubleClick(third.lvwWebList, Url(L"class.htm/s.htm"));
    Click(third.cmdOK);
    EXPECT_FALSE(frmChooseFiles::Exists());
    EXPECT_EQ(snapshot(), (Texts{Url(L"other/o.htm") + L"|o.htm|Other|other/|" + Url(L"other/o.htm"),
                                 Url(L"class.htm/s.htm") + L"|s.htm|Sub|class.htm/|" + Url(L"class.htm/s.htm")}));

    frmChooseFiles& emptied = EditQueue();
    Select(emptied.lvwQueue, Keys(emptied.lvwQueue));
    Click(emptied.cmdRemove);
    Click(emptied.cmdOK);
    EXPECT_EQ(options.count(), 0);
}

TEST_F(QueueEditingTest, AHostFailureInAFolderClickOrInAddIsReportedAndKeepsWhatWasDone) {
    frmChooseFiles& chooser = EditQueue();
    host.recorder().failOn(L"Web.locateFolder", 1, host::kErrorNotFound, L"The folder is gone.");
    ClickFolder(chooser, Url(L"other"));
    ASSERT_EQ(toolkit->shown().size(), 1u);
    EXPECT_EQ(toolkit->shown()[0].text, L"Listing the folder failed.\n\nThe folder is gone.");
    EXPECT_EQ(toolkit->shown()[0].icon, ui::MessageIcon::Error);

    // The second page's "Located in" is refused: the first stays queued and bold,
    // the second is neither.
    Select(chooser.lvwWebList, {Url(L"a.htm"), Url(L"b.htm"), Url(L"c.htm")});
    host.recorder().failOn(L"Application.relativeUrl", 2, host::kErrorFail, L"No answer.");
    Click(chooser.cmdAdd);
    ASSERT_EQ(toolkit->shown().size(), 2u);
    EXPECT_EQ(toolkit->shown()[1].text, L"\"Add Selected to Queue\" failed.\n\nNo answer.");
    EXPECT_EQ(Keys(chooser.lvwQueue), (Texts{Url(L"a.htm")}));
    EXPECT_EQ(Bold(chooser.lvwWebList), (Texts{L"a.htm"}));
    EXPECT_TRUE(frmChooseFiles::Exists());
}

TEST_F(QueueEditingTest, FortyThousandPagesListAddRemoveAndCopy) {
    constexpr int kPages = 40000;
    auto& big = web->folderAt(L"big");
    for (int i = 0; i < kPages; ++i) web->addFile(big, L"p" + std::to_wstring(i) + L".htm", L"T");
    host.recorder().setRecording(false);
    frmChooseFiles& chooser = EditQueue();
    ClickFolder(chooser, Url(L"big"));
    ASSERT_EQ(chooser.lvwWebList.count(), kPages);
    Select(chooser.lvwWebList, Keys(chooser.lvwWebList));
    Click(chooser.cmdAdd);
    EXPECT_EQ(chooser.lvwQueue.count(), kPages);
    EXPECT_EQ(Bold(chooser.lvwWebList).size(), static_cast<size_t>(kPages));
    Click(chooser.cmdOK);
    EXPECT_EQ(frmMain::Instance().lvwStaticQueue.count(), kPages);

    frmChooseFiles& again = EditQueue();
    ClickFolder(again, Url(L"big"));
    EXPECT_EQ(Bold(again.lvwWebList).size(), static_cast<size_t>(kPages));
    Select(again.lvwQueue, Keys(again.lvwQueue));
    Click(again.cmdRemove);
    EXPECT_EQ(again.lvwQueue.count(), 0);
    EXPECT_TRUE(Bold(again.lvwWebList).empty());
    EXPECT_TRUE(toolkit->shown().empty());
}

}  // namespace
}  // namespace tavisk::testing
