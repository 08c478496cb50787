#include "ui/win32/ActivationContext.h"

#include <commctrl.h>

#include <type_traits>

#include "base/win32/ThisModule.h"

namespace tavisk::ui::win32 {

using base::win32::ModulePath;
using base::win32::ThisModule;

namespace {

bool g_withoutContexts = false;

// Activation contexts arrived with Windows XP; on Windows 2000, which has no
// version 6 common controls either, the functions are missing and the windows
// get the classic controls, as the host's own do there. Looked up at run time, so
// the DLL imports none of them and loads on both.
struct ContextFunctions {
    decltype(&CreateActCtxW) create = nullptr;
    decltype(&ReleaseActCtx) release = nullptr;
    decltype(&ActivateActCtx) activate = nullptr;
    decltype(&DeactivateActCtx) deactivate = nullptr;

    ContextFunctions() noexcept {
        if (g_withoutContexts) return;
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (!kernel) return;
        const auto find = [kernel](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
        };
        find(create, "CreateActCtxW");
        find(release, "ReleaseActCtx");
        find(activate, "ActivateActCtx");
        find(deactivate, "DeactivateActCtx");
        if (!release || !activate || !deactivate) create = nullptr;  // all four, or none used
    }

    explicit operator bool() const noexcept { return create != nullptr; }
};

const ContextFunctions& Functions() noexcept {
    static const ContextFunctions functions;
    return functions;
}

// The context, made from the module's manifest on first use and released when the
// module unloads (its statics are destroyed at DLL_PROCESS_DETACH): windows made
// inside it keep referring to it until then, and the module does not unload while
// one of its windows is open.
class ModuleContext {
public:
    ModuleContext() noexcept {
        if (!Functions()) return;
        std::wstring path;
        try {
            path = ModulePath(ThisModule());
        } catch (...) {
            return;  // no memory for the path: the process's own controls are used
        }
        ACTCTXW description{};
        description.cbSize = sizeof(description);
        description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = path.c_str();
        description.hModule = ThisModule();
        description.lpResourceName = ISOLATIONAWARE_MANIFEST_RESOURCE_ID;
        _handle = Functions().create(&description);
    }
    ~ModuleContext() {
        if (_handle != INVALID_HANDLE_VALUE) Functions().release(_handle);
    }
    ModuleContext(const ModuleContext&) = delete;
    ModuleContext& operator=(const ModuleContext&) = delete;

    HANDLE handle() const noexcept { return _handle; }

private:
    HANDLE _handle = INVALID_HANDLE_VALUE;
};

HANDLE Context() noexcept {
    static const ModuleContext context;
    return context.handle();
}

}  // namespace

ActivationScope::ActivationScope() {
    const HANDLE context = Context();
    if (context != INVALID_HANDLE_VALUE) _active = Functions().activate(context, &_cookie) != FALSE;
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                            ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)initialised;
}

ActivationScope::~ActivationScope() {
    if (_active) Functions().deactivate(0, _cookie);
}

bool ActivationScope::Available() noexcept { return Context() != INVALID_HANDLE_VALUE; }

void ActivationScope::FindNoContextsForTesting() noexcept { g_withoutContexts = true; }

}  // namespace tavisk::ui::win32
