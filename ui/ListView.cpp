#include "ui/ListView.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "base/Text.h"

namespace tavisk::ui {

ListView::ListView(std::vector<ListColumn> columns, TextCollation collate)
    : _columns(std::move(columns)), _order(_store, collate) {}

const ListItem& ListView::item(std::int32_t index) const {
    if (index < 0 || index >= count()) throw std::out_of_range("list item index out of range");
    return *_order.items()[static_cast<size_t>(index)];
}

const ListItem* ListView::find(ListKey key) const { return _index.find(key); }

std::int32_t ListView::indexOf(ListKey key) const {
    const ListItem* item = find(key);
    return item ? static_cast<std::int32_t>(_order.indexOf(*item)) : -1;
}

ListItem& ListView::at(ListKey key) {
    ListItem* item = _index.find(key);
    if (!item) throw std::invalid_argument("no list item with key " + base::ToUtf8(key.text()));
    return *item;
}

void ListView::add(ListItem&& item) {
    ListItem& added = _store.next();
    added = std::move(item);
    insert(added);
}

void ListView::add(const ListItem& item) {
    ListItem& added = _store.next();
    // Assigning reuses a spare item's string buffers.
    added = item;
    insert(added);
}

void ListView::insert(ListItem& added) {
    // Whatever can fail comes before the item is recorded, so a failure leaves the
    // list as it was and the store's next item unused.
    _order.reserveOne();
    if (!_index.insert(&added)) throw std::invalid_argument("list key already used: " + base::ToUtf8(added.key.str()));
    _store.use();
    _order.add(added, _updating > 0);
    if (_updating == 0) itemsChanged();
}

bool ListView::remove(ListKey key) {
    ListItem* item = _index.find(key);
    if (!item) return false;
    // `key` may be the item's own: its contents stay until the next addition.
    _order.remove(*item, _updating > 0);
    _index.erase(*item);
    if (_updating == 0) itemsChanged();
    return true;
}

void ListView::clear() {
    _order.clear();
    _index.clear();
    if (_updating == 0) itemsChanged();
}

void ListView::setBold(ListKey key, bool bold) {
    at(key).bold = bold;
    if (_updating == 0) itemChanged(indexOf(key));
}

void ListView::setSelected(ListKey key, bool selected) {
    at(key).selected = selected;
    if (_updating == 0) itemChanged(indexOf(key));
}

void ListView::selectionChangedByUser(std::int32_t index, bool selected) {
    if (index >= 0 && index < count()) _order.items()[static_cast<size_t>(index)]->selected = selected;
}

void ListView::endUpdate() {
    if (_updating == 0 || --_updating > 0) return;
    _order.settle();
    itemsChanged();
}

std::vector<std::wstring> ListView::selectedKeys() const {
    std::vector<std::wstring> keys;
    for (const ListItem* item : _order.items()) {
        if (item->selected) keys.push_back(item->key);
    }
    return keys;
}

void ListView::setSortState(SortState state) {
    _order.setSortState(state);
    if (_updating == 0) itemsChanged();
}

}  // namespace tavisk::ui
