// The page chooser on the real common controls, opened by "Edit &Queue" of the real
// options dialog over a small disk web, driven with the controls' own messages
// through a plain message loop, as inside a host.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "chooser/EditQueue.h"
#include "chooser/frmChooseFiles.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/PageChooser.h"
#include "dialogs/frmMain.h"
#include "host/Application.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "simhost/disk/DiskWeb.h"
#include "base/win32/Screenshot.h"
#include "tests/dialogs/win32/RecordingToolkit.h"
#include "tests/support/WindowDriver.h"
#include "tests/simhost/disk/TempFolder.h"
#include "ui/memory/MemoryToolkit.h"
#include "ui/win32/Win32Form.h"

namespace tavisk::testing {
namespace {

constexpr wchar_t kChooserCaption[] = L"Tavisk 2002 - Select Files";
constexpr wchar_t kWaitCaption[] = L"Loading Web...";

// The host's application, running `probe` once, at its `at`-th relativeUrl call for
// a folder: a moment in the middle of a load.
class ProbedApplication final : public host::HostApplication {
public:
    ProbedApplication(std::shared_ptr<host::HostApplication> inner, int at, std::function<void()> probe)
        : _inner(std::move(inner)), _at(at), _probe(std::move(probe)) {}
    std::shared_ptr<host::Web> activeWeb() override { return _inner->activeWeb(); }
    std::shared_ptr<host::WebWindow> activeWebWindow() override { return _inner->activeWebWindow(); }
    std::shared_ptr<host::PageWindow> activePageWindow() override { return _inner->activePageWindow(); }
    std::shared_ptr<host::HtmlDocument> activeDocument() override { return _inner->activeDocument(); }
    std::wstring relativeUrl(host::WebFolder& base, const std::wstring& url) override {
        if (++_calls == _at) _probe();
        return _inner->relativeUrl(base, url);
    }
    std::wstring relativeUrl(const std::wstring& base, const std::wstring& url) override {
        return _inner->relativeUrl(base, url);
    }
    std::shared_ptr<host::CommandBars> commandBars() override { return _inner->commandBars(); }
    std::uint32_t userInterfaceLanguage() override { return _inner->userInterfaceLanguage(); }

private:
    std::shared_ptr<host::HostApplication> _inner;
    int _calls = 0;
    int _at;
    std::function<void()> _probe;
};

void DoubleClick(HWND window, POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(window, WM_LBUTTONUP, 0, where);
    PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    PostMessageW(window, WM_LBUTTONUP, 0, where);
    Pump();
}

int FindItem(HWND list, const std::wstring& text) {
    const auto texts = ListColumn(list, 0);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == text) return static_cast<int>(i);
    }
    return -1;
}

POINT ItemCentre(HWND list, int index) {
    RECT rect{};
    rect.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return {rect.left + 4, (rect.top + rect.bottom) / 2};
}

// Selects exactly the items with these texts, as the user's clicks would.
void SelectItems(HWND list, const std::vector<std::wstring>& texts) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    for (const auto& text : texts) {
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(FindItem(list, text)),
                     reinterpret_cast<LPARAM>(&state));
    }
    Pump();
}

// The font the list draws an item with, as its owner answers the item's custom draw.
bool DrawnBold(HWND dialog, HWND list, int index, int column = 0) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = list;
    draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
    draw.nmcd.hdc = dc;
    if (SendMessageW(dialog, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw)) &
        CDRF_NOTIFYSUBITEMDRAW) {
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        draw.iSubItem = column;
        SendMessageW(dialog, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    }
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return font.lfWeight >= FW_BOLD;
}

void ClickHeader(HWND list, int column) {
    RECT rect{};
    Header_GetItemRect(ListView_GetHeader(list), column, &rect);
    Click(ListView_GetHeader(list), (rect.left + rect.right) / 2, rect.bottom / 2);
}

class ChooserWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit = std::make_shared<RecordingToolkit>();
        ui::SetToolkit(toolkit);
        InstallPageChooser();
    }
    void TearDown() override {
        frmChooseFiles::Discard();
        if (frmMain::Exists()) frmMain::Instance().unload();
        Pump();
        SetPageChooser(nullptr);
        ui::SetToolkit(nullptr);
        host::SetApplication(nullptr);
    }
    void OpenOptions() {
        ShowOptionsDialog();
        Pump();
        main = static_cast<ui::win32::Win32Form&>(frmMain::Instance().form()).window();
        SendMessageW(Child(main, L"Button", L"Selected &page(s)"), BM_CLICK, 0, 0);
    }
    HWND PressEditQueue() {
        SendMessageW(Child(main, L"Button", L"Edit &Queue"), BM_CLICK, 0, 0);
        Pump();
        return FindWindowW(nullptr, kChooserCaption);
    }

    simhost::SimHost host;
    std::shared_ptr<RecordingToolkit> toolkit;
    HWND main = nullptr;
};

const char kPage[] =
    "<html><head><title>%s</title></head>\r\n<body bgcolor=\"white\">\r\n<p>%s</p>\r\n</body></html>\r\n";

std::string Page(const char* title) {
    char text[256];
    snprintf(text, sizeof text, kPage, title, title);
    return text;
}

