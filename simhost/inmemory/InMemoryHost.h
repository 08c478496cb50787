#pragma once

#include <memory>

#include "host/HostModel.h"

namespace tavisk::simhost {

class SimHost;

// The add-in's view of the host (host::HostApplication) over a SimHost in the same
// process, with no COM between them: for the native tests and benchmarks only. A
// thin adapter on the stand-in's object model (simhost/ObjectModel.h), so every call
// is recorded as it is through COM. The stand-in's refusals (SimError) are errors
// of the shared base, which is what the add-in catches as host::HostError. `host`
// must outlive every object handed out.
std::shared_ptr<host::HostApplication> InMemoryHost(SimHost& host);

}  // namespace tavisk::simhost
