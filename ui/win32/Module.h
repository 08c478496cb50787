#pragma once

#include <windows.h>

namespace tavisk::ui::win32 {

// The module that holds this code: the add-in's DLL inside a host, or a test
// program. Resources are found here, never through the process's executable.
HMODULE ThisModule() noexcept;

// Throws std::system_error with the thread's last error when `ok` is false.
void ThrowLastErrorIf(bool failed, const char* what);

}  // namespace tavisk::ui::win32
