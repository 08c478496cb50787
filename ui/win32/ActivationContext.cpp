#include "ui/win32/ActivationContext.h"

#include <commctrl.h>

#include "ui/win32/Module.h"

namespace tavisk::ui::win32 {
namespace {

// Made on first use and kept for the life of the module: windows made inside it
// keep referring to it.
HANDLE Context() noexcept {
    static const HANDLE context = [] {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(ThisModule(), path, MAX_PATH);
        ACTCTXW description{};
        description.cbSize = sizeof(description);
        description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = path;
        description.hModule = ThisModule();
        description.lpResourceName = ISOLATIONAWARE_MANIFEST_RESOURCE_ID;
        return CreateActCtxW(&description);
    }();
    return context;
}

}  // namespace

ActivationScope::ActivationScope() {
    const HANDLE context = Context();
    if (context != INVALID_HANDLE_VALUE) _active = ActivateActCtx(context, &_cookie) != FALSE;
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                            ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)initialised;
}

ActivationScope::~ActivationScope() {
    if (_active) DeactivateActCtx(0, _cookie);
}

bool ActivationScope::Available() noexcept { return Context() != INVALID_HANDLE_VALUE; }

}  // namespace tavisk::ui::win32
