#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"
#include "ui/NamedHandler.h"

namespace tavisk::ui {

struct ListColumn {
    std::wstring caption;
    std::wstring key;    // may be empty
    std::int32_t width;  // twips
};

// An immutable text whose copies share one string. A page's URL is a page list
// item's key and tag and again the key and tag of its queue entry: held once
// rather than four times, which over a web of 100,000 pages is tens of megabytes.
// Reads as the std::wstring it holds. Its hash is taken once, when it is made, and
// kept beside the text: a list indexing copies of it then never reads the text,
// which over a large list is a cache miss per item.
class SharedText {
public:
    SharedText() = default;
    SharedText(std::wstring text) : _text(text.empty() ? nullptr : std::make_shared<const Hashed>(std::move(text))) {}
    SharedText(const wchar_t* text) : SharedText(std::wstring(text)) {}

    const std::wstring& str() const noexcept { return _text ? _text->text : Empty(); }
    // std::hash of the text as a std::wstring_view.
    std::size_t hash() const noexcept { return _text ? _text->hash : EmptyHash(); }
    operator const std::wstring&() const noexcept { return str(); }
    bool empty() const noexcept { return !_text; }
    size_t size() const noexcept { return str().size(); }
    const wchar_t* c_str() const noexcept { return str().c_str(); }
    std::wstring substr(size_t at, size_t count = std::wstring::npos) const { return str().substr(at, count); }

    friend bool operator==(const SharedText& a, const SharedText& b) noexcept {
        return a._text == b._text || a.str() == b.str();
    }
    friend bool operator==(const SharedText& a, const std::wstring& b) noexcept { return a.str() == b; }
    friend bool operator==(const SharedText& a, const wchar_t* b) noexcept { return a.str() == b; }
    friend std::strong_ordering operator<=>(const SharedText& a, const SharedText& b) noexcept {
        return a.str().compare(b.str()) <=> 0;
    }
    friend std::wstring operator+(const SharedText& a, const std::wstring& b) { return a.str() + b; }
    friend std::wstring operator+(const std::wstring& a, const SharedText& b) { return a + b.str(); }
    friend std::wstring operator+(const SharedText& a, const wchar_t* b) { return a.str() + b; }
    friend std::wstring operator+(const wchar_t* a, const SharedText& b) { return a + b.str(); }

private:
    struct Hashed {
        explicit Hashed(std::wstring t) : text(std::move(t)), hash(std::hash<std::wstring_view>{}(text)) {}
        std::wstring text;
        std::size_t hash;
    };
    static const std::wstring& Empty() noexcept;
    static std::size_t EmptyHash() noexcept;
    std::shared_ptr<const Hashed> _text;  // null when empty
};

// The key an item is looked up by: a text and its hash. Made from an item's own
// SharedText it takes the kept hash, and finds the item holding that same text
// without reading either text. Only as a parameter: it refers to the text it was
// made from.
class ListKey {
public:
    ListKey(const std::wstring& text) noexcept : ListKey(std::wstring_view(text)) {}
    ListKey(const wchar_t* text) noexcept : ListKey(std::wstring_view(text)) {}
    ListKey(const SharedText& text) noexcept : _text(text.str()), _hash(text.hash()), _shared(&text.str()) {}

    std::wstring_view text() const noexcept { return _text; }
    std::size_t hash() const noexcept { return _hash; }
    bool matches(const SharedText& key) const noexcept { return &key.str() == _shared || key.str() == _text; }

private:
    explicit ListKey(std::wstring_view text) noexcept : _text(text), _hash(std::hash<std::wstring_view>{}(text)) {}
    std::wstring_view _text;
    std::size_t _hash;
    const std::wstring* _shared = nullptr;
};

struct ListItem {
    SharedText key;  // unique in the list
    std::wstring text;
    std::vector<std::wstring> subItems;
    SharedText tag;
    bool bold = false;
    bool selected = false;
};

inline constexpr std::int32_t kAscending = 0;
inline constexpr std::int32_t kDescending = 1;

// The column a list is ordered by (0 = the item's text, k = its sub-item k) and the
// direction. Every list starts ordered by column 0 ascending.
struct SortState {
    std::int16_t column = 0;
    std::int32_t order = kAscending;
    bool operator==(const SortState&) const = default;
};

// The order of two texts in a list: letters compared without regard to case, runs
// of digits by their value ("page2" before "page10"), ties broken by the exact text
// so the order never depends on insertion. Negative, zero or positive.
int CompareForSort(std::wstring_view a, std::wstring_view b);

// A report-style list whose items carry a unique key. The list always shows its
// items ordered by its sort state: adding an item puts it in place, and changing
// the sort state reorders. Looking an item up by key does not walk the list.
// The item store and the order live here, shared by both implementations; a
// derived class only shows them.
class ListView : public Control {
public:
    explicit ListView(std::vector<ListColumn> columns);

