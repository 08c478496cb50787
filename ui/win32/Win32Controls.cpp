#include "ui/win32/Win32Controls.h"

#include <algorithm>
#include <stdexcept>

#include "base/Text.h"
#include "ui/EventBoundary.h"
#include "base/Texts.h"
#include "base/win32/ComError.h"
#include "base/win32/ThisModule.h"

namespace tavisk::ui::win32 {

using base::win32::ThisModule;
using base::win32::ThrowLastErrorIf;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

Icon LoadProductIcon(int resource, int size) {
    return Icon(static_cast<HICON>(
        LoadImageW(ThisModule(), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

std::int32_t Win32CheckBox::value() const { return SendMessageW(_window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }

void Win32CheckBox::setValue(std::int32_t value) {
    SendMessageW(_window, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::int32_t Win32TextBox::selectionStart() const {
    DWORD start = 0, end = 0;
    SendMessageW(_window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<std::int32_t>(start);
}

std::int32_t Win32TextBox::selectionLength() const {
    DWORD start = 0, end = 0;
    SendMessageW(_window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<std::int32_t>(end - start);
}

void Win32TextBox::select(std::int32_t start, std::int32_t length) {
    SendMessageW(_window, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

std::int32_t Win32UpDown::minimum() const {
    int low = 0, high = 0;
    SendMessageW(_window, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    return low;
}

std::int32_t Win32UpDown::maximum() const {
    int low = 0, high = 0;
    SendMessageW(_window, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    return high;
}

std::int32_t Win32UpDown::position() const {
    return static_cast<std::int32_t>(SendMessageW(_window, UDM_GETPOS32, 0, 0));
}

std::int32_t Win32OptionGroup::chosen() const {
    for (std::int32_t i = 0; i < count(); ++i) {
        if (SendMessageW(at(i), BM_GETCHECK, 0, 0) == BST_CHECKED) return i;
    }
    return 0;
}

void Win32OptionGroup::choose(std::int32_t index) {
    at(index);  // range check first: a bad index changes nothing
    for (std::int32_t i = 0; i < count(); ++i) {
        SendMessageW(at(i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

// ---- list view ----------------------------------------------------------------------

namespace {

// Names and titles in the order the user's language gives them: an accented letter
// beside its base letter, kana by their sound, whatever their code points.
int CompareAsUser(std::wstring_view a, std::wstring_view b) noexcept {
    const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                     b.data(), static_cast<int>(b.size()));
    return order ? order - CSTR_EQUAL : CompareIgnoringCase(a, b);
}

}  // namespace

Win32ListView::Win32ListView(HWND window, std::vector<ListColumn> columns, int dpi)
    : ListView(std::move(columns), CompareAsUser), _window(window) {
    ListView_SetExtendedListViewStyle(_window, LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const auto& column : this->columns()) {
        LVCOLUMNW description{};
        description.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        description.pszText = const_cast<wchar_t*>(column.caption.c_str());
        description.cx = MulDiv(column.width, dpi, 1440);
        description.iSubItem = index;
        SendMessageW(_window, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&description));
    }
    LOGFONTW font{};
    const auto shown = reinterpret_cast<HFONT>(SendMessageW(_window, WM_GETFONT, 0, 0));
    GetObjectW(shown ? static_cast<HGDIOBJ>(shown) : GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    _boldFont.reset(CreateFontIndirectW(&font));
}

void Win32ListView::itemsChanged() {
    SendMessageW(_window, LVM_SETITEMCOUNT, static_cast<WPARAM>(count()), LVSICF_NOSCROLL);
    // The control keeps the selection by position: put it back where the items are now.
    _syncing = true;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    SendMessageW(_window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    for (std::int32_t i = 0; i < count(); ++i) {
        if (item(i).selected) showSelection(i);
    }
    _syncing = false;
    InvalidateRect(_window, nullptr, TRUE);
}

void Win32ListView::itemChanged(std::int32_t index) {
    _syncing = true;
    showSelection(index);
    _syncing = false;
    SendMessageW(_window, LVM_REDRAWITEMS, static_cast<WPARAM>(index), static_cast<LPARAM>(index));
}

void Win32ListView::showSelection(std::int32_t index) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = item(index).selected ? LVIS_SELECTED : 0;
    SendMessageW(_window, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
}

void Win32ListView::showText(NMLVDISPINFOW& info) const {
    if (!(info.item.mask & LVIF_TEXT) || info.item.iItem < 0 || info.item.iItem >= count()) return;
    const ListItem& shown = item(info.item.iItem);
    const std::wstring* text = &shown.text;
    static const std::wstring kNone;
    if (info.item.iSubItem > 0) {
        const auto sub = static_cast<size_t>(info.item.iSubItem - 1);
        text = sub < shown.subItems.size() ? &shown.subItems[sub] : &kNone;
    }
    if (info.item.cchTextMax > 0) lstrcpynW(info.item.pszText, text->c_str(), info.item.cchTextMax);
}

LRESULT Win32ListView::customDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            // The bold mark belongs to the item's own text: a bold item is drawn
            // column by column so that its other columns keep the list's font.
            const auto index = static_cast<std::int32_t>(draw.nmcd.dwItemSpec);
            return index >= 0 && index < count() && item(index).bold ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
        }
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            auto font = reinterpret_cast<HFONT>(SendMessageW(_window, WM_GETFONT, 0, 0));
            if (draw.iSubItem == 0) font = _boldFont.get();
            SelectObject(draw.nmcd.hdc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

// The control gathers what the user types within the system's type-ahead interval
// and asks for the first item, from iStart on, whose first column begins with it
// (ignoring case, as file names do); -1 leaves the selection where it is. An
// owner-data list answers for the control, which would otherwise take 0 as item 0.
int Win32ListView::findItem(const NMLVFINDITEMW& find) const {
    const LVFINDINFOW& wanted = find.lvfi;
    if (!(wanted.flags & (LVFI_STRING | LVFI_PARTIAL)) || !wanted.psz || count() == 0) return -1;
    const int length = lstrlenW(wanted.psz);
    const bool prefix = (wanted.flags & LVFI_PARTIAL) != 0;
    const std::int32_t start = find.iStart >= 0 && find.iStart < count() ? find.iStart : 0;
    const std::int32_t steps = (wanted.flags & LVFI_WRAP) ? count() : count() - start;
    for (std::int32_t step = 0; step < steps; ++step) {
        const std::int32_t index = (start + step) % count();
        const std::wstring& text = item(index).text;
        if (prefix && text.size() < static_cast<size_t>(length)) continue;
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(),
                           prefix ? length : static_cast<int>(text.size()), wanted.psz, length) == CSTR_EQUAL) {
            return index;
        }
    }
    return -1;
}

LRESULT Win32ListView::notify(NMHDR& header) {
    switch (header.code) {
        case LVN_GETDISPINFOW:
            showText(reinterpret_cast<NMLVDISPINFOW&>(header));
            return 0;
        case NM_CUSTOMDRAW:
            return customDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        case LVN_ODFINDITEMW:
            return findItem(reinterpret_cast<NMLVFINDITEMW&>(header));
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
            if (_syncing || !(change.uChanged & LVIF_STATE)) return 0;
            const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
            if (change.iItem == -1) {
                for (std::int32_t i = 0; i < count(); ++i) selectionChangedByUser(i, selected);
            } else {
                selectionChangedByUser(change.iItem, selected);
            }
            return 0;
        }
        case LVN_ODSTATECHANGED: {
            const auto& change = reinterpret_cast<NMLVODSTATECHANGE&>(header);
            if (_syncing) return 0;
            for (int i = change.iFrom; i <= change.iTo; ++i) {
                selectionChangedByUser(i, (change.uNewState & LVIS_SELECTED) != 0);
            }
            return 0;
        }
        case LVN_COLUMNCLICK: {
            // A disabled list raises no event, whatever reaches its header.
            const int header1 = reinterpret_cast<NMLISTVIEW&>(header).iSubItem + 1;
            if (enabled() && onColumnClick)
                RunEvent(base::Text(base::TextId::SortingList), [&] { onColumnClick(header1); });
            return 0;
        }
        case NM_DBLCLK: {
            const int index = reinterpret_cast<NMITEMACTIVATE&>(header).iItem;
            if (enabled() && onDoubleClick && index >= 0 && index < count()) {
                const std::wstring key = item(index).key;
                RunEvent(onDoubleClick.action, [&] { onDoubleClick(key); });
            }
            return 0;
        }
        default:
            return 0;
    }
}

// ---- tree view ----------------------------------------------------------------------

void Win32TreeView::setImages(const std::vector<int>& iconResources) {
    ImageList images(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, static_cast<int>(iconResources.size()), 0));
    ThrowLastErrorIf(!images, "ImageList_Create");
    for (const int resource : iconResources) {
        const Icon icon = LoadProductIcon(resource, 16);
        if (!icon) throw std::runtime_error("missing icon resource " + std::to_string(resource));
        ImageList_AddIcon(images.get(), icon.get());
    }
    TreeView_SetImageList(_window, images.get(), TVSIL_NORMAL);
    _images = std::move(images);
}

void Win32TreeView::setImageStrip(int bitmapResource, std::int32_t size, std::uint32_t maskColour) {
    ImageList images(ImageList_LoadImageW(ThisModule(), MAKEINTRESOURCEW(bitmapResource), size, 0,
                                          static_cast<COLORREF>(maskColour), IMAGE_BITMAP, LR_CREATEDIBSECTION));
    ThrowLastErrorIf(!images, "ImageList_LoadImage");
    TreeView_SetImageList(_window, images.get(), TVSIL_NORMAL);
    _images = std::move(images);
}

void Win32TreeView::clear() {
    TreeView_DeleteAllItems(_window);
    _nodes.clear();
}

void Win32TreeView::add(const std::wstring& parentKey, const std::wstring& key, const std::wstring& text,
                        std::int32_t image, std::int32_t selectedImage) {
    if (contains(key)) throw std::invalid_argument("tree key already used: " + base::ToUtf8(key));
    const HTREEITEM parentItem = parentKey.empty() ? TVI_ROOT : node(parentKey).item;
    auto [placed, added] = _nodes.emplace(key, Node{key, parentKey, nullptr});
    TVINSERTSTRUCTW insert{};
    insert.hParent = parentItem;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = reinterpret_cast<LPARAM>(&placed->second);
    placed->second.item = TreeView_InsertItem(_window, &insert);
    if (!placed->second.item) {
        _nodes.erase(placed);
        throw std::runtime_error("the tree refused a node");
    }
}

const Win32TreeView::Node& Win32TreeView::node(const std::wstring& key) const {
    const auto found = _nodes.find(key);
    if (found == _nodes.end()) throw std::invalid_argument("no tree node with key " + base::ToUtf8(key));
    return found->second;
}

std::wstring Win32TreeView::text(const std::wstring& key) const {
    wchar_t buffer[1024] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node(key).item;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    TreeView_GetItem(_window, &item);
    return buffer;
}

std::int32_t Win32TreeView::image(const std::wstring& key) const {
    TVITEMW item{};
    item.mask = TVIF_IMAGE;
    item.hItem = node(key).item;
    TreeView_GetItem(_window, &item);
    return item.iImage;
}

void Win32TreeView::expand(const std::wstring& key) { TreeView_Expand(_window, node(key).item, TVE_EXPAND); }

bool Win32TreeView::expanded(const std::wstring& key) const {
    return (TreeView_GetItemState(_window, node(key).item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

std::wstring Win32TreeView::selectedKey() const {
    const HTREEITEM selected = TreeView_GetSelection(_window);
    if (!selected) return {};
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = selected;
    TreeView_GetItem(_window, &item);
    return reinterpret_cast<const Node*>(item.lParam)->key;
}

void Win32TreeView::select(const std::wstring& key) {
    _selecting = true;
    TreeView_SelectItem(_window, node(key).item);
    _selecting = false;
}

void Win32TreeView::raiseNodeClick(HTREEITEM item) {
    if (!item || !onNodeClick) return;
    TVITEMW node{};
    node.mask = TVIF_PARAM;
    node.hItem = item;
    TreeView_GetItem(_window, &node);
    const std::wstring key = reinterpret_cast<const Node*>(node.lParam)->key;
    RunEvent(onNodeClick.action, [&] { onNodeClick(key); });
}

// The tree reports a click before it moves its selection there, and reports no
// change at all for a click on the node already selected: that click is the user's
// choice of the node again (to retry a listing, or to see what the host changed).
// A click on another node is raised when the selection arrives there.
LRESULT Win32TreeView::clicked() {
    const DWORD at = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ScreenToClient(_window, &hit.pt);
    TreeView_HitTest(_window, &hit);
    if ((hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) && hit.hItem &&
        hit.hItem == TreeView_GetSelection(_window)) {
        raiseNodeClick(hit.hItem);
    }
    return 0;
}

// The control selects its first node by itself when it gets the focus with none
// selected, which would show a folder as chosen that nobody chose and whose pages
// are not the ones listed: the tree keeps no selection until the user makes one.
LRESULT Win32TreeView::selectionChanging(const NMTREEVIEWW& change) const {
    return change.action == TVC_UNKNOWN && !change.itemOld.hItem && !_selecting ? TRUE : FALSE;
}

// With no node selected the control has no node to move from: the first arrow
// key chooses the first node, as a click on it would, and that is all it does.
bool Win32TreeView::selectFirst(WPARAM key) {
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
            break;
        default:
            return false;
    }
    const HTREEITEM first = TreeView_GetRoot(_window);
    if (TreeView_GetSelection(_window) || !first) return false;
    _selecting = true;
    TreeView_SelectItem(_window, first);
    _selecting = false;
    raiseNodeClick(first);
    return true;
}

namespace {
// The tree object, there while it lives; and the control's own procedure, which
// stays as long as ours is in the window's chain, beyond the object's life when
// another subclass was installed over ours.
constexpr wchar_t kTreeViewProperty[] = L"Tavisk2002.TreeView";
constexpr wchar_t kControlProcedureProperty[] = L"Tavisk2002.TreeView.Control";

bool OursInstalled(HWND window, WNDPROC ours) {
    return GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ours);
}
}  // namespace

// The key that chose the first node must not reach the control: its notification
// of the key comes before it moves, so the control would go on from that node
// (Down would list a second folder, End jump past the first). Only its window
// procedure can hold the key back.
Win32TreeView::Win32TreeView(HWND window) : _window(window) {
    SetPropW(window, kControlProcedureProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrW(window, GWLP_WNDPROC)));
    SetPropW(window, kTreeViewProperty, this);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32TreeView::Procedure));
}

// Restoring the control's procedure while another subclass sits over ours would
// cut that one out of the chain: ours then stays, forwarding alone, until the
// window goes.
Win32TreeView::~Win32TreeView() {
    if (!IsWindow(_window) || GetPropW(_window, kTreeViewProperty) != this) return;
    RemovePropW(_window, kTreeViewProperty);
    if (!OursInstalled(_window, &Win32TreeView::Procedure)) return;
    SetWindowLongPtrW(_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropW(_window, kControlProcedureProperty)));
    RemovePropW(_window, kControlProcedureProperty);
}

LRESULT CALLBACK Win32TreeView::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto control = reinterpret_cast<WNDPROC>(GetPropW(window, kControlProcedureProperty));
    if (!control) return DefWindowProcW(window, message, wParam, lParam);  // only if another program took it
    auto* tree = static_cast<Win32TreeView*>(GetPropW(window, kTreeViewProperty));
    // Nothing of the tree is used after selectFirst: the listing it raises may unload the form.
    if (tree && message == WM_KEYDOWN && tree->selectFirst(wParam)) return 0;
    if (message == WM_NCDESTROY) {
        if (OursInstalled(window, &Win32TreeView::Procedure))
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control));
        RemovePropW(window, kTreeViewProperty);
        RemovePropW(window, kControlProcedureProperty);
    }
    return CallWindowProcW(control, window, message, wParam, lParam);
}

LRESULT Win32TreeView::notify(NMHDR& header) {
    switch (header.code) {
        case NM_CLICK:
            return clicked();
        case TVN_SELCHANGINGW:
            return selectionChanging(reinterpret_cast<NMTREEVIEWW&>(header));
        case TVN_SELCHANGEDW: {
            const auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
            // Only the user's choice is an event; a selection made from code is not.
            if (change.action != TVC_UNKNOWN) raiseNodeClick(change.itemNew.hItem);
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace tavisk::ui::win32
