// A real form when something fails inside it: construction failing once the window
// exists leaves no window behind, and a handler that throws while user32 is
// dispatching a message becomes the form's error message instead of unwinding
// through user32.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "base/Text.h"
#include "ui/ProductIcon.h"
#include "host/HostError.h"
#include "tests/dialogs/win32/RecordingToolkit.h"
#include "tests/support/WindowDriver.h"

namespace tavisk::testing {
namespace {

using ui::win32::Win32Form;

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ThreadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

class FormFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit = std::make_shared<RecordingToolkit>();
        ui::SetToolkit(toolkit);
    }
    void TearDown() override { ui::SetToolkit(nullptr); }

    std::shared_ptr<RecordingToolkit> toolkit;
};

TEST_F(FormFailureTest, AFormWhoseConstructionFailsAfterItsWindowExistsLeavesNoWindow) {
    const struct {
        const char* name;
        bool taskbarButton;  // without one, a hidden owner window is made first
        bool toolWindow;
    } designs[] = {{"plain", true, false}, {"with a hidden owner", false, false}, {"tool window", false, true}};
    for (const auto& d : designs) {
        SCOPED_TRACE(d.name);
        ui::FormDesign design{L"Half made", 3000, 1500, IDI_TAVISK, nullptr};
        design.taskbarButton = d.taskbarButton;
        design.toolWindow = d.toolWindow;
        const int before = ThreadWindows();
        HWND made = nullptr;
        const auto failingHook = [&](HWND window) {
            made = window;
            throw std::runtime_error("the message hook cannot be installed");
        };
        EXPECT_THROW({ Win32Form form(design, failingHook); }, std::runtime_error);
        ASSERT_NE(made, nullptr) << "the failure came after the window was made";
        EXPECT_FALSE(IsWindow(made));
        EXPECT_EQ(ThreadWindows(), before) << "no owner or other window is left either";
        EXPECT_FALSE(ui::win32::MessageHookInstalled());
        Pump();
        EXPECT_TRUE(toolkit->boxes.shown.empty()) << "no message of the destruction reached the half-made form";
    }
}

TEST_F(FormFailureTest, AHandlerThatThrowsWhileAMessageIsDispatchedBecomesTheFormsErrorMessage) {
    auto form = std::make_shared<Win32Form>(ui::FormDesign{L"Handlers", 6000, 4000, IDI_TAVISK, nullptr});
    auto& check = form->addCheckBox(L"&Top margin", {120, 120, 1500, 375});
    auto& list = form->addListView({120, 600, 5000, 2000}, {{L"Name", L"name", 2000}});
    form->show();
    const HWND window = form->window();
    const HWND listWindow = Child(window, WC_LISTVIEWW);

    const std::function<void()> hostRefuses = [] { throw host::HostError(host::kErrorFail, L"The host refused."); };
    const std::function<void()> notAnException = [] { throw 42; };
    const struct {
        const char* name;
        std::function<void(const std::function<void()>&)> handle;  // makes the handler throw what it is handed
        std::function<void()> deliver;                             // the message user32 dispatches
        const wchar_t* action;
    } routes[] = {
        {"close box", [&](auto& f) { form->onClose = f; }, [&] { SendMessageW(window, WM_CLOSE, 0, 0); },
         L"Closing the window failed."},
        {"activated", [&](auto& f) { form->onActivate = f; }, [&] { SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0); },
         L"Activating the window failed."},
        {"deactivated", [&](auto& f) { form->onDeactivate = f; },
         [&] { SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0); }, L"Leaving the window failed."},
        {"check box", [&](auto& f) { check.onClick = f; },
         [&] { SendMessageW(Child(window, L"Button", L"&Top margin"), BM_CLICK, 0, 0); }, L"\"Top margin\" failed."},
        {"column header", [&](auto& f) { list.onColumnClick = [f](std::int32_t) { f(); }; },
         [&] {
             NMLISTVIEW click{};
             click.hdr.hwndFrom = listWindow;
             click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(listWindow));
             click.hdr.code = LVN_COLUMNCLICK;
             SendMessageW(window, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
         },
         L"Sorting the list failed."},
    };
    for (const auto& route : routes) {
        for (const auto* thrown : {&hostRefuses, &notAnException}) {
            SCOPED_TRACE(::testing::Message() << route.name << (thrown == &hostRefuses ? ", host error" : ", int"));
            toolkit->boxes.shown.clear();
            route.handle(*thrown);
            route.deliver();  // returns: nothing unwound through user32

            ASSERT_EQ(toolkit->boxes.shown.size(), 1u);
            EXPECT_EQ(toolkit->boxes.shown[0].title, L"Tavisk 2002");
            EXPECT_EQ(toolkit->boxes.shown[0].icon, ui::MessageIcon::Error);
            const auto& text = toolkit->boxes.shown[0].text;
            EXPECT_EQ(text.rfind(route.action, 0), 0u) << base::ToUtf8(text);
            if (thrown == &hostRefuses) {
                EXPECT_EQ(text, std::wstring(route.action) + L"\n\nThe host refused.");
            }
            EXPECT_TRUE(IsWindow(window));

            // The form goes on working: the same message with a handler that succeeds.
            int ran = 0;
            route.handle([&] { ++ran; });
            route.deliver();
            EXPECT_EQ(ran, 1);
            EXPECT_EQ(toolkit->boxes.shown.size(), 1u);
        }
    }
    form->onClose = nullptr;
    form->onActivate = nullptr;
    form->onDeactivate = nullptr;
    form->unload();
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace tavisk::testing
