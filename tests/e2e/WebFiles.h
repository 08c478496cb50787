#pragma once

// A web's files on disk, before and after a drive: copies, snapshots, the BODY
// start tag of each page, and the check that a save changed nothing but that tag.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "simhost/PageDocument.h"

namespace tavisk::e2e {

// Every file below the folder by its path relative to it ("products/index.htm"), with its bytes.
using WebSnapshot = std::map<std::wstring, std::string>;

WebSnapshot ReadWeb(const std::filesystem::path& folder);
// A fresh copy of `source` in a new folder named `name` under the system's temporary folder.
std::filesystem::path CopyWeb(const std::filesystem::path& source, const std::wstring& name);
// Whether the editor opens the file as a page (.htm, .html, .asp in any case; none of its "_vti_" folders).
bool IsPageFile(const std::wstring& relative);

// The page's BODY start tag as its bytes hold it (the FRAMESET's for a frames page),
// in the page's encoding, followed by any later BODY start tags that add to the
// element; "(none)" for a page whose body has no start tag.
std::wstring BodyStartTag(const std::string& page);
std::vector<simhost::Attribute> BodyAttributes(const std::string& page);

// Empty when `after` is `before` rewritten as the page editor promises
// (BodyTagCheck.h) and the BODY element holds exactly `attributes` (in any order);
// otherwise what differs.
std::wstring RewriteProblem(const std::string& before, const std::string& after,
                            const std::vector<simhost::Attribute>& attributes);

}  // namespace tavisk::e2e
