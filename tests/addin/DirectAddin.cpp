#include "host/HostError.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "tests/addin/AddinHarness.h"

namespace tavisk::testing {
namespace {

class DirectAddin final : public AddinUnderTest {
public:
    DirectAddin(simhost::SimHost& host, addin::CommandUi ui) : _host(host), _connect(std::move(ui)) {}
    std::int32_t connect() override {
        try {
            _connect.OnConnection(simhost::InMemoryHost(_host));
            return 0;
        } catch (const host::HostError& error) {
            return error.code();
        }
    }
    void disconnect() override { _connect.OnDisconnection(); }

private:
    simhost::SimHost& _host;
    addin::Connect _connect;
};

}  // namespace

AddinKind DirectAddinKind() {
    return {"Direct", [](simhost::SimHost& host, addin::CommandUi ui) -> std::unique_ptr<AddinUnderTest> {
                return std::make_unique<DirectAddin>(host, std::move(ui));
            }};
}

}  // namespace tavisk::testing
