#include <gtest/gtest.h>

#include <map>
#include <random>
#include <stdexcept>

#include "base/Text.h"
#include "ui/memory/MemoryControls.h"

namespace tavisk::ui {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(SharedTextTest, ReadsComparesAndOrdersAsItsText) {
    const std::wstring texts[] = {L"", L"a", L"B", L"file:///C:/web/page10.htm", L"file:///C:/web/page2.htm"};
    for (const auto& a : texts) {
        const SharedText shared(a), copy = shared;
        EXPECT_EQ(copy.str(), a);
        EXPECT_EQ(copy.empty(), a.empty());
        EXPECT_EQ(copy.c_str(), shared.c_str());  // copies share the string
        for (const auto& b : texts) {
            EXPECT_EQ(SharedText(a) == SharedText(b), a == b) << base::ToUtf8(a) << " vs " << base::ToUtf8(b);
            EXPECT_EQ(SharedText(a) == b, a == b);
            EXPECT_EQ(SharedText(a) < SharedText(b), a < b);
        }
    }
}

TEST(CompareForSortTest, IgnoresCaseOrdersNumbersByValueAndBreaksTiesByExactText) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int order;
    };
    const Case cases[] = {
        {L"apple", L"Banana", -1},
        {L"Banana", L"apple", 1},
        {L"page2.htm", L"page10.htm", -1},
        {L"page10.htm", L"page9.htm", 1},
        {L"10", L"9", 1},
        {L"v1.2", L"v1.10", -1},
        {L"file99999999999999999999", L"file100000000000000000000", -1},  // beyond 64 bits
        {L"abc", L"abcd", -1},
        {L"", L"a", -1},
        {L"same", L"same", 0},
        {L"Page", L"page", -1},  // equal but for case: the exact text decides
        {L"page", L"Page", 1},
        {L"a01", L"a1", -1},  // equal values: the exact text decides
        {L"\u00c9t\u00e9", L"\u00e9t\u00e9 2", -1},
        {L"\u00e9t\u00e9", L"zebra", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sign(CompareForSort(c.a, c.b)), c.order) << base::ToUtf8(c.a) << " vs " << base::ToUtf8(c.b);
    }
}

class KeyedListTest : public ::testing::Test {
protected:
    memory::MemoryListView list{{{L"Name", L"name", 2000}, {L"Title", L"title", 2001}, {L"Located in", L"", 3800}}};

    void add(const std::wstring& key, const std::wstring& text, const std::wstring& title,
             const std::wstring& folder = L"") {
        list.add({key, text, {title, folder}, L"tag:" + key});
    }
    std::vector<std::wstring> keys() const {
        std::vector<std::wstring> all;
        for (int i = 0; i < list.count(); ++i) all.push_back(list.item(i).key);
        return all;
    }
};

TEST_F(KeyedListTest, ItemsAreFoundByKeyAndShownInOrderWhereverTheyWereAdded) {
    add(L"k3", L"page10.htm", L"Ten");
    add(L"k1", L"Page2.htm", L"two");
    add(L"k2", L"index.htm", L"Home");
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"k2", L"k1", L"k3"}));
    for (const auto& key : {L"k1", L"k2", L"k3"}) {
        const ListItem* item = list.find(key);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->tag, std::wstring(L"tag:") + key);
        EXPECT_EQ(list.item(list.indexOf(key)).key, key);
    }
    EXPECT_EQ(list.find(L"missing"), nullptr);
    EXPECT_EQ(list.indexOf(L"missing"), -1);
    EXPECT_THROW(add(L"k1", L"other.htm", L"Other"), std::invalid_argument);
    EXPECT_EQ(list.count(), 3);
    EXPECT_THROW(list.item(3), std::out_of_range);

    EXPECT_TRUE(list.remove(L"k1"));
    EXPECT_FALSE(list.remove(L"k1"));
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"k2", L"k3"}));
    EXPECT_EQ(list.indexOf(L"k3"), 1);
}

