#include "host/win32/ClickSink.h"

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include "base/Texts.h"
#include "base/win32/ComError.h"
#include "base/win32/ComObject.h"
#include "host/HostError.h"
#include "host/win32/DispatchHost.h"

namespace tavisk::host::win32 {
namespace {

using base::win32::CaughtErrorToExcepInfo;
using base::win32::ComObject;
using base::win32::MakeCom;
using base::win32::ThrowIfFailed;
using Microsoft::WRL::ComPtr;

// The event sink: a dispatch-only object that answers for the button's event
// interface, as the connection point asks it to before it accepts the sink.
class ClickSink final : public ComObject<IDispatch> {
public:
    explicit ClickSink(ClickHandler handler) : _handler(std::make_shared<const ClickHandler>(std::move(handler))) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids) return E_POINTER;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = i == 0 && names[0] && lstrcmpiW(names[0], L"Click") == 0 ? kClickDispId : DISPID_UNKNOWN;
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        if (id != kClickDispId) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        if (result) VariantInit(result);
        // The binding may be dropped while the handler runs (the handler can end
        // in the host's disconnecting us): keep the sink and the handler alive
        // until it returns.
        ComPtr<IDispatch> self(this);
        const auto handler = _handler;
        try {
            if (handler && *handler) (*handler)(ClickedControl(params));
            return S_OK;
        } catch (...) {
            return CaughtErrorToExcepInfo(info, kErrorSource);
        }
    }

    // After unadvising, a click already on its way must no longer run the handler.
    // A handler already running keeps its own reference and runs to its end.
    void disconnect() noexcept { _handler.reset(); }

private:
    void* queryOther(REFIID riid) override {
        return riid == kCommandBarButtonEventsIid ? static_cast<IDispatch*>(this) : nullptr;
    }

    // Click(Ctrl, CancelDefault): Ctrl is the first argument, which IDispatch passes last.
    static IDispatch* ClickedControl(const DISPPARAMS* params) {
        if (!params || params->cArgs < 2 || !params->rgvarg) return nullptr;
        const VARIANT& ctrl = params->rgvarg[params->cArgs - 1];
        if (ctrl.vt == VT_DISPATCH) return ctrl.pdispVal;
        if (ctrl.vt == (VT_DISPATCH | VT_BYREF) && ctrl.ppdispVal) return *ctrl.ppdispVal;
        return nullptr;
    }

    std::shared_ptr<const ClickHandler> _handler;
};

class ClickBinding final : public EventBinding {
public:
    ClickBinding(ComPtr<IConnectionPoint> point, ComPtr<ClickSink> sink, DWORD cookie)
        : _point(std::move(point)), _sink(std::move(sink)), _cookie(cookie) {}
    ~ClickBinding() override {
        _sink->disconnect();
        _point->Unadvise(_cookie);  // a host already gone cannot be told; nothing else to do
    }

private:
    ComPtr<IConnectionPoint> _point;
    ComPtr<ClickSink> _sink;
    DWORD _cookie;
};

}  // namespace

std::unique_ptr<EventBinding> AdviseClick(IUnknown* button, ClickHandler handler) {
    if (!button) throw HostError(static_cast<std::int32_t>(E_POINTER), base::Text(base::TextId::ClickNoButton));
    SetErrorInfo(0, nullptr);  // a failure below must not be told with an earlier call's text
    ComPtr<IConnectionPointContainer> container;
    ThrowIfFailed(button->QueryInterface(IID_PPV_ARGS(&container)), base::Text(base::TextId::ClickNoEvents));
    ComPtr<IConnectionPoint> point;
    ThrowIfFailed(container->FindConnectionPoint(kCommandBarButtonEventsIid, &point),
                  base::Text(base::TextId::ClickNoClickEvent));
    ComPtr<ClickSink> sink = MakeCom<ClickSink>(std::move(handler));
    DWORD cookie = 0;
    ThrowIfFailed(point->Advise(sink.Get(), &cookie), base::Text(base::TextId::ClickRefused));
    return std::make_unique<ClickBinding>(std::move(point), std::move(sink), cookie);
}

}  // namespace tavisk::host::win32
