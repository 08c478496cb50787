#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include "simhost/ObjectModel.h"

namespace tavisk::simhost::win32 {

// Office's CommandBars collection over the host's command bars, as the
// Application's CommandBars hands it out.
Microsoft::WRL::ComPtr<IDispatch> MakeCommandBarsDispatch(CommandBars bars);

}  // namespace tavisk::simhost::win32
