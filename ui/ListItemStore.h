#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/ListItem.h"

namespace tavisk::ui {

// The storage of a list's items: blocks rather than one allocation each, and the
// items given back for the next additions, with their strings' storage, so a list
// cleared and filled again allocates next to nothing per item. An item never moves
// and is never freed while the store lives, and one given back keeps its contents
// until next() hands it out again.
class ListItemStore {
public:
    // The item the next addition fills: the last one given back, else a new one.
    // The same item until use(). Raises std::bad_alloc with the store unchanged.
    ListItem& next() {
        if (!_spare.empty()) return *_spare.back();
        if (_lastUsed == _lastSize) {
            // Blocks grow with the list, so a small list stays small. Room to take
            // every item back is made with the items, so giving back never fails.
            const std::size_t size = std::clamp<std::size_t>(_made, 16, 4096);
            _spare.reserve(_made + size);
            _blocks.push_back(std::make_unique<ListItem[]>(size));
            _made += size;
            _lastSize = size;
            _lastUsed = 0;
        }
        return _blocks.back()[_lastUsed];
    }
    // The item next() gave is in the list now; nothing was given back in between.
    void use() noexcept {
        if (_spare.empty()) {
            ++_lastUsed;
        } else {
            _spare.pop_back();
        }
    }
    // An item gone from the list.
    void giveBack(ListItem* item) noexcept { _spare.push_back(item); }

private:
    std::vector<std::unique_ptr<ListItem[]>> _blocks;
    std::size_t _made = 0;  // items in all blocks
    // The last block is handed out up to _lastUsed.
    std::size_t _lastSize = 0, _lastUsed = 0;
    std::vector<ListItem*> _spare;  // its capacity holds every item made
};

}  // namespace tavisk::ui
