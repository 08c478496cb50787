#pragma once

// The makers of the host's COM objects, shared by the files that define them.

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>

#include "host/HostModel.h"

namespace tavisk::simhost {
class SimHost;
}

namespace tavisk::simhost::win32 {

Microsoft::WRL::ComPtr<IDispatch> MakeCommandBarsDispatch(SimHost& host, std::shared_ptr<host::CommandBars> bars);

}  // namespace tavisk::simhost::win32