TEST_F(ChooserWin32Test, PagesChosenOnRealControlsReachTheOptionsQueueAndOnlyThoseAreChanged) {
    TempFolder folder;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"index.htm", Page("Home")},
        {"about.htm", Page("About")},
        {"docs/guide.htm", Page("Guide")},
        {"docs/notes.htm", Page("Notes")},
        {"docs/pic.gif", "GIF89a"},
        {"images/logo.htm", Page("Logo")},
        {"_private/secret.htm", Page("Secret")},
        {"ideas.htm", Page("Ideas")},
    };
    for (const auto& [path, bytes] : files) folder.write(path, bytes);
    host.openWeb(simhost::OpenDiskWeb(folder.path()));
    host::SetApplication(simhost::InMemoryHost(host));
    OpenOptions();

    const HWND chooser = PressEditQueue();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(FindWindowW(nullptr, kWaitCaption), nullptr);
    EXPECT_TRUE(IsWindowVisible(chooser));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowEnabled(main));  // not modal: the options dialog stays usable
    EXPECT_EQ(GetForegroundWindow(), chooser);
    const auto style = GetWindowLongPtrW(chooser, GWL_STYLE);
    const auto exStyle = GetWindowLongPtrW(chooser, GWL_EXSTYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    // Off the task bar: owned by a hidden window, not a tool window, no app-window flag.
    const HWND owner = GetWindow(chooser, GW_OWNER);
    EXPECT_NE(owner, nullptr);
    EXPECT_NE(owner, main);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_FALSE(exStyle & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW));
    EXPECT_NE(SendMessageW(chooser, WM_GETICON, ICON_SMALL, 0), 0);
    RECT client{}, frame{}, work{};
    GetClientRect(chooser, &client);
    EXPECT_EQ(client.right, Pixels(8550));
    EXPECT_EQ(client.bottom, Pixels(6720));
    GetWindowRect(chooser, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 2);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 2);

    // The controls in tab order, then the etched rule.
    std::vector<std::wstring> children;
    for (HWND child = GetWindow(chooser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(ClassName(child) + L":" + Text(child));
    EXPECT_EQ(children, (std::vector<std::wstring>{
                            L"SysTreeView32:", L"Static:Look in:", L"SysListView32:", L"Button:&Add Selected to Queue",
                            L"Static:Files in selected folder (bold indicates file already in queue):",
                            L"SysListView32:", L"Static:Files in queue:", L"Button:Re&move Selected from Queue",
                            L"Button:Cancel", L"Button:OK", L"Static:"}));
    const HWND rule = GetWindow(GetWindow(chooser, GW_CHILD), GW_HWNDLAST);
    EXPECT_EQ(GetWindowLongPtrW(rule, GWL_STYLE) & SS_TYPEMASK, SS_ETCHEDHORZ);
    RECT ruleRect{};
    GetWindowRect(rule, &ruleRect);
    MapWindowPoints(nullptr, chooser, reinterpret_cast<POINT*>(&ruleRect), 2);
    EXPECT_EQ(ruleRect.left, Pixels(255));
    EXPECT_EQ(ruleRect.top, Pixels(5970));
    EXPECT_NEAR(ruleRect.right, Pixels(255 + 8010), 2);
    const HWND ok = Child(chooser, L"Button", L"OK");
    EXPECT_EQ(GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    const HWND remove = Child(chooser, L"Button", L"Re&move Selected from Queue");
    EXPECT_FALSE(IsWindowEnabled(remove));

    // The tree: the root and three shown folders, _private too, collapsed, none chosen; four 16x16 images
    // whose silver corners are transparent.
    const HWND tree = Child(chooser, WC_TREEVIEWW);
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(GetFocus(), tree);
    EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
    const HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_FALSE(TreeView_GetItemState(tree, root, TVIS_EXPANDED) & TVIS_EXPANDED);
    // Opened, with nothing chosen: the first key chooses the root, and goes no further.
    TreeView_Expand(tree, root, TVE_EXPAND);
    const int listed = host.recorder().countOf(L"WebFolder.files");
    PressKey(tree, VK_END);
    EXPECT_EQ(TreeView_GetSelection(tree), root);
    EXPECT_EQ(host.recorder().countOf(L"WebFolder.files"), listed + 1);
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 4);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    {
        const HDC screen = GetDC(nullptr);
        const HDC dc = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        ReleaseDC(nullptr, screen);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        for (int image = 0; image < 4; ++image) {
            const RECT all{0, 0, 16, 16};
            const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
            FillRect(dc, &all, red);
            DeleteObject(red);
            ImageList_Draw(images, image, dc, 0, 0, ILD_TRANSPARENT);
            EXPECT_EQ(GetPixel(dc, 15, 0), RGB(255, 0, 0)) << "image " << image;
            EXPECT_NE(GetPixel(dc, 8, 9), RGB(255, 0, 0)) << "image " << image;
        }
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    const HWND pages = Children(chooser, WC_LISTVIEWW).at(0);
    const HWND queue = Children(chooser, WC_LISTVIEWW).at(1);
    EXPECT_EQ(ListColumn(pages, 0), (std::vector<std::wstring>{L"about.htm", L"ideas.htm", L"index.htm"}));
    EXPECT_EQ(SendMessageW(queue, LVM_GETITEMCOUNT, 0, 0), 0);
    // Typed letters find the first name beginning with them all, whatever its case;
    // one more that no name begins with leaves the selection alone.
    SendMessageW(pages, WM_CHAR, L'I', 1);
    SendMessageW(pages, WM_CHAR, L'n', 1);
    EXPECT_EQ(ListView_GetNextItem(pages, -1, LVNI_FOCUSED | LVNI_SELECTED), FindItem(pages, L"index.htm"));
    SendMessageW(pages, WM_CHAR, L'z', 1);
    EXPECT_EQ(ListView_GetNextItem(pages, -1, LVNI_FOCUSED | LVNI_SELECTED), FindItem(pages, L"index.htm"));
    EXPECT_EQ(ListView_GetSelectedCount(pages), 1u);

    // The user opens the root and clicks "docs".
    TreeView_Expand(tree, root, TVE_EXPAND);
    HTREEITEM docs = TreeView_GetNextSibling(tree, TreeView_GetChild(tree, root));  // after _private
    wchar_t text[64] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = docs;
    item.pszText = text;
    item.cchTextMax = 64;
    TreeView_GetItem(tree, &item);
    ASSERT_EQ(std::wstring(text), L"docs");
    RECT node{};
    TreeView_GetItemRect(tree, docs, &node, TRUE);
    Click(tree, node.left + 4, (node.top + node.bottom) / 2);
    // A click on the folder shown lists it again.
    const int listings = host.recorder().countOf(L"WebFolder.files");
    Click(tree, node.left + 4, (node.top + node.bottom) / 2);
    EXPECT_EQ(host.recorder().countOf(L"WebFolder.files"), listings + 1);
    EXPECT_EQ(ListColumn(pages, 0), (std::vector<std::wstring>{L"guide.htm", L"notes.htm"}));
    EXPECT_EQ(ListColumn(pages, 1), (std::vector<std::wstring>{L"Guide", L"Notes"}));

    // A double-click queues "notes.htm" and draws it bold.
    const int notes = FindItem(pages, L"notes.htm");
    EXPECT_FALSE(DrawnBold(chooser, pages, notes));
    DoubleClick(pages, ItemCentre(pages, notes));
    EXPECT_TRUE(DrawnBold(chooser, pages, FindItem(pages, L"notes.htm")));
    EXPECT_FALSE(DrawnBold(chooser, pages, FindItem(pages, L"notes.htm"), 1));  // its title is not
    EXPECT_FALSE(DrawnBold(chooser, pages, FindItem(pages, L"guide.htm")));
    EXPECT_EQ(ListColumn(queue, 0), (std::vector<std::wstring>{L"notes.htm"}));
    EXPECT_EQ(ListColumn(queue, 1), (std::vector<std::wstring>{L"Notes"}));
    EXPECT_EQ(ListColumn(queue, 2), (std::vector<std::wstring>{L"docs/"}));
    EXPECT_FALSE(IsWindowEnabled(remove));

    // Both selected, Add queues the one not yet queued.
    SelectItems(pages, {L"guide.htm", L"notes.htm"});
    SendMessageW(Child(chooser, L"Button", L"&Add Selected to Queue"), BM_CLICK, 0, 0);
    EXPECT_EQ(ListColumn(queue, 0), (std::vector<std::wstring>{L"guide.htm", L"notes.htm"}));
    EXPECT_TRUE(DrawnBold(chooser, pages, FindItem(pages, L"guide.htm")));
    EXPECT_TRUE(IsWindowEnabled(remove));
    SaveScreenshot(chooser, L"frmChooseFiles.png");
    // A click on the sorted column's header turns each list round.
    ClickHeader(pages, 0);
    EXPECT_EQ(ListColumn(pages, 0), (std::vector<std::wstring>{L"notes.htm", L"guide.htm"}));
    ClickHeader(queue, 0);
    EXPECT_EQ(ListColumn(queue, 0), (std::vector<std::wstring>{L"notes.htm", L"guide.htm"}));

    SelectItems(queue, {L"notes.htm"});
    SendMessageW(remove, BM_CLICK, 0, 0);
    EXPECT_EQ(ListColumn(queue, 0), (std::vector<std::wstring>{L"guide.htm"}));
    EXPECT_FALSE(DrawnBold(chooser, pages, FindItem(pages, L"notes.htm")));
    EXPECT_TRUE(IsWindowEnabled(remove));
    PressKey(tree, VK_DOWN);  // the keyboard lists the folder it moves to
    EXPECT_EQ(ListColumn(pages, 0), (std::vector<std::wstring>{L"logo.htm"}));

    SendMessageW(ok, BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(chooser));
    const HWND options = Child(main, WC_LISTVIEWW);
    EXPECT_EQ(ListColumn(options, 0), (std::vector<std::wstring>{L"guide.htm"}));
    EXPECT_EQ(ListColumn(options, 2), (std::vector<std::wstring>{L"docs/"}));

    // The run over that queue changes that page alone on disk.
    SendMessageW(Child(main, L"Button", L"&Top margin"), BM_CLICK, 0, 0);
    SetWindowTextW(Children(main, L"Edit").at(0), L"7");
    SendMessageW(Child(main, L"Button", L"OK"), BM_CLICK, 0, 0);
    Pump();
    ASSERT_EQ(toolkit->boxes.shown.size(), 1u);
    EXPECT_EQ(toolkit->boxes.shown[0].text, L"Margin settings have been applied successfully.");
    for (const auto& [path, bytes] : files) {
        if (path == "docs/guide.htm") {
            EXPECT_NE(folder.read(path).find("<body bgcolor=\"white\" topmargin=\"7\" marginheight=\"7\">"),
                      std::string::npos)
                << folder.read(path);
        } else {
            EXPECT_EQ(folder.read(path), bytes) << path;
        }
    }
}

TEST_F(ChooserWin32Test, EscCancelsAndEnterConfirmsThroughTheHookInAPlainLoop) {
    auto web = std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site");
    web->addFile(L"a.htm", L"Alpha");
    host.openWeb(web);
    host::SetApplication(simhost::InMemoryHost(host));
    OpenOptions();
    const HWND options = Child(main, WC_LISTVIEWW);

    HWND chooser = PressEditQueue();
    ASSERT_NE(chooser, nullptr);
    const HWND pages = Children(chooser, WC_LISTVIEWW).at(0);
    DoubleClick(pages, ItemCentre(pages, 0));
    PressKey(GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(IsWindow(chooser));
    EXPECT_EQ(SendMessageW(options, LVM_GETITEMCOUNT, 0, 0), 0);

    chooser = PressEditQueue();
    ASSERT_NE(chooser, nullptr);
    DoubleClick(Children(chooser, WC_LISTVIEWW).at(0), ItemCentre(Children(chooser, WC_LISTVIEWW).at(0), 0));
    PressKey(GetFocus(), VK_RETURN);
    EXPECT_FALSE(IsWindow(chooser));
    EXPECT_EQ(ListColumn(options, 0), (std::vector<std::wstring>{L"a.htm"}));
}

TEST_F(ChooserWin32Test, TheWaitWindowIsOnTheScreenPaintedWhileALargeWebLoadsAndGoneAfterwards) {
    auto web = std::make_shared<simhost::WebModel>(L"file:///C:/Webs/large");
    for (int i = 0; i < 400; ++i) web->folderAt(L"f" + std::to_wstring(i / 20) + L"/g" + std::to_wstring(i));
    for (int i = 0; i < 3000; ++i) web->addFile(L"p" + std::to_wstring(i) + L".htm", L"Page");
    host.openWeb(web);
    host.recorder().setRecording(false);

    bool probed = false;
    auto probe = [&] {
        probed = true;
        const HWND wait = FindWindowW(nullptr, kWaitCaption);
        ASSERT_NE(wait, nullptr);
        EXPECT_TRUE(IsWindowVisible(wait));
        const HWND chooser = FindWindowW(nullptr, kChooserCaption);  // filled while hidden
        EXPECT_TRUE(chooser == nullptr || !IsWindowVisible(chooser));
        const auto exStyle = GetWindowLongPtrW(wait, GWL_EXSTYLE);
        EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
        EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
        EXPECT_EQ(GetWindow(wait, GW_OWNER), nullptr);
        EXPECT_EQ(GetForegroundWindow(), wait);
        RECT client{};
        GetClientRect(wait, &client);
        EXPECT_EQ(client.right, Pixels(4305));
        EXPECT_EQ(client.bottom, Pixels(1305));
        EXPECT_TRUE(
            SendMessageW(wait, WM_SETCURSOR, reinterpret_cast<WPARAM>(wait), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_APPSTARTING));

        // What the window holds now, with no message handled since it was shown:
        // the face colour with the labels' dark text on it.
        const HDC windowDc = GetDC(wait);
        const HDC dc = CreateCompatibleDC(windowDc);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::uint32_t* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        BitBlt(dc, 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        ReleaseDC(wait, windowDc);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const std::uint32_t facePixel = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
        int faced = 0, dark = 0;
        const int labelTop = Pixels(300), labelBottom = Pixels(300 + 255);
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                const std::uint32_t pixel = bits[y * client.right + x] & 0xFFFFFF;
                if (pixel == facePixel) ++faced;
                const int sum = static_cast<int>((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF));
                if (y >= labelTop && y < labelBottom && sum < 3 * 100) ++dark;
            }
        }
        SelectObject(dc, previous);
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path = self;
        base::win32::SaveBitmapPng(bitmap, path.substr(0, path.find_last_of(L"\\/") + 1) + L"frmLoading.png");
        DeleteObject(bitmap);
        DeleteDC(dc);
        EXPECT_GT(faced, client.right * client.bottom / 2);
        EXPECT_GT(dark, 50);

        // And the screen shows the same: the text of the upper label.
        RECT label{0, labelTop, client.right, labelBottom};
        MapWindowPoints(wait, nullptr, reinterpret_cast<POINT*>(&label), 2);
        const base::win32::ScreenCapture screen(label);
        const auto shown = screen.pixels();
        const auto darkOnScreen = std::count_if(shown.begin(), shown.end(), [](std::uint32_t pixel) {
            return static_cast<int>((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF)) < 3 * 100;
        });
        EXPECT_GT(darkOnScreen, 50);
        screen.savePng(path.substr(0, path.find_last_of(L"\\/") + 1) + L"frmLoading-screen.png");
    };
    host::SetApplication(std::make_shared<ProbedApplication>(simhost::InMemoryHost(host), 200, probe));
    OpenOptions();

    const HWND chooser = PressEditQueue();
    EXPECT_TRUE(probed);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(FindWindowW(nullptr, kWaitCaption), nullptr);
    EXPECT_TRUE(IsWindowVisible(chooser));
    EXPECT_EQ(SendMessageW(Child(chooser, WC_TREEVIEWW), TVM_GETCOUNT, 0, 0), 1 + 20 + 400);
    EXPECT_EQ(SendMessageW(Children(chooser, WC_LISTVIEWW).at(0), LVM_GETITEMCOUNT, 0, 0), 3000);
    EXPECT_TRUE(toolkit->boxes.shown.empty());
}

}  // namespace
}  // namespace tavisk::testing
