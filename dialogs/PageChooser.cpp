#include "dialogs/PageChooser.h"

namespace tavisk {
namespace {
std::shared_ptr<PageChooser> g_chooser;
}

void SetPageChooser(std::shared_ptr<PageChooser> chooser) { g_chooser = std::move(chooser); }

std::shared_ptr<PageChooser> CurrentPageChooser() { return g_chooser; }

}  // namespace tavisk
