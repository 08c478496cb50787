#include "base/win32/ThisModule.h"

// The linker's name for the first byte of the image this code is linked into. A
// module's handle is its load address, so this is the module's handle without
// asking the loader (GetModuleHandleExW arrived only with Windows XP).
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace tavisk::base::win32 {

HMODULE ThisModule() noexcept { return reinterpret_cast<HMODULE>(&__ImageBase); }

std::wstring ModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
}

}  // namespace tavisk::base::win32
