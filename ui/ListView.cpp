#include "ui/ListView.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>

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
        // Equal letters and signs, the most of any two names, go by at once; a
        // digit starts a run, compared by value below.
        if (a[i] == b[j] && !IsDigit(a[i])) {
            ++i;
            ++j;
            continue;
        }
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

const std::wstring& SharedText::Empty() noexcept {
    static const std::wstring kEmpty;
    return kEmpty;
}

std::size_t SharedText::EmptyHash() noexcept {
    static const std::size_t kHash = std::hash<std::wstring_view>{}(std::wstring_view());
    return kHash;
}

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

std::size_t ListView::slotOf(ListKey key) const {
    if (_slots.empty()) return kNoSlot;
    const std::size_t mask = _slots.size() - 1;
    for (std::size_t i = key.hash() & mask; _slots[i].item; i = (i + 1) & mask) {
        if (_slots[i].hash == key.hash() && key.matches(_slots[i].item->key)) return i;
    }
    return kNoSlot;
}

const ListItem* ListView::find(ListKey key) const {
    const std::size_t slot = slotOf(key);
    return slot == kNoSlot ? nullptr : _slots[slot].item;
}

std::int32_t ListView::indexOf(ListKey key) const {
    const ListItem* item = find(key);
    if (!item) return -1;
    settle();
    // The order is total (the key breaks the last ties), so a binary search finds it.
    const auto at = std::lower_bound(_order.begin(), _order.end(), item,
                                     [this](const ListItem* a, const ListItem* b) { return before(a, b); });
    return static_cast<std::int32_t>(at - _order.begin());
}

ListItem& ListView::at(ListKey key) {
    const std::size_t slot = slotOf(key);
    if (slot == kNoSlot) throw std::invalid_argument("no list item with key " + base::ToUtf8(key.text()));
    return *_slots[slot].item;
}

ListItem* ListView::take(std::size_t slot) {
    const std::size_t mask = _slots.size() - 1;
    ListItem* taken = std::exchange(_slots[slot].item, nullptr);
    --_count;
    // Backward-shift deletion: an item further along the run moves into the gap
    // unless its home slot lies after the gap, in the cyclic range (gap, its slot].
    std::size_t gap = slot;
    for (std::size_t j = (gap + 1) & mask; _slots[j].item; j = (j + 1) & mask) {
        const std::size_t home = _slots[j].hash & mask;
        const bool stays = gap < j ? (home > gap && home <= j) : (home > gap || home <= j);
        if (stays) continue;
        _slots[gap] = std::exchange(_slots[j], Slot{});
        gap = j;
    }
    return taken;
}

void ListView::grow() {
    std::vector<Slot> old(std::max<std::size_t>(16, _slots.size() * 2));
    old.swap(_slots);
    const std::size_t mask = _slots.size() - 1;
    for (Slot& slot : old) {
        if (!slot.item) continue;
        std::size_t i = slot.hash & mask;
        while (_slots[i].item) i = (i + 1) & mask;
        _slots[i] = slot;
    }
}

ListItem* ListView::freshItem() {
    if (!_spare.empty()) {
        ListItem* item = _spare.back();
        _spare.pop_back();
        return item;
    }
    if (_lastUsed == _lastSize) {
        // Blocks grow with the list, so a small list stays small.
        _lastSize = std::clamp<std::size_t>(_count, 16, 4096);
        _blocks.push_back(std::make_unique<ListItem[]>(_lastSize));
        _lastUsed = 0;
    }
    return &_blocks.back()[_lastUsed++];
}

void ListView::add(ListItem&& item) {
    ListItem* added = freshItem();
    *added = std::move(item);
    insert(added);
}

void ListView::add(const ListItem& item) {
    ListItem* added = freshItem();
    // Assigning reuses a spare item's string buffers.
    try {
        *added = item;
    } catch (...) {
        _spare.push_back(added);
        throw;
    }
    insert(added);
}

void ListView::insert(ListItem* added) {
    if ((_count + 1) * 2 > _slots.size()) {
        try {
            grow();
        } catch (...) {
            _spare.push_back(added);
            throw;
        }
    }
    const std::size_t hash = added->key.hash();
    const std::size_t mask = _slots.size() - 1;
    std::size_t i = hash & mask;
    for (; _slots[i].item; i = (i + 1) & mask) {
        if (_slots[i].hash == hash && _slots[i].item->key == added->key) {
            const std::string message = "list key already used: " + base::ToUtf8(added->key.str());
            _spare.push_back(added);
            throw std::invalid_argument(message);
        }
    }
    _slots[i] = {hash, added};
    ++_count;
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

bool ListView::remove(ListKey key) {
    if (_updating > 0) {
        const std::size_t slot = slotOf(key);
        if (slot == kNoSlot) return false;
        _dropped.push_back(take(slot));
        return true;
    }
    const std::int32_t index = indexOf(key);
    if (index < 0) return false;
    _order.erase(_order.begin() + index);
    _ordered = _order.size();
    // `key` may be the item's own: it stays alive among the spares.
    _spare.push_back(take(slotOf(key)));
    itemsChanged();
    return true;
}

void ListView::clear() {
    settle();
    // Spares are taken from the back: pushed in reverse order, a refill of the same
    // entries gets each one's former item back, string buffers the right size.
    _spare.reserve(_spare.size() + _count);
    _spare.insert(_spare.end(), _order.rbegin(), _order.rend());
    _order.clear();
    _ordered = 0;
    if (_count > 0) {
        for (Slot& slot : _slots) slot.item = nullptr;
        _count = 0;
    }
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
        // Compacted in place, each part keeping its order. A removed item is out of
        // the index: its key finds no item, or another item added since.
        const auto gone = [this](const ListItem* item) {
            const std::size_t slot = slotOf(item->key);
            return slot == kNoSlot || _slots[slot].item != item;
        };
        const auto middle = _order.begin() + static_cast<std::ptrdiff_t>(_ordered);
        const auto orderedEnd = std::remove_if(_order.begin(), middle, gone);
        const auto addedEnd = std::remove_if(middle, _order.end(), gone);
        _ordered = static_cast<size_t>(orderedEnd - _order.begin());
        _order.erase(std::move(middle, addedEnd, orderedEnd), _order.end());
        _spare.insert(_spare.end(), _dropped.begin(), _dropped.end());
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
