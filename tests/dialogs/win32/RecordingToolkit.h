#pragma once

#include <memory>

#include "ui/Form.h"
#include "ui/memory/MemoryToolkit.h"
#include "ui/win32/Win32Form.h"

namespace tavisk::testing {

// Real forms; message boxes recorded instead of shown, so a test never waits on one.
class RecordingToolkit final : public ui::Toolkit {
public:
    std::shared_ptr<ui::Form> createForm(const ui::FormDesign& design) override { return _real.createForm(design); }
    std::shared_ptr<ui::ProgressWindow> createProgressWindow(const ui::ProgressDesign& design) override {
        return _real.createProgressWindow(design);
    }
    ui::MessageBoxes& messages() override { return boxes; }
    ui::memory::MemoryMessageBoxes boxes;

private:
    ui::win32::Win32Toolkit _real;
};

}  // namespace tavisk::testing
