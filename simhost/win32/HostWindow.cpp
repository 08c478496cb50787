#include "simhost/win32/HostWindow.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include "simhost/SimError.h"
#include "base/win32/ComError.h"
#include "base/win32/Screenshot.h"

namespace tavisk::simhost::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TaviskSimHostWindow";
constexpr wchar_t kTitle[] = L"SimHost - stand-in web editor";
constexpr UINT kRefreshMessage = WM_APP + 1;
constexpr UINT_PTR kScreenshotTimer = 1;
constexpr UINT kFirstMenuId = 1000;
constexpr int kTreeWidth = 280;
constexpr int kTreeId = 1, kTabsId = 2, kSourceId = 3, kStatusId = 4, kBodyId = 5;
constexpr int kBodyRowHeight = 24, kBodyLabelWidth = 48;

// Ids of the commands the window adds to the File popup: they need a window
// (a folder dialog, the window itself), so the host's model has none.
constexpr std::int32_t kOpenWebId = 3001, kCloseWebId = 3002, kExitId = 3003;

const wchar_t* ViewModeName(std::int32_t mode) {
    switch (mode) {
        case 0:
            return L"Default";
        case 1:
            return L"Normal";
        case 2:
            return L"HTML";
        case 4:
            return L"No Frames";
        case 8:
            return L"Preview";
        case 128:
            return L"No Window";
        default:
            return L"View";
    }
}

// Edit controls break lines at CR LF only.
std::wstring WithCrLf(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
        out += text[i];
    }
    return out;
}

std::wstring ErrorText() { return base::CaughtErrorText(); }

// The attributes as a BODY start tag writes them, double-quoted.
std::wstring AttributesText(const std::vector<Attribute>& attributes) {
    std::wstring text;
    for (const auto& a : attributes) {
        if (!text.empty()) text += L' ';
        text += a.name + L"=\"";
        for (const wchar_t c : a.value) {
            if (c == L'&')
                text += L"&amp;";
            else if (c == L'"')
                text += L"&quot;";
            else
                text += c;
        }
        text += L'"';
    }
    return text;
}

void RegisterWindowClass() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;  // replaced per window at creation
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered)
        throw base::Error(HRESULT_FROM_WIN32(GetLastError()), L"The host window class could not be registered.");
}

}  // namespace

HostWindow::HostWindow(SimHost& host, Options options) : _host(host), _options(std::move(options)) {
    RegisterWindowClass();
    _window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                              CW_USEDEFAULT, 960, 680, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!_window) throw base::Error(HRESULT_FROM_WIN32(GetLastError()), L"The host window could not be created.");
    SetWindowLongPtrW(_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    create();
    addWindowCommands();
    _host.setChangeListener([this] {
        if (_window && !_refreshPending) {
            _refreshPending = true;
            PostMessageW(_window, kRefreshMessage, 0, 0);
        }
    });
    refresh();
    setStatus(L"Ready");
}

HostWindow::~HostWindow() {
    _host.setChangeListener({});
    for (const auto& control : _ownControls) control->remove();
    if (_window) {
        SetWindowLongPtrW(_window, GWLP_USERDATA, 0);
        _options.quitOnDestroy = false;
        DestroyWindow(_window);
    }
    if (_menu) DestroyMenu(_menu);
}

