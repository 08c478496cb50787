#include "ComFixture.h"

#include <ocidl.h>
#include <olectl.h>

#include <functional>

#include "simhost/SimError.h"
#include "base/win32/ComObject.h"

namespace tavisk::testing {
namespace {

using base::win32::Bstr;

constexpr IID kButtonEventsIid = {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// A Click sink as an add-in writes one: it answers to the event interface (or,
// when told not to, to IDispatch only) and keeps what each Click brought.
class ClickSink final : public base::win32::ComObject<IDispatch> {
public:
    explicit ClickSink(bool answersEvents = true) : _answersEvents(answersEvents) {}
    struct Click {
        DISPID id;
        UINT argumentCount;
        VARTYPE ctrlType;
        std::wstring ctrlTag;
        VARTYPE cancelType;
        VARIANT_BOOL cancel;
    };
    std::vector<Click> clicks;
    std::function<void()> onClick;
    bool cancels = false;  // sets CancelDefault

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        Click click{id, params->cArgs, VT_EMPTY, L"", VT_EMPTY, VARIANT_TRUE};
        if (params->cArgs == 2) {
            click.ctrlType = params->rgvarg[1].vt;
            if (click.ctrlType == VT_DISPATCH) click.ctrlTag = GetString(params->rgvarg[1].pdispVal, L"Tag");
            click.cancelType = params->rgvarg[0].vt;
            if (click.cancelType == (VT_BOOL | VT_BYREF)) {
                click.cancel = *params->rgvarg[0].pboolVal;
                if (cancels) *params->rgvarg[0].pboolVal = VARIANT_TRUE;
            }
        }
        clicks.push_back(click);
        if (onClick) onClick();
        return S_OK;
    }

private:
    void* queryOther(REFIID iid) override {
        return _answersEvents && iid == kButtonEventsIid ? static_cast<IDispatch*>(this) : nullptr;
    }
    bool _answersEvents;
};

ComPtr<IConnectionPoint> ClickPoint(const ComPtr<IDispatch>& button) {
    ComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(button.As(&container), S_OK);
    ComPtr<IConnectionPoint> point;
    if (container) {
        EXPECT_EQ(container->FindConnectionPoint(kButtonEventsIid, &point), S_OK);
    }
    return point;
}

TEST_F(ComHostTest, MenuBarIsFoundIgnoringCaseWithItsBuiltInCommands) {
    const auto bars = GetObject(app.Get(), L"CommandBars");
    for (const auto* name : {L"Menu Bar", L"menu bar", L"MENU BAR"})
        EXPECT_EQ(GetString(GetObject(bars.Get(), L"Item", {name}).Get(), L"Name"), L"Menu Bar");
    EXPECT_EQ(Call(bars.Get(), L"Item", DISPATCH_PROPERTYGET, {L"Formatting"}).description,
              L"There is no command bar \"Formatting\".");

    const auto bar = menuBar();
    const auto controls = GetObject(bar.Get(), L"Controls");
    EXPECT_EQ(GetLong(controls.Get(), L"Count"), 5);
    // Office counts controls from 1; a text index is a caption.
    EXPECT_EQ(GetString(GetObject(controls.Get(), L"Item", {1}).Get(), L"Caption"), L"&File");
    EXPECT_EQ(GetLong(GetObject(controls.Get(), L"Item", {L"tools"}).Get(), L"Type"), 10);
    EXPECT_EQ(Call(controls.Get(), L"Item", DISPATCH_PROPERTYGET, {0}).scode, simhost::kErrorInvalidArg);

    struct Case {
        std::vector<Arg> args;
        const wchar_t* caption;  // null: Nothing
    };
    std::vector<Case> cases;
    cases.push_back({{Missing(), 3, Missing(), Missing(), true}, L"&Save"});
    cases.push_back({{Missing(), 106, Missing(), Missing(), true}, L"&Close"});
    cases.push_back({{Missing(), 3}, nullptr});  // not recursive: the bar's own controls only
    cases.push_back({{Arg(L"Id", Variant::Int(3)), Arg(L"Recursive", Variant::Bool(true))}, L"&Save"});
    cases.push_back({{10, 30007}, L"&Tools"});
    cases.push_back({{1, 30007}, nullptr});  // the Id is a popup's, not a button's
    cases.push_back({{Missing(), 4242, Missing(), Missing(), true}, nullptr});
    for (auto& c : cases) {
        auto found = Method(bar.Get(), L"FindControl", c.args);
        ASSERT_EQ(found.value().vt, VT_DISPATCH);
        if (!c.caption) {
            EXPECT_EQ(found.value().pdispVal, nullptr);
        } else {
            ASSERT_NE(found.value().pdispVal, nullptr) << c.caption;
            EXPECT_EQ(GetString(found.value().pdispVal, L"Caption"), c.caption);
        }
    }
}

TEST_F(ComHostTest, AnAddInsPopupAndButtonAreAddedFoundAndDeleted) {
    int changes = 0;
    host.setChangeListener([&] { ++changes; });
    const auto tools = GetObject(GetObject(menuBar().Get(), L"Controls").Get(), L"Item", {L"Tools"});
    const auto toolControls = GetObject(tools.Get(), L"Controls");
    const auto popup = GetObject(toolControls.Get(), L"Add", {10, Missing(), Missing(), Missing(), true});
    Put(popup.Get(), L"Caption", Variant::Text(L"&Halvern Add-ins"));
    const auto button =
        GetObject(GetObject(popup.Get(), L"Controls").Get(), L"Add", {1, Missing(), L"run", Missing(), true});
    Put(button.Get(), L"Caption", Variant::Text(L"&Tavisk 2002..."));
    Put(button.Get(), L"Tag", Variant::Text(L"Tavisk2002.Run"));
    EXPECT_GT(changes, 0);

    EXPECT_EQ(GetLong(toolControls.Get(), L"Count"), 3);
    EXPECT_EQ(GetString(GetObject(toolControls.Get(), L"Item", {3}).Get(), L"Caption"), L"&Halvern Add-ins");
    EXPECT_EQ(GetLong(button.Get(), L"Id"), 1);
    EXPECT_EQ(GetLong(button.Get(), L"Type"), 1);
    EXPECT_EQ(GetString(button.Get(), L"Parameter"), L"run");

    const auto found = Method(menuBar().Get(), L"FindControl",
                              {Arg(L"Tag", Variant::Text(L"Tavisk2002.Run")), Arg(L"Recursive", Variant::Bool(true))});
    ASSERT_NE(found.value().pdispVal, nullptr);
    EXPECT_EQ(GetString(found.value().pdispVal, L"Caption"), L"&Tavisk 2002...");

    // Before puts the new control in front of the one with that number.
    const auto first = GetObject(toolControls.Get(), L"Add", {1, Missing(), Missing(), 1});
    Put(first.Get(), L"Caption", Variant::Text(L"First"));
    std::vector<std::wstring> captions;
    for (const auto& control : Enumerate(toolControls.Get())) captions.push_back(GetString(control.Get(), L"Caption"));
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"First", L"&Spelling...", L"&Options...", L"&Halvern Add-ins"}));
    EXPECT_EQ(Call(toolControls.Get(), L"Add", DISPATCH_METHOD, {1, Missing(), Missing(), 9}).scode,
              simhost::kErrorInvalidArg);
    EXPECT_EQ(Call(toolControls.Get(), L"Add", DISPATCH_METHOD, {4}).scode, simhost::kErrorInvalidArg);

    // Deleting the popup takes its button with it; both then refuse every call.
    Method(popup.Get(), L"Delete", {true});
    Method(first.Get(), L"Delete");
    EXPECT_EQ(GetLong(toolControls.Get(), L"Count"), 2);
    EXPECT_EQ(Method(menuBar().Get(), L"FindControl", {Missing(), Missing(), L"Tavisk2002.Run", Missing(), true})
                  .get()
                  ->pdispVal,
              nullptr);
    for (const auto* member : {L"Caption", L"Tag", L"Id"}) {
        const auto refused = Call(button.Get(), member, DISPATCH_PROPERTYGET);
        EXPECT_EQ(refused.hr, DISP_E_EXCEPTION) << member;
        EXPECT_EQ(refused.description, L"The control has been deleted.") << member;
    }
    // The refused Adds never reached the host.
    EXPECT_EQ(host.recorder().countOf(L"Controls.add"), 3);
    EXPECT_EQ(host.recorder().countOf(L"Control.delete"), 2);
}

