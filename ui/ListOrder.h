#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ListItem.h"
#include "ui/ListItemStore.h"

namespace tavisk::ui {

inline constexpr std::int32_t kAscending = 0;
inline constexpr std::int32_t kDescending = 1;

// The column a list is ordered by (0 = the item's text, k = its sub-item k) and the
// direction. Every list starts ordered by column 0 ascending.
struct SortState {
    std::int16_t column = 0;
    std::int32_t order = kAscending;
    bool operator==(const SortState&) const = default;
};

// How two runs of text without digits compare, ignoring case: negative, zero or
// positive. A list on the screen compares as the user's locale does; this one,
// ASCII and Latin-1 letters folded, orders the same on every machine.
using TextCollation = int (*)(std::wstring_view a, std::wstring_view b) noexcept;
int CompareIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;

// The order of two texts in a list: the runs of text compared by the collation,
// runs of digits by their value ("page2" before "page10"), ties broken by the exact
// text so the order never depends on insertion. Negative, zero or positive.
int CompareForSort(std::wstring_view a, std::wstring_view b, TextCollation collate = CompareIgnoringCase);

// A list's items in the order of its sort state. An addition or removal is applied
// at once or, deferred, left pending until settle() applies all of them together: a
// fill of many items is then sorted once rather than shifted into place item by
// item. Reading settles first. An item removed goes back to the store once it is
// out of the order.
class ListOrder {
public:
    ListOrder(ListItemStore& store, TextCollation collate) noexcept : _store(store), _collate(collate) {}
    ListOrder(const ListOrder&) = delete;
    ListOrder& operator=(const ListOrder&) = delete;

    SortState sortState() const noexcept { return _sort; }
    void setSortState(SortState state) noexcept;

    // The settled order.
    const std::vector<ListItem*>& items() noexcept {
        settle();
        return _items;
    }
    // The position of an item of the list.
    std::size_t indexOf(const ListItem& item) noexcept;

    // Makes room for one more item, so that the next add() cannot fail. Raises
    // std::bad_alloc with the order unchanged.
    void reserveOne();
    void add(ListItem& item, bool defer) noexcept;
    // Deferred, raises std::bad_alloc with the order unchanged.
    void remove(ListItem& item, bool defer);
    // Every item goes back to the store, the last first: the store hands out the
    // last given back first, so a refill with the same entries gets each its
    // former item back, string buffers the right size.
    void clear() noexcept;
    void settle() noexcept;

private:
    const std::wstring& sortText(const ListItem& item) const noexcept;
    bool before(const ListItem* a, const ListItem* b) const noexcept;

    ListItemStore& _store;
    const TextCollation _collate;
    SortState _sort;
    // The first _ordered items are in order; after them come those added since,
    // and the removed ones (listed in _dropped) are still among them, until settle().
    std::vector<ListItem*> _items;
    std::size_t _ordered = 0;
    std::vector<ListItem*> _dropped;
};

}  // namespace tavisk::ui
