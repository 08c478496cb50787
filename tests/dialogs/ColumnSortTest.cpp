#include "ui/ColumnSort.h"

#include <gtest/gtest.h>

#include "tests/dialogs/DialogFixture.h"

namespace tavisk::testing {
namespace {

using ui::kAscending;
using ui::kDescending;
using ui::SortState;

struct Step {
    int header;
    SortState after;
};

// Each row: clicks from the initial state (column 0 ascending), and the state after each.
const std::vector<std::vector<Step>> kClickSequences = {
    {{2, {1, kAscending}}, {2, {1, kDescending}}, {2, {1, kAscending}}},
    {{2, {1, kAscending}}, {2, {1, kDescending}}, {1, {0, kAscending}}},
    {{1, {0, kDescending}}, {1, {0, kAscending}}},
    {{3, {2, kAscending}}, {3, {2, kDescending}}, {2, {1, kAscending}}},
    {{0, {0, kAscending}}, {4, {0, kAscending}}},  // headers the list does not have
};

class ColumnSortTest : public DialogTest {};

TEST_F(ColumnSortTest, EveryListFollowsTheSameStateTransitions) {
    for (const auto& sequence : kClickSequences) {
        toolkit = std::make_shared<ui::memory::MemoryToolkit>();
        ui::SetToolkit(toolkit);
        if (frmMain::Exists()) frmMain::Instance().unload();
        auto& dialog = Open();
        Click(dialog.optSelect, 1);
        ui::memory::MemoryListView other(
            {{L"Name", L"name", 1}, {L"Title", L"title", 1}, {L"Located in", L"location", 1}});
        for (const auto& step : sequence) {
            ClickHeader(dialog.lvwStaticQueue, step.header);
            SortOnColumnClick(other, step.header);
            EXPECT_EQ(dialog.lvwStaticQueue.sortState(), step.after) << "header " << step.header;
            EXPECT_EQ(other.sortState(), step.after) << "header " << step.header;
        }
    }
}

TEST_F(ColumnSortTest, TheOptionsQueueAndAnotherQueueOrderTheSameEntriesAlike) {
    auto& dialog = Open();
    Click(dialog.optSelect, 1);
    ui::memory::MemoryListView chooserQueue(
        {{L"Name", L"name", 1}, {L"Title", L"title", 1}, {L"Located in", L"location", 1}});
    const std::vector<ui::ListItem> entries = {Entry(L"news/item10.htm", L"News", L"news"),
                                               Entry(L"news/item9.htm", L"news", L"news"),
                                               Entry(L"About.htm", L"About us"), Entry(L"a/index.htm", L"Index", L"a")};
    for (const auto& entry : entries) {
        dialog.lvwStaticQueue.add(entry);
        chooserQueue.add(entry);
    }
    EXPECT_EQ(Column(dialog.lvwStaticQueue, 0),
              (std::vector<std::wstring>{L"About.htm", L"index.htm", L"item9.htm", L"item10.htm"}));
    for (const int header : {2, 2, 3, 1, 1}) {
        ClickHeader(dialog.lvwStaticQueue, header);
        SortOnColumnClick(chooserQueue, header);
        for (int i = 0; i < chooserQueue.count(); ++i) {
            EXPECT_EQ(dialog.lvwStaticQueue.item(i).key, chooserQueue.item(i).key) << "after header " << header;
        }
    }
    EXPECT_EQ(Column(dialog.lvwStaticQueue, 0),
              (std::vector<std::wstring>{L"item10.htm", L"item9.htm", L"index.htm", L"About.htm"}));
}

TEST_F(ColumnSortTest, AClickOnAnEmptyListSetsTheOrderForEntriesAddedLater) {
    auto& dialog = Open();
    Click(dialog.optSelect, 1);
    ClickHeader(dialog.lvwStaticQueue, 2);
    ClickHeader(dialog.lvwStaticQueue, 2);
    EXPECT_EQ(dialog.lvwStaticQueue.count(), 0);
    dialog.lvwStaticQueue.add(Entry(L"a.htm", L"Apples"));
    dialog.lvwStaticQueue.add(Entry(L"b.htm", L"Pears"));
    dialog.lvwStaticQueue.add(Entry(L"c.htm", L"melons"));
    EXPECT_EQ(Column(dialog.lvwStaticQueue, 1), (std::vector<std::wstring>{L"Pears", L"melons", L"Apples"}));
}

TEST_F(ColumnSortTest, ADisabledQueueDoesNotSortAndKeepsItsState) {
    auto& dialog = Open();
    dialog.lvwStaticQueue.add(Entry(L"b.htm", L"A"));
    dialog.lvwStaticQueue.add(Entry(L"a.htm", L"B"));
    ASSERT_FALSE(dialog.lvwStaticQueue.enabled());
    ClickHeader(dialog.lvwStaticQueue, 2);
    EXPECT_EQ(dialog.lvwStaticQueue.sortState(), (SortState{0, kAscending}));
    EXPECT_EQ(Column(dialog.lvwStaticQueue, 0), (std::vector<std::wstring>{L"a.htm", L"b.htm"}));

    Click(dialog.optSelect, 1);
    ClickHeader(dialog.lvwStaticQueue, 2);
    Click(dialog.optSelect, 0);
    ClickHeader(dialog.lvwStaticQueue, 1);
    EXPECT_EQ(dialog.lvwStaticQueue.sortState(), (SortState{1, kAscending}));
    EXPECT_EQ(Column(dialog.lvwStaticQueue, 0), (std::vector<std::wstring>{L"b.htm", L"a.htm"}));
}

}  // namespace
}  // namespace tavisk::testing
