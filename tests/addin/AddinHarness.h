#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "addin/Connect.h"
#include "simhost/SimHost.h"

namespace tavisk::testing {

// The add-in as one test drives it: connected to a stand-in host either directly
// through the host's object model, or through COM as a real host connects it.
class AddinUnderTest {
public:
    virtual ~AddinUnderTest() = default;
    // 0 when the connection succeeds, otherwise the failure code it returned.
    virtual std::int32_t connect() = 0;
    virtual void disconnect() = 0;
};

struct AddinKind {
    std::string name;
    std::function<std::unique_ptr<AddinUnderTest>(simhost::SimHost&, addin::CommandUi)> make;
};

// Test names and messages show the kind by its name.
inline void PrintTo(const AddinKind& kind, std::ostream* out) { *out << kind.name; }

// The kinds this build can drive: always the direct one; under Windows also the
// COM object called through its vtable and through IDispatch.
std::vector<AddinKind> AddinKinds();

}  // namespace tavisk::testing
