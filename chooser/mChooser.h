#pragma once

#include <string>

#include "host/HostModel.h"
#include "ui/Controls.h"

namespace tavisk {

class frmChooseFiles;

// The chooser's procedures over the host and the chooser's controls.

// Fills the hidden chooser for `web`: copies the options dialog's queue `options`
// into the chooser's queue, builds the folder tree from the root node down and
// lists the root folder's pages. No node is expanded or selected.
void LoadWeb(frmChooseFiles& chooser, const ui::ListView& options, host::Web& web);

// Adds below `folder`'s node, already in `tree`, a node for every subfolder that
// is not excluded, then the same for each of those in turn: all children of a
// folder before any grandchild, siblings in the host's order, nothing below an
// excluded folder. Each folder's subfolders are walked once.
void FillFolderTree(ui::TreeView& tree, host::WebFolder& folder);

// Replaces the chooser's page list with the pages of `folder` (its own files that
// are pages, in the host's order), each bold when its URL is queued.
void ListFolderPages(frmChooseFiles& chooser, host::WebFolder& folder);

// True when the chooser's queue holds the page with this URL (compared exactly).
bool IsQueued(const ui::ListView& queue, const std::wstring& url);

// Replaces the options dialog's queue by copies of the chooser's queue entries.
void CopyQueueToOptions(const ui::ListView& queue, ui::ListView& options);

}  // namespace tavisk
