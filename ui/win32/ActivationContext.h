#pragma once

#include <windows.h>

namespace tavisk::ui::win32 {

// The add-in's own activation context, made once from the common-controls v6
// manifest (resource ISOLATIONAWARE_MANIFEST_RESOURCE_ID, 2, of the module that
// holds this code), so its windows and message boxes get the themed controls
// whatever the host's own manifest says, and released when the module unloads.
// While an instance of this class lives, the context is active on the thread:
// windows, controls and message boxes are made inside one.
class ActivationScope {
public:
    ActivationScope();
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

    // False when the module has no manifest resource or the system refused it:
    // the windows are then made with the process's own controls.
    static bool Available() noexcept;

    // Makes the lookup find no activation contexts, as on Windows 2000, so that the
    // windows get the process's own (classic) controls. For a test program that
    // calls it before its first window; nothing of the DLL reaches it.
    static void FindNoContextsForTesting() noexcept;

private:
    ULONG_PTR _cookie = 0;
    bool _active = false;
};

}  // namespace tavisk::ui::win32
