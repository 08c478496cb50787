#include "simhost/win32/CommandBarObjects.h"

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <span>

#include "simhost/SimError.h"
#include "base/win32/ComError.h"
#include "simhost/win32/DispatchObject.h"

namespace tavisk::simhost::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// Office's _CommandBarButtonEvents: Click(Ctrl, ByRef CancelDefault) at dispatch id 1.
constexpr IID kButtonEventsIid = {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DISPID kClickId = 1;

template <class T>
ComPtr<IDispatch> AsDispatch(ComPtr<T> object) {
    return ComPtr<IDispatch>(static_cast<IDispatch*>(object.Get()));
}

ComPtr<IDispatch> MakeControl(CommandBarControl control);

// Office's CommandBarControls: Count, Item counted from 1 or by caption, Add, _NewEnum.
class ControlsObject final : public DispatchObject<ControlsObject> {
public:
    explicit ControlsObject(CommandBarControls controls) : _controls(std::move(controls)) {}

    static std::span<const Member<ControlsObject>> Members() {
        static const Member<ControlsObject> members[] = {
            {L"Count", 0x60030001, [](ControlsObject& o, const Args&) { return Variant::Int(o._controls.count()); }},
            {L"Item", DISPID_VALUE,
             [](ControlsObject& o, const Args& a) { return Variant::Object(o.item(a.required(0)).Get()); }, nullptr,
             L"Index"},
            {L"Add", 0x60030000, [](ControlsObject& o, const Args& a) { return Variant::Object(o.add(a).Get()); },
             nullptr, L"Type,Id,Parameter,Before,Temporary"},
            {L"_NewEnum", kNewEnum,
             [](ControlsObject& o, const Args&) {
                 std::vector<ComPtr<IDispatch>> all;
                 const auto count = o._controls.count();
                 for (std::int32_t i = 0; i < count; ++i) all.push_back(MakeControl(o._controls.item(i)));
                 return Variant::Unknown(MakeEnumerator(std::move(all)).Get());
             }},
        };
        return members;
    }

private:
    // Office counts controls from 1; a text index is a caption.
    ComPtr<IDispatch> item(const VARIANT& index) {
        if (index.vt == VT_BSTR || index.vt == (VT_BYREF | VT_BSTR))
            return MakeControl(
                _controls.itemByCaption(Bstr::FromBstr(Args::Convert(index, VT_BSTR, 0).get()->bstrVal)));
        const std::int32_t number = Args::Convert(index, VT_I4, 0).get()->lVal;
        if (number < 1) throw SimError(kErrorInvalidArg, L"There is no control " + std::to_wstring(number) + L".");
        return MakeControl(_controls.item(number - 1));
    }

    ComPtr<IDispatch> add(const Args& args) {
        const auto type = args.optionalInt32(0).value_or(static_cast<std::int32_t>(ControlType::Button));
        if (args.optionalInt32(1).value_or(1) != 1)
            throw SimError(kErrorInvalidArg,
                           L"This host adds custom controls (Id 1) only, not copies of built-in ones.");
        return MakeControl(_controls.add(static_cast<ControlType>(type), args.optionalString(2).value_or(L""),
                                         args.optionalBool(4).value_or(false), args.optionalInt32(3)));
    }

    CommandBarControls _controls;
};

class ControlObject;

// The Click connection point of one button. Advise takes sinks that answer to the
// event interface; each gets Click from every execution of the button, or of any
// control with its Id and Tag, however it comes (the model, the host window's menu,
// Execute), until it is unadvised. Ctrl is the control clicked.
class ClickConnectionPoint final : public ComObject<IConnectionPoint> {
public:
    explicit ClickConnectionPoint(ComPtr<ControlObject> control);

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = kButtonEventsIid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    // Optional in COM's contract; no caller of a command bar enumerates them.
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

private:
    ComPtr<ControlObject> _control;
};

class ControlObject final : public DispatchObject<ControlObject, IConnectionPointContainer> {
public:
    explicit ControlObject(CommandBarControl control) : _control(std::move(control)) {}

    static std::span<const Member<ControlObject>> Members() {
        static const Member<ControlObject> members[] = {
            {L"Caption", 0x60040003, [](ControlObject& o, const Args&) { return Variant::Text(o._control.caption()); },
             [](ControlObject& o, const Args& a) {
                 o._control.setCaption(Bstr::FromBstr(Args::Convert(a.value(), VT_BSTR, 0).get()->bstrVal));
             }},
            {L"Tag", 0x60040023, [](ControlObject& o, const Args&) { return Variant::Text(o._control.tag()); },
             [](ControlObject& o, const Args& a) {
                 o._control.setTag(Bstr::FromBstr(Args::Convert(a.value(), VT_BSTR, 0).get()->bstrVal));
             }},
            {L"Id", 0x60040010, [](ControlObject& o, const Args&) { return Variant::Int(o._control.id()); }},
            {L"Type", 0x60040011,
             [](ControlObject& o, const Args&) { return Variant::Int(static_cast<std::int32_t>(o._control.type())); }},
            {L"Parameter", 0x60040012,
             [](ControlObject& o, const Args&) { return Variant::Text(o._control.parameter()); }},
            // Nothing of this host outlives a session, so a temporary deletion is a deletion.
            {L"Delete", 0x60040007,
             [](ControlObject& o, const Args&) {
                 o._control.remove();
                 return Variant();
             },
             nullptr, L"Temporary"},
            {L"Execute", 0x6004000C,
             [](ControlObject& o, const Args&) {
                 o._control.execute();
                 return Variant();
             }},
            {L"Controls", 0x60050000,
             [](ControlObject& o, const Args&) {
                 return Variant::Object(AsDispatch(MakeCom<ControlsObject>(o._control.controls())).Get());
             }},
        };
        return members;
    }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (!point) return E_POINTER;
        *point = nullptr;
        if (iid != kButtonEventsIid || !_control.isButton()) return CONNECT_E_NOCONNECTION;
        try {
            *point = MakeCom<ClickConnectionPoint>(ComPtr<ControlObject>(this)).Detach();
            return S_OK;
        } catch (...) {
            return base::win32::CaughtErrorToHresult(IID_IConnectionPoint, kErrorSource);
        }
    }

    HRESULT advise(IUnknown* sink, DWORD* cookie) {
        if (!sink || !cookie) return E_POINTER;
        *cookie = 0;
        ComPtr<IDispatch> events;
        if (FAILED(sink->QueryInterface(kButtonEventsIid, reinterpret_cast<void**>(events.GetAddressOf()))) || !events)
            return CONNECT_E_CANNOTCONNECT;
        try {
            // The sink's CancelDefault reaches the clicked control's built-in command.
            auto subscription =
                _control.subscribeClick([events](const CommandBarControl& clicked, bool& cancelDefault) {
                    RaiseClick(clicked, events.Get(), cancelDefault);
                });
            _bindings.emplace(_nextCookie, std::move(subscription));
            *cookie = _nextCookie++;
            return S_OK;
        } catch (...) {
            return base::win32::CaughtErrorToHresult(IID_IConnectionPoint, kErrorSource);
        }
    }
    HRESULT unadvise(DWORD cookie) {
        // Taken out before it ends, as ending it may release the last reference to a sink.
        auto found = _bindings.find(cookie);
        if (found == _bindings.end()) return CONNECT_E_NOCONNECTION;
        auto binding = std::move(found->second);
        _bindings.erase(found);
        return S_OK;
    }

private:
    // Click(Ctrl, CancelDefault): arguments reversed as IDispatch passes them; each
    // sink sees the flag as the sinks before it left it. A sink's failure is its own
    // affair: the host goes on to the next one, as Office does.
    static void RaiseClick(const CommandBarControl& control, IDispatch* sink, bool& cancelDefault) {
        const ComPtr<IDispatch> button = MakeControl(control);
        VARIANT_BOOL cancel = cancelDefault ? VARIANT_TRUE : VARIANT_FALSE;
        VARIANT args[2];
        VariantInit(&args[0]);
        VariantInit(&args[1]);
        args[0].vt = VT_BOOL | VT_BYREF;
        args[0].pboolVal = &cancel;
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = button.Get();
        DISPPARAMS params{args, nullptr, 2, 0};
        EXCEPINFO exception{};
        UINT argumentError = 0;
        sink->Invoke(kClickId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &exception,
                     &argumentError);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        cancelDefault = cancel != VARIANT_FALSE;
    }

    CommandBarControl _control;
    std::map<DWORD, std::unique_ptr<ClickSubscription>> _bindings;
    DWORD _nextCookie = 1;
};

