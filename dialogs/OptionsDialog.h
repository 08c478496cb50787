#pragma once

namespace tavisk {

// Shows the process-wide options dialog (made and loaded on first use; a second
// call shows the same one) modeless, then makes it topmost and brings it to the
// foreground. On Windows it is made with the real common controls; the add-in's
// resources (dialogs/win32/DialogResources.rc) must be linked into the module.
// Raises what a failing load raises (a host::HostError from the host).
void ShowOptionsDialog();

// Closes the options dialog, with its about box and page chooser, as Cancel does
// (a run in progress stops before its next page); nothing when it is not open.
void CloseOptionsDialog() noexcept;

}  // namespace tavisk
