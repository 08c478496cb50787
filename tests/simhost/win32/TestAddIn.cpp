#include "TestAddIn.h"

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <string>

#include "base/win32/ComObject.h"
#include "simhost/win32/Extensibility.h"

namespace {

using Microsoft::WRL::ComPtr;
using tavisk::base::win32::ComObject;
using tavisk::base::win32::MakeCom;
using tavisk::simhost::win32::ExtConnectMode;
using tavisk::simhost::win32::ExtDisconnectMode;
using tavisk::simhost::win32::IExtensibility2;

constexpr IID kButtonEventsIid = {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::wstring g_log;

void Log(const std::wstring& line) { g_log += line + L"\n"; }

// A late-bound call as an add-in makes it; a failure ends the call chain with an
// empty result, which the log then shows. The arguments are the call's to free.
VARIANT Call(IDispatch* object, const wchar_t* name, WORD flags, std::initializer_list<VARIANT> args = {}) {
    VARIANT result;
    VariantInit(&result);
    VARIANT reversed[5];
    UINT count = 0;
    for (auto it = args.end(); it != args.begin();) reversed[count++] = *--it;
    struct Free {
        VARIANT* args;
        UINT count;
        ~Free() {
            for (UINT i = 0; i < count; ++i) VariantClear(&args[i]);
        }
    } free{reversed, count};
    DISPID id = 0;
    LPOLESTR names = const_cast<LPOLESTR>(name);
    if (!object || FAILED(object->GetIDsOfNames(IID_NULL, &names, 1, 0, &id))) return result;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed, (flags & DISPATCH_PROPERTYPUT) ? &put : nullptr, count,
                      (flags & DISPATCH_PROPERTYPUT) ? 1u : 0u};
    object->Invoke(id, IID_NULL, 0, flags, &params, &result, nullptr, nullptr);
    return result;
}

// A call whose result is not needed.
void Do(IDispatch* object, const wchar_t* name, WORD flags, std::initializer_list<VARIANT> args = {}) {
    VARIANT result = Call(object, name, flags, args);
    VariantClear(&result);
}

VARIANT Text(const wchar_t* text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT Number(LONG number) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = number;
    return v;
}

ComPtr<IDispatch> Object(VARIANT v) {
    ComPtr<IDispatch> object(v.vt == VT_DISPATCH ? v.pdispVal : nullptr);
    VariantClear(&v);
    return object;
}

std::wstring String(VARIANT v) {
    std::wstring text = v.vt == VT_BSTR && v.bstrVal ? v.bstrVal : L"(none)";
    VariantClear(&v);
    return text;
}

class ClickSink final : public ComObject<IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (id == 1 && params->cArgs == 2 && params->rgvarg[1].vt == VT_DISPATCH)
            Log(L"Click tag=" + String(Call(params->rgvarg[1].pdispVal, L"Tag", DISPATCH_PROPERTYGET)));
        return S_OK;
    }

private:
    void* queryOther(REFIID iid) override { return iid == kButtonEventsIid ? static_cast<IDispatch*>(this) : nullptr; }
};

class AddIn final : public ComObject<IExtensibility2> {
public:
    explicit AddIn(bool refuses) : _refuses(refuses) {}
    ~AddIn() override { Log(L"Released"); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ExtConnectMode mode, IDispatch* addInInst,
                                           SAFEARRAY** custom) override {
        const auto web = Object(Call(application, L"ActiveWeb", DISPATCH_PROPERTYGET));
        Log(L"OnConnection mode=" + std::to_wstring(mode) + L" web=" +
            String(Call(web.Get(), L"Url", DISPATCH_PROPERTYGET)) + L" progId=" +
            String(Call(addInInst, L"ProgId", DISPATCH_PROPERTYGET)) + L" custom=" + Elements(custom));
        if (_refuses) {
            ComPtr<ICreateErrorInfo> create;
            CreateErrorInfo(&create);
            create->SetDescription(const_cast<wchar_t*>(kRefusalText));
            ComPtr<IErrorInfo> info;
            create.As(&info);
            SetErrorInfo(0, info.Get());
            return E_FAIL;
        }
        const auto bars = Object(Call(application, L"CommandBars", DISPATCH_PROPERTYGET));
        const auto bar = Object(Call(bars.Get(), L"Item", DISPATCH_PROPERTYGET, {Text(L"Menu Bar")}));
        const auto barControls = Object(Call(bar.Get(), L"Controls", DISPATCH_PROPERTYGET));
        const auto tools = Object(Call(barControls.Get(), L"Item", DISPATCH_PROPERTYGET, {Text(L"Tools")}));
        const auto toolControls = Object(Call(tools.Get(), L"Controls", DISPATCH_PROPERTYGET));
        _button = Object(Call(toolControls.Get(), L"Add", DISPATCH_METHOD, {Number(1)}));
        Do(_button.Get(), L"Caption", DISPATCH_PROPERTYPUT, {Text(L"Test &Command")});
        Do(_button.Get(), L"Tag", DISPATCH_PROPERTYPUT, {Text(L"test.command")});
        ComPtr<IConnectionPointContainer> container;
        if (_button && SUCCEEDED(_button.As(&container)) &&
            SUCCEEDED(container->FindConnectionPoint(kButtonEventsIid, &_point)))
            _point->Advise(static_cast<IDispatch*>(MakeCom<ClickSink>().Get()), &_cookie);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(ExtDisconnectMode mode, SAFEARRAY** custom) override {
        Log(L"OnDisconnection mode=" + std::to_wstring(mode) + L" custom=" + Elements(custom));
        if (_point) _point->Unadvise(_cookie);
        Do(_button.Get(), L"Delete", DISPATCH_METHOD);
        _point.Reset();
        _button.Reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override {
        Log(L"OnAddInsUpdate custom=" + Elements(custom));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override {
        Log(L"OnStartupComplete custom=" + Elements(custom));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override {
        Log(L"OnBeginShutdown custom=" + Elements(custom));
        return S_OK;
    }

private:
    void* queryOther(REFIID iid) override { return iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr; }
    // The custom array's element count, "null" when none was passed.
    static std::wstring Elements(SAFEARRAY** custom) {
        if (!custom || !*custom) return L"null";
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(*custom, 1, &lower);
        SafeArrayGetUBound(*custom, 1, &upper);
        return std::to_wstring(upper - lower + 1);
    }

    bool _refuses;
    ComPtr<IDispatch> _button;
    ComPtr<IConnectionPoint> _point;
    DWORD _cookie = 0;
};

class Factory final : public ComObject<IClassFactory> {
public:
    explicit Factory(bool refuses) : _refuses(refuses) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        return MakeCom<AddIn>(_refuses)->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    bool _refuses;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (clsid != kGoodAddInClsid && clsid != kRefusingAddInClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return MakeCom<Factory>(clsid == kRefusingAddInClsid)->QueryInterface(iid, out);
}

// The DLL stays loaded for the life of the process, so a test can read its log
// after the host has released every object.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

extern "C" __declspec(dllexport) const wchar_t* TestAddInLog() { return g_log.c_str(); }
