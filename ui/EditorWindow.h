#pragma once

#include "ui/MessageBoxes.h"

namespace tavisk::ui {

// The host's main window, as the add-in found it when its menu command arrived.
// The add-in knows it by nothing else: a run keeps it waiting as a modal dialog
// keeps its owner, and the boxes that end a run belong to it.
class EditorWindow {
public:
    virtual ~EditorWindow() = default;
    // False while it takes no input from the user.
    virtual bool enabled() const = 0;
    // Takes the activation from the add-in's window that has it, so that hiding that
    // window hands the activation to no other program. Nothing when none of the
    // add-in's windows is active.
    virtual void activate() noexcept = 0;
    // false: it waits, and so do the editor's other windows that take input (its
    // enabled, visible top-level windows, as under a task-modal box; not the
    // add-in's). true: the keys and clicks queued for them meanwhile are dropped, and
    // exactly those windows take input again.
    virtual void setEnabled(bool enabled) noexcept = 0;
    // Modal message boxes owned by it: they come up over it even when the user has
    // switched to another program, and it stays disabled under them.
    virtual MessageBoxes& messages() = 0;
};

}  // namespace tavisk::ui