TEST_F(ComHostTest, ClickReachesEveryAdvisedSinkUntilItIsUnadvised) {
    const auto tools = GetObject(GetObject(menuBar().Get(), L"Controls").Get(), L"Item", {L"Tools"});
    const auto button =
        GetObject(GetObject(tools.Get(), L"Controls").Get(), L"Add", {1, Missing(), Missing(), Missing(), true});
    Put(button.Get(), L"Tag", Variant::Text(L"run"));
    const auto point = ClickPoint(button);
    ASSERT_TRUE(point);
    IID iid{};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, kButtonEventsIid);

    auto first = base::win32::MakeCom<ClickSink>();
    auto second = base::win32::MakeCom<ClickSink>();
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(first.Get()), &firstCookie), S_OK);
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(second.Get()), &secondCookie), S_OK);
    EXPECT_NE(firstCookie, secondCookie);

    // Through Execute and through the model (the window's menu runs the model's).
    Method(button.Get(), L"Execute");
    ASSERT_TRUE(host.menuBar().find(1, true));
    host.menuBar().find(1, true)->execute();
    ASSERT_EQ(first->clicks.size(), 2u);
    for (const auto& click : first->clicks) {
        EXPECT_EQ(click.id, 1);
        EXPECT_EQ(click.argumentCount, 2u);
        EXPECT_EQ(click.ctrlType, VT_DISPATCH);
        EXPECT_EQ(click.ctrlTag, L"run");
        EXPECT_EQ(click.cancelType, VT_BOOL | VT_BYREF);
        EXPECT_EQ(click.cancel, VARIANT_FALSE);
    }
    EXPECT_EQ(second->clicks.size(), 2u);

    // After Unadvise no more; an unknown cookie is refused. A sink may unadvise
    // itself from inside its own Click.
    EXPECT_EQ(point->Unadvise(firstCookie), S_OK);
    EXPECT_EQ(point->Unadvise(firstCookie), CONNECT_E_NOCONNECTION);
    second->onClick = [&] { EXPECT_EQ(point->Unadvise(secondCookie), S_OK); };
    Method(button.Get(), L"Execute");
    Method(button.Get(), L"Execute");
    EXPECT_EQ(first->clicks.size(), 2u);
    EXPECT_EQ(second->clicks.size(), 3u);
    EXPECT_EQ(host.menuBar().find(1, true)->subscriberCount(), 0u);
    // Unadvised, the host holds no reference to a sink any more.
    second->onClick = nullptr;
    for (auto* sink : {first.Get(), second.Get()}) {
        sink->AddRef();
        EXPECT_EQ(sink->Release(), 1u);
    }
}

