#include "ui/win32/Module.h"

#include <system_error>

namespace tavisk::ui::win32 {

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

void ThrowLastErrorIf(bool failed, const char* what) {
    if (failed) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

}  // namespace tavisk::ui::win32
