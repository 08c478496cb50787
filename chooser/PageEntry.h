#pragma once

#include <string>

#include "ui/ListView.h"

namespace tavisk {

// A page as an item of the page lists: key and tag its URL, text its name, sub-item
// 1 its title and, in the two queue lists, sub-item 2 its folder within the web.

// Sub-item `index` (from 1) of a list item; empty when the item has none.
const std::wstring& SubItem(const ui::ListItem& item, size_t index);

// A queue entry made from a page-list or queue item, with the given "Located in".
ui::ListItem QueueEntry(const ui::ListItem& page, const std::wstring& locatedIn);
// The same, made in `entry` (reusing its strings' storage); `entry` must be neither
// `page` nor hold `locatedIn`.
void AssignQueueEntry(ui::ListItem& entry, const ui::ListItem& page, const std::wstring& locatedIn);

// The root node's text for the root folder's URL: a disk-based web's URL (any
// letter case of "file:///") without the scheme and without the closing "/"; any
// other URL unchanged. Only a closing "/" is dropped.
std::wstring RootText(const std::wstring& rootUrl);

// The URL of the folder holding a page: the page's URL with its name removed from
// the end only (the name may occur earlier in the URL too, as in "class.htm/s.htm").
// A URL that does not end in the name is returned whole.
std::wstring FolderOfPage(const std::wstring& pageUrl, const std::wstring& name);

}  // namespace tavisk
