#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>

#include <map>
#include <span>

#include "host/HostError.h"
#include "simhost/HostFacade.h"
#include "simhost/SimHost.h"
#include "simhost/win32/Dispatch.h"
#include "simhost/win32/Objects.h"

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

ComPtr<IDispatch> MakeControl(SimHost& host, std::shared_ptr<host::CommandBarControl> control);

class ControlsObject final : public DispatchObject<ControlsObject> {
public:
    ControlsObject(SimHost& host, std::shared_ptr<host::CommandBarControls> controls, std::shared_ptr<ControlList> list)
        : _host(host), _controls(std::move(controls)), _list(std::move(list)) {}

    static std::span<const Member<ControlsObject>> Members() {
        static const Member<ControlsObject> members[] = {
            {L"Count", 0x60030001, [](ControlsObject& o, const Args&) { return Variant::Int32(o._controls->count()); }},
            {L"Item", DISPID_VALUE,
             [](ControlsObject& o, const Args& a) { return Variant::Object(o.item(a.required(0)).Get()); }, nullptr,
             L"Index"},
            {L"Add", 0x60030000, [](ControlsObject& o, const Args& a) { return Variant::Object(o.add(a).Get()); },
             nullptr, L"Type,Id,Parameter,Before,Temporary"},
            {L"_NewEnum", kNewEnum,
             [](ControlsObject& o, const Args&) {
                 std::vector<ComPtr<IDispatch>> all;
                 const auto count = o._controls->count();
                 for (std::int32_t i = 0; i < count; ++i) all.push_back(MakeControl(o._host, o._controls->item(i)));
                 return Variant::Unknown(MakeEnumerator(std::move(all)).Get());
             }},
        };
        return members;
    }

private:
    // Office counts controls from 1; a text index is a caption.
    ComPtr<IDispatch> item(const VARIANT& index) {
        if (index.vt == VT_BSTR || index.vt == (VT_BYREF | VT_BSTR))
            return MakeControl(_host, _controls->itemByCaption(Args::Convert(index, VT_BSTR, 0).get()->bstrVal));
        const std::int32_t number = Args::Convert(index, VT_I4, 0).get()->lVal;
        if (number < 1)
            throw host::HostError(host::kErrorInvalidArg, L"There is no control " + std::to_wstring(number) + L".");
        return MakeControl(_host, _controls->item(number - 1));
    }

    ComPtr<IDispatch> add(const Args& args) {
        const auto type = args.optionalInt32(0).value_or(static_cast<std::int32_t>(host::ControlType::Button));
        if (type != static_cast<std::int32_t>(host::ControlType::Button) &&
            type != static_cast<std::int32_t>(host::ControlType::Popup))
            throw host::HostError(host::kErrorInvalidArg, L"This host adds buttons (1) and popups (10) only.");
        const auto id = args.optionalInt32(1).value_or(1);
        if (id != 1)
            throw host::HostError(host::kErrorInvalidArg,
                                  L"This host adds custom controls (Id 1) only, not copies of built-in ones.");
        const auto before = args.optionalInt32(3);
        if (before && (*before < 1 || static_cast<size_t>(*before) > _list->items.size() + 1))
            throw host::HostError(host::kErrorInvalidArg, L"There is no control " + std::to_wstring(*before) + L".");
        auto control = _controls->add(static_cast<host::ControlType>(type), args.optionalString(2).value_or(L""),
                                      args.optionalBool(4).value_or(false));
        if (before) {
            // The new control is the list's last one; Before moves it in front of
            // the control that had that number.
            auto& items = _list->items;
            std::rotate(items.begin() + (*before - 1), items.end() - 1, items.end());
            _host.notifyChanged();
        }
        return MakeControl(_host, std::move(control));
    }

    SimHost& _host;
    std::shared_ptr<host::CommandBarControls> _controls;
    std::shared_ptr<ControlList> _list;
};

class ControlObject;

// One sink's subscription to a control's Click, ended when it goes.
class ClickSubscription {
public:
    ClickSubscription(std::shared_ptr<ControlNode> node, int cookie) : _node(std::move(node)), _cookie(cookie) {}
    ClickSubscription(const ClickSubscription&) = delete;
    ClickSubscription& operator=(const ClickSubscription&) = delete;
    ~ClickSubscription() { _node->unsubscribe(_cookie); }

private:
    std::shared_ptr<ControlNode> _node;
    int _cookie;
};