TEST_F(ComHostTest, ConnectionPointsRefuseWhatCannotConnect) {
    const auto tools = GetObject(GetObject(menuBar().Get(), L"Controls").Get(), L"Item", {L"Tools"});
    const auto button = GetObject(GetObject(tools.Get(), L"Controls").Get(), L"Add", {1});
    const auto point = ClickPoint(button);
    ASSERT_TRUE(point);
    auto plain = base::win32::MakeCom<ClickSink>(false);
    DWORD cookie = 7;
    EXPECT_EQ(point->Advise(static_cast<IDispatch*>(plain.Get()), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);

    // A popup raises no Click; a button has no other outgoing interface.
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(tools.As(&container), S_OK);
    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(container->FindConnectionPoint(kButtonEventsIid, &none), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(button.As(&container), S_OK);
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &none), CONNECT_E_NOCONNECTION);
    ComPtr<IConnectionPointContainer> back;
    EXPECT_EQ(point->GetConnectionPointContainer(&back), S_OK);
}

TEST_F(ComHostTest, ExecutingTheBuiltInSaveAndCloseActsOnTheActivePage) {
    openPage(L"index.htm");
    Method(GetObject(GetObject(app.Get(), L"ActiveDocument").Get(), L"body").Get(), L"setAttribute",
           {L"topmargin", L"4"});
    const auto bar = menuBar();
    Method(GetObject(bar.Get(), L"FindControl", {Missing(), 3, Missing(), Missing(), true}).Get(), L"Execute");
    EXPECT_EQ(store(L"index.htm").saveCount(), 1);
    EXPECT_EQ(store(L"index.htm").saved(),
              (std::vector<simhost::Attribute>{{L"bgcolor", L"white"}, {L"topmargin", L"4"}}));
    Method(GetObject(bar.Get(), L"FindControl", {Missing(), 106, Missing(), Missing(), true}).Get(), L"Execute");
    EXPECT_TRUE(host.pageWindows().empty());
    // With no page open the command refuses, with the host's text.
    const auto refused = Call(GetObject(bar.Get(), L"FindControl", {Missing(), 3, Missing(), Missing(), true}).Get(),
                              L"Execute", DISPATCH_METHOD);
    EXPECT_EQ(refused.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(refused.description, L"There is no page to save.");
}

TEST_F(ComHostTest, ASinkThatSetsCancelDefaultStopsTheBuiltInCommand) {
    openPage(L"index.htm");
    const auto save = GetObject(menuBar().Get(), L"FindControl", {Missing(), 3, Missing(), Missing(), true});
    const auto point = ClickPoint(save);
    ASSERT_TRUE(point);
    auto cancelling = base::win32::MakeCom<ClickSink>();
    auto next = base::win32::MakeCom<ClickSink>();
    cancelling->cancels = true;
    DWORD first = 0, second = 0;
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(cancelling.Get()), &first), S_OK);
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(next.Get()), &second), S_OK);
    Method(save.Get(), L"Execute");
    EXPECT_EQ(store(L"index.htm").saveCount(), 0);
    ASSERT_EQ(next->clicks.size(), 1u);
    EXPECT_EQ(next->clicks[0].cancel, VARIANT_TRUE);  // the flag as the sink before left it

    // Without the cancelling sink the command runs again, the flag starting False.
    EXPECT_EQ(point->Unadvise(first), S_OK);
    Method(save.Get(), L"Execute");
    EXPECT_EQ(store(L"index.htm").saveCount(), 1);
    EXPECT_EQ(next->clicks.back().cancel, VARIANT_FALSE);
    EXPECT_EQ(point->Unadvise(second), S_OK);
}

}  // namespace
}  // namespace tavisk::testing
