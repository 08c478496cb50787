#pragma once

#include "host/HostModel.h"
#include "margins/MarginSettings.h"

namespace tavisk {

// Removes the four margin attributes from the BODY element of the page `window`
// shows, then sets the ones `settings` asks for. Does not save. The window's own
// document, never the application's active one: for a frames page that is the
// page of one of its frames, which the user did not choose.
void SetBodyMargins(host::PageWindow& window, const MarginSettings& settings);

}  // namespace tavisk
