#include "addin/ConnectObject.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>

#include "addin/Module.h"
#include "addin/tavisk2002_h.h"
#include "host/HostError.h"
#include "host/win32/ComError.h"
#include "host/win32/DispatchHost.h"

namespace tavisk::addin {
namespace {

using host::win32::CaughtErrorToHresult;
using host::win32::ThrowIfFailed;
using Microsoft::WRL::ComPtr;

// IDTExtensibility2's description in the type library of the module this code is
// linked into (the add-in's DLL, or a test program that embeds the same library).
ComPtr<ITypeInfo> LoadExtensibilityTypeInfo() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&LoadExtensibilityTypeInfo), &module))
        ThrowIfFailed(HRESULT_FROM_WIN32(GetLastError()), L"The add-in cannot find its own module.");
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) ThrowIfFailed(E_FAIL, L"The add-in cannot find its own file.");
    ComPtr<ITypeLib> library;
    ThrowIfFailed(LoadTypeLibEx(path, REGKIND_NONE, &library), L"The add-in's type library cannot be loaded.");
    ComPtr<ITypeInfo> info;
    ThrowIfFailed(library->GetTypeInfoOfGuid(IID_IDTExtensibility2, &info),
                  L"The add-in's type library lacks IDTExtensibility2.");
    return info;
}

class ConnectObject final : public _Connect, public IDTExtensibility2, public ISupportErrorInfo {
public:
    explicit ConnectObject(CommandUi ui) : _connect(std::move(ui)) { ModuleAddRef(); }

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID__Connect) {
            *ppv = static_cast<_Connect*>(this);
        } else if (riid == IID_IDTExtensibility2) {
            *ppv = static_cast<IDTExtensibility2*>(this);
        } else if (riid == IID_ISupportErrorInfo) {
            *ppv = static_cast<ISupportErrorInfo*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&_references);
        if (left == 0) delete this;
        return left;
    }

    // ---- IDispatch, shared by _Connect and IDTExtensibility2: _Connect has no
    // members of its own, so every name is one of IDTExtensibility2.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        try {
            return typeInfo().CopyTo(info);
        } catch (...) {
            return CaughtErrorToHresult(IID_IDispatch);
        }
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        try {
            return DispGetIDsOfNames(typeInfo().Get(), names, count, ids);
        } catch (...) {
            return CaughtErrorToHresult(IID_IDispatch);
        }
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT* argError) override {
        try {
            return DispInvoke(static_cast<IDTExtensibility2*>(this), typeInfo().Get(), id, flags, params, result, info,
                              argError);
        } catch (...) {
            return CaughtErrorToHresult(IID_IDispatch);
        }
    }

    // ---- IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode, IDispatch*, SAFEARRAY**) override {
        try {
            _connect.OnConnection(host::win32::MakeDispatchApplication(application));
            return S_OK;
        } catch (...) {
            return CaughtErrorToHresult(IID_IDTExtensibility2);
        }
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
        _connect.OnDisconnection();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

    // ---- ISupportErrorInfo: failures of the add-in interface carry their text.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == IID_IDTExtensibility2 || riid == IID_IDispatch ? S_OK : S_FALSE;
    }

private:
    ~ConnectObject() { ModuleRelease(); }

    const ComPtr<ITypeInfo>& typeInfo() {
        if (!_typeInfo) _typeInfo = LoadExtensibilityTypeInfo();
        return _typeInfo;
    }

    LONG _references = 0;
    Connect _connect;
    ComPtr<ITypeInfo> _typeInfo;
};

}  // namespace

HRESULT CreateConnectObject(CommandUi ui, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    try {
        // Born with no reference: the ComPtr takes the first (mingw-w64's
        // ComPtr::Attach adds a reference, unlike Windows SDK's, so it is not used).
        ComPtr<_Connect> object(new ConnectObject(std::move(ui)));
        return object->QueryInterface(riid, ppv);
    } catch (...) {
        return CaughtErrorToHresult(IID_IClassFactory);
    }
}

}  // namespace tavisk::addin
