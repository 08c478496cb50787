// The Click subscription as an Office button sees it: the sink answers for the
// button's event interface, runs the handler on Click (DISPID 1) without touching
// CancelDefault, hands a failure back as the event's result, and is unadvised when
// the binding goes; a click the host still delivers afterwards runs nothing.
#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include "base/win32/ComObject.h"
#include "host/HostError.h"
#include "host/win32/ClickSink.h"

namespace tavisk::testing {
namespace {

using Microsoft::WRL::ComPtr;

// A button's event source holding one sink, as a host keeps it.
class FakeButton final : public IConnectionPointContainer, public IConnectionPoint {
public:
    ComPtr<IDispatch> sink;
    DWORD unadvised = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IConnectionPointContainer) {
            *ppv = static_cast<IConnectionPointContainer*>(this);
        } else if (riid == IID_IConnectionPoint) {
            *ppv = static_cast<IConnectionPoint*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if (riid != host::win32::kCommandBarButtonEventsIid) return CONNECT_E_NOCONNECTION;
        *point = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        *iid = host::win32::kCommandBarButtonEventsIid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override {
        *c = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* candidate, DWORD* cookie) override {
        // As COM's contract asks: only a sink for the event interface is taken.
        if (FAILED(candidate->QueryInterface(host::win32::kCommandBarButtonEventsIid,
                                             reinterpret_cast<void**>(sink.ReleaseAndGetAddressOf()))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = 7;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        unadvised = cookie;
        return S_OK;  // the sink itself is kept, as a host may deliver a click in flight
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // Click(Ctrl, CancelDefault) as Office raises it.
    HRESULT click(VARIANT_BOOL& cancelDefault, EXCEPINFO& info, DISPID id = 1) {
        VARIANT args[2];
        VariantInit(&args[0]);
        args[0].vt = VT_BOOL | VT_BYREF;
        args[0].pboolVal = &cancelDefault;
        VariantInit(&args[1]);
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = nullptr;
        DISPPARAMS params{args, nullptr, 2, 0};
        UINT argError = 0;
        return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info, &argError);
    }
};

TEST(ClickSinkTest, ClickRunsTheHandlerUntilTheBindingGoes) {
    FakeButton button;
    int clicks = 0;
    auto binding = host::win32::AdviseClick(static_cast<IConnectionPointContainer*>(&button), [&](auto) { ++clicks; });
    ASSERT_TRUE(button.sink);

    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXCEPINFO info{};
    EXPECT_EQ(button.click(cancel, info), S_OK);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(cancel, VARIANT_FALSE) << "CancelDefault is left as the host passed it";
    cancel = VARIANT_TRUE;
    EXPECT_EQ(button.click(cancel, info), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(button.click(cancel, info, 2), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(clicks, 2);

    binding.reset();
    EXPECT_EQ(button.unadvised, 7u);
    EXPECT_EQ(button.click(cancel, info), S_OK);
    EXPECT_EQ(clicks, 2) << "a click delivered after unadvising runs nothing";
}

TEST(ClickSinkTest, AHandlerThatDropsItsOwnBindingRunsToItsEnd) {
    // As when the host disconnects the add-in while the click's message box is up.
    FakeButton button;
    std::unique_ptr<host::EventBinding> binding;
    auto captured = std::make_shared<int>(0);
    const std::weak_ptr<int> watch = captured;
    bool aliveAfterDrop = false;
    binding = host::win32::AdviseClick(static_cast<IConnectionPointContainer*>(&button),
                                       [captured, &binding, &aliveAfterDrop, &watch](IDispatch*) {
                                           binding.reset();
                                           aliveAfterDrop = !watch.expired();
                                       });
    captured.reset();
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXCEPINFO info{};
    EXPECT_EQ(button.click(cancel, info), S_OK);
    EXPECT_TRUE(aliveAfterDrop) << "the handler's own state went while it ran";
    EXPECT_TRUE(watch.expired()) << "released once the click is over";
}

TEST(ClickSinkTest, ASinkTheHostStillHoldsKeepsTheLibraryInUse) {
    // The sink's code lives in the library: DllCanUnloadNow must not let it go while
    // a host keeps the sink, even after the add-in unadvised and was released.
    ASSERT_FALSE(base::win32::ModuleInUse());
    FakeButton button;
    host::win32::AdviseClick(static_cast<IConnectionPointContainer*>(&button), [](IDispatch*) {}).reset();
    EXPECT_TRUE(base::win32::ModuleInUse());
    button.sink.Reset();
    EXPECT_FALSE(base::win32::ModuleInUse());
}

TEST(ClickSinkTest, HandlerFailureIsTheEventsResultWithItsText) {
    FakeButton button;
    auto binding = host::win32::AdviseClick(static_cast<IConnectionPointContainer*>(&button), [](IDispatch*) {
        throw host::HostError(static_cast<std::int32_t>(0x800A01A8), L"Object required");
    });
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXCEPINFO info{};
    EXPECT_EQ(button.click(cancel, info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, static_cast<HRESULT>(0x800A01A8));
    ASSERT_NE(info.bstrDescription, nullptr);
    EXPECT_STREQ(info.bstrDescription, L"Object required");
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
}

TEST(ClickSinkTest, AnObjectWithoutClickEventsIsRefused) {
    ComPtr<ICreateErrorInfo> notAButton;
    ASSERT_EQ(CreateErrorInfo(&notAButton), S_OK);
    EXPECT_THROW(host::win32::AdviseClick(notAButton.Get(), [](IDispatch*) {}), host::HostError);
    EXPECT_THROW(host::win32::AdviseClick(nullptr, [](IDispatch*) {}), host::HostError);
}

}  // namespace
}  // namespace tavisk::testing
