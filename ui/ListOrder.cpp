#include "ui/ListOrder.h"

#include <algorithm>
#include <utility>

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

std::size_t EndOfRun(std::wstring_view text, std::size_t from, bool digits) {
    while (from < text.size() && IsDigit(text[from]) == digits) ++from;
    return from;
}

// Compares run by run, digit runs by value; 0 when the texts differ only in what
// the collation ignores or in leading zeros.
int CompareLoosely(std::wstring_view a, std::wstring_view b, TextCollation collate) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitsA = IsDigit(a[i]), digitsB = IsDigit(b[j]);
        if (digitsA != digitsB) {
            // A number against text: the collation places the two first characters.
            if (const int c = collate(a.substr(i, 1), b.substr(j, 1)); c != 0) return c;
            return digitsA ? -1 : 1;
        }
        std::size_t ei = EndOfRun(a, i, digitsA), ej = EndOfRun(b, j, digitsB);
        if (digitsA) {
            while (i < ei && a[i] == L'0') ++i;
            while (j < ej && b[j] == L'0') ++j;
            if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
            if (const int c = a.substr(i, ei - i).compare(b.substr(j, ej - j)); c != 0) return c;
        } else if (const auto runA = a.substr(i, ei - i), runB = b.substr(j, ej - j); runA != runB) {
            // Equal runs, the most of any two names, need no collation.
            if (const int c = collate(runA, runB); c != 0) return c;
        }
        i = ei;
        j = ej;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace

int CompareIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t ca = Fold(a[i]), cb = Fold(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareForSort(std::wstring_view a, std::wstring_view b, TextCollation collate) {
    if (const int c = CompareLoosely(a, b, collate); c != 0) return c;
    return a.compare(b);
}

void ListOrder::setSortState(SortState state) noexcept {
    _sort = state;
    _ordered = 0;
    settle();
}

std::size_t ListOrder::indexOf(const ListItem& item) noexcept {
    settle();
    // The order is total (the key breaks the last ties), so a binary search finds it.
    const auto at = std::lower_bound(_items.begin(), _items.end(), &item,
                                     [this](const ListItem* a, const ListItem* b) { return before(a, b); });
    return static_cast<std::size_t>(at - _items.begin());
}

void ListOrder::reserveOne() {
    if (_items.size() == _items.capacity()) _items.reserve(std::max<std::size_t>(16, _items.size() * 2));
}

void ListOrder::add(ListItem& item, bool defer) noexcept {
    if (defer) {
        _items.push_back(&item);
        return;
    }
    settle();
    const auto at = std::upper_bound(_items.begin(), _items.end(), &item,
                                     [this](const ListItem* a, const ListItem* b) { return before(a, b); });
    _items.insert(at, &item);
    _ordered = _items.size();
}

void ListOrder::remove(ListItem& item, bool defer) {
    if (defer) {
        _dropped.push_back(&item);
        return;
    }
    _items.erase(_items.begin() + static_cast<std::ptrdiff_t>(indexOf(item)));
    _ordered = _items.size();
    _store.giveBack(&item);
}

void ListOrder::clear() noexcept {
    settle();
    for (auto item = _items.rbegin(); item != _items.rend(); ++item) _store.giveBack(*item);
    _items.clear();
    _ordered = 0;
}

void ListOrder::settle() noexcept {
    const auto less = [this](const ListItem* a, const ListItem* b) { return before(a, b); };
    if (!_dropped.empty()) {
        // Compacted in place, each part keeping its order. A removed item stays out
        // of the store until now, so no item added since can share its address.
        std::sort(_dropped.begin(), _dropped.end());
        const auto gone = [this](const ListItem* item) {
            return std::binary_search(_dropped.begin(), _dropped.end(), item);
        };
        const auto middle = _items.begin() + static_cast<std::ptrdiff_t>(_ordered);
        const auto orderedEnd = std::remove_if(_items.begin(), middle, gone);
        const auto addedEnd = std::remove_if(middle, _items.end(), gone);
        _ordered = static_cast<std::size_t>(orderedEnd - _items.begin());
        _items.erase(std::move(middle, addedEnd, orderedEnd), _items.end());
        for (ListItem* item : _dropped) _store.giveBack(item);
        _dropped.clear();
    }
    if (_ordered < _items.size()) {
        // Items added in a fill often come in order already (a host's own order of
        // names): then only a merge with those before them remains.
        const auto middle = _items.begin() + static_cast<std::ptrdiff_t>(_ordered);
        if (!std::is_sorted(middle, _items.end(), less)) std::sort(middle, _items.end(), less);
        if (middle != _items.begin() && less(*middle, *(middle - 1)))
            std::inplace_merge(_items.begin(), middle, _items.end(), less);
        _ordered = _items.size();
    }
}

const std::wstring& ListOrder::sortText(const ListItem& item) const noexcept {
    static const std::wstring kNone;
    if (_sort.column <= 0) return item.text;
    const auto sub = static_cast<size_t>(_sort.column - 1);
    return sub < item.subItems.size() ? item.subItems[sub] : kNone;
}

bool ListOrder::before(const ListItem* a, const ListItem* b) const noexcept {
    if (_sort.order == kDescending) std::swap(a, b);
    if (const int c = CompareForSort(sortText(*a), sortText(*b), _collate); c != 0) return c < 0;
    return a->key < b->key;
}

}  // namespace tavisk::ui
