#pragma once

#include <memory>

#include "host/HostModel.h"

namespace tavisk::simhost {

class SimHost;

// The host's object model over a SimHost: each call is recorded by the host's
// recorder before it acts, so a refusal chosen there leaves the state untouched.
// Objects act on the live state: a file of a web that was closed, a window that
// was closed or a control that was deleted refuses every call.
std::shared_ptr<host::HostApplication> MakeHostApplication(SimHost& host);

}  // namespace tavisk::simhost
