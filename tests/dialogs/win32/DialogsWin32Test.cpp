// The dialogs on the real common controls, driven with the controls' own messages
// and keys through a plain message loop, as inside a host.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include "dialogs/OptionsDialog.h"
#include "dialogs/Version.h"
#include "ui/ProductIcon.h"
#include "host/HostError.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMain.h"
#include "host/Application.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "tests/dialogs/win32/RecordingToolkit.h"
#include "tests/support/WindowDriver.h"
#include "ui/memory/MemoryToolkit.h"
#include "ui/win32/ActivationContext.h"
#include "ui/win32/MessageHook.h"
#include "ui/win32/Win32Form.h"

namespace tavisk::testing {
namespace {

// Set for the program's second run, which finds no activation contexts, as on Windows 2000.
const bool g_classicControls = [] {
    if (!GetEnvironmentVariableW(L"TAVISK_WITHOUT_ACTIVATION_CONTEXTS", nullptr, 0)) return false;
    ui::win32::ActivationScope::FindNoContextsForTesting();
    return true;
}();

class DialogsWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        web = std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site");
        web->addFile(L"a.htm", L"Alpha");
        host.openWeb(web);
        host::SetApplication(simhost::InMemoryHost(host));
        toolkit = std::make_shared<RecordingToolkit>();
        ui::SetToolkit(toolkit);
        ShowOptionsDialog();
        Pump();
        main = MainWindow();
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override {
        frmAbout::CloseIfOpen();
        if (frmMain::Exists()) frmMain::Instance().unload();
        Pump();
        ui::SetToolkit(nullptr);
        host::SetApplication(nullptr);
    }

    static HWND MainWindow() {
        return frmMain::Exists() ? static_cast<ui::win32::Win32Form&>(frmMain::Instance().form()).window() : nullptr;
    }
    static HWND AboutWindow() { return FindWindowW(nullptr, L"About Tavisk 2002"); }
    HWND Button(const wchar_t* caption) const { return Child(main, L"Button", caption); }
    HWND Edit(int index) const { return Children(main, L"Edit").at(static_cast<size_t>(index)); }
    HWND UpDown(int index) const { return Children(main, UPDOWN_CLASSW).at(static_cast<size_t>(index)); }
    HWND List() const { return Child(main, WC_LISTVIEWW); }
    static bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // One click on the up (+1) or down (-1) arrow of an up-down.
    static void Arrow(HWND upDown, int direction) {
        RECT client{};
        GetClientRect(upDown, &client);
        const int y = direction > 0 ? client.bottom / 4 : client.bottom * 3 / 4;
        Click(upDown, client.right / 2, y);
    }
    void ClickHeader(int column) {
        const HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
        RECT rect{};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&rect));
        Click(header, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    void Queue(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> pages) {
        for (const auto& [name, title] : pages) {
            const std::wstring url = std::wstring(L"file:///C:/Webs/site/") + name;
            frmMain::Instance().lvwStaticQueue.add({url, name, {title, L""}, url});
        }
    }

    simhost::SimHost host;
    std::shared_ptr<simhost::WebModel> web;
    std::shared_ptr<RecordingToolkit> toolkit;
    HWND main = nullptr;
};

TEST_F(DialogsWin32Test, FreshDialogShowsItsDesignStateOnTop) {
    EXPECT_EQ(Text(main), L"Tavisk 2002");
    EXPECT_TRUE(IsWindowVisible(main));
    const auto style = GetWindowLongPtrW(main, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_NE(SendMessageW(main, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(main, WM_GETICON, ICON_SMALL, 0), 0);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, Pixels(8415));
    EXPECT_EQ(client.bottom, Pixels(4710));

    EXPECT_FALSE(Checked(Button(L"&Top margin")));
    EXPECT_FALSE(Checked(Button(L"&Left margin")));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Text(Edit(i)), L"0");
        EXPECT_FALSE(IsWindowEnabled(Edit(i)));
        EXPECT_FALSE(IsWindowEnabled(UpDown(i)));
    }
    EXPECT_TRUE(Checked(Button(L"&Both Internet Explorer and Netscape")));
    EXPECT_FALSE(Checked(Button(L"Internet &Explorer only")));
    EXPECT_FALSE(Checked(Button(L"&Netscape only")));
    EXPECT_TRUE(Checked(Button(L"&All pages")));
    EXPECT_TRUE(IsWindowEnabled(Button(L"&All pages")));
    EXPECT_FALSE(Checked(Button(L"Selected &page(s)")));
    EXPECT_FALSE(IsWindowEnabled(Button(L"Edit &Queue")));
    EXPECT_FALSE(IsWindowEnabled(List()));
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 0);
    for (const wchar_t* caption :
         {L"Margins", L"Compatibility", L"Apply to", L"Files to be processed (if processing selected page(s))",
          L"About...", L"Cancel", L"OK"}) {
        EXPECT_NE(Button(caption), nullptr) << "no control " << caption;
    }
    // The frame's controls sit inside it: "&Top margin" at 300, 300 in the frame at 120, 120.
    RECT top{};
    GetWindowRect(Button(L"&Top margin"), &top);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&top), 2);
    EXPECT_EQ(top.left, Pixels(420));
    EXPECT_EQ(top.top, Pixels(420));

    EXPECT_EQ(GetFocus(), Button(L"&Top margin"));
    // The add-in's own activation context gives the version 6 controls: their
    // buttons know BCM_GETIDEALSIZE, the system's version 5 buttons do not.
    SIZE ideal{};
    EXPECT_NE(SendMessageW(Button(L"OK"), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)), g_classicControls);
    EXPECT_TRUE(g_classicControls || ideal.cx > 0);

    // A second opening shows the same window.
    ShowOptionsDialog();
    EXPECT_EQ(MainWindow(), main);
    SaveScreenshot(main, L"frmMain.png");
}

