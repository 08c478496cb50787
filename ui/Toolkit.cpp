#include <stdexcept>

#include "ui/Form.h"

namespace tavisk::ui {
namespace {
std::shared_ptr<Toolkit> g_toolkit;
}

Toolkit& CurrentToolkit() {
    if (!g_toolkit) throw std::logic_error("no window toolkit is set");
    return *g_toolkit;
}

void SetToolkit(std::shared_ptr<Toolkit> toolkit) { g_toolkit = std::move(toolkit); }

bool HasToolkit() noexcept { return g_toolkit != nullptr; }

}  // namespace tavisk::ui
