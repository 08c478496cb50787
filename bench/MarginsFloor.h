#pragma once

#include <string>
#include <vector>

#include "host/HostModel.h"
#include "margins/MarginSettings.h"

namespace tavisk::bench {

// The floor of the margin run: the host work the run asks for, issued directly in a
// loop through the host's object model, without the add-in. For every page of the
// open web (or every URL of `queue` when `settings.allPages` is false): open, view
// mode 1, the four removals on one BODY lookup and each setting with a lookup of
// its own, Save, then the view mode put back or Close, each command found afresh in
// "menu bar". Which pages the user has open is asked once, not for every page.
void RunMarginsFloor(host::HostApplication& app, const MarginSettings& settings,
                     const std::vector<std::wstring>& queue);

}  // namespace tavisk::bench
