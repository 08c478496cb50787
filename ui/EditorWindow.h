#pragma once

#include <utility>

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
    virtual void setEnabled(bool enabled) noexcept = 0;
    // Modal message boxes owned by it: they come up over it even when the user has
    // switched to another program, and it stays disabled under them.
    virtual MessageBoxes& messages() = 0;
};

// Keeps the editor waiting from begin() until the scope ends, whichever way it
// ends. An editor that is already disabled (a modal window of someone else's is
// up) is left to whoever disabled it.
class EditorWait {
public:
    explicit EditorWait(EditorWindow* editor) noexcept : _editor(editor) {}
    ~EditorWait() { end(); }
    EditorWait(const EditorWait&) = delete;
    EditorWait& operator=(const EditorWait&) = delete;

    void begin() noexcept {
        if (!_editor || _disabled || !_editor->enabled()) return;
        _editor->setEnabled(false);
        _disabled = true;
    }
    void end() noexcept {
        if (std::exchange(_disabled, false)) _editor->setEnabled(true);
    }

private:
    EditorWindow* _editor;
    bool _disabled = false;
};

}  // namespace tavisk::ui
