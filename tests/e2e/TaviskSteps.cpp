#include "tests/e2e/TaviskSteps.h"

#include <commctrl.h>

#include <algorithm>

#include "base/Texts.h"

namespace tavisk::e2e {
namespace {

constexpr wchar_t kButton[] = L"Button";

bool HasButton(HWND window, const std::wstring& caption) { return FindControl(window, kButton, caption) != nullptr; }

// The edit box on the check box's row, right of it: the box a user types that margin into.
HWND BoxBeside(HWND dialog, HWND checkBox) {
    const RECT box = ScreenRect(checkBox);
    for (const HWND edit : Descendants(dialog, L"Edit")) {
        const RECT r = ScreenRect(edit);
        const LONG middle = (r.top + r.bottom) / 2;
        if (r.left >= box.left && middle >= box.top && middle <= box.bottom) return edit;
    }
    throw DriveError(L"no text box beside \"" + TextOf(checkBox) + L"\"");
}

void SetTicked(HWND box, bool ticked) {
    if (IsChecked(box) == ticked) return;
    Click(box);
    WaitFor(L"\"" + TextOf(box) + L"\" to change", [&] { return IsChecked(box) == ticked; });
}

// The chooser's two page lists, top to bottom: the folder's pages, then the queue.
std::pair<HWND, HWND> ChooserLists(HWND chooser) {
    auto lists = Descendants(chooser, WC_LISTVIEWW);
    if (lists.size() != 2) throw DriveError(L"the page chooser does not show two page lists");
    std::sort(lists.begin(), lists.end(), [](HWND a, HWND b) { return ScreenRect(a).top < ScreenRect(b).top; });
    return {lists[0], lists[1]};
}

}  // namespace

void Camera::shoot(const std::wstring& name, const std::vector<HWND>& windows) {
    if (_folder.empty()) return;
    wchar_t number[8] = {};
    swprintf(number, 8, L"%02zu-", _shots.size() + 1);
    const auto file = _folder / (number + name + L".png");
    SaveScreenshot(windows, file);
    _shots.push_back(file);
}

std::wstring CommandKeys() {
    switch (base::CurrentLanguage()) {
        case base::Language::German:
            return L"xht";
        case base::Language::French:
            return L"oht";
        default:
            return kCommandKeys;
    }
}

bool IsOptionsDialog(HWND window) { return HasButton(window, base::Text(base::TextId::EditQueue)); }

bool IsMessageBox(HWND window) {
    // A message box holds only its text, its icon and its buttons.
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring kind = ClassName(child);
        if (lstrcmpiW(kind.c_str(), L"Static") != 0 && lstrcmpiW(kind.c_str(), kButton) != 0) return false;
    }
    return HasButton(window, L"OK") && !HasButton(window, L"Cancel");
}

HWND OpenOptionsDialog(HostProcess& host, Camera& camera) {
    host.pickMenu(CommandKeys(), [&] {
        std::vector<HWND> shown = host.menus();
        shown.push_back(host.window());
        camera.shoot(L"tools-menu-" + std::to_wstring(host.menus().size()), shown);
    });
    const HWND dialog = host.waitForTop(kProduct, IsOptionsDialog);
    // The command shows the dialog, then makes it topmost: wait for the last step.
    WaitFor(L"the options dialog to be topmost", [&] { return GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST; });
    return dialog;
}

void MakeChoices(HWND dialog, const Choices& choices) {
    const HWND top = Control(dialog, kButton, base::Text(base::TextId::TopMargin));
    const HWND left = Control(dialog, kButton, base::Text(base::TextId::LeftMargin));
    SetTicked(top, !choices.top.empty());
    if (!choices.top.empty()) TypeInto(BoxBeside(dialog, top), choices.top);
    SetTicked(left, !choices.left.empty());
    if (!choices.left.empty()) TypeInto(BoxBeside(dialog, left), choices.left);
    const base::TextId platforms[] = {base::TextId::BothBrowsers, base::TextId::ExplorerOnly,
                                      base::TextId::NetscapeOnly};
    SetTicked(Control(dialog, kButton, base::Text(platforms[choices.platform])), true);
}

void ChooseSelectedPages(HWND dialog) {
    SetTicked(Control(dialog, kButton, base::Text(base::TextId::SelectedPages)), true);
    const HWND edit = Control(dialog, kButton, base::Text(base::TextId::EditQueue));
    WaitFor(L"\"Edit &Queue\" to be enabled", [&] { return IsWindowEnabled(edit) != FALSE; });
}

