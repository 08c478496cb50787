#pragma once

#include <memory>

#include "ui/Form.h"
#include "ui/memory/MemoryToolkit.h"
#include "ui/win32/Win32EditorWindow.h"
#include "ui/win32/Win32Form.h"

namespace tavisk::testing {

// The host's main window as the real toolkit finds it, its message boxes recorded.
struct RecordedEditorWindow final : ui::win32::Win32EditorWindow {
    RecordedEditorWindow(HWND window, ui::MessageBoxes& boxes) : Win32EditorWindow(window), boxes(boxes) {}
    ui::MessageBoxes& messages() override { return boxes; }
    static std::shared_ptr<ui::EditorWindow> Find(ui::MessageBoxes& boxes) {
        const auto found = Win32EditorWindow::Find();
        return found ? std::make_shared<RecordedEditorWindow>(found->window(), boxes) : nullptr;
    }
    ui::MessageBoxes& boxes;
};

// Real forms; message boxes recorded instead of shown, so a test never waits on one.
class RecordingToolkit final : public ui::Toolkit {
public:
    std::shared_ptr<ui::Form> createForm(const ui::FormDesign& design) override { return _real.createForm(design); }
    std::shared_ptr<ui::ProgressWindow> createProgressWindow(const ui::ProgressDesign& design) override {
        return _real.createProgressWindow(design);
    }
    ui::MessageBoxes& messages() override { return boxes; }
    std::shared_ptr<ui::EditorWindow> editorWindow() override { return RecordedEditorWindow::Find(boxes); }
    ui::memory::MemoryMessageBoxes boxes;

private:
    ui::win32::Win32Toolkit _real;
};

}  // namespace tavisk::testing