    const std::vector<ListColumn>& columns() const noexcept { return _columns; }
    std::int32_t count() const noexcept { return static_cast<std::int32_t>(_count); }
    // The item shown at `index`, counted from 0 in the list's order.
    const ListItem& item(std::int32_t index) const;
    const ListItem* find(ListKey key) const;
    bool contains(ListKey key) const { return find(key) != nullptr; }
    // The item's position in the list's order, or -1.
    std::int32_t indexOf(ListKey key) const;

    // Raises std::invalid_argument when the key is already in the list. A copy
    // reuses the storage of items removed or cleared before.
    void add(ListItem&& item);
    void add(const ListItem& item);
    bool remove(ListKey key);
    void clear();
    void setBold(ListKey key, bool bold);
    void setSelected(ListKey key, bool selected);
    // The keys of the selected items, in the list's order.
    std::vector<std::wstring> selectedKeys() const;

    SortState sortState() const noexcept { return _sort; }
    void setSortState(SortState state);

    // Between beginUpdate() and the matching endUpdate() the list shows nothing
    // again: additions and removals are put in order once, at the end, and the
    // list is shown once. Reading by position in between puts them in order first.
    // Calls nest; ListUpdate pairs them.
    void beginUpdate() noexcept { ++_updating; }
    void endUpdate();

    // A click on column header `header`, counted from 1.
    std::function<void(std::int32_t header)> onColumnClick;
    // A double-click on an item; never raised for empty space.
    NamedHandler<const std::wstring&> onDoubleClick;

protected:
    // The order or the number of items changed: show them all again.
    virtual void itemsChanged() = 0;
    // The item at `index` changed its bold mark or its selection.
    virtual void itemChanged(std::int32_t index) = 0;
    // The user changed the selection of the item at `index`; nothing is shown again.
    void selectionChangedByUser(std::int32_t index, bool selected);

private:
    const std::wstring& sortText(const ListItem& item) const;
    bool before(const ListItem* a, const ListItem* b) const;
    ListItem& at(ListKey key);
    // The keyed index: open addressing with linear probing over a power-of-two
    // table at most half full, written here because a chained map costs several
    // scattered reads per look-up and fills are dominated by look-ups. A slot holds
    // the key's hash and its item; items never move.
    struct Slot {
        std::size_t hash = 0;
        ListItem* item = nullptr;  // null: a free slot
    };
    static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
    std::size_t slotOf(ListKey key) const;
    // Takes the item out of its slot, closing the gap so later probes still find theirs.
    ListItem* take(std::size_t slot);
    void grow();
    // An item to fill: a spare one when the list has one, else a new one.
    ListItem* freshItem();
    // Indexes a filled item and puts it in the order.
    void insert(ListItem* added);
    void placeInOrder(ListItem* added);
    // Applies the additions and removals an update left pending to the order.
    void settle() const;

    std::vector<ListColumn> _columns;
    std::vector<Slot> _slots;
    std::size_t _count = 0;
    // The shown order. Its first _ordered items are in order; during an update the
    // items added after them are not yet, and removed ones (kept alive in _dropped)
    // are still there, until settle().
    mutable std::vector<ListItem*> _order;
    mutable size_t _ordered = 0;
    mutable std::vector<ListItem*> _dropped;
    // Items gone from the list, with their strings' storage, for the next
    // additions: a list cleared and filled again allocates next to nothing per item.
    mutable std::vector<ListItem*> _spare;
    // Every item the list has made, in blocks rather than one allocation each;
    // the last block is filled up to _lastUsed.
    std::vector<std::unique_ptr<ListItem[]>> _blocks;
    std::size_t _lastSize = 0, _lastUsed = 0;
    int _updating = 0;
    SortState _sort;
};

// Keeps a list in an update for one scope, so a fill that fails half way still
// shows what it added.
class ListUpdate {
public:
    explicit ListUpdate(ListView& list) : _list(list) { _list.beginUpdate(); }
    ~ListUpdate() { _list.endUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

private:
    ListView& _list;
};

}  // namespace tavisk::ui