TEST_F(DialogsWin32Test, TickingEnablesTheBoxAndItsArrowsWhichStopAtTheirRange) {
    SendMessageW(Button(L"&Top margin"), BM_CLICK, 0, 0);
    SendMessageW(Button(L"&Left margin"), BM_CLICK, 0, 0);
    ASSERT_TRUE(IsWindowEnabled(Edit(0)));
    ASSERT_TRUE(IsWindowEnabled(UpDown(1)));

    // The arrows go on from a typed number and never write past the range.
    SetWindowTextW(Edit(0), L"97");
    for (int i = 0; i < 5; ++i) Arrow(UpDown(0), +1);
    EXPECT_EQ(Text(Edit(0)), L"99");
    SetWindowTextW(Edit(1), L"78");
    for (int i = 0; i < 5; ++i) Arrow(UpDown(1), +1);
    EXPECT_EQ(Text(Edit(1)), L"80");
    SetWindowTextW(Edit(1), L"2");
    for (int i = 0; i < 4; ++i) Arrow(UpDown(1), -1);
    EXPECT_EQ(Text(Edit(1)), L"0");
    // Text that is no number in range leaves the up-down where it was.
    SetWindowTextW(Edit(0), L"150");
    Arrow(UpDown(0), -1);
    EXPECT_EQ(Text(Edit(0)), L"98");

    // The arrow keys in the box step the same way, through the message hook.
    SetFocus(Edit(0));
    PressKey(Edit(0), VK_UP);
    EXPECT_EQ(Text(Edit(0)), L"99");
    PressKey(Edit(0), VK_UP);
    EXPECT_EQ(Text(Edit(0)), L"99");
    PressKey(Edit(0), VK_DOWN);
    EXPECT_EQ(Text(Edit(0)), L"98");

    // Unticking greys both and keeps the text.
    SendMessageW(Button(L"&Top margin"), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(Edit(0)));
    EXPECT_FALSE(IsWindowEnabled(UpDown(0)));
    EXPECT_EQ(Text(Edit(0)), L"98");
    SaveScreenshot(main, L"frmMain-margins.png");
}

