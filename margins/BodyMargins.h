#pragma once

#include "margins/MarginSettings.h"

namespace tavisk {

// Removes the four margin attributes from the BODY element of the page that is
// active in the host, then sets the ones `settings` asks for. Does not save.
void SetBodyMargins(const MarginSettings& settings);

}  // namespace tavisk
