// A run long enough to show its progress window, over a web on disk, started with
// the options dialog's OK and stopped from the real window by Esc or a click.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dialogs/OptionsDialog.h"
#include "dialogs/frmMain.h"
#include "dialogs/frmProgress.h"
#include "host/Application.h"
#include "base/Text.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "simhost/disk/DiskWeb.h"
#include "tests/dialogs/win32/RecordingToolkit.h"
#include "tests/support/WindowDriver.h"
#include "tests/simhost/disk/TempFolder.h"
#include "ui/memory/MemoryToolkit.h"
#include "ui/win32/Win32Form.h"
#include "ui/win32/Win32Progress.h"

namespace tavisk::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kPages = 30;

// Real windows; message boxes recorded; the progress windows' handles kept.
class ProgressToolkit final : public ui::Toolkit {
public:
    std::shared_ptr<ui::Form> createForm(const ui::FormDesign& design) override { return _real.createForm(design); }
    std::shared_ptr<ui::ProgressWindow> createProgressWindow(const ui::ProgressDesign& design) override {
        auto window = _real.createProgressWindow(design);
        progress.push_back(dynamic_cast<ui::win32::Win32ProgressWindow&>(*window).window());
        return window;
    }
    ui::MessageBoxes& messages() override { return boxes; }
    std::shared_ptr<ui::EditorWindow> editorWindow() override { return RecordedEditorWindow::Find(boxes); }

    ui::memory::MemoryMessageBoxes boxes;
    std::vector<HWND> progress;

private:
    ui::win32::Win32Toolkit _real;
};

std::string Name(int page) { return (page < 10 ? "p0" : "p") + std::to_string(page) + ".htm"; }
std::string Source(int page) {
    return "<html><head><title>Page " + std::to_string(page) + "</title></head>\r\n<body bgcolor=\"white\">\r\n" +
           std::to_string(page) + "\r\n</body></html>\r\n";
}

class ProgressWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        folder.write("logo.gif", "GIF89a");
        for (int i = 1; i <= kPages; ++i) folder.write(Name(i), Source(i));
        host.openWeb(simhost::OpenDiskWeb(folder.path()));
        host::SetApplication(simhost::InMemoryHost(host));
        toolkit = std::make_shared<ProgressToolkit>();
        ui::SetToolkit(toolkit);
        // Each look at the clock is 100 ms later: the window appears at the tenth page.
        frmProgress::SetClock([this] { return now += 100ms; });
    }
    void TearDown() override {
        host.setChangeListener({});
        frmProgress::SetClock(nullptr);
        if (frmMain::Exists()) frmMain::Instance().unload();
        Pump();
        ui::SetToolkit(nullptr);
        host::SetApplication(nullptr);
    }

    // Every page queued, in order.
    void queueAll() {
        SendMessageW(Child(MainWindow(), L"Button", L"Selected &page(s)"), BM_CLICK, 0, 0);
        for (int i = 1; i <= kPages; ++i) {
            const auto url = simhost::DiskUrl(folder.path() / Name(i));
            frmMain::Instance().lvwStaticQueue.add({url, base::FromUtf8(Name(i)), {L"", L""}, url});
        }
    }
    static HWND MainWindow() { return static_cast<ui::win32::Win32Form&>(frmMain::Instance().form()).window(); }
    static HWND TopLevel(const wchar_t* text, DWORD style = WS_OVERLAPPEDWINDOW) {
        return CreateWindowExW(0, L"STATIC", text, style | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                               nullptr);
    }
    static std::wstring PageOf(const std::shared_ptr<simhost::PageWindowState>& window) {
        const auto url = window->file->url();
        return url.substr(url.find_last_of(L'/') + 1);
    }

    TempFolder folder;
    simhost::SimHost host;
    std::shared_ptr<ProgressToolkit> toolkit;
    std::chrono::steady_clock::time_point now{};
};

