// The library stays loaded while the options dialog it showed is open, even once
// the host has released the add-in without disconnecting it (a disconnection
// closes the dialog): unloading it then would leave the dialog's window procedure
// pointing into freed code.
#include <windows.h>

#include <wrl/client.h>

#include <gtest/gtest.h>

#include "addin/tavisk2002_h.h"
#include "simhost/SimHost.h"
#include "simhost/win32/ComHost.h"
#include "tests/support/WinTestSupport.h"
#include "tests/support/WindowDriver.h"

namespace tavisk::testing {
namespace {

using Microsoft::WRL::ComPtr;

TEST(UnloadTest, LibraryStaysWhileItsOptionsDialogIsOpen) {
    ComApartment apartment;
    const LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    auto* getClassObject = dll.proc<GetClassObjectFn>("DllGetClassObject");
    auto* canUnloadNow = dll.proc<CanUnloadNowFn>("DllCanUnloadNow");
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_Connect, IID_PPV_ARGS(&factory)), S_OK);
    ComPtr<IDTExtensibility2> addin;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&addin)), S_OK);

    simhost::SimHost host;
    host.openWeb(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site"));
    SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    ASSERT_EQ(
        addin->OnConnection(simhost::win32::MakeApplicationDispatch(host).Get(), ext_cm_Startup, nullptr, &custom),
        S_OK);
    const auto tools = simhost::CommandBarsModel::FindByCaption(*host.menuBar().controls, L"Tools");
    tools->controls().items.back()->controls().items.back()->execute();  // the user's click
    const HWND dialog = FindOwnWindow(L"Tavisk 2002");
    ASSERT_NE(dialog, nullptr) << "the click shows the options dialog";

    addin.Reset();
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "the dialog is still open";

    SendMessageW(dialog, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(canUnloadNow(), S_OK) << "nothing of the library is left";
    SafeArrayDestroy(custom);
}

}  // namespace
}  // namespace tavisk::testing
