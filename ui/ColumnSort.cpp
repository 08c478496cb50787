#include "ui/ColumnSort.h"

namespace tavisk::ui {

void SortOnColumnClick(ListView& list, std::int32_t header) {
    if (header < 1 || header > static_cast<std::int32_t>(list.columns().size())) return;
    SortState state = list.sortState();
    const auto column = static_cast<std::int16_t>(header - 1);
    if (column == state.column) {
        state.order = state.order == kAscending ? kDescending : kAscending;
    } else {
        state.column = column;
        state.order = kAscending;
    }
    list.setSortState(state);
}

}  // namespace tavisk::ui
