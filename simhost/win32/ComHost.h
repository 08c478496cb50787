#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

namespace tavisk::simhost {
class SimHost;
}

namespace tavisk::simhost::win32 {

// The host's Application object over `host`, as an add-in receives it in
// OnConnection: late-bound IDispatch objects under the real host's member names
// (ActiveWeb, ActivePageWindow, ActiveDocument, MakeRel, CommandBars, ...). Every
// call goes through the host's recorded object model, so a failure chosen in
// host.recorder() reaches the caller as a failed HRESULT with the host's text.
// `host` must outlive every object handed out; no window is needed.
Microsoft::WRL::ComPtr<IDispatch> MakeApplicationDispatch(SimHost& host);

}  // namespace tavisk::simhost::win32
