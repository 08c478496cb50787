#pragma once

#include <windows.h>

#include <string>

namespace tavisk::base::win32 {

// The module that holds this code: the add-in's DLL inside a host, the stand-in
// host's program, or a test program. Resources are found here, never through the
// process's executable.
HMODULE ThisModule() noexcept;

// The full path of `module` (null: the process's executable), however long; empty
// when the system cannot tell it.
std::wstring ModulePath(HMODULE module);

}  // namespace tavisk::base::win32
