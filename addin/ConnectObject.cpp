#include "addin/ConnectObject.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>

#include "addin/tavisk2002_h.h"
#include "base/win32/ComError.h"
#include "base/win32/ComObject.h"
#include "base/win32/ThisModule.h"
#include "host/win32/DispatchHost.h"

namespace tavisk::addin {
namespace {

using base::win32::CaughtErrorToHresult;
using base::win32::ComObject;
using base::win32::MakeCom;
using base::win32::ModulePath;
using base::win32::ThisModule;
using base::win32::ThrowIfFailed;
using host::win32::kErrorSource;
using Microsoft::WRL::ComPtr;

// IDTExtensibility2's description in the type library of the module this code is
// linked into (the add-in's DLL, or a test program that embeds the same library).
ComPtr<ITypeInfo> LoadExtensibilityTypeInfo() {
    const HMODULE module = ThisModule();
    if (!module) ThrowIfFailed(HRESULT_FROM_WIN32(GetLastError()), L"The add-in cannot find its own module.");
    const std::wstring path = ModulePath(module);
    if (path.empty()) ThrowIfFailed(E_FAIL, L"The add-in cannot find its own file.");
    ComPtr<ITypeLib> library;
    ThrowIfFailed(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library), L"The add-in's type library cannot be loaded.");
    ComPtr<ITypeInfo> info;
    ThrowIfFailed(library->GetTypeInfoOfGuid(IID_IDTExtensibility2, &info),
                  L"The add-in's type library lacks IDTExtensibility2.");
    return info;
}

class ConnectObject final : public ComObject<_Connect, IDTExtensibility2, ISupportErrorInfo> {
public:
    explicit ConnectObject(CommandUi ui) : _connect(std::move(ui)) {}

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
            return CaughtErrorToHresult(IID_IDispatch, kErrorSource);
        }
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        try {
            return DispGetIDsOfNames(typeInfo().Get(), names, count, ids);
        } catch (...) {
            return CaughtErrorToHresult(IID_IDispatch, kErrorSource);
        }
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT* argError) override {
        try {
            return DispInvoke(static_cast<IDTExtensibility2*>(this), typeInfo().Get(), id, flags, params, result, info,
                              argError);
        } catch (...) {
            return CaughtErrorToHresult(IID_IDispatch, kErrorSource);
        }
    }

    // ---- IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode, IDispatch*, SAFEARRAY**) override {
        try {
            _connect.OnConnection(host::win32::MakeDispatchApplication(application));
            return S_OK;
        } catch (...) {
            return CaughtErrorToHresult(IID_IDTExtensibility2, kErrorSource);
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
    // IDispatch is served by the default interface: _Connect has no members of its
    // own, so every name is one of IDTExtensibility2.
    void* queryOther(REFIID riid) override { return riid == IID_IDispatch ? static_cast<_Connect*>(this) : nullptr; }

    const ComPtr<ITypeInfo>& typeInfo() {
        if (!_typeInfo) _typeInfo = LoadExtensibilityTypeInfo();
        return _typeInfo;
    }

    Connect _connect;
    ComPtr<ITypeInfo> _typeInfo;
};

}  // namespace

HRESULT CreateConnectObject(CommandUi ui, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    try {
        return MakeCom<ConnectObject>(std::move(ui))->QueryInterface(riid, ppv);
    } catch (...) {
        return CaughtErrorToHresult(IID_IClassFactory, kErrorSource);
    }
}

}  // namespace tavisk::addin
