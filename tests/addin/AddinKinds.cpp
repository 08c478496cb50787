#include "tests/addin/AddinHarness.h"

namespace tavisk::testing {

AddinKind DirectAddinKind();
#ifdef TAVISK_TEST_COM_HOST
std::vector<AddinKind> ComAddinKinds();
#endif

std::vector<AddinKind> AddinKinds() {
    std::vector<AddinKind> kinds{DirectAddinKind()};
#ifdef TAVISK_TEST_COM_HOST
    for (auto& kind : ComAddinKinds()) kinds.push_back(std::move(kind));
#endif
    return kinds;
}

}  // namespace tavisk::testing
