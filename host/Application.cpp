#include "host/Application.h"

#include "base/Texts.h"
#include "host/HostError.h"

namespace tavisk::host {
namespace {

// Everything runs on the host's user-interface thread, so no lock is needed.
std::shared_ptr<HostApplication>& Current() {
    static std::shared_ptr<HostApplication> current;
    return current;
}

}  // namespace

HostApplication& Application() {
    auto& current = Current();
    if (!current) throw HostError(kErrorFail, base::Text(base::TextId::HostNotConnected));
    return *current;
}

void SetApplication(std::shared_ptr<HostApplication> application) { Current() = std::move(application); }

bool HasApplication() noexcept { return Current() != nullptr; }

std::shared_ptr<Web> ActiveWebOrThrow() {
    auto web = Application().activeWeb();
    if (!web) throw HostError(kErrorFail, base::Text(base::TextId::HostNoWeb));
    return web;
}

}  // namespace tavisk::host