TEST_F(KeyedListTest, SameTextsKeepAFixedOrderInBothDirections) {
    add(L"b", L"same.htm", L"x");
    add(L"a", L"same.htm", L"x");
    add(L"c", L"SAME.htm", L"x");
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"c", L"a", L"b"}));
    for (const auto& key : {L"a", L"b", L"c"}) EXPECT_EQ(list.item(list.indexOf(key)).key, key);
    list.setSortState({0, kDescending});
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"b", L"a", L"c"}));
    for (const auto& key : {L"a", L"b", L"c"}) EXPECT_EQ(list.item(list.indexOf(key)).key, key);
}

TEST_F(KeyedListTest, TheSortStateOrdersBySubItemsAndSurvivesClearingAndRefilling) {
    add(L"1", L"a.htm", L"Zeta", L"docs");
    add(L"2", L"b.htm", L"alpha", L"");
    add(L"3", L"c.htm", L"Beta", L"archive");
    list.setSortState({1, kAscending});
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"2", L"3", L"1"}));
    list.setSortState({2, kDescending});
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"1", L"3", L"2"}));

    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.sortState(), (SortState{2, kDescending}));
    add(L"4", L"d.htm", L"t", L"b");
    add(L"5", L"e.htm", L"t", L"c");
    list.add({L"6", L"f.htm", {}, L""});  // no sub-items: sorts as empty text
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"5", L"4", L"6"}));
}

TEST_F(KeyedListTest, BoldMarksAndSelectionFollowTheItemThroughReordering) {
    add(L"1", L"b.htm", L"x");
    add(L"2", L"a.htm", L"y");
    add(L"3", L"c.htm", L"z");
    list.setBold(L"1", true);
    list.setSelected(L"3", true);
    list.setSelected(L"2", true);
    EXPECT_EQ(list.selectedKeys(), (std::vector<std::wstring>{L"2", L"3"}));
    list.setSortState({0, kDescending});
    EXPECT_EQ(list.selectedKeys(), (std::vector<std::wstring>{L"3", L"2"}));
    EXPECT_TRUE(list.item(list.indexOf(L"1")).bold);
    EXPECT_FALSE(list.item(list.indexOf(L"2")).bold);
    list.setSelected(L"3", false);
    EXPECT_EQ(list.selectedKeys(), (std::vector<std::wstring>{L"2"}));
    EXPECT_THROW(list.setBold(L"missing", true), std::invalid_argument);
}

TEST_F(KeyedListTest, AnUpdateShowsItsAdditionsAndRemovalsOnceInTheListsOrder) {
    add(L"m", L"m.htm", L"");
    add(L"c", L"c.htm", L"");
    add(L"x", L"x.htm", L"");
    const int redraws = list.redraws();
    {
        ListUpdate outer(list);
        ListUpdate inner(list);
        add(L"a", L"a.htm", L"");  // before everything
        add(L"z", L"z.htm", L"");  // after everything
        add(L"d", L"d.htm", L"");  // between
        EXPECT_TRUE(list.remove(L"c"));
        EXPECT_TRUE(list.remove(L"z"));  // added and removed in the same update
        EXPECT_FALSE(list.remove(L"c"));
        add(L"c", L"c.htm", L"");  // back under a key just removed
        list.setBold(L"d", true);
        EXPECT_EQ(list.count(), 5);
        EXPECT_EQ(list.redraws(), redraws);
    }
    EXPECT_EQ(list.redraws(), redraws + 1);
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"a", L"c", L"d", L"m", L"x"}));
    for (const auto& key : {L"a", L"c", L"d", L"m", L"x"}) EXPECT_EQ(list.item(list.indexOf(key)).key, key);
    EXPECT_TRUE(list.find(L"d")->bold);

    // Read by position during an update, the list is put in order first.
    ListUpdate update(list);
    add(L"b", L"b.htm", L"");
    list.remove(L"x");
    EXPECT_EQ(keys(), (std::vector<std::wstring>{L"a", L"b", L"c", L"d", L"m"}));
    EXPECT_EQ(list.indexOf(L"m"), 4);
}

