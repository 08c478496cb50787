#pragma once

#include <cstdint>

#include "ui/ListView.h"

namespace tavisk::ui {

// The one rule of every page list's column headers: a click on the header the
// list is ordered by reverses the order; a click on another header orders by that
// column, ascending. `header` counts from 1; a header the list does not have
// changes nothing.
void SortOnColumnClick(ListView& list, std::int32_t header);

}  // namespace tavisk::ui
