#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <optional>

#include "simhost/ObjectModel.h"

namespace tavisk::simhost::win32 {

// The editor's web and page objects as late-bound IDispatch objects under the real
// editor's member names and dispatch ids: Web, WebFolder(s), WebFile(s), WebWindow,
// PageWindow(s), and the page's document and BODY element.
Microsoft::WRL::ComPtr<IDispatch> MakeWebDispatch(Web web);
Microsoft::WRL::ComPtr<IDispatch> MakeWebWindowDispatch(WebWindow window, Application application);
// Null when there is no window, as Basic's Nothing.
Microsoft::WRL::ComPtr<IDispatch> MakePageWindowDispatch(std::optional<PageWindow> window);
Microsoft::WRL::ComPtr<IDispatch> MakeDocumentDispatch(Document document);

// The folder behind `object` when it is a folder object of this host, for MakeRel.
std::optional<WebFolder> FolderOf(IUnknown* object);

}  // namespace tavisk::simhost::win32
