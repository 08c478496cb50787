#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/ListIndex.h"
#include "ui/ListItem.h"
#include "ui/ListItemStore.h"
#include "ui/ListOrder.h"
#include "ui/NamedHandler.h"

namespace tavisk::ui {

struct ListColumn {
    std::wstring caption;
    std::wstring key;    // may be empty
    std::int32_t width;  // twips
};

// A report-style list whose items carry a unique key. The list always shows its
// items ordered by its sort state: adding an item puts it in place, and changing
// the sort state reorders. Looking an item up by key does not walk the list.
// The items, their index and their order live here, shared by both
// implementations; a derived class only shows them.
//
// Items never move: a reference to one stays valid while the list lives, and an
// item removed or cleared keeps its contents until the list's next add(), which
// may reuse its storage. A caller may so remove, one by one and by their own keys,
// items it holds by reference.
class ListView : public Control {
public:
    // Its items are ordered with `collate` comparing their texts' runs of letters.
    explicit ListView(std::vector<ListColumn> columns, TextCollation collate = CompareIgnoringCase);

    const std::vector<ListColumn>& columns() const noexcept { return _columns; }
    std::int32_t count() const noexcept { return static_cast<std::int32_t>(_index.size()); }
    // The item shown at `index`, counted from 0 in the list's order.
    const ListItem& item(std::int32_t index) const;
    const ListItem* find(ListKey key) const;
    bool contains(ListKey key) const { return find(key) != nullptr; }
    // The item's position in the list's order, or -1.
    std::int32_t indexOf(ListKey key) const;

    // Raises std::invalid_argument when the key is already in the list; a failed
    // addition, for want of memory too, leaves the list as it was. A copy reuses
    // the storage of items removed or cleared before.
    void add(ListItem&& item);
    void add(const ListItem& item);
    bool remove(ListKey key);
    void clear();
    void setBold(ListKey key, bool bold);
    void setSelected(ListKey key, bool selected);
    // The keys of the selected items, in the list's order.
    std::vector<std::wstring> selectedKeys() const;

    SortState sortState() const noexcept { return _order.sortState(); }
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
    ListItem& at(ListKey key);
    // Records an item filled in the store's next one.
    void insert(ListItem& added);

    std::vector<ListColumn> _columns;
    // Declared in this order: the order gives removed items back to the store.
    ListItemStore _store;
    ListIndex _index;
    mutable ListOrder _order;
    int _updating = 0;
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
