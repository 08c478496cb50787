#pragma once

#include "host/HostModel.h"
#include "margins/MarginSettings.h"

namespace tavisk {

// Removes the four margin attributes from the BODY element of the page that is
// active in the host, then sets the ones `settings` asks for. Does not save.
void SetBodyMargins(const MarginSettings& settings);

// True when the file's extension is HTML, HTM or ASP, in any letter case.
bool IsPage(host::WebFile& file);

}  // namespace tavisk