// The Click connection point of one button. Advise takes sinks that answer to the
// event interface; each gets Click from every execution of the button, however it
// comes (the model, the host window's menu, Execute), until it is unadvised.
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
    ControlObject(SimHost& host, std::shared_ptr<host::CommandBarControl> control)
        : _host(host), _control(std::move(control)), _node(ControlNodeOf(*_control)) {
        if (!_node) throw host::HostError(host::kErrorFail, L"The control does not belong to this host.");
    }

    static std::span<const Member<ControlObject>> Members() {
        static const Member<ControlObject> members[] = {
            {L"Caption", 0x60040003,
             [](ControlObject& o, const Args&) { return Variant::String(o.read(L"Control.caption").caption()); },
             [](ControlObject& o, const Args& a) {
                 o._control->setCaption(FromBstr(Args::Convert(a.value(), VT_BSTR, 0).get()->bstrVal));
             }},
            {L"Tag", 0x60040023, [](ControlObject& o, const Args&) { return Variant::String(o._control->tag()); },
             [](ControlObject& o, const Args& a) {
                 o._control->setTag(FromBstr(Args::Convert(a.value(), VT_BSTR, 0).get()->bstrVal));
             }},
            {L"Id", 0x60040010,
             [](ControlObject& o, const Args&) { return Variant::Int32(o.read(L"Control.id").id()); }},
            {L"Type", 0x60040011,
             [](ControlObject& o, const Args&) {
                 return Variant::Int32(static_cast<std::int32_t>(o.read(L"Control.type").type()));
             }},
            {L"Parameter", 0x60040012,
             [](ControlObject& o, const Args&) { return Variant::String(o.read(L"Control.parameter").parameter()); }},
            // Nothing of this host outlives a session, so a temporary deletion is a deletion.
            {L"Delete", 0x60040007,
             [](ControlObject& o, const Args&) {
                 o._control->deleteControl();
                 return Variant();
             },
             nullptr, L"Temporary"},
            {L"Execute", 0x6004000C,
             [](ControlObject& o, const Args&) {
                 o._control->execute();
                 return Variant();
             }},
            {L"Controls", 0x60050000,
             [](ControlObject& o, const Args&) {
                 auto controls = o._control->controls();
                 return Variant::Object(
                     AsDispatch(MakeCom<ControlsObject>(o._host, std::move(controls), o._node->childList())).Get());
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
        if (iid != kButtonEventsIid || _node->type() != host::ControlType::Button) return CONNECT_E_NOCONNECTION;
        try {
            *point = MakeCom<ClickConnectionPoint>(ComPtr<ControlObject>(this)).Detach();
            return S_OK;
        } catch (...) {
            return ReportCurrentException();
        }
    }

    HRESULT advise(IUnknown* sink, DWORD* cookie) {
        if (!sink || !cookie) return E_POINTER;
        *cookie = 0;
        ComPtr<IDispatch> events;
        if (FAILED(sink->QueryInterface(kButtonEventsIid, reinterpret_cast<void**>(events.GetAddressOf()))) || !events)
            return CONNECT_E_CANNOTCONNECT;
        try {
            // Recorded as the facade's bindClick; subscribed on the model so the
            // sink's CancelDefault reaches the control's built-in command.
            _host.recorder().call(L"Control.bindClick", _node->caption());
            if (_node->deleted()) throw host::HostError(host::kErrorFail, L"The control has been deleted.");
            SimHost* host = &_host;
            auto control = _control;
            const int subscription = _node->subscribeCancellable([host, control, events](bool& cancelDefault) {
                RaiseClick(*host, control, events.Get(), cancelDefault);
            });
            _bindings.emplace(_nextCookie, std::make_unique<ClickSubscription>(_node, subscription));
            *cookie = _nextCookie++;
            return S_OK;
        } catch (...) {
            return ReportCurrentException();
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
    static void RaiseClick(SimHost& host, const std::shared_ptr<host::CommandBarControl>& control, IDispatch* sink,
                           bool& cancelDefault) {
        const ComPtr<IDispatch> button = MakeControl(host, control);
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

    ControlNode& read(const wchar_t* operation) {
        _host.recorder().call(operation, _node->caption());
        if (_node->deleted()) throw host::HostError(host::kErrorFail, L"The control has been deleted.");
        return *_node;
    }

    SimHost& _host;
    std::shared_ptr<host::CommandBarControl> _control;
    std::shared_ptr<ControlNode> _node;
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

ComPtr<IDispatch> MakeControl(SimHost& host, std::shared_ptr<host::CommandBarControl> control) {
    if (!control) return nullptr;
    return AsDispatch(MakeCom<ControlObject>(host, std::move(control)));
}

class CommandBarObject final : public DispatchObject<CommandBarObject> {
public:
    CommandBarObject(SimHost& host, std::shared_ptr<host::CommandBar> bar, std::shared_ptr<CommandBarNode> node)
        : _host(host), _bar(std::move(bar)), _node(std::move(node)) {}

    static std::span<const Member<CommandBarObject>> Members() {
        static const Member<CommandBarObject> members[] = {
            {L"Name", 0x60040009, [](CommandBarObject& o, const Args&) { return Variant::String(o._node->name); }},
            {L"Controls", 0x60040003,
             [](CommandBarObject& o, const Args&) {
                 return Variant::Object(
                     AsDispatch(MakeCom<ControlsObject>(o._host, o._bar->controls(), o._node->controls)).Get());
             }},
            {L"FindControl", 0x60040007,
             [](CommandBarObject& o, const Args& a) { return Variant::Object(o.findControl(a).Get()); }, nullptr,
             L"Type,Id,Tag,Visible,Recursive"},
        };
        return members;
    }

private:
    // The first control matching every criterion given, in the bar and (Recursive)
    // in its popups, breadth first; Nothing when none does. Every control of this
    // host is visible, so Visible narrows nothing.
    ComPtr<IDispatch> findControl(const Args& args) {
        const auto type = args.optionalInt32(0);
        const auto id = args.optionalInt32(1);
        const auto tag = args.optionalString(2);
        args.optionalBool(3);
        const bool recursive = args.optionalBool(4).value_or(false);
        if (!type && !tag && id) return MakeControl(_host, _bar->findControl(*id, recursive));

        _host.recorder().call(L"CommandBar.findControl", _node->name,
                              (type ? std::to_wstring(*type) : L"") + L"," + (id ? std::to_wstring(*id) : L"") + L"," +
                                  tag.value_or(L"") + (recursive ? L",true" : L",false"));
        std::vector<std::shared_ptr<ControlList>> pending{_node->controls};
        for (size_t i = 0; i < pending.size(); ++i) {
            for (const auto& control : pending[i]->items) {
                if ((!type || static_cast<std::int32_t>(control->type()) == *type) && (!id || control->id() == *id) &&
                    (!tag || control->tag() == *tag))
                    return MakeControl(_host, MakeHostControl(_host, control));
                if (recursive && control->type() == host::ControlType::Popup) pending.push_back(control->childList());
            }
        }
        return nullptr;
    }

    SimHost& _host;
    std::shared_ptr<host::CommandBar> _bar;
    std::shared_ptr<CommandBarNode> _node;
};

class CommandBarsObject final : public DispatchObject<CommandBarsObject> {
public:
    CommandBarsObject(SimHost& host, std::shared_ptr<host::CommandBars> bars) : _host(host), _bars(std::move(bars)) {}

    static std::span<const Member<CommandBarsObject>> Members() {
        static const Member<CommandBarsObject> members[] = {
            {L"Item", DISPID_VALUE,
             [](CommandBarsObject& o, const Args& a) {
                 const auto name = a.string(0);
                 auto bar = o._bars->item(name);
                 return Variant::Object(
                     AsDispatch(MakeCom<CommandBarObject>(o._host, std::move(bar), o._host.commandBars().find(name)))
                         .Get());
             },
             nullptr, L"Index"},
        };
        return members;
    }

private:
    SimHost& _host;
    std::shared_ptr<host::CommandBars> _bars;
};

}  // namespace

ComPtr<IDispatch> MakeCommandBarsDispatch(SimHost& host, std::shared_ptr<host::CommandBars> bars) {
    return AsDispatch(MakeCom<CommandBarsObject>(host, std::move(bars)));
}

}  // namespace tavisk::simhost::win32
