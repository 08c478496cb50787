#include "tests/e2e/UiDriver.h"

#include <commctrl.h>

#include <algorithm>

#include "base/Text.h"
#include "base/win32/Screenshot.h"
#include "tests/support/WinTestSupport.h"

namespace tavisk::e2e {
namespace {

constexpr DWORD kPollMs = 40;
constexpr int kTextMax = 1024;

// A message that may wait for a busy window, bounded so a hung host fails the drive.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kWaitMs, &result))
        throw DriveError(L"the window of class " + ClassName(window) + L" did not answer message " +
                         std::to_wstring(message));
    return static_cast<LRESULT>(result);
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void PostMouse(HWND window, UINT message, WPARAM keys, POINT at) {
    PostMessageW(window, message, keys, MAKELPARAM(at.x, at.y));
}

void ClickPoint(HWND window, POINT at, WPARAM keys = 0) {
    PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    PostMouse(window, WM_LBUTTONUP, keys, at);
}

void DoubleClickPoint(HWND window, POINT at) {
    ClickPoint(window, at);
    PostMouse(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMouse(window, WM_LBUTTONUP, 0, at);
}

struct ChildSearch {
    std::wstring windowClass;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<ChildSearch*>(data);
    if (lstrcmpiW(ClassName(window).c_str(), search.windowClass.c_str()) == 0) search.found.push_back(window);
    return TRUE;
}

// Asks a control of another process for an item's text through a buffer there: the
// item first, its text after it. Empty when the control refuses or the text is.
template <class Item>
std::wstring RemoteItemText(RemoteBuffer& remote, HWND control, UINT message, WPARAM index, Item item) {
    item.pszText = reinterpret_cast<LPWSTR>(remote.address(sizeof item));
    item.cchTextMax = kTextMax;
    remote.write(&item, sizeof item);
    if (!Send(control, message, index, remote.address())) return {};
    wchar_t text[kTextMax] = {};
    remote.read(text, sizeof text - sizeof(wchar_t), sizeof item);
    return text;
}

// The texts of all of a control's items, each asked for with `item` as it stands.
template <class Item>
std::vector<std::wstring> RemoteItemTexts(HANDLE process, HWND control, UINT countMessage, UINT textMessage,
                                          const Item& item) {
    RemoteBuffer remote(process, sizeof item + kTextMax * sizeof(wchar_t));
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(Send(control, countMessage, 0, 0));
    for (int i = 0; i < count; ++i) texts.push_back(RemoteItemText(remote, control, textMessage, i, item));
    return texts;
}

}  // namespace

DriveError::DriveError(const std::wstring& what) : std::runtime_error(base::ToUtf8(what)) {}

void WaitFor(const std::wstring& what, const std::function<bool()>& ready, DWORD timeoutMs) {
    if (!Within(timeoutMs, ready)) throw DriveError(L"timed out waiting for " + what);
}

bool Within(DWORD timeoutMs, const std::function<bool()>& ready) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(kPollMs);
    }
}