TEST_F(DialogsWin32Test, KeysWorkThroughTheHookInsideAPlainMessageLoop) {
    EXPECT_TRUE(ui::win32::MessageHookInstalled());
    SendMessageW(Button(L"&Top margin"), BM_CLICK, 0, 0);
    SetWindowTextW(Edit(0), L"42");

    // Tab from the check box into its box selects the whole text.
    SetFocus(Button(L"&Top margin"));
    PressKey(Button(L"&Top margin"), VK_TAB);
    EXPECT_EQ(GetFocus(), Edit(0));
    DWORD start = 9, end = 9;
    SendMessageW(Edit(0), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);

    // Shift+Tab goes back.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    PressKey(Edit(0), VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), Button(L"&Top margin"));

    // Enter does not start the run: there is no default button.
    PressKey(Button(L"&Top margin"), VK_RETURN);
    EXPECT_TRUE(frmMain::Exists());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(host.recorder().callsOf({L"WebFile.open"}).empty());
    EXPECT_TRUE(toolkit->boxes.shown.empty());

    // Esc presses "About...": the about box opens over the dialog, which stays.
    PressKey(Button(L"&Top margin"), VK_ESCAPE);
    const HWND about = AboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(GetWindowLongPtrW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SaveScreenshot(about, L"frmAbout.png");

    // Enter in the about box presses its OK.
    PressKey(GetFocus(), VK_RETURN);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_FALSE(frmAbout::IsOpen());

    // A mnemonic: Alt+L ticks "&Left margin".
    PostMessageW(Button(L"&Top margin"), WM_SYSCHAR, 'l', 1 | (1u << 29));
    Pump();
    EXPECT_TRUE(Checked(Button(L"&Left margin")));
    EXPECT_TRUE(IsWindowEnabled(Edit(1)));

    // The hook goes with the last dialog.
    SendMessageW(Button(L"Cancel"), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(frmMain::Exists());
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(ui::win32::MessageHookInstalled());
}

TEST_F(DialogsWin32Test, TabVisitsTheControlsInTheirOrderAndSkipsGreyedOnes) {
    auto visit = [&](size_t steps) {
        std::vector<std::wstring> order;
        SetFocus(Button(L"&Top margin"));
        for (size_t i = 0; i < steps; ++i) {
            PressKey(GetFocus(), VK_TAB);
            order.push_back(ClassName(GetFocus()) + L":" + Text(GetFocus()));
        }
        return order;
    };
    // Greyed at load: the margin boxes, the queue and "Edit &Queue" are skipped.
    EXPECT_EQ(visit(6),
              (std::vector<std::wstring>{L"Button:&Left margin", L"Button:&Both Internet Explorer and Netscape",
                                         L"Button:&All pages", L"Button:About...", L"Button:Cancel", L"Button:OK"}));
    SendMessageW(Button(L"&Top margin"), BM_CLICK, 0, 0);
    SendMessageW(Button(L"&Left margin"), BM_CLICK, 0, 0);
    SendMessageW(Button(L"Selected &page(s)"), BM_CLICK, 0, 0);
    EXPECT_EQ(visit(10),
              (std::vector<std::wstring>{L"Edit:0", L"Button:&Left margin", L"Edit:0",
                                         L"Button:&Both Internet Explorer and Netscape", L"Button:Selected &page(s)",
                                         L"SysListView32:", L"Button:Edit &Queue", L"Button:About...", L"Button:Cancel",
                                         L"Button:OK"}));
    PressKey(GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), Button(L"&Top margin"));
}

TEST_F(DialogsWin32Test, TheCloseBoxDiscardsTheDialogAndTheNextOpeningIsFresh) {
    SendMessageW(Button(L"&Top margin"), BM_CLICK, 0, 0);
    SetWindowTextW(Edit(0), L"33");
    SendMessageW(Button(L"&Netscape only"), BM_CLICK, 0, 0);
    SendMessageW(Button(L"Selected &page(s)"), BM_CLICK, 0, 0);
    Queue({{L"a.htm", L"Alpha"}});
    PostMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(frmMain::Exists());
    EXPECT_FALSE(IsWindow(main));
    EXPECT_TRUE(host.recorder().callsOf({L"WebFile.open"}).empty());

    ShowOptionsDialog();
    Pump();
    main = MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(Checked(Button(L"&Top margin")));
    EXPECT_EQ(Text(Edit(0)), L"0");
    EXPECT_TRUE(Checked(Button(L"&Both Internet Explorer and Netscape")));
    EXPECT_FALSE(Checked(Button(L"&Netscape only")));
    EXPECT_TRUE(Checked(Button(L"&All pages")));
    EXPECT_FALSE(IsWindowEnabled(List()));
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(DialogsWin32Test, TheAboutBoxClosesWhenTheUserGoesBackToTheDialog) {
    SendMessageW(Button(L"About..."), BM_CLICK, 0, 0);
    Pump();
    const HWND about = AboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetForegroundWindow(), about);
    EXPECT_EQ(Child(about, L"Static", L"Halvern Tavisk 2002 (SR-1)") != nullptr, true);
    EXPECT_EQ(Child(about, L"Static", L"Version " + std::wstring(tavisk::kProductVersion)) != nullptr, true);
    LOGFONTW font{};
    GetObjectW(
        reinterpret_cast<HFONT>(SendMessageW(Child(about, L"Static", L"Halvern Tavisk 2002 (SR-1)"), WM_GETFONT, 0, 0)),
        sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_GE(font.lfWeight, FW_BOLD);
    RECT client{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, Pixels(5250));
    EXPECT_EQ(client.bottom, Pixels(2775));

    // Clicking into the options dialog takes the activation away: the box closes.
    SetForegroundWindow(main);
    SetActiveWindow(main);
    Pump();
    EXPECT_FALSE(IsWindow(about));
    EXPECT_FALSE(frmAbout::IsOpen());
    EXPECT_TRUE(IsWindowVisible(main));

    // The next opening is a new box.
    SendMessageW(Button(L"About..."), BM_CLICK, 0, 0);
    Pump();
    EXPECT_NE(AboutWindow(), nullptr);
    EXPECT_TRUE(frmAbout::IsOpen());
}

TEST_F(DialogsWin32Test, HeaderClicksSortAnEnabledQueueAndADisabledOneIgnoresThem) {
    Queue({{L"b.htm", L"Zeta"}, {L"page10.htm", L"alpha"}, {L"page2.htm", L"Beta"}});
    EXPECT_EQ(ListColumn(List(), 0), (std::vector<std::wstring>{L"b.htm", L"page2.htm", L"page10.htm"}));

    // "&All pages" is chosen: the list is greyed and its headers do nothing.
    ClickHeader(1);
    EXPECT_EQ(ListColumn(List(), 0), (std::vector<std::wstring>{L"b.htm", L"page2.htm", L"page10.htm"}));

    SendMessageW(Button(L"Selected &page(s)"), BM_CLICK, 0, 0);
    ASSERT_TRUE(IsWindowEnabled(List()));
    EXPECT_TRUE(IsWindowEnabled(Button(L"Edit &Queue")));
    ClickHeader(1);
    EXPECT_EQ(ListColumn(List(), 1), (std::vector<std::wstring>{L"alpha", L"Beta", L"Zeta"}));
    ClickHeader(1);
    EXPECT_EQ(ListColumn(List(), 1), (std::vector<std::wstring>{L"Zeta", L"Beta", L"alpha"}));
    ClickHeader(0);
    EXPECT_EQ(ListColumn(List(), 0), (std::vector<std::wstring>{L"b.htm", L"page2.htm", L"page10.htm"}));
    SaveScreenshot(main, L"frmMain-queue.png");

    // Back to "&All pages": greyed again, entries kept, clicks ignored.
    SendMessageW(Button(L"&All pages"), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(List()));
    ClickHeader(0);
    EXPECT_EQ(ListColumn(List(), 0), (std::vector<std::wstring>{L"b.htm", L"page2.htm", L"page10.htm"}));
}

TEST_F(DialogsWin32Test, BoldItemsAreDrawnBold) {
    SendMessageW(Button(L"Selected &page(s)"), BM_CLICK, 0, 0);
    Queue({{L"same1.htm", L"Same title"}, {L"same2.htm", L"Same title"}});
    frmMain::Instance().lvwStaticQueue.setBold(L"file:///C:/Webs/site/same1.htm", true);
    UpdateWindow(List());

    // The same title drawn in both rows: the bold one has more ink.
    RECT window{}, row0{}, row1{};
    GetWindowRect(List(), &window);
    POINT origin{0, 0};
    ClientToScreen(List(), &origin);
    row0.left = row1.left = LVIR_LABEL;
    SendMessageW(List(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    SendMessageW(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row1));
    OffsetRect(&row0, origin.x - window.left, origin.y - window.top);
    OffsetRect(&row1, origin.x - window.left, origin.y - window.top);
    const int bold = DarkPixels(List(), row0), normal = DarkPixels(List(), row1);
    EXPECT_GT(normal, 0);
    EXPECT_GT(bold, normal + normal / 10) << "bold " << bold << ", normal " << normal;
}

HWND g_boxOwner = nullptr;
// Inside the closing box's loop (the dialog is gone by then): notes its owner, the editor, and presses OK.
void CALLBACK CloseBox(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = FindWindowW(L"#32770", L"Tavisk 2002");
    if (!box) return;
    EXPECT_NE(Child(box, L"Static", L"Margin settings have been applied successfully."), nullptr);
    g_boxOwner = GetWindow(box, GW_OWNER);
    KillTimer(nullptr, timer);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(DialogsWin32Test, OkRunsOverTheQueueAndTheDialogGoes) {
    const HWND editor = CreateWindowExW(0, L"STATIC", L"editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                        nullptr, nullptr, nullptr, nullptr);
    ui::SetToolkit(std::make_shared<ui::win32::Win32Toolkit>());  // the editor's boxes shown
    ShowOptionsDialog();
    SendMessageW(Button(L"&Top margin"), BM_CLICK, 0, 0);
    SetWindowTextW(Edit(0), L"12");
    SendMessageW(Button(L"Internet &Explorer only"), BM_CLICK, 0, 0);
    SendMessageW(Button(L"Selected &page(s)"), BM_CLICK, 0, 0);
    Queue({{L"a.htm", L"Alpha"}});
    SetTimer(nullptr, 0, 20, CloseBox);
    SendMessageW(Button(L"OK"), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(frmMain::Exists());
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(g_boxOwner, editor);
    EXPECT_TRUE(IsWindowEnabled(editor) && GetActiveWindow() == editor);  // enabled before the box
    DestroyWindow(editor);
    const auto& store = static_cast<simhost::MemoryPageStore&>(web->findFile(L"file:///C:/Webs/site/a.htm")->store());
    EXPECT_EQ(store.saved(), (std::vector<simhost::Attribute>{{L"topmargin", L"12"}}));
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM found) {
    if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The web closed while the dialog is open: OK names the cause in one error message,
// destroys the progress window it made, writes nothing and leaves the dialog whole
// and shown for another try; Cancel then closes it.
TEST_F(DialogsWin32Test, OkAfterTheWebClosedTellsTheUserAndLeavesOnlyTheDialog) {
    for (const bool queue : {false, true}) {
        SCOPED_TRACE(queue ? "queue" : "all pages");
        if (!main) {
            host.openWeb(web);
            ShowOptionsDialog();
            Pump();
            main = MainWindow();
        }
        SendMessageW(Button(L"&Top margin"), BM_CLICK, 0, 0);
        if (queue) {
            SendMessageW(Button(L"Selected &page(s)"), BM_CLICK, 0, 0);
            Queue({{L"a.htm", L"Alpha"}});
        }
        host.closeWeb();
        toolkit->boxes.shown.clear();
        SendMessageW(Button(L"OK"), BM_CLICK, 0, 0);
        Pump();

        ASSERT_EQ(toolkit->boxes.shown.size(), 1u);
        EXPECT_EQ(toolkit->boxes.shown[0].title, L"Tavisk 2002");
        EXPECT_EQ(toolkit->boxes.shown[0].icon, ui::MessageIcon::Error);
        EXPECT_NE(toolkit->boxes.shown[0].text.find(L"No web is open in FrontPage."), std::wstring::npos);
        const auto& store =
            static_cast<simhost::MemoryPageStore&>(web->findFile(L"file:///C:/Webs/site/a.htm")->store());
        EXPECT_EQ(store.saveCount(), 0);
        std::vector<HWND> visible;
        EnumThreadWindows(GetCurrentThreadId(), CollectVisible, reinterpret_cast<LPARAM>(&visible));
        EXPECT_EQ(visible, std::vector<HWND>{main}) << "no progress window or half-made window is left";
        EXPECT_EQ(Checked(Button(L"&Top margin")), true);

        SendMessageW(Button(L"Cancel"), BM_CLICK, 0, 0);
        Pump();
        EXPECT_FALSE(IsWindow(main));
        EXPECT_FALSE(frmMain::Exists());
        main = nullptr;
    }
}

// The controls the page chooser builds on, on a form of their own.
class ControlsWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit = std::make_shared<RecordingToolkit>();
        ui::SetToolkit(toolkit);
        form = std::make_shared<ui::win32::Win32Form>(ui::FormDesign{L"Controls", 6000, 4000, IDI_TAVISK, nullptr});
    }
    void TearDown() override {
        form->unload();
        ui::SetToolkit(nullptr);
    }
    static void ClickRect(HWND window, RECT rect) { Click(window, rect.left + 4, (rect.top + rect.bottom) / 2); }

    std::shared_ptr<RecordingToolkit> toolkit;
    std::shared_ptr<ui::win32::Win32Form> form;
};

TEST_F(ControlsWin32Test, TreeNodesAreKeyedCarryImagesAndReportTheUsersChoice) {
    auto& tree = form->addTreeView({120, 120, 3000, 3000});
    form->show();
    tree.setImages({IDI_TAVISK, IDI_TAVISK});
    tree.add(L"", L"root", L"site", 0, 1);
    tree.add(L"root", L"root/images", L"images", 1, 1);
    tree.add(L"root", L"root/news", L"news", 0, 1);
    tree.expand(L"root");
    std::vector<std::wstring> clicked;
    tree.onNodeClick = {L"Listing the folder", [&](const std::wstring& key) { clicked.push_back(key); }};

    const HWND window = Child(form->window(), WC_TREEVIEWW);
    EXPECT_EQ(SendMessageW(window, TVM_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(
        ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(SendMessageW(window, TVM_GETIMAGELIST, TVSIL_NORMAL, 0))),
        2);
    EXPECT_TRUE(tree.expanded(L"root"));
    EXPECT_EQ(tree.text(L"root/news"), L"news");
    EXPECT_EQ(tree.image(L"root/images"), 1);
    EXPECT_THROW(tree.add(L"root", L"root/news", L"again", 0, 0), std::invalid_argument);

    tree.select(L"root");  // from code: no event
    EXPECT_TRUE(clicked.empty());
    RECT rect{};
    const HTREEITEM news = TreeView_GetNextSibling(window, TreeView_GetChild(window, TreeView_GetRoot(window)));
    TreeView_GetItemRect(window, news, &rect, TRUE);
    ClickRect(window, rect);
    EXPECT_EQ(tree.selectedKey(), L"root/news");
    EXPECT_EQ(clicked, (std::vector<std::wstring>{L"root/news"}));
    tree.clear();
    EXPECT_EQ(SendMessageW(window, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(tree.count(), 0);
}

TEST_F(ControlsWin32Test, AListsSelectionFollowsItsItemsWhenTheyAreReordered) {
    auto& list = form->addListView({120, 120, 5000, 3000}, {{L"Name", L"name", 2000}, {L"Title", L"title", 2000}});
    form->show();
    list.add({L"k1", L"a.htm", {L"Zeta"}, L""});
    list.add({L"k2", L"b.htm", {L"Alpha"}, L""});
    list.add({L"k3", L"c.htm", {L"Mid"}, L""});
    std::vector<std::wstring> doubleClicked;
    list.onDoubleClick = {L"Moving the page", [&](const std::wstring& key) { doubleClicked.push_back(key); }};

    const HWND window = Child(form->window(), WC_LISTVIEWW);
    RECT rect{};
    rect.left = LVIR_LABEL;
    SendMessageW(window, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect));
    ClickRect(window, rect);  // the user selects c.htm
    EXPECT_EQ(list.selectedKeys(), (std::vector<std::wstring>{L"k3"}));

    list.setSortState({1, ui::kAscending});  // Alpha, Mid, Zeta: c.htm moves to row 1
    EXPECT_EQ(ListColumn(window, 0), (std::vector<std::wstring>{L"b.htm", L"c.htm", L"a.htm"}));
    EXPECT_EQ(SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(list.selectedKeys(), (std::vector<std::wstring>{L"k3"}));

    SendMessageW(window, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect));
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2));
    Pump();
    EXPECT_EQ(doubleClicked, (std::vector<std::wstring>{L"k1"}));

    list.remove(L"k2");
    EXPECT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ListColumn(window, 1), (std::vector<std::wstring>{L"Mid", L"Zeta"}));

    // As the user's language orders them: an accented letter beside its base letter,
    // kana by their sound whether written in katakana or hiragana.
    list.add({L"k4", L"d.htm", {L"\u00c9b\u00e8ne"}, L""});
    list.add({L"k5", L"e.htm", {L"\u304d\u3082\u306e"}, L""});
    list.add({L"k6", L"f.htm", {L"\u30ab\u30bf\u30ed\u30b0"}, L""});
    EXPECT_EQ(ListColumn(window, 1), (std::vector<std::wstring>{L"\u00c9b\u00e8ne", L"Mid", L"Zeta",
                                                                L"\u30ab\u30bf\u30ed\u30b0", L"\u304d\u3082\u306e"}));
}

TEST_F(ControlsWin32Test, FormsHaveAFixedBorderAndAToolWindowHasNoTaskBarButton) {
    EXPECT_FALSE(GetWindowLongPtrW(form->window(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongPtrW(form->window(), GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    ui::FormDesign design{L"Tool", 3000, 1500, 0, nullptr};
    design.toolWindow = true;
    ui::win32::Win32Form tool(design);
    EXPECT_TRUE(GetWindowLongPtrW(tool.window(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongPtrW(tool.window(), GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT client{};
    GetClientRect(tool.window(), &client);
    EXPECT_EQ(client.right, Pixels(3000));
    EXPECT_EQ(client.bottom, Pixels(1500));
}

TEST_F(ControlsWin32Test, AFailingHandlerBecomesAnErrorMessageNamingTheCommand) {
    auto& button = form->addButton(L"&Refresh", {120, 120, 1200, 375}, ui::ButtonRole::Normal);
    button.onClick = [] { throw host::HostError(host::kErrorFail, L"The host refused."); };
    form->show();
    SendMessageW(Child(form->window(), L"Button", L"&Refresh"), BM_CLICK, 0, 0);
    ASSERT_EQ(toolkit->boxes.shown.size(), 1u);
    EXPECT_EQ(toolkit->boxes.shown[0].title, L"Tavisk 2002");
    EXPECT_EQ(toolkit->boxes.shown[0].icon, ui::MessageIcon::Error);
    EXPECT_EQ(toolkit->boxes.shown[0].text, L"\"Refresh\" failed.\n\nThe host refused.");
    EXPECT_TRUE(IsWindowVisible(form->window()));
}

}  // namespace
}  // namespace tavisk::testing
