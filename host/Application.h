#pragma once

#include <memory>

#include "host/HostModel.h"

namespace tavisk::host {

// The process-wide access point to the running host's application. The add-in sets
// it when the host connects it, and clears it at disconnection; tests set their own
// host. Asking while none is set raises HostError.
HostApplication& Application();
void SetApplication(std::shared_ptr<HostApplication> application);
bool HasApplication() noexcept;

// The host's open web; raises HostError with the one text every caller reports when
// none is open (the user can close the web while a dialog of the add-in is shown).
std::shared_ptr<Web> ActiveWebOrThrow();

}  // namespace tavisk::host
