#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>

#include "host/HostModel.h"

namespace tavisk::host::win32 {

// The source named in the error info of the add-in's failures the host is told of.
inline constexpr wchar_t kErrorSource[] = L"tavisk2002.Connect";

// The host's object model over the application object the host hands to the
// add-in, late-bound by the documented member names. Raises HostError when the
// object is not a host application (it lacks ActiveWeb or CommandBars).
std::shared_ptr<HostApplication> MakeDispatchApplication(Microsoft::WRL::ComPtr<IDispatch> application);
// One of the host's WebFolder objects, as the application's objects hand them out.
std::shared_ptr<WebFolder> MakeDispatchFolder(Microsoft::WRL::ComPtr<IDispatch> folder);
// One of the host's WebFile objects, likewise.
std::shared_ptr<WebFile> MakeDispatchFile(Microsoft::WRL::ComPtr<IDispatch> file);

}  // namespace tavisk::host::win32
