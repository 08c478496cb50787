#pragma once

#include "ui/ListView.h"

namespace tavisk {

// "Edit &Queue" of the options dialog: shows the wait window, fills the page
// chooser while it is hidden (the dialog's queue `options` copied in, the folder
// tree, the root folder's pages), removes the wait window, then shows the chooser
// modeless, topmost and in the foreground. With the chooser already open it only
// brings it to the front. When the load fails, neither the wait window nor the
// half-filled chooser is left, and the failure is raised.
void EditQueue(ui::ListView& options);

// Installs the page chooser behind the options dialog's "Edit &Queue".
void InstallPageChooser();

}  // namespace tavisk
