#include "base/win32/ComObject.h"

namespace tavisk::base::win32 {
namespace {
LONG g_references = 0;
}

void ModuleAddRef() noexcept { InterlockedIncrement(&g_references); }
void ModuleRelease() noexcept { InterlockedDecrement(&g_references); }
bool ModuleInUse() noexcept { return InterlockedCompareExchange(&g_references, 0, 0) != 0; }

}  // namespace tavisk::base::win32
