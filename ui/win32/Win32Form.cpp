#include "ui/win32/Win32Form.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "ui/EventBoundary.h"
#include "base/Texts.h"
#include "ui/win32/ActivationContext.h"
#include "ui/win32/BringToFront.h"
#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MessageHook.h"
#include "base/win32/ComError.h"
#include "base/win32/ThisModule.h"
#include "ui/win32/SystemMessageBoxes.h"
#include "ui/win32/Win32EditorWindow.h"
#include "ui/win32/Win32Progress.h"

namespace tavisk::ui::win32 {

using base::win32::ThisModule;
using base::win32::ThrowLastErrorIf;
using base::win32::UniqueWindow;
namespace {

constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

// Hiding the active window hands the activation on, and a windowing system that
// keeps its own stacking may then show the newly focused window above this
// thread's topmost window, which the z-order still has first: Wine activates the
// host window when a topmost form with a hidden owner is hidden, and its X11
// driver raises the focused window over the topmost ones. The first visible
// window, when it is this thread's and topmost, is set topmost again without
// activation: the z-order stays as it is (so nothing changes on Windows), and the
// screen follows it.
void KeepTopmostOnTop() {
    HWND first = GetTopWindow(nullptr);
    while (first && !IsWindowVisible(first)) first = GetWindow(first, GW_HWNDNEXT);
    if (!first || GetWindowThreadProcessId(first, nullptr) != GetCurrentThreadId()) return;
    if (!(GetWindowLongPtrW(first, GWL_EXSTYLE) & WS_EX_TOPMOST)) return;
    SetWindowPos(first, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace

Win32Form::Win32Form(const FormDesign& design, const std::function<void(HWND)>& registerDialog) : _dpi(ScreenDpi()) {
    ActivationScope activation;
    HWND owner = nullptr;
    if (auto* form = dynamic_cast<Win32Form*>(design.owner)) owner = form->window();
    _centreOver = owner ? owner : GetActiveWindow();
    _centreOnScreen = design.centreOnScreen;
    if (!owner && !design.taskbarButton && !design.toolWindow) {
        // The task bar lists unowned windows only: a hidden owner keeps the form off it.
        _hiddenOwner = UniqueWindow(
            CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ThisModule(), nullptr));
        ThrowLastErrorIf(_hiddenOwner.get() == nullptr, "CreateWindowEx");
        owner = _hiddenOwner.get();
    }

    const auto words = EmptyDialogTemplate(kFormStyle, design.toolWindow ? WS_EX_TOOLWINDOW : 0, design.caption);
    _window = UniqueWindow(CreateDialogIndirectParamW(ThisModule(), reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                                      owner, DialogProc, reinterpret_cast<LPARAM>(this)));
    ThrowLastErrorIf(_window.get() == nullptr, "CreateDialogIndirectParam");

    // A failure from here on destroys the window with the form's members; no message
    // of that destruction may reach the half-made form.
    try {
        RECT frame{0, 0, MulDiv(design.clientWidth, _dpi, 1440), MulDiv(design.clientHeight, _dpi, 1440)};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(_window.get(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(_window.get(), GWL_EXSTYLE)));
        SetWindowPos(_window.get(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (design.icon) {
            _smallIcon = LoadProductIcon(design.icon, GetSystemMetrics(SM_CXSMICON));
            _largeIcon = LoadProductIcon(design.icon, GetSystemMetrics(SM_CXICON));
            SendMessageW(_window.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(_smallIcon.get()));
            SendMessageW(_window.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(_largeIcon.get()));
        }
        registerDialog(_window.get());
    } catch (...) {
        SetWindowLongPtrW(_window.get(), DWLP_USER, 0);
        throw;
    }
}

Win32Form::~Win32Form() { unload(); }

RECT Win32Form::pixels(Rect rect) const {
    const int left = MulDiv(rect.left, _dpi, 1440), top = MulDiv(rect.top, _dpi, 1440);
    return {left, top, left + MulDiv(rect.width, _dpi, 1440), top + MulDiv(rect.height, _dpi, 1440)};
}

HWND Win32Form::addChild(const wchar_t* windowClass, const std::wstring& text, DWORD style, DWORD exStyle, Rect rect) {
    if (!_window.get()) throw std::logic_error("the form is unloaded");
    ActivationScope activation;
    const RECT at = pixels(rect);
    const int id = _nextId++;
    HWND child = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, at.left, at.top,
                                 at.right - at.left, at.bottom - at.top, _window.get(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
    ThrowLastErrorIf(child == nullptr, "CreateWindowEx");
    SendMessageW(child, WM_SETFONT, SendMessageW(_window.get(), WM_GETFONT, 0, 0), FALSE);
    return child;
}

Frame& Win32Form::addFrame(const std::wstring& caption, Rect rect) {
    const HWND frame = addChild(L"BUTTON", caption, BS_GROUPBOX | WS_GROUP, 0, rect);
    _controls.push_back(std::make_unique<Win32Label>(frame));
    return static_cast<Frame&>(*_controls.back());
}

Label& Win32Form::addLabel(const std::wstring& caption, Rect rect, const Font* font, TextAlign align) {
    const DWORD alignment = align == TextAlign::Centre ? SS_CENTER : SS_LEFT;
    const HWND label = addChild(L"STATIC", caption, alignment | SS_NOPREFIX | WS_GROUP, 0, rect);
    if (font) {
        LOGFONTW description{};
        description.lfHeight = -static_cast<LONG>(std::lround(font->points * _dpi / 72.0));
        description.lfWeight = font->bold ? FW_BOLD : FW_NORMAL;
        description.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(description.lfFaceName, font->face.c_str(), LF_FACESIZE);
        _fonts.emplace_back(CreateFontIndirectW(&description));
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(_fonts.back().get()), FALSE);
    }
    _controls.push_back(std::make_unique<Win32Label>(label));
    return static_cast<Label&>(*_controls.back());
}

void Win32Form::addEtchedRule(Rect rect) {
    // The static control's etched line is the two lines: shadow above highlight.
    addChild(L"STATIC", L"", SS_ETCHEDHORZ, 0, rect);
}

void Win32Form::addPicture(int icon, Rect rect) {
    const HWND picture = addChild(L"STATIC", L"", SS_ICON | SS_CENTERIMAGE | WS_GROUP, 0, rect);
    _pictures.push_back(LoadProductIcon(icon, GetSystemMetrics(SM_CXICON)));
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(_pictures.back().get()), 0);
    // SS_ICON sizes the control to the icon: put it back where the form wants it.
    const RECT at = pixels(rect);
    SetWindowPos(picture, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

CheckBox& Win32Form::addCheckBox(const std::wstring& caption, Rect rect) {
    const HWND box = addChild(L"BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, rect);
    auto control = std::make_unique<Win32CheckBox>(box);
    auto* check = control.get();
    _controls.push_back(std::move(control));
    _commands[GetDlgCtrlID(box)] = [check, caption](UINT code) {
        if (code == BN_CLICKED && check->enabled() && check->onClick) RunEvent(ActionName(caption), check->onClick);
    };
    return *check;
}

TextBox& Win32Form::addTextBox(const std::wstring& text, Rect rect) {
    const HWND edit = addChild(L"EDIT", text, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, rect);
    auto control = std::make_unique<Win32TextBox>(edit);
    auto* box = control.get();
    _controls.push_back(std::move(control));
    _commands[GetDlgCtrlID(edit)] = [box](UINT code) {
        if (code == EN_SETFOCUS && box->onGotFocus) RunEvent(base::Text(base::TextId::SelectingText), box->onGotFocus);
    };
    return *box;
}

UpDown& Win32Form::addUpDown(Rect rect, TextBox& buddy, std::int32_t minimum, std::int32_t maximum) {
    // Buddy-integer mode gives the rule of ui::UpDown: the arrows start from the
    // typed number when it is in range, stop at the ends (no UDS_WRAP) and write
    // the new position into the box.
    const HWND upDown = addChild(UPDOWN_CLASSW, L"", UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, rect);
    SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(dynamic_cast<Win32TextBox&>(buddy).window()), 0);
    SendMessageW(upDown, UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
    SendMessageW(upDown, UDM_SETPOS32, 0, static_cast<LPARAM>(minimum));
    // UDM_SETBUDDY may move the control beside its buddy: keep the designed place.
    const RECT at = pixels(rect);
    SetWindowPos(upDown, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    _controls.push_back(std::make_unique<Win32UpDown>(upDown));
    return static_cast<UpDown&>(*_controls.back());
}

OptionGroup& Win32Form::addOptionGroup(const std::vector<Option>& options) {
    std::vector<HWND> buttons;
    for (const auto& option : options) {
        // The first button starts the group and is its tab stop; the dialog manager
        // moves the focus to the chosen one and between them with the arrows.
        const DWORD style = BS_AUTORADIOBUTTON | (buttons.empty() ? WS_GROUP | WS_TABSTOP : 0);
        buttons.push_back(addChild(L"BUTTON", option.caption, style, 0, option.rect));
    }
    auto group = std::make_unique<Win32OptionGroup>(buttons);
    group->choose(0);
    auto* created = group.get();
    _groups.push_back(std::move(group));
    for (size_t i = 0; i < buttons.size(); ++i) {
        const auto index = static_cast<std::int32_t>(i);
        const std::wstring action = ActionName(options[i].caption);
        _commands[GetDlgCtrlID(buttons[i])] = [created, index, action](UINT code) {
            if (code == BN_CLICKED && created->enabled(index) && created->onClick) {
                RunEvent(action, [&] { created->onClick(index); });
            }
        };
    }
    return *created;
}

Button& Win32Form::addButton(const std::wstring& caption, Rect rect, ButtonRole role) {
    const DWORD style = (role == ButtonRole::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | WS_GROUP;
    const HWND window = addChild(L"BUTTON", caption, style, 0, rect);
    auto control = std::make_unique<Win32Button>(window);
    auto* button = control.get();
    _controls.push_back(std::move(control));
    if (role == ButtonRole::Default) {
        _default = button;
        // The dialog manager keeps the default look on this button as the focus moves.
        SendMessageW(_window.get(), DM_SETDEFID, static_cast<WPARAM>(GetDlgCtrlID(window)), 0);
    }
    if (role == ButtonRole::Cancel) _cancel = button;
    _commands[GetDlgCtrlID(window)] = [button, caption](UINT code) {
        if (code == BN_CLICKED && button->enabled() && button->onClick) RunEvent(ActionName(caption), button->onClick);
    };
    return *button;
}

ListView& Win32Form::addListView(Rect rect, std::vector<ListColumn> columns) {
    const HWND window =
        addChild(WC_LISTVIEWW, L"", LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP,
                 WS_EX_CLIENTEDGE, rect);
    auto control = std::make_unique<Win32ListView>(window, std::move(columns), _dpi);
    _lists[window] = control.get();
    _controls.push_back(std::move(control));
    return static_cast<ListView&>(*_controls.back());
}

TreeView& Win32Form::addTreeView(Rect rect) {
    const HWND window = addChild(
        WC_TREEVIEWW, L"", TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP,
        WS_EX_CLIENTEDGE, rect);
    auto control = std::make_unique<Win32TreeView>(window);
    _trees[window] = control.get();
    _controls.push_back(std::move(control));
    return static_cast<TreeView&>(*_controls.back());
}

void Win32Form::centre(HWND over) {
    RECT area{};
    if (!over || !IsWindow(over) || !GetWindowRect(over, &area)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    GetWindowRect(_window.get(), &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(_window.get(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::show() {
    if (!_window.get()) throw std::logic_error("the form is unloaded");
    const bool first = !std::exchange(_shownOnce, true);
    if (first) centre(_centreOnScreen ? nullptr : _centreOver);
    ShowWindow(_window.get(), SW_SHOW);
    // A dialog made without controls has no focus yet: the first tab stop gets it.
    if (first) {
        if (const HWND tabStop = GetNextDlgTabItem(_window.get(), nullptr, FALSE)) {
            SendMessageW(_window.get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tabStop), TRUE);
        }
    }
}

void Win32Form::hide() {
    if (!_window.get()) return;
    const bool wasActive = GetActiveWindow() == _window.get();
    ShowWindow(_window.get(), SW_HIDE);
    if (wasActive) KeepTopmostOnTop();
}

void Win32Form::setMousePointer(MousePointer pointer) {
    _pointer = pointer;
    // The thread may be busy and pump no messages for a while: the pointer changes
    // now if it is over the form, not at the next WM_SETCURSOR.
    POINT at{};
    RECT area{};
    if (_window && IsWindowVisible(_window.get()) && GetCursorPos(&at) && GetWindowRect(_window.get(), &area) &&
        PtInRect(&area, at)) {
        SetCursor(LoadCursorW(nullptr, pointer == MousePointer::ArrowHourglass ? IDC_APPSTARTING : IDC_ARROW));
    }
}

void Win32Form::refresh() {
    if (!_window) throw std::logic_error("the form is unloaded");
    RedrawWindow(_window.get(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32Form::bringToFront() {
    if (!_window.get()) throw std::logic_error("the form is unloaded");
    BringToFront(_window.get());
}

void Win32Form::unload() {
    if (!_window.get()) return;
    UniqueWindow window = std::move(_window);
    RemoveDialogWindow(window.get());
    // No event reaches the form once it is unloading.
    SetWindowLongPtrW(window.get(), DWLP_USER, 0);
    // The owner goes after the form it owns: destroying the owner first would take
    // the form with it, unannounced.
    window.reset();
    _hiddenOwner.reset();
}

INT_PTR CALLBACK Win32Form::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;  // the focus is set when the controls exist
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!form) return FALSE;
    LRESULT result = 0;
    bool handled = false;
    // Nothing may unwind through user32: the controls' events report their own
    // failures, and whatever else fails while a message is handled is reported here
    // and leaves the message to the dialog manager. After handle() the form may be
    // gone (a handler can unload and release it): only the window and the result are
    // used from here on.
    RunEvent(base::Text(base::TextId::DialogWork), [&] { handled = form->handle(message, wParam, lParam, result); });
    if (!handled) {
        // A handler that closed the form leaves the dialog manager nothing to do.
        return IsWindow(window) ? FALSE : TRUE;
    }
    if (message == WM_NOTIFY || message == WM_SETCURSOR) SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool Win32Form::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return true;
        case WM_NOTIFY: {
            auto& header = *reinterpret_cast<NMHDR*>(lParam);
            if (const auto list = _lists.find(header.hwndFrom); list != _lists.end()) {
                result = list->second->notify(header);
                return true;
            }
            // A list's header control notifies the list, not the form; trees notify here.
            if (const auto tree = _trees.find(header.hwndFrom); tree != _trees.end()) {
                result = tree->second->notify(header);
                return true;
            }
            return false;
        }
        case WM_CLOSE:
            if (onClose) RunEvent(base::Text(base::TextId::ClosingWindow), onClose);
            return true;
        case WM_NCDESTROY:
            // Destroyed from outside (its owner went, or the thread ends): the form
            // is unloaded from now on.
            if (_window) RemoveDialogWindow(_window.release());
            return false;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (onDeactivate) RunEvent(base::Text(base::TextId::LeavingWindow), onDeactivate);
            } else if (onActivate) {
                RunEvent(base::Text(base::TextId::ActivatingWindow), onActivate);
            }
            return false;
        case WM_SETCURSOR:
            if (_pointer != MousePointer::ArrowHourglass || LOWORD(lParam) != HTCLIENT) return false;
            SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
            result = TRUE;
            return true;
        default:
            return false;
    }
}

void Win32Form::command(int id, UINT code) {
    // The dialog manager turns Esc into IDCANCEL, and Enter into the default
    // button's id or, on a form without one, IDOK: they press the default and the
    // cancel button, and nothing when the form has none.
    if (id == IDOK || id == IDCANCEL) {
        Win32Button* button = id == IDOK ? _default : _cancel;
        if (button && button->enabled()) SendMessageW(button->window(), BM_CLICK, 0, 0);
        return;
    }
    if (const auto found = _commands.find(id); found != _commands.end()) found->second(code);
}

std::shared_ptr<Form> Win32Toolkit::createForm(const FormDesign& design) { return std::make_shared<Win32Form>(design); }

std::shared_ptr<ProgressWindow> Win32Toolkit::createProgressWindow(const ProgressDesign& design) {
    return std::make_shared<Win32ProgressWindow>(design);
}

MessageBoxes& Win32Toolkit::messages() {
    static SystemMessageBoxes boxes;
    return boxes;
}

std::shared_ptr<EditorWindow> Win32Toolkit::editorWindow() { return Win32EditorWindow::Find(); }

}  // namespace tavisk::ui::win32