TEST_F(ProgressWin32Test, TheWindowShowsTheRunAndEscOrCancelStopsItAtAPageBoundary) {
    enum class Stop { Esc, Click, EscInToolBar, Quit };  // EscInToolBar: an Esc to the host's window holding the focus
    struct Case {
        bool queued;
        Stop stop;
        int done, total;  // all pages: logo.gif is not counted
        int firstPage;    // shown first: all pages count the files first, and the window comes up then
    };
    std::atomic<HWND> other = nullptr;  // another program's: a top-level window of a thread of its own
    std::thread otherProgram([&] {
        other = TopLevel(L"other");
        for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
    });
    while (!other) Sleep(1);
    for (const Case c : {Case{true, Stop::Esc, 15, kPages, 10}, Case{false, Stop::Click, 15, kPages, 1},
                         Case{true, Stop::EscInToolBar, 15, kPages, 10}, Case{true, Stop::Quit, 15, kPages, 10}}) {
        SCOPED_TRACE(static_cast<int>(c.stop));
        // The editor's main window, active when the command arrives, and a floating
        // tool bar of the editor, unowned and before it in the thread's windows.
        const HWND toolBar = TopLevel(L"tools", WS_POPUP | WS_CAPTION);
        const HWND hostWindow = TopLevel(L"host");
        SetWindowPos(toolBar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowOptionsDialog();
        Pump();
        const HWND main = MainWindow();
        SendMessageW(Child(main, L"Button", L"&Top margin"), BM_CLICK, 0, 0);
        SetWindowTextW(Children(main, L"Edit").at(0), L"10");
        if (c.queued) queueAll();

        // The host's own windows get nothing inside the run but their paints: a
        // message posted to one before it is still queued after it.
        PostMessageW(hostWindow, WM_APP, 0, 0);

        // What the window shows as each page is opened; the user stops the run during p15.htm.
        std::vector<std::wstring> statuses, items;
        HWND window = nullptr, pageWindow = nullptr;
        bool stopped = false, firstSight = true;
        host.setChangeListener([&] {
            EXPECT_NE(GetForegroundWindow(), other.load());  // the other program stays behind

            const auto active = host.activePageWindow();
            if (toolkit->progress.empty() || !active) return;
            window = toolkit->progress.back();
            const auto labels = Children(window, L"Static");
            const auto status = Text(labels.at(0));
            if (statuses.empty() || statuses.back() != status) {
                statuses.push_back(status);
                items.push_back(Text(labels.at(1)));
            }
            if (std::exchange(firstSight, false)) {
                // Just shown, about a second in: in front, with the product icon, owned
                // by the editor's main window so it has no task bar button, and not
                // topmost; the editor waits.
                EXPECT_TRUE(IsWindowVisible(window));
                EXPECT_EQ(Text(window), L"Tavisk 2002");
                EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
                EXPECT_EQ(GetForegroundWindow(), window);
                EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
                EXPECT_EQ(GetWindow(window, GW_OWNER), hostWindow);
                EXPECT_FALSE(IsWindowEnabled(hostWindow) || IsWindowEnabled(toolBar));
                // What the user types and clicks into the editor meanwhile is dropped; it repaints.
                for (const UINT input : {WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN}) PostMessageW(hostWindow, input, 'A', 0);
                InvalidateRect(hostWindow, nullptr, TRUE);
                // A prompt of the editor, owned by its frame, comes above the window.
                const HWND prompt = CreateWindowExW(0, L"STATIC", L"Reload?", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50,
                                                    50, 200, 100, hostWindow, nullptr, nullptr, nullptr);
                SetForegroundWindow(prompt);
                HWND below = prompt;
                while (below && below != window) below = GetWindow(below, GW_HWNDNEXT);
                EXPECT_EQ(below, window);
                DestroyWindow(prompt);
                EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
                EXPECT_FALSE(IsWindowVisible(main));
                const HWND bar = Child(window, PROGRESS_CLASSW);
                EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), c.total);
                EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), c.firstPage - 1);
                // Without processing any message: what the run has painted is all there is.
                if (c.stop == Stop::Esc) SaveScreenshot(window, L"frmProgress.png", false);
            }
            // Opening p12.htm gives the editor the focus; by the next page the window has it back.
            if (PageOf(active) == L"p12.htm" && !pageWindow) SetFocus(pageWindow = TopLevel(L"page", WS_POPUP));
            if (PageOf(active) == L"p13.htm") {
                EXPECT_EQ(GetFocus(), Child(window, L"Button", L"Cancel"));
                EXPECT_FALSE(GetUpdateRect(hostWindow, nullptr, FALSE));
            }
            if (PageOf(active) != L"p15.htm" || std::exchange(stopped, true)) return;
            const HWND cancel = Child(window, L"Button", L"Cancel");
            if (c.stop == Stop::Quit) {
                PostQuitMessage(7);
            } else if (c.stop == Stop::EscInToolBar) {
                SetFocus(toolBar);
                PostMessageW(toolBar, WM_KEYDOWN, VK_ESCAPE, 1);
            } else if (c.stop == Stop::Esc) {
                EXPECT_EQ(GetFocus(), cancel);
                const UINT scan = MapVirtualKeyW(VK_ESCAPE, MAPVK_VK_TO_VSC);
                PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1 | (scan << 16));
            } else {
                RECT rect{};
                GetClientRect(cancel, &rect);
                PostMessageW(cancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.right / 2, rect.bottom / 2));
                PostMessageW(cancel, WM_LBUTTONUP, 0, MAKELPARAM(rect.right / 2, rect.bottom / 2));
            }
        });
        toolkit->boxes.onShow = [&] { EXPECT_TRUE(IsWindowEnabled(toolBar) && GetForegroundWindow() == hostWindow); };
        SendMessageW(Child(main, L"Button", L"OK"), BM_CLICK, 0, 0);
        host.setChangeListener({});

        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(IsWindow(window));
        MSG message;
        EXPECT_EQ(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? message.wParam : 0,
                  c.stop == Stop::Quit ? 7u : 0u);
        EXPECT_TRUE(PeekMessageW(&message, hostWindow, WM_APP, WM_APP, PM_NOREMOVE));
        EXPECT_FALSE(PeekMessageW(&message, hostWindow, WM_KEYFIRST, WM_MOUSELAST, PM_NOREMOVE));
        EXPECT_TRUE(IsWindowEnabled(hostWindow));
        for (const HWND created : {hostWindow, toolBar, pageWindow}) DestroyWindow(created);

        // The texts advanced while the run went on, from the first page shown.
        ASSERT_GE(statuses.size(), 2u);
        EXPECT_EQ(statuses.front(), frmProgress::StatusText(c.firstPage, c.total));
        EXPECT_EQ(items.front(), base::FromUtf8(Name(c.firstPage)));
        for (size_t i = 1; i < statuses.size(); ++i) EXPECT_NE(statuses[i], statuses[i - 1]);

        ASSERT_EQ(toolkit->boxes.shown.size(), 1u);
        EXPECT_EQ(toolkit->boxes.shown[0].text, L"The run was stopped after " + std::to_wstring(c.done) + L" of " +
                                                    std::to_wstring(c.total) +
                                                    L" pages. The pages done keep their new margins.");
        EXPECT_TRUE(IsWindowVisible(main));
        // The files agree with the message: p01.htm to p15.htm written, the rest as they were.
        for (int i = 1; i <= kPages; ++i) {
            const auto text = folder.read(Name(i));
            if (i <= 15) {
                EXPECT_NE(text.find("topmargin=\"10\""), std::string::npos) << Name(i);
            } else {
                EXPECT_EQ(text, Source(i)) << Name(i);
            }
        }
        EXPECT_TRUE(host.pageWindows().empty());

        toolkit->boxes.shown.clear();
        toolkit->progress.clear();
        for (int i = 1; i <= kPages; ++i) folder.write(Name(i), Source(i));
        frmMain::Instance().unload();
        Pump();
    }
    PostMessageW(other, WM_QUIT, 0, 0);
    otherProgram.join();
}

}  // namespace
}  // namespace tavisk::testing
