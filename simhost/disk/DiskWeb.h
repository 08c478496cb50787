#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "simhost/WebModel.h"

namespace tavisk::simhost {

// Opens a folder as a disk-based web. Folders and files are listed by name (A-Z
// compared without case, then exactly); folders whose name starts with "_" are the
// web's hidden folders, whose files the web's flat collection still holds (each
// folder's files, then its subfolders', depth first). The editor's metadata folders
// ("_vti_cnf", "_vti_pvt", ...) are left out altogether. URLs are "file:///" and the
// absolute path with "/" (file:///C:/Webs/site, file:///tmp/site). A page's title is
// its TITLE text as a browser shows it; any other file's title is its name.
// Pages (.htm, .html, .asp in any case) are read when opened and written back, with
// only their BODY start tags changed, when saved; other files are not opened as pages.
// Folders reached through a symbolic link are not entered, so a link cannot loop.
// Raises SimError when the folder cannot be read.
std::shared_ptr<WebModel> OpenDiskWeb(const std::filesystem::path& folder);

// The page's text as the editor holds it now: what Save would write. For a document
// that did not come from a disk page, its BODY start tag. Raises SimError when Save
// would refuse the document's attributes.
std::wstring PageSourceText(const PageDocument& document);

// The URL of a file or folder of a disk-based web.
std::wstring DiskUrl(const std::filesystem::path& absolute);

}  // namespace tavisk::simhost