std::vector<std::wstring> OptionsQueue(const HostProcess& host, HWND dialog) {
    const auto lists = Descendants(dialog, WC_LISTVIEWW);
    if (lists.size() != 1) throw DriveError(L"the options dialog does not show one queue");
    return ListColumn(host.process(), lists.front(), 0);
}

HWND OpenChooser(HostProcess& host, HWND dialog, Camera& camera) {
    Click(Control(dialog, kButton, base::Text(base::TextId::EditQueue)));
    bool waitSeen = false;
    HWND chooser = nullptr;
    WaitFor(L"the page chooser", [&] {
        if (!waitSeen) {
            if (const HWND wait = host.findTop(base::Text(base::TextId::WaitCaption))) {
                waitSeen = true;
                try {
                    camera.shoot(L"loading-web", {wait});
                } catch (const DriveError&) {
                    // It closed while being captured: the web loaded quickly.
                }
            }
        }
        chooser = host.findTop(base::Text(base::TextId::ChooserCaption));
        return chooser != nullptr && !host.findTop(base::Text(base::TextId::WaitCaption));
    });
    return chooser;
}

void ShowFolder(HostProcess& host, HWND chooser, const std::vector<std::wstring>& folders) {
    const HWND tree = Descendants(chooser, WC_TREEVIEWW).at(0);
    HTREEITEM item = TreeRoot(tree);
    for (const auto& name : folders) {
        ExpandTreeItem(host.process(), tree, item);
        const HTREEITEM parent = item;
        item = TreeChild(host.process(), tree, parent, name);
        if (!item) throw DriveError(L"no folder \"" + name + L"\" in the chooser's tree");
    }
    ClickTreeItem(host.process(), tree, item);
    WaitFor(L"the folder to be chosen",
            [&] { return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == item; });
}

std::vector<std::wstring> ListedPages(const HostProcess& host, HWND chooser) {
    return ListColumn(host.process(), ChooserLists(chooser).first, 0);
}

std::vector<std::wstring> ChooserQueue(const HostProcess& host, HWND chooser) {
    return ListColumn(host.process(), ChooserLists(chooser).second, 0);
}

void QueueByDoubleClick(HostProcess& host, HWND chooser, const std::wstring& page) {
    const HWND list = ChooserLists(chooser).first;
    int index = -1;
    WaitFor(L"\"" + page + L"\" to be listed", [&] { return (index = ListIndex(host.process(), list, page)) >= 0; });
    const size_t before = ChooserQueue(host, chooser).size();
    DoubleClickListItem(host.process(), list, index);
    WaitFor(L"\"" + page + L"\" to join the queue", [&] { return ChooserQueue(host, chooser).size() > before; });
}

void QueueSelected(HostProcess& host, HWND chooser, const std::vector<std::wstring>& pages) {
    const HWND list = ChooserLists(chooser).first;
    for (size_t i = 0; i < pages.size(); ++i) {
        int index = -1;
        WaitFor(L"\"" + pages[i] + L"\" to be listed",
                [&] { return (index = ListIndex(host.process(), list, pages[i])) >= 0; });
        ClickListItem(host.process(), list, index, i > 0);
        const UINT wanted = static_cast<UINT>(i + 1);
        WaitFor(L"\"" + pages[i] + L"\" to be selected",
                [&] { return static_cast<UINT>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)) == wanted; });
    }
    const size_t before = ChooserQueue(host, chooser).size();
    Click(Control(chooser, kButton, base::Text(base::TextId::AddToQueue)));
    WaitFor(L"the selected pages to join the queue",
            [&] { return ChooserQueue(host, chooser).size() == before + pages.size(); });
}

void ConfirmChooser(HostProcess& host, HWND chooser) {
    Click(Control(chooser, kButton, L"OK"));
    WaitFor(L"the page chooser to close",
            [&] { return host.findTop(base::Text(base::TextId::ChooserCaption)) == nullptr; });
}

HWND WaitForMessage(const HostProcess& host) { return host.waitForTop(kProduct, IsMessageBox); }

std::wstring MessageText(HWND box) {
    std::wstring text;
    for (const HWND label : Descendants(box, L"Static")) {
        const std::wstring part = TextOf(label);
        if (!part.empty()) text += (text.empty() ? L"" : L"\n") + part;
    }
    return text;
}

void Answer(const HostProcess& host, HWND box) {
    Click(Control(box, kButton, L"OK"));
    WaitFor(L"the message box to close", [&] {
        for (const HWND w : host.topWindows())
            if (w == box) return false;
        return true;
    });
}

HWND RunFromDialog(HostProcess& host, HWND dialog) {
    Click(Control(dialog, kButton, L"OK"));
    return WaitForMessage(host);
}

}  // namespace tavisk::e2e
