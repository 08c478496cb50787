#pragma once

#include <cstddef>
#include <memory>

#include <tsl/robin_set.h>

#include "ui/ListItem.h"

namespace tavisk::ui {

// A list's items by key. Each bucket keeps 32 bits of its item's hash, so a look-up
// reads an item only when those match: over a large list, an item read is a cache
// miss. Filled up to 0.8 rather than robin-map's 0.5: a bucket of the 32-bit build
// is 12 bytes (hash, probe distance, item), so the index costs 15 to 30 bytes an
// item, no more than a half-full table of bare hash-and-item slots.
class ListIndex {
public:
    ListIndex() { _items.max_load_factor(0.8f); }

    ListItem* find(ListKey key) const {
        const auto found = _items.find(key);
        return found == _items.end() ? nullptr : *found;
    }
    // Records the item under its key; false when the key is taken. Raises
    // std::bad_alloc; either way the index is left as it was.
    bool insert(ListItem* item) { return _items.insert(item).second; }
    void erase(const ListItem& item) noexcept { _items.erase(ListKey(item.key)); }
    void clear() noexcept { _items.clear(); }
    std::size_t size() const noexcept { return _items.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(const ListItem* item) const noexcept { return item->key.hash(); }
        std::size_t operator()(const ListKey& key) const noexcept { return key.hash(); }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(const ListItem* a, const ListItem* b) const noexcept { return a->key == b->key; }
        bool operator()(const ListItem* item, const ListKey& key) const noexcept { return key.matches(item->key); }
        bool operator()(const ListKey& key, const ListItem* item) const noexcept { return key.matches(item->key); }
    };
    tsl::robin_set<ListItem*, Hash, Equal, std::allocator<ListItem*>, /*StoreHash=*/true> _items;
};

}  // namespace tavisk::ui
