#pragma once

namespace tavisk::addin {

// What keeps the library loaded: live Connect objects and locks on the class
// factory. DllCanUnloadNow allows unloading only when neither exists.
void ModuleAddRef() noexcept;
void ModuleRelease() noexcept;
bool ModuleInUse() noexcept;

}  // namespace tavisk::addin
