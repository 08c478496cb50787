// How the library plugs into COM: the entry point, the class factory of Connect,
// and the four exports (listed in tavisk2002.def, the only names exported).
#include <windows.h>

#include <olectl.h>

#include <string>

#include "base/win32/ComError.h"
#include "base/win32/ComObject.h"
#include "base/win32/ThisModule.h"
#include "addin/ConnectObject.h"
#include "addin/Registration.h"
#include "addin/tavisk2002_h.h"
#include "chooser/EditQueue.h"
#include "dialogs/OptionsDialog.h"
#include "ui/win32/SystemMessageBoxes.h"

namespace {

using namespace tavisk;

HINSTANCE g_module = nullptr;

// The menu command's user interface in the host: system message boxes, and the
// process-wide options dialog with the page chooser behind its "Edit &Queue",
// closed when the host disconnects the add-in.
addin::CommandUi ProductUi() {
    static ui::win32::SystemMessageBoxes messages;
    return {messages,
            [] {
                InstallPageChooser();
                ShowOptionsDialog();
            },
            CloseOptionsDialog};
}

// The one class factory, living as long as the library: its references do not
// keep the library loaded, its locks do.
class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return addin::CreateConnectObject(ProductUi(), riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            base::win32::ModuleAddRef();
        else
            base::win32::ModuleRelease();
        return S_OK;
    }
};

ClassFactory g_factory;

BOOL CALLBACK FindOwnWindow(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() &&
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)) == g_module) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

// A modeless dialog of the library outlives the Connect object that showed it
// (the host may release the add-in while the options dialog is open): unloading
// then would pull the dialog's window procedure and message hook away from under
// the host's message loop.
bool HasOpenWindow() {
    bool found = false;
    EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (clsid != CLSID_Connect) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return base::win32::ModuleInUse() || HasOpenWindow() ? S_FALSE : S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    try {
        const std::wstring path = base::win32::ModulePath(g_module);
        if (path.empty()) return SELFREG_E_CLASS;
        return addin::RegisterServer({HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}, path);
    } catch (...) {
        return base::win32::CaughtErrorToHresult(GUID_NULL, addin::kProgId);
    }
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return addin::UnregisterServer({HKEY_CLASSES_ROOT, HKEY_CURRENT_USER});
}
