// The Connect COM object as a host calls it: one identity behind _Connect,
// IDTExtensibility2 and IDispatch, the add-in interface's dispatch ids, and
// failures returned as HRESULTs with their text.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "addin/ConnectObject.h"
#include "addin/tavisk2002_h.h"
#include "tests/support/WinTestSupport.h"
#include "tests/simhost/SimHostFixture.h"

namespace tavisk::testing {
namespace {

using Microsoft::WRL::ComPtr;

class ConnectObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(addin::CreateConnectObject(addin::CommandUi{messages, [] {}}, IID_PPV_ARGS(&addin)), S_OK);
        ASSERT_EQ(addin.As(&dispatch), S_OK);
        empty = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    }
    void TearDown() override { SafeArrayDestroy(empty); }

    // Calls a member through IDispatch::Invoke with the custom array as its last argument.
    HRESULT invoke(DISPID id, std::vector<VARIANT> leading, EXCEPINFO& info) {
        VARIANT custom;
        VariantInit(&custom);
        custom.vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
        custom.pparray = &empty;
        std::vector<VARIANT> args{custom};
        for (auto it = leading.rbegin(); it != leading.rend(); ++it) args.push_back(*it);
        DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        UINT argError = 0;
        return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info, &argError);
    }

    ComApartment apartment;
    FakeMessageBoxes messages;
    ComPtr<IDTExtensibility2> addin;
    ComPtr<IDispatch> dispatch;
    SAFEARRAY* empty = nullptr;
};

TEST_F(ConnectObjectTest, AllInterfacesAreOneObject) {
    ComPtr<IUnknown> viaExtensibility;
    ComPtr<_Connect> connect;
    ComPtr<IUnknown> viaConnect;
    ASSERT_EQ(addin.As(&viaExtensibility), S_OK);
    ASSERT_EQ(addin.As(&connect), S_OK);
    ASSERT_EQ(connect.As(&viaConnect), S_OK);
    EXPECT_EQ(viaExtensibility.Get(), viaConnect.Get());
    ComPtr<IClassFactory> unrelated;
    EXPECT_EQ(addin.As(&unrelated), E_NOINTERFACE);
}

TEST_F(ConnectObjectTest, DispatchNamesAreTheAddinInterfacesIds) {
    const wchar_t* methods[] = {L"OnConnection", L"OnDisconnection", L"OnAddInsUpdate", L"OnStartupComplete",
                                L"OnBeginShutdown"};
    for (int i = 0; i < 5; ++i) {
        DISPID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(methods[i])};
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        EXPECT_EQ(id, i + 1);
    }
    DISPID id = 0;
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Click")};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);

    EXCEPINFO info{};
    for (DISPID notice : {3, 4, 5}) EXPECT_EQ(invoke(notice, {}, info), S_OK) << notice;
    VARIANT mode;
    VariantInit(&mode);
    mode.vt = VT_I4;
    mode.lVal = 1;
    EXPECT_EQ(invoke(2, {mode}, info), S_OK) << "disconnection before any connection";
}

TEST_F(ConnectObjectTest, ConnectionToAnObjectThatIsNoHostApplicationFailsWithItsText) {
    // Through the vtable: the HRESULT, and the text as the thread's error info.
    EXPECT_EQ(addin->OnConnection(nullptr, ext_cm_Startup, nullptr, &empty), E_POINTER);
    EXPECT_EQ(addin->OnConnection(dispatch.Get(), ext_cm_Startup, nullptr, &empty), E_NOINTERFACE);
    ComPtr<IErrorInfo> error;
    ASSERT_EQ(GetErrorInfo(0, &error), S_OK);
    BSTR description = nullptr;
    ASSERT_EQ(error->GetDescription(&description), S_OK);
    EXPECT_STREQ(description, L"The object handed over is not the host's application.");
    SysFreeString(description);
    ComPtr<ISupportErrorInfo> supports;
    ASSERT_EQ(addin.As(&supports), S_OK);
    EXPECT_EQ(supports->InterfaceSupportsErrorInfo(IID_IDTExtensibility2), S_OK);

    // Through IDispatch: an Automation exception carrying the same code and text.
    VARIANT application, mode, instance;
    VariantInit(&application);
    application.vt = VT_DISPATCH;
    application.pdispVal = dispatch.Get();
    VariantInit(&mode);
    mode.vt = VT_I4;
    mode.lVal = ext_cm_AfterStartup;
    VariantInit(&instance);
    instance.vt = VT_DISPATCH;
    instance.pdispVal = nullptr;
    EXCEPINFO info{};
    EXPECT_EQ(invoke(1, {application, mode, instance}, info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_NOINTERFACE);
    ASSERT_NE(info.bstrDescription, nullptr);
    EXPECT_STREQ(info.bstrDescription, L"The object handed over is not the host's application.");
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
}

}  // namespace
}  // namespace tavisk::testing
