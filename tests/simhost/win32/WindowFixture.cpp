#include "WindowFixture.h"

#include <functional>

namespace tavisk::testing {

void HostWindowTest::SetUp() {
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    web = std::make_shared<simhost::WebModel>(kWebUrl);
    web->addFile(L"index.htm", L"Home", {{L"bgcolor", L"white"}});
    web->addFile(L"news/today.htm");
    web->addFile(L"_private/secret.htm");
    host.openWeb(web);
}

void HostWindowTest::TearDown() {
    window.reset();
    Pump();
    OleUninitialize();
}

simhost::win32::HostWindow& HostWindowTest::makeWindow(std::function<void()> closing) {
    simhost::win32::HostWindow::Options options;
    options.pageSource = pageSource ? pageSource : [](const simhost::PageDocument& document) {
        std::wstring text = L"<body";
        for (const auto& a : document.bodyAttributes()) text += L" " + a.name + L"=\"" + a.value + L"\"";
        return text + L">\n</body>";
    };
    options.closing = std::move(closing);
    options.quitOnDestroy = false;
    window = std::make_unique<simhost::win32::HostWindow>(host, std::move(options));
    ShowWindow(window->handle(), SW_SHOW);
    Pump();
    return *window;
}

namespace {

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[256] = L"";
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

std::optional<UINT> Find(HMENU menu, const std::wstring& caption) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            if (auto id = Find(sub, caption)) return id;
        } else if (ItemText(menu, i) == caption) {
            return GetMenuItemID(menu, i);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<UINT> HostWindowTest::menuCommand(const std::wstring& caption) const {
    return Find(GetMenu(window->handle()), caption);
}

std::vector<std::wstring> HostWindowTest::menuCaptions() const {
    std::vector<std::wstring> captions;
    HMENU bar = GetMenu(window->handle());
    for (int i = 0; i < GetMenuItemCount(bar); ++i) captions.push_back(ItemText(bar, i));
    return captions;
}

void HostWindowTest::choose(const std::wstring& caption) {
    const auto id = menuCommand(caption);
    ASSERT_TRUE(id) << "no menu item " << std::string(caption.begin(), caption.end());
    SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(*id, 0), 0);
    Pump();
}

std::wstring HostWindowTest::status() const {
    const auto length = LOWORD(SendMessageW(window->statusBar(), SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(window->statusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

namespace {

HTREEITEM NextItem(HWND tree, HTREEITEM item, WPARAM which) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item)));
}

std::wstring ItemText(HWND tree, HTREEITEM item) {
    wchar_t text[256] = L"";
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

// Visits `item`, its later siblings and all their children, depth first, with their
// depths; the first item `visit` accepts ends the walk and is returned.
HTREEITEM Walk(HWND tree, HTREEITEM item, int depth, const std::function<bool(HTREEITEM, int)>& visit) {
    for (; item; item = NextItem(tree, item, TVGN_NEXT)) {
        if (visit(item, depth)) return item;
        if (const auto found = Walk(tree, NextItem(tree, item, TVGN_CHILD), depth + 1, visit)) return found;
    }
    return nullptr;
}

}  // namespace

std::vector<std::wstring> HostWindowTest::treeLines() const {
    std::vector<std::wstring> lines;
    const HWND tree = window->tree();
    Walk(tree, NextItem(tree, nullptr, TVGN_ROOT), 0, [&](HTREEITEM item, int depth) {
        lines.push_back(std::wstring(depth * 2, L' ') + ItemText(tree, item));
        return false;
    });
    return lines;
}

std::vector<std::wstring> HostWindowTest::tabTexts() const {
    std::vector<std::wstring> texts;
    const auto count = SendMessageW(window->tabs(), TCM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(window->tabs(), TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

void HostWindowTest::doubleClickTree(const std::wstring& text) {
    const HWND tree = window->tree();
    const auto item = Walk(tree, NextItem(tree, nullptr, TVGN_ROOT), 0,
                           [&](HTREEITEM at, int) { return ItemText(tree, at) == text; });
    ASSERT_NE(item, nullptr) << "no tree item " << std::string(text.begin(), text.end());
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    NMHDR header{tree, static_cast<UINT_PTR>(GetDlgCtrlID(tree)), static_cast<UINT>(NM_DBLCLK)};
    SendMessageW(window->handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    Pump();
}

}  // namespace tavisk::testing