std::wstring TextOf(HWND window) {
    std::wstring text(kTextMax, L'\0');
    const auto length = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::vector<HWND> Descendants(HWND parent, const std::wstring& windowClass) {
    ChildSearch search{windowClass, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindControl(HWND parent, const std::wstring& windowClass, const std::wstring& text) {
    for (const HWND child : Descendants(parent, windowClass))
        if (TextOf(child) == text) return child;
    return nullptr;
}

HWND Control(HWND parent, const std::wstring& windowClass, const std::wstring& text) {
    const HWND found = FindControl(parent, windowClass, text);
    if (!found) throw DriveError(L"no " + windowClass + L" \"" + text + L"\" in \"" + testing::Text(parent) + L"\"");
    return found;
}

RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

bool IsChecked(HWND button) { return Send(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TypeInto(HWND edit, const std::wstring& text) {
    Send(edit, EM_SETSEL, 0, -1);
    Send(edit, WM_CHAR, VK_BACK, 1);
    for (const wchar_t c : text) Send(edit, WM_CHAR, c, 1);
    if (TextOf(edit) != text) throw DriveError(L"typing \"" + text + L"\" left \"" + TextOf(edit) + L"\"");
}

void SaveScreenshot(const std::vector<HWND>& windows, const std::filesystem::path& file) {
    RECT area{};
    for (const HWND window : windows) {
        // Paint what is pending now, so the capture shows the window's present state.
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const RECT r = ScreenRect(window);
        UnionRect(&area, &area, &r);
    }
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    if (IsRectEmpty(&area)) throw DriveError(L"nothing on the screen to capture for " + file.wstring());
    base::win32::ScreenCapture(area).savePng(file.wstring());
}

std::vector<std::uint32_t> ScreenPixels(HWND window, const RECT& area) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return base::win32::ScreenCapture(area).pixels();
}

// ---- the host process -------------------------------------------------------------

HostProcess::HostProcess(const std::filesystem::path& program, const std::filesystem::path& web,
                         const std::wstring& language) {
    std::wstring line = L"\"" + program.wstring() + L"\"";
    if (!language.empty()) line += L" --language " + language;
    if (!web.empty()) line += L" \"" + web.wstring() + L"\"";
    if (!testing::StartProcess(line, _info)) throw DriveError(L"cannot start " + line);
    static const std::wstring kHostTitle = L"SimHost";
    WaitFor(L"the host window", [&] {
        for (const HWND w : topWindows())
            if (testing::Text(w).compare(0, kHostTitle.size(), kHostTitle) == 0) _window = w;
        return _window != nullptr;
    });
    // The add-ins are connected once the window stands; the status line then says how many.
    WaitFor(L"the host to connect its add-ins", [&] { return status().find(L"connected") != std::wstring::npos; });
}

HostProcess::~HostProcess() {
    if (WaitForSingleObject(_info.hProcess, 0) == WAIT_TIMEOUT) {
        PostMessageW(_window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(_info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(_info.hProcess, 1);
    }
    CloseHandle(_info.hThread);
    CloseHandle(_info.hProcess);
}

std::vector<HWND> HostProcess::topWindows() const { return testing::VisibleTopWindows(_info.dwProcessId); }

HWND HostProcess::findTop(const std::wstring& caption, const std::function<bool(HWND)>& is) const {
    for (const HWND w : topWindows())
        if (testing::Text(w) == caption && (!is || is(w))) return w;
    return nullptr;
}

HWND HostProcess::waitForTop(const std::wstring& caption, const std::function<bool(HWND)>& is) const {
    HWND found = nullptr;
    WaitFor(L"the window \"" + caption + L"\"", [&] { return (found = findTop(caption, is)) != nullptr; });
    return found;
}

std::vector<HWND> HostProcess::menus() const {
    std::vector<HWND> found;
    for (const HWND w : topWindows())
        if (ClassName(w) == L"#32768") found.push_back(w);
    return found;
}

std::wstring HostProcess::status() const {
    const auto bars = Descendants(_window, STATUSCLASSNAMEW);
    return bars.empty() ? std::wstring() : TextOf(bars.front());
}

std::vector<std::wstring> HostProcess::tabs() const {
    const auto found = Descendants(_window, WC_TABCONTROLW);
    if (found.empty()) return {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    return RemoteItemTexts(_info.hProcess, found.front(), TCM_GETITEMCOUNT, TCM_GETITEMW, item);
}

int HostProcess::selectedTab() const {
    const auto found = Descendants(_window, WC_TABCONTROLW);
    return found.empty() ? -1 : static_cast<int>(Send(found.front(), TCM_GETCURSEL, 0, 0));
}

void HostProcess::clickTab(int index) {
    const HWND tabs = Descendants(_window, WC_TABCONTROLW).at(0);
    RemoteBuffer remote(_info.hProcess, sizeof(RECT));
    if (!Send(tabs, TCM_GETITEMRECT, index, remote.address())) throw DriveError(L"no tab to click");
    RECT r{};
    remote.read(&r, sizeof r);
    ClickPoint(tabs, Centre(r));
    WaitFor(L"the tab to be chosen", [&] { return selectedTab() == index; });
}

void HostProcess::openFile(const std::vector<std::wstring>& path) {
    const HWND tree = Descendants(_window, WC_TREEVIEWW).at(0);
    HTREEITEM item = TreeRoot(tree);
    for (size_t i = 0; i < path.size(); ++i) {
        const HTREEITEM parent = item;
        WaitFor(L"\"" + path[i] + L"\" in the host's tree", [&] {
            item = TreeChild(_info.hProcess, tree, parent, path[i]);
            return item != nullptr;
        });
        if (i + 1 < path.size()) ExpandTreeItem(_info.hProcess, tree, item);
    }
    const size_t before = tabs().size();
    DoubleClickTreeItem(_info.hProcess, tree, item);
    WaitFor(L"a page window for \"" + path.back() + L"\"", [&] { return tabs().size() > before; });
}

HWND HostProcess::bodyEditor() const {
    for (const HWND edit : Descendants(_window, L"Edit"))
        if (!(GetWindowLongW(edit, GWL_STYLE) & (ES_READONLY | ES_MULTILINE))) return edit;
    throw DriveError(L"the host window has no BODY attribute box");
}

void HostProcess::pickMenu(const std::wstring& keys, const std::function<void()>& onOpen) {
    for (size_t i = 0; i < keys.size(); ++i) {
        typeInMenu(keys[i]);
        if (i + 1 == keys.size()) break;
        WaitFor(L"menu " + std::to_wstring(i + 1) + L" of \"" + keys + L"\" to open",
                [&] { return menus().size() >= i + 1; });
        if (onOpen) onOpen();
    }
    WaitFor(L"the menus to close", [&] { return menus().empty(); });
}

void HostProcess::typeInMenu(wchar_t key) {
    // Alt and a mnemonic open the menu bar's popup (WM_SYSCOMMAND, SC_KEYMENU); the menu
    // loop then reads the characters that follow from the thread's queue.
    if (menus().empty())
        PostMessageW(_window, WM_SYSCOMMAND, SC_KEYMENU, key);
    else
        PostMessageW(_window, WM_CHAR, key, 1);
}

void HostProcess::closeMenus() {
    while (!menus().empty()) {
        const size_t open = menus().size();
        PressKey(_window, VK_ESCAPE);
        WaitFor(L"a menu to close", [&] { return menus().size() < open; });
    }
}

DWORD HostProcess::close() {
    PostMessageW(_window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(_info.hProcess, kWaitMs) != WAIT_OBJECT_0)
        throw DriveError(L"the host did not end after its window was closed");
    DWORD code = 0;
    GetExitCodeProcess(_info.hProcess, &code);
    return code;
}

// ---- other processes' controls ------------------------------------------------------

RemoteBuffer::RemoteBuffer(HANDLE process, size_t size)
    : _process(process), _address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
    if (!_address) throw DriveError(L"no memory in the host process");
}

RemoteBuffer::~RemoteBuffer() { VirtualFreeEx(_process, _address, 0, MEM_RELEASE); }

LPARAM RemoteBuffer::address(size_t offset) const {
    return reinterpret_cast<LPARAM>(static_cast<char*>(_address) + offset);
}

void RemoteBuffer::write(const void* data, size_t size, size_t offset) {
    if (!WriteProcessMemory(_process, reinterpret_cast<void*>(address(offset)), data, size, nullptr))
        throw DriveError(L"cannot write into the host process");
}

void RemoteBuffer::read(void* data, size_t size, size_t offset) const {
    if (!ReadProcessMemory(_process, reinterpret_cast<const void*>(address(offset)), data, size, nullptr))
        throw DriveError(L"cannot read from the host process");
}

std::vector<std::wstring> ListColumn(HANDLE process, HWND list, int column) {
    LVITEMW item{};
    item.iSubItem = column;
    return RemoteItemTexts(process, list, LVM_GETITEMCOUNT, LVM_GETITEMTEXTW, item);
}

int ListIndex(HANDLE process, HWND list, const std::wstring& text) {
    const auto names = ListColumn(process, list, 0);
    const auto at = std::find(names.begin(), names.end(), text);
    return at == names.end() ? -1 : static_cast<int>(at - names.begin());
}

namespace {

POINT ListItemCentre(HANDLE process, HWND list, int index) {
    Send(list, LVM_ENSUREVISIBLE, index, FALSE);
    RemoteBuffer remote(process, sizeof(RECT));
    RECT r{};
    r.left = LVIR_LABEL;
    remote.write(&r, sizeof r);
    if (!Send(list, LVM_GETITEMRECT, index, remote.address())) throw DriveError(L"no list item to click");
    remote.read(&r, sizeof r);
    return Centre(r);
}

POINT TreeItemCentre(HANDLE process, HWND tree, HTREEITEM item) {
    RemoteBuffer remote(process, sizeof(RECT));
    remote.write(&item, sizeof item);
    if (!Send(tree, TVM_GETITEMRECT, TRUE, remote.address())) throw DriveError(L"the tree item is not shown");
    RECT r{};
    remote.read(&r, sizeof r);
    return Centre(r);
}

}  // namespace

void ClickListItem(HANDLE process, HWND list, int index, bool withControl) {
    ClickPoint(list, ListItemCentre(process, list, index), withControl ? MK_CONTROL : 0);
}

void DoubleClickListItem(HANDLE process, HWND list, int index) {
    DoubleClickPoint(list, ListItemCentre(process, list, index));
}

HTREEITEM TreeRoot(HWND tree) { return reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); }

std::wstring TreeLabel(HANDLE process, HWND tree, HTREEITEM item) {
    RemoteBuffer remote(process, sizeof(TVITEMW) + kTextMax * sizeof(wchar_t));
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    return RemoteItemText(remote, tree, TVM_GETITEMW, 0, data);
}

HTREEITEM TreeChild(HANDLE process, HWND tree, HTREEITEM parent, const std::wstring& text) {
    auto item =
        parent ? reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)))
               : TreeRoot(tree);
    for (; item;
         item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        const std::wstring label = TreeLabel(process, tree, item);
        // The host labels a file with its title after it, and a hidden folder so.
        if (label == text || label.rfind(text + L" ", 0) == 0) return item;
    }
    return nullptr;
}

void ExpandTreeItem(HANDLE process, HWND tree, HTREEITEM item) {
    if (Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) return;
    // Chosen, then opened with the Right arrow, as from the keyboard.
    ClickTreeItem(process, tree, item);
    WaitFor(L"the tree item to be chosen",
            [&] { return reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == item; });
    PressKey(tree, VK_RIGHT);
    WaitFor(L"the tree item to open", [&] {
        return (Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    });
}

void ClickTreeItem(HANDLE process, HWND tree, HTREEITEM item) { ClickPoint(tree, TreeItemCentre(process, tree, item)); }

void DoubleClickTreeItem(HANDLE process, HWND tree, HTREEITEM item) {
    DoubleClickPoint(tree, TreeItemCentre(process, tree, item));
}

}  // namespace tavisk::e2e