void HostWindow::create() {
    const auto instance = GetModuleHandleW(nullptr);
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    _tree = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 0, 0,
        0, 0, _window, reinterpret_cast<HMENU>(kTreeId), instance, nullptr);
    _tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0, 0,
                            _window, reinterpret_cast<HMENU>(kTabsId), instance, nullptr);
    _source = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
        0, 0, 0, 0, _window, reinterpret_cast<HMENU>(kSourceId), instance, nullptr);
    _bodyLabel = CreateWindowExW(0, L"STATIC", L"BODY:", WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE, 0, 0, 0, 0, _window,
                                 nullptr, instance, nullptr);
    _body = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                            0, 0, _window, reinterpret_cast<HMENU>(kBodyId), instance, nullptr);
    _status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, _window,
                              reinterpret_cast<HMENU>(kStatusId), instance, nullptr);
    if (!_tree || !_tabs || !_source || !_bodyLabel || !_body || !_status ||
        !SetWindowSubclass(_body, BodyBoxProcedure, 0, reinterpret_cast<DWORD_PTR>(this)))
        throw base::Error(HRESULT_FROM_WIN32(GetLastError()), L"The host window's controls could not be created.");
    for (HWND control : {_tree, _tabs, _bodyLabel, _body, _status}) SendMessageW(control, WM_SETFONT, font, FALSE);
    SendMessageW(_source, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
    SetWindowPos(_source, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    layout();
}

void HostWindow::layout() {
    RECT client{};
    GetClientRect(_window, &client);
    SendMessageW(_status, WM_SIZE, 0, 0);
    RECT statusRect{};
    GetWindowRect(_status, &statusRect);
    const int height = client.bottom - (statusRect.bottom - statusRect.top);
    const int width = client.right;
    MoveWindow(_tree, 0, 0, kTreeWidth, height, TRUE);
    MoveWindow(_tabs, kTreeWidth + 4, 0, width - kTreeWidth - 4, height, TRUE);
    RECT page{0, 0, width - kTreeWidth - 4, height};
    SendMessageW(_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    const int left = kTreeWidth + 4 + page.left;
    MoveWindow(_bodyLabel, left, page.top, kBodyLabelWidth, kBodyRowHeight, TRUE);
    MoveWindow(_body, left + kBodyLabelWidth, page.top, page.right - page.left - kBodyLabelWidth, kBodyRowHeight, TRUE);
    MoveWindow(_source, left, page.top + kBodyRowHeight + 2, page.right - page.left,
               page.bottom - page.top - kBodyRowHeight - 2, TRUE);
}

void HostWindow::setStatus(const std::wstring& text) {
    _statusText = text;
    SendMessageW(_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void HostWindow::showMenuPlace(HMENU menu, UINT item, UINT flags) {
    const auto place = _menuPlaces.find(menu);
    if (place == _menuPlaces.end()) return;
    // A popup is announced by its position, any other item by its command id.
    wchar_t caption[256] = L"";
    GetMenuStringW(menu, item, caption, 256, (flags & MF_POPUP) ? MF_BYPOSITION : MF_BYCOMMAND);
    const std::wstring text = place->second.empty() ? caption : place->second + L" > " + caption;
    SendMessageW(_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void HostWindow::addWindowCommands() {
    // By its Id, which is the same whatever language captions the menu.
    const auto file = _host.menuBar().find(SimHost::kFileMenuId, false);
    if (!file) return;

    const auto& captions = _host.captions();
    if (_options.openWeb)
        _ownControls.push_back(ControlNode::Append(file->childList(), ControlType::Button, kOpenWebId, captions.openWeb,
                                                   [this] { openWebFromDialog(); }));
    _ownControls.push_back(ControlNode::Append(file->childList(), ControlType::Button, kCloseWebId, captions.closeWeb,
                                               [this] { _host.closeWeb(); }));
    _ownControls.push_back(ControlNode::Append(file->childList(), ControlType::Button, kExitId, captions.exit,
                                               [this] { PostMessageW(_window, WM_CLOSE, 0, 0); }));
}

void HostWindow::openWebFromDialog() {
    BROWSEINFOW browse{};
    browse.hwndOwner = _window;
    browse.lpszTitle = L"Choose the folder to open as a web";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = L"";
    const bool named = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (!named) throw SimError(kErrorInvalidArg, L"That is not a folder on disk.");
    _host.openWeb(_options.openWeb(path));
    setStatus(L"Opened " + std::wstring(path));
}

void HostWindow::refresh() {
    _refreshPending = false;
    rebuildMenu();
    rebuildTree();
    rebuildPages();
}

void HostWindow::rebuildMenu() {
    HMENU bar = CreateMenu();
    if (!bar) throw base::Error(base::kErrorOutOfMemory, L"No menu.");
    std::vector<std::weak_ptr<ControlNode>> controls;
    std::map<HMENU, std::wstring> places{{bar, L""}};
    // Popups become submenus, buttons items whose id finds the control again.
    std::function<void(HMENU, const ControlList&)> fill = [&](HMENU menu, const ControlList& list) {
        for (const auto& control : list.items) {
            if (control->type() == ControlType::Popup) {
                HMENU popup = CreatePopupMenu();
                const auto& place = places[menu];
                places[popup] = place.empty() ? control->caption() : place + L" > " + control->caption();
                fill(popup, control->controls());
                AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), control->caption().c_str());
            } else {
                controls.push_back(control);
                AppendMenuW(menu, MF_STRING, kFirstMenuId + controls.size() - 1, control->caption().c_str());
            }
        }
    };
    fill(bar, *_host.menuBar().controls);
    SetMenu(_window, bar);
    if (_menu) DestroyMenu(_menu);
    _menu = bar;
    _menuControls = std::move(controls);
    _menuPlaces = std::move(places);
    DrawMenuBar(_window);
}

void HostWindow::rebuildTree() {
    const auto& web = _host.web();
    // A weak reference, so a new web that takes the freed place of the last one is
    // still told from it.
    if (web && !_treeWeb.expired() && _treeWeb.lock() == web) return;
    _treeWeb = web;
    SendMessageW(_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    _treeFiles.clear();
    if (!web) {
        SetWindowTextW(_window, kTitle);
        return;
    }
    auto insert = [&](HTREEITEM parent, const std::wstring& text, LPARAM data) {
        TVINSERTSTRUCTW item{};
        item.hParent = parent;
        item.hInsertAfter = TVI_LAST;
        item.item.mask = TVIF_TEXT | TVIF_PARAM;
        item.item.pszText = const_cast<wchar_t*>(text.c_str());
        item.item.lParam = data;
        return reinterpret_cast<HTREEITEM>(SendMessageW(_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    };
    std::function<void(HTREEITEM, const FolderNode&)> fill = [&](HTREEITEM parent, const FolderNode& folder) {
        for (const auto& sub : folder.subFolders()) {
            const auto item = insert(parent, sub->name() + (sub->excluded() ? L" (hidden)" : L""), -1);
            fill(item, *sub);
        }
        for (const auto& file : folder.files()) {
            _treeFiles.push_back(file);
            const auto label =
                file->title() == file->name() ? file->name() : file->name() + L"  \"" + file->title() + L"\"";
            insert(parent, label, static_cast<LPARAM>(_treeFiles.size() - 1));
        }
    };
    const auto root = insert(TVI_ROOT, web->root().url(), -1);
    fill(root, web->root());
    SendMessageW(_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    SetWindowTextW(_window, (std::wstring(kTitle) + L" - " + web->url()).c_str());
}

void HostWindow::rebuildPages() {
    SendMessageW(_tabs, TCM_DELETEALLITEMS, 0, 0);
    const auto& windows = _host.pageWindows();
    const auto active = _host.activePageWindow();
    int selected = -1;
    for (size_t i = 0; i < windows.size(); ++i) {
        std::wstring text = windows[i]->file->name() + L" [" + ViewModeName(windows[i]->viewMode) + L"]";
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(_tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        if (windows[i] == active) selected = static_cast<int>(i);
    }
    SendMessageW(_tabs, TCM_SETCURSEL, selected, 0);
    std::wstring text;
    if (active) {
        try {
            text = _options.pageSource ? _options.pageSource(*active->document) : std::wstring();
        } catch (const SimError& e) {
            text = L"(The page cannot be shown: " + e.message() + L")";
        }
    }
    SetWindowTextW(_source, WithCrLf(text).c_str());
    SetWindowTextW(_body, active ? AttributesText(active->document->bodyAttributes()).c_str() : L"");
    EnableWindow(_body, active != nullptr);
    SendMessageW(_body, EM_SETREADONLY, !_options.parseBodyAttributes, 0);
    layout();
}

void HostWindow::runCommand(UINT id) {
    if (id < kFirstMenuId || id - kFirstMenuId >= _menuControls.size()) return;
    const auto control = _menuControls[id - kFirstMenuId].lock();
    if (!control || control->deleted()) return;
    control->execute();
}

void HostWindow::openSelectedFile() {
    const auto selected = reinterpret_cast<HTREEITEM>(SendMessageW(_tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!selected) return;
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = selected;
    SendMessageW(_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (item.lParam < 0 || static_cast<size_t>(item.lParam) >= _treeFiles.size()) return;
    _host.openPage(_treeFiles[static_cast<size_t>(item.lParam)]);
}

void HostWindow::applyBodyBox() {
    const auto active = _host.activePageWindow();
    if (!active || !_options.parseBodyAttributes) return;
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(_body)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(_body, text.data(), static_cast<int>(text.size()))));
    const auto wanted = _options.parseBodyAttributes(text);
    auto& document = *active->document;
    const auto present = document.bodyAttributes();
    for (const auto& a : present) {
        if (std::none_of(wanted.begin(), wanted.end(), [&](const Attribute& w) { return w.name == a.name; }))
            document.removeAttribute(a.name, 0);
    }
    for (const auto& a : wanted) document.setAttribute(a.name, a.value, 0);
    _host.notifyChanged();
    setStatus(L"The BODY attributes of " + active->file->name() + L" are changed (not saved yet)");
}

LRESULT CALLBACK HostWindow::BodyBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    // Enter applies the box; its character would only beep in a one-line edit.
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        auto* window = reinterpret_cast<HostWindow*>(self);
        try {
            window->applyBodyBox();
        } catch (...) {
            window->setStatus(ErrorText());
        }
        return 0;
    }
    if (message == WM_CHAR && wParam == L'\r') return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, BodyBoxProcedure, 0);
    return DefSubclassProc(box, message, wParam, lParam);
}

void HostWindow::screenshotAndClose(std::wstring path, UINT delayMs) {
    _screenshotPath = std::move(path);
    SetTimer(_window, kScreenshotTimer, delayMs, nullptr);
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // The one boundary of the window: what fails in a command is shown, never thrown on.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        self->setStatus(ErrorText());
        return 0;
    }
}

LRESULT HostWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            layout();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && lParam == 0) runCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == _tree && header->code == NM_DBLCLK) {
                openSelectedFile();
                return 1;
            }
            if (header->hwndFrom == _tree && header->code == TVN_KEYDOWN &&
                reinterpret_cast<const NMTVKEYDOWN*>(lParam)->wVKey == VK_RETURN) {
                openSelectedFile();
                return 1;
            }
            if (header->hwndFrom == _tabs && header->code == TCN_SELCHANGE) {
                const auto index = SendMessageW(_tabs, TCM_GETCURSEL, 0, 0);
                const auto& windows = _host.pageWindows();
                if (index >= 0 && static_cast<size_t>(index) < windows.size()) _host.activate(*windows[index]);
                return 0;
            }
            break;
        }
        case WM_MENUSELECT:
            showMenuPlace(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_EXITMENULOOP:
            SendMessageW(_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(_statusText.c_str()));
            return 0;
        case kRefreshMessage:
            refresh();
            return 0;
        case WM_TIMER:
            if (wParam == kScreenshotTimer) {
                KillTimer(_window, kScreenshotTimer);
                base::win32::SaveWindowPng(_window, _screenshotPath);
                PostMessageW(_window, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_CLOSE:
            if (_options.closing) _options.closing();
            DestroyWindow(_window);
            return 0;
        case WM_DESTROY:
            _host.setChangeListener({});
            SetWindowLongPtrW(_window, GWLP_USERDATA, 0);
            _window = nullptr;
            if (_options.quitOnDestroy) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(_window, message, wParam, lParam);
}

}  // namespace tavisk::simhost::win32
