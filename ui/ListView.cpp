#include "ui/ListView.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "base/Text.h"

namespace tavisk::ui {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Case folding for ordering: ASCII and Latin-1 letters. Written here rather than
// taken from <cwctype> so both builds order the same on every locale.
wchar_t Fold(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 32);
    return c;
}

// Compares without case, digit runs by value; 0 when the texts differ only in case
// or in leading zeros.
int CompareLoosely(std::wstring_view a, std::wstring_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            while (i < a.size() && a[i] == L'0') ++i;
            while (j < b.size() && b[j] == L'0') ++j;
            size_t ei = i, ej = j;
            while (ei < a.size() && IsDigit(a[ei])) ++ei;
            while (ej < b.size() && IsDigit(b[ej])) ++ej;
            if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
            if (const int c = a.substr(i, ei - i).compare(b.substr(j, ej - j)); c != 0) return c;
            i = ei;
            j = ej;
            continue;
        }
        const wchar_t ca = Fold(a[i]), cb = Fold(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace

int CompareForSort(std::wstring_view a, std::wstring_view b) {
    if (const int c = CompareLoosely(a, b); c != 0) return c;
    return a.compare(b);
}

ListView::ListView(std::vector<ListColumn> columns) : _columns(std::move(columns)) {}

const ListItem& ListView::item(std::int32_t index) const {
    if (index < 0 || index >= count()) throw std::out_of_range("list item index out of range");
    settle();
    return *_order[static_cast<size_t>(index)];
}

const ListItem* ListView::find(const std::wstring& key) const {
    const auto found = _byKey.find(key);
    return found == _byKey.end() ? nullptr : &found->second;
}

std::int32_t ListView::indexOf(const std::wstring& key) const {
    const ListItem* item = find(key);
    if (!item) return -1;
    settle();
    // The order is total (the key breaks the last ties), so a binary search finds it.
    const auto at = std::lower_bound(_order.begin(), _order.end(), item,
                                     [this](const ListItem* a, const ListItem* b) { return before(a, b); });
    return static_cast<std::int32_t>(at - _order.begin());
}

ListItem& ListView::at(const std::wstring& key) {
    const auto found = _byKey.find(key);
    if (found == _byKey.end()) throw std::invalid_argument("no list item with key " + base::ToUtf8(key));
    return found->second;
}

void ListView::add(ListItem&& item) {
    if (!_spare.empty()) {
        Items::node_type node = std::move(_spare.back());
        _spare.pop_back();
        node.mapped() = std::move(item);
        insert(std::move(node));
        return;
    }
    // One look-up both checks the key and places the item.
    const auto [placed, inserted] = _byKey.try_emplace(std::wstring_view(item.key), std::move(item));
    if (!inserted) throw std::invalid_argument("list key already used: " + base::ToUtf8(item.key));
    ListItem* added = &placed->second;
    if (placed->first.data() != added->key.data()) {
        // A short key is held inside the string object and was copied by the move:
        // the view must name the stored one. The node, and so the item, stays put.
        Items::node_type node = _byKey.extract(placed);
        node.key() = node.mapped().key;
        _byKey.insert(std::move(node));
    }
    placeInOrder(added);
}

void ListView::add(const ListItem& item) {
    if (_spare.empty()) {
        add(ListItem(item));
        return;
    }
    Items::node_type node = std::move(_spare.back());
    _spare.pop_back();
    // Assigning reuses the spare item's string buffers.
    node.mapped() = item;
    insert(std::move(node));
}

void ListView::insert(Items::node_type node) {
    ListItem* added = &node.mapped();
    node.key() = added->key;
    auto result = _byKey.insert(std::move(node));
    if (!result.inserted) {
        const std::string message = "list key already used: " + base::ToUtf8(added->key);
        _spare.push_back(std::move(result.node));
        throw std::invalid_argument(message);
    }
    placeInOrder(added);
}

void ListView::placeInOrder(ListItem* added) {
    if (_updating > 0) {
        _order.push_back(added);
        return;
    }
    settle();
    const auto at = std::upper_bound(_order.begin(), _order.end(), added,
                                     [this](const ListItem* a, const ListItem* b) { return before(a, b); });
    _order.insert(at, added);
    _ordered = _order.size();
    itemsChanged();
}

bool ListView::remove(const std::wstring& key) {
    if (_updating > 0) {
        const auto found = _byKey.find(key);
        if (found == _byKey.end()) return false;
        _dropped.push_back(_byKey.extract(found));
        return true;
    }
    const std::int32_t index = indexOf(key);
    if (index < 0) return false;
    _order.erase(_order.begin() + index);
    _ordered = _order.size();
    // `key` may be the item's own: the node keeps it alive until it is reused.
    _spare.push_back(_byKey.extract(key));
    itemsChanged();
    return true;
}

void ListView::clear() {
    _order.clear();
    _ordered = 0;
    for (auto& node : _dropped) _spare.push_back(std::move(node));
    _dropped.clear();
    _spare.reserve(_spare.size() + _byKey.size());
    while (!_byKey.empty()) _spare.push_back(_byKey.extract(_byKey.begin()));
    if (_updating == 0) itemsChanged();
}

void ListView::setBold(const std::wstring& key, bool bold) {
    at(key).bold = bold;
    if (_updating == 0) itemChanged(indexOf(key));
}

void ListView::setSelected(const std::wstring& key, bool selected) {
    at(key).selected = selected;
    if (_updating == 0) itemChanged(indexOf(key));
}

void ListView::selectionChangedByUser(std::int32_t index, bool selected) {
    settle();
    if (index >= 0 && index < count()) _order[static_cast<size_t>(index)]->selected = selected;
}

void ListView::endUpdate() {
    if (_updating == 0 || --_updating > 0) return;
    settle();
    itemsChanged();
}

void ListView::settle() const {
    const auto less = [this](const ListItem* a, const ListItem* b) { return before(a, b); };
    if (!_dropped.empty()) {
        // Compacted in place, each part keeping its order.
        std::vector<const ListItem*> removed;
        removed.reserve(_dropped.size());
        for (const auto& node : _dropped) removed.push_back(&node.mapped());
        std::sort(removed.begin(), removed.end(), std::less<>());
        const auto gone = [&removed](const ListItem* item) {
            return std::binary_search(removed.begin(), removed.end(), item, std::less<>());
        };
        const auto middle = _order.begin() + static_cast<std::ptrdiff_t>(_ordered);
        const auto orderedEnd = std::remove_if(_order.begin(), middle, gone);
        const auto addedEnd = std::remove_if(middle, _order.end(), gone);
        _ordered = static_cast<size_t>(orderedEnd - _order.begin());
        _order.erase(std::move(middle, addedEnd, orderedEnd), _order.end());
        for (auto& node : _dropped) _spare.push_back(std::move(node));
        _dropped.clear();
    }
    if (_ordered < _order.size()) {
        // Items added in a fill often come in order already (a host's own order of
        // names): then only a merge with those before them remains.
        const auto middle = _order.begin() + static_cast<std::ptrdiff_t>(_ordered);
        if (!std::is_sorted(middle, _order.end(), less)) std::sort(middle, _order.end(), less);
        if (middle != _order.begin() && less(*middle, *(middle - 1)))
            std::inplace_merge(_order.begin(), middle, _order.end(), less);
        _ordered = _order.size();
    }
}

std::vector<std::wstring> ListView::selectedKeys() const {
    settle();
    std::vector<std::wstring> keys;
    for (const ListItem* item : _order) {
        if (item->selected) keys.push_back(item->key);
    }
    return keys;
}

void ListView::setSortState(SortState state) {
    _sort = state;
    _ordered = 0;
    settle();
    if (_updating == 0) itemsChanged();
}

const std::wstring& ListView::sortText(const ListItem& item) const {
    static const std::wstring kNone;
    if (_sort.column <= 0) return item.text;
    const auto sub = static_cast<size_t>(_sort.column - 1);
    return sub < item.subItems.size() ? item.subItems[sub] : kNone;
}

bool ListView::before(const ListItem* a, const ListItem* b) const {
    if (_sort.order == kDescending) std::swap(a, b);
    if (const int c = CompareForSort(sortText(*a), sortText(*b)); c != 0) return c < 0;
    return a->key < b->key;
}

}  // namespace tavisk::ui