ClickConnectionPoint::ClickConnectionPoint(ComPtr<ControlObject> control) : _control(std::move(control)) {}

HRESULT ClickConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = _control.Get();
    (*container)->AddRef();
    return S_OK;
}

HRESULT ClickConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) { return _control->advise(sink, cookie); }
HRESULT ClickConnectionPoint::Unadvise(DWORD cookie) { return _control->unadvise(cookie); }

ComPtr<IDispatch> MakeControl(CommandBarControl control) {
    return AsDispatch(MakeCom<ControlObject>(std::move(control)));
}

class CommandBarObject final : public DispatchObject<CommandBarObject> {
public:
    explicit CommandBarObject(CommandBar bar) : _bar(std::move(bar)) {}

    static std::span<const Member<CommandBarObject>> Members() {
        static const Member<CommandBarObject> members[] = {
            {L"Name", 0x60040009, [](CommandBarObject& o, const Args&) { return Variant::Text(o._bar.name()); }},
            {L"Controls", 0x60040003,
             [](CommandBarObject& o, const Args&) {
                 return Variant::Object(AsDispatch(MakeCom<ControlsObject>(o._bar.controls())).Get());
             }},
            // Every control of this host is visible, so Visible narrows nothing.
            {L"FindControl", 0x60040007,
             [](CommandBarObject& o, const Args& a) {
                 a.optionalBool(3);
                 auto found = o._bar.findControl(a.optionalInt32(0), a.optionalInt32(1), a.optionalString(2),
                                                 a.optionalBool(4).value_or(false));
                 return Variant::Object(found ? MakeControl(std::move(*found)).Get() : nullptr);
             },
             nullptr, L"Type,Id,Tag,Visible,Recursive"},
        };
        return members;
    }

private:
    CommandBar _bar;
};

class CommandBarsObject final : public DispatchObject<CommandBarsObject> {
public:
    explicit CommandBarsObject(CommandBars bars) : _bars(std::move(bars)) {}

    static std::span<const Member<CommandBarsObject>> Members() {
        static const Member<CommandBarsObject> members[] = {
            {L"Item", DISPID_VALUE,
             [](CommandBarsObject& o, const Args& a) {
                 return Variant::Object(AsDispatch(MakeCom<CommandBarObject>(o._bars.item(a.string(0)))).Get());
             },
             nullptr, L"Index"},
            {L"ActiveMenuBar", 0x60030001,
             [](CommandBarsObject& o, const Args&) {
                 return Variant::Object(AsDispatch(MakeCom<CommandBarObject>(o._bars.activeMenuBar())).Get());
             }},
        };
        return members;
    }

private:
    CommandBars _bars;
};

}  // namespace

ComPtr<IDispatch> MakeCommandBarsDispatch(CommandBars bars) {
    return AsDispatch(MakeCom<CommandBarsObject>(std::move(bars)));
}

}  // namespace tavisk::simhost::win32
