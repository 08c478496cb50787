// The add-in connected as a host connects it: the Connect COM object handed the
// stand-in host's Application object, called through IDTExtensibility2's vtable or
// through IDispatch::Invoke by dispatch id.
#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <stdexcept>

#include "addin/ConnectObject.h"
#include "addin/tavisk2002_h.h"
#include "simhost/win32/ComHost.h"
#include "tests/addin/AddinHarness.h"
#include "tests/support/WinTestSupport.h"

namespace tavisk::testing {
namespace {

using Microsoft::WRL::ComPtr;

class ComAddin : public AddinUnderTest {
public:
    ComAddin(simhost::SimHost& host, addin::CommandUi ui) : _host(host) {
        if (FAILED(addin::CreateConnectObject(std::move(ui), IID_PPV_ARGS(&_addin))))
            throw std::runtime_error("Connect cannot be created");
        _custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    }
    ~ComAddin() override {
        _addin.Reset();
        SafeArrayDestroy(_custom);
    }

protected:
    simhost::SimHost& _host;
    ComApartment _apartment;
    ComPtr<IDTExtensibility2> _addin;
    SAFEARRAY* _custom = nullptr;
};

class VtableAddin final : public ComAddin {
public:
    using ComAddin::ComAddin;
    std::int32_t connect() override {
        const auto application = simhost::win32::MakeApplicationDispatch(_host);
        return _addin->OnConnection(application.Get(), ext_cm_Startup, nullptr, &_custom);
    }
    void disconnect() override {
        if (FAILED(_addin->OnDisconnection(ext_dm_HostShutdown, &_custom)))
            throw std::runtime_error("disconnection failed");
    }
};

class DispatchAddin final : public ComAddin {
public:
    using ComAddin::ComAddin;
    std::int32_t connect() override {
        const auto application = simhost::win32::MakeApplicationDispatch(_host);
        VARIANT args[4];  // last argument first
        for (auto& arg : args) VariantInit(&arg);
        args[0].vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
        args[0].pparray = &_custom;
        args[1].vt = VT_DISPATCH;  // AddInInst: none
        args[2].vt = VT_I4;
        args[2].lVal = ext_cm_Startup;
        args[3].vt = VT_DISPATCH;
        args[3].pdispVal = application.Get();
        EXCEPINFO info{};
        const HRESULT hr = invoke(1, args, 4, info);
        const HRESULT code = hr == DISP_E_EXCEPTION ? info.scode : hr;
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        return code;
    }
    void disconnect() override {
        VARIANT args[2];
        for (auto& arg : args) VariantInit(&arg);
        args[0].vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
        args[0].pparray = &_custom;
        args[1].vt = VT_I4;
        args[1].lVal = ext_dm_UserClosed;
        EXCEPINFO info{};
        if (invoke(2, args, 2, info) != S_OK) throw std::runtime_error("disconnection failed");
    }

private:
    HRESULT invoke(DISPID id, VARIANT* args, UINT count, EXCEPINFO& info) {
        ComPtr<IDispatch> dispatch;
        if (FAILED(_addin.As(&dispatch))) return E_NOINTERFACE;
        DISPPARAMS params{args, nullptr, count, 0};
        UINT argError = 0;
        return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info, &argError);
    }
};

template <class T>
AddinKind Kind(const char* name) {
    return {name, [](simhost::SimHost& host, addin::CommandUi ui) -> std::unique_ptr<AddinUnderTest> {
                return std::make_unique<T>(host, std::move(ui));
            }};
}

}  // namespace

std::vector<AddinKind> ComAddinKinds() { return {Kind<VtableAddin>("ComVtable"), Kind<DispatchAddin>("ComDispatch")}; }

}  // namespace tavisk::testing
