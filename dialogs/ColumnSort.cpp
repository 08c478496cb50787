#include "dialogs/ColumnSort.h"

namespace tavisk {

void SortOnColumnClick(ui::ListView& list, std::int32_t header) {
    if (header < 1 || header > static_cast<std::int32_t>(list.columns().size())) return;
    ui::SortState state = list.sortState();
    const auto column = static_cast<std::int16_t>(header - 1);
    if (column == state.column) {
        state.order = state.order == ui::kAscending ? ui::kDescending : ui::kAscending;
    } else {
        state.column = column;
        state.order = ui::kAscending;
    }
    list.setSortState(state);
}

}  // namespace tavisk