// The index, the pending order and the reused item storage: a random mix of edits
// agrees with a map at every step and leaves the list in order.
TEST(KeyedIndexTest, AgreesWithAMapThroughRandomEdits) {
    std::mt19937 random(7);
    memory::MemoryListView list({{L"Name", L"", 1440}});
    std::map<std::wstring, bool> model;
    int updates = 0;  // batch fills begun and not yet ended
    SharedText kept;
    for (int step = 0; step < 60000; ++step) {
        const std::wstring key = std::to_wstring(random() % 2000);
        const unsigned action = random() % 32;
        if (action == 0 && updates < 3) {
            list.beginUpdate();
            ++updates;
        } else if (action == 1 && updates > 0) {
            list.endUpdate();
            --updates;
        } else if (action == 2 && random() % 16 == 0) {
            list.clear();
            model.clear();
        } else if (action < 16) {
            const ListItem item{key, key, {key + L" title"}, key};
            if (model.count(key)) {
                EXPECT_THROW(list.add(item), std::invalid_argument) << "duplicate " << base::ToUtf8(key);
            } else {
                action % 2 ? list.add(item) : list.add(ListItem(item));
                model[key] = true;
            }
        } else if (action < 24) {
            // By the text, or by the item's own shared key (looked up by its kept hash).
            const ListItem* own = action % 2 ? list.find(key) : nullptr;
            EXPECT_EQ(own ? list.remove(own->key) : list.remove(key), model.erase(key) > 0)
                << "removing " << base::ToUtf8(key);
            EXPECT_TRUE(!own || own->subItems.at(0) == key + L" title");  // kept until the next addition
        } else {
            const ListItem* found = list.find(key);
            ASSERT_EQ(found != nullptr, model.count(key) > 0) << "finding " << base::ToUtf8(key);
            if (found) {
                EXPECT_EQ(found->subItems.at(0), key + L" title");
                EXPECT_EQ(list.find(found->key), found);
                kept = found->key;
            }
            // A key kept from an item that may be gone since finds what its text finds.
            EXPECT_EQ(list.find(kept), list.find(kept.str())) << "kept " << base::ToUtf8(kept.str());
        }
        ASSERT_EQ(static_cast<size_t>(list.count()), model.size()) << "after step " << step;
    }
    while (updates-- > 0) list.endUpdate();
    for (std::int32_t i = 0; i + 1 < list.count(); ++i) {
        ASSERT_LT(CompareForSort(list.item(i).text, list.item(i + 1).text), 0) << "order at " << i;
    }
    for (const auto& [key, present] : model) {
        EXPECT_NE(list.find(key), nullptr) << base::ToUtf8(key);
    }
}

TEST(MemoryTreeTest, NodesAreKeyedAndHangBelowTheirParents) {
    memory::MemoryTreeView tree;
    tree.add(L"", L"root", L"site", 0, 1);
    tree.add(L"root", L"root/images", L"images", 2, 3);
    EXPECT_THROW(tree.add(L"root", L"root/images", L"again", 2, 3), std::invalid_argument);
    EXPECT_THROW(tree.add(L"nowhere", L"x", L"x", 2, 3), std::invalid_argument);
    EXPECT_EQ(tree.count(), 2);
    EXPECT_EQ(tree.parent(L"root/images"), L"root");
    EXPECT_EQ(tree.image(L"root/images"), 2);

    std::vector<std::wstring> clicked;
    tree.onNodeClick = {L"Listing the folder", [&](const std::wstring& key) { clicked.push_back(key); }};
    tree.select(L"root");  // from code: no event
    tree.userClickNode(L"root/images");
    EXPECT_EQ(tree.selectedKey(), L"root/images");
    EXPECT_EQ(clicked, (std::vector<std::wstring>{L"root/images"}));
    tree.clear();
    EXPECT_EQ(tree.count(), 0);
    EXPECT_EQ(tree.selectedKey(), L"");
}

}  // namespace
}  // namespace tavisk::ui
