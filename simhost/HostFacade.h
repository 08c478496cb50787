#pragma once

#include <memory>

#include "host/HostModel.h"

namespace tavisk::simhost {

class SimHost;
class FileNode;
class FolderNode;
class ControlNode;
struct PageWindowState;

// The host's object model over a SimHost: each call is recorded by the host's
// recorder before it acts, so a refusal chosen there leaves the state untouched.
// Objects act on the live state: a file of a web that was closed, a window that
// was closed or a control that was deleted refuses every call.
std::shared_ptr<host::HostApplication> MakeHostApplication(SimHost& host);

// The model behind an object of this facade, for the host's other faces (its COM
// objects) that offer members the add-in's interfaces leave out. Null when the
// object does not come from this facade, or (a page window) has been closed.
std::shared_ptr<FileNode> FileNodeOf(host::WebFile& file);
std::shared_ptr<FolderNode> FolderNodeOf(host::WebFolder& folder);
std::shared_ptr<ControlNode> ControlNodeOf(host::CommandBarControl& control);
std::shared_ptr<PageWindowState> PageWindowOf(host::PageWindow& window);

// The document of one page window (the application's activeDocument() is the
// active window's), refusing every call once that window is closed.
std::shared_ptr<host::HtmlDocument> MakeHostDocument(SimHost& host, std::weak_ptr<PageWindowState> window);
// The facade's object for a control found in the model.
std::shared_ptr<host::CommandBarControl> MakeHostControl(SimHost& host, std::shared_ptr<ControlNode> control);

}  // namespace tavisk::simhost
