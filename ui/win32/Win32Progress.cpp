#include "ui/win32/Win32Progress.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "base/Texts.h"
#include "base/win32/ComError.h"
#include "base/win32/ThisModule.h"
#include "ui/win32/ActivationContext.h"
#include "ui/win32/BringToFront.h"
#include "ui/win32/DialogTemplate.h"
#include "ui/win32/Win32EditorWindow.h"
#include "ui/win32/Win32Controls.h"
#include "ui/win32/Win32Form.h"

namespace tavisk::ui::win32 {

using base::win32::ThisModule;
using base::win32::ThrowLastErrorIf;
using base::win32::UniqueWindow;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

// The layout in twips: client area, two text lines, the bar, Cancel at the bottom right.
constexpr int kClientWidth = 5415, kClientHeight = 1680;
constexpr RECT kStatus{120, 120, 5295, 375};
constexpr RECT kItem{120, 390, 5295, 645};
constexpr RECT kBar{120, 735, 5295, 1020};
constexpr RECT kCancel{4200, 1185, 5295, 1560};

// Enough for a burst of input and the paints it causes; a window that kept
// posting to itself must not hold the run.
constexpr int kMaxMessagesPerRound = 200;

RECT Pixels(RECT twips, int dpi) {
    return {MulDiv(twips.left, dpi, 1440), MulDiv(twips.top, dpi, 1440), MulDiv(twips.right, dpi, 1440),
            MulDiv(twips.bottom, dpi, 1440)};
}

void SetTextIfChanged(HWND window, const std::wstring& text) {
    if (WindowText(window) != text) SetWindowTextW(window, text.c_str());
}

// True while this thread's windows (the editor's) are in front: the user may have
// switched to another program, whose foreground is not the add-in's to take.
bool ThreadInFront() {
    const HWND foreground = GetForegroundWindow();
    return foreground && GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId();
}

}  // namespace

Win32ProgressWindow::Win32ProgressWindow(const ProgressDesign& design) {
    ActivationScope activation;
    HWND owner = nullptr;
    if (auto* form = dynamic_cast<Win32Form*>(design.owner)) owner = form->window();
    _centreOver = owner ? owner : GetActiveWindow();
    // Within the editor's window chain and not topmost: above the editor's main
    // window, below the prompts the editor itself may show during an open or a save,
    // which it owns by that window. Without one (a host with none visible), the
    // form, which keeps it off the task bar.
    if (auto* editor = dynamic_cast<Win32EditorWindow*>(design.editor); editor && IsWindow(editor->window())) {
        owner = editor->window();
    }

    const auto words = EmptyDialogTemplate(kStyle, 0, design.caption);
    _window = UniqueWindow(CreateDialogIndirectParamW(ThisModule(), reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                                      owner, DialogProc, reinterpret_cast<LPARAM>(this)));
    ThrowLastErrorIf(!_window, "CreateDialogIndirectParam");
    try {
        layOut(design.icon);
    } catch (...) {
        close();
        throw;
    }
}

void Win32ProgressWindow::layOut(int icon) {
    const int dpi = ScreenDpi();
    RECT frame = Pixels({0, 0, kClientWidth, kClientHeight}, dpi);
    AdjustWindowRectEx(&frame, kStyle, FALSE, static_cast<DWORD>(GetWindowLongPtrW(_window.get(), GWL_EXSTYLE)));
    SetWindowPos(_window.get(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (icon) {
        _smallIcon = LoadProductIcon(icon, GetSystemMetrics(SM_CXSMICON));
        _largeIcon = LoadProductIcon(icon, GetSystemMetrics(SM_CXICON));
        SendMessageW(_window.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(_smallIcon.get()));
        SendMessageW(_window.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(_largeIcon.get()));
    }
    _status = addChild(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, -1, Pixels(kStatus, dpi));
    _item = addChild(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, -1, Pixels(kItem, dpi));
    _bar = addChild(PROGRESS_CLASSW, L"", PBS_SMOOTH, -1, Pixels(kBar, dpi));
    _cancel = addChild(L"BUTTON", base::Text(base::TextId::Cancel), BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, IDCANCEL,
                       Pixels(kCancel, dpi));
}

Win32ProgressWindow::~Win32ProgressWindow() { close(); }

HWND Win32ProgressWindow::addChild(const wchar_t* windowClass, const std::wstring& text, DWORD style, int id, RECT at) {
    ActivationScope activation;
    const HWND child = CreateWindowExW(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, at.left, at.top,
                                       at.right - at.left, at.bottom - at.top, _window.get(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
    ThrowLastErrorIf(child == nullptr, "CreateWindowEx");
    SendMessageW(child, WM_SETFONT, SendMessageW(_window.get(), WM_GETFONT, 0, 0), FALSE);
    return child;
}

void Win32ProgressWindow::show() {
    if (!_window) return;
    if (!std::exchange(_shownOnce, true)) {
        RECT area{};
        if (!_centreOver || !IsWindow(_centreOver) || !GetWindowRect(_centreOver, &area)) {
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        }
        RECT own{};
        GetWindowRect(_window.get(), &own);
        const int width = own.right - own.left, height = own.bottom - own.top;
        SetWindowPos(_window.get(), nullptr, area.left + (area.right - area.left - width) / 2,
                     area.top + (area.bottom - area.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(_window.get(), SW_SHOW);
    // Not topmost: the prompts the editor shows during an open or a save come above it.
    if (ThreadInFront()) BringToFront(_window.get(), /*topmost=*/false);
    SendMessageW(_window.get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(_cancel), TRUE);
}

void Win32ProgressWindow::regainFocus() {
    if (!_window || !IsWindowVisible(_window.get())) return;
    const HWND focus = GetFocus();
    if (focus == _window.get() || IsChild(_window.get(), focus)) return;
    if (!ThreadInFront()) return;
    if (IsWindowEnabled(_cancel)) {
        SendMessageW(_window.get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(_cancel), TRUE);
    } else {
        SetFocus(_window.get());
    }
}

void Win32ProgressWindow::update(std::int32_t done, std::int32_t total, const std::wstring& status,
                                 const std::wstring& item) {
    if (!_window) return;
    if (total != _total) {
        SendMessageW(_bar, PBM_SETRANGE32, 0, total);
        _total = total;
    }
    SendMessageW(_bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    SetTextIfChanged(_status, status);
    SetTextIfChanged(_item, item);
    // Painted now, by sent WM_PAINTs: the run may not process messages again for a while.
    RedrawWindow(_window.get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Responsive without a general pump. PeekMessage with this window as the filter
// retrieves only messages posted to it and to its children (and the WM_PAINTs they
// are due). Of the host's windows the run takes only what a modal dialog's loop
// would give or deny them: their keys and clicks are thrown away, as the disabled
// host would have refused them (keys still reach a page that took the focus while
// it opened), so nothing typed during the run lands in a page afterwards; an Esc
// among them was meant for the run. Their paints are dispatched, so a window
// uncovered by a moved progress window is redrawn without desktop composition.
// Their timers and posted messages stay queued for the host's loop after the run,
// so no host code but its painting runs in between. Cross-thread messages sent to the
// thread's windows are delivered by any PeekMessage, as the system requires. Each
// call also counts as the thread checking its queue, which is what keeps the
// system from reporting the host as not responding (ghosting its windows) while a
// long run goes on; the run calls this between pages, many times a second.
// DisableProcessWindowsGhosting would achieve that too, but for the whole host
// process and for good, which is not an add-in's to decide.
void Win32ProgressWindow::processMessages() {
    int taken = 0;
    MSG message;
    const auto take = [&](HWND filter, UINT first, UINT last) {
        while (taken < kMaxMessagesPerRound && _window && PeekMessageW(&message, filter, first, last, PM_REMOVE)) {
            ++taken;
            if (message.message != WM_QUIT) return true;
            // Handed out whatever the filter. The editor is ending: the run stops
            // as Cancel stops it, and the quit is posted again once this modal
            // loop is left, when the window goes.
            _quit = true;
            _exitCode = message.wParam;
            cancel();
        }
        return false;
    };
    const auto dispatchOwn = [&] {
        // The dialog manager's keys: Esc becomes IDCANCEL.
        if (!IsDialogMessageW(_window.get(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    };
    while (take(_window.get(), 0, 0)) dispatchOwn();
    for (const auto& [first, last] : kInputRanges) {
        while (take(nullptr, first, last)) {
            if (message.hwnd == _window.get() || IsChild(_window.get(), message.hwnd)) {
                dispatchOwn();
            } else if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
                cancel();
            }
        }
    }
    while (take(nullptr, WM_PAINT, WM_PAINT)) DispatchMessageW(&message);
}

void Win32ProgressWindow::cancel() noexcept {
    _cancelled = true;
    // The user sees the press was taken; the run stops after the page in hand.
    EnableWindow(_cancel, FALSE);
}

void Win32ProgressWindow::close() noexcept {
    if (_window) {
        // No message reaches this object once the window is going.
        SetWindowLongPtrW(_window.get(), DWLP_USER, 0);
        _window.reset();
    }
    if (std::exchange(_quit, false)) PostQuitMessage(static_cast<int>(_exitCode));
}

INT_PTR CALLBACK Win32ProgressWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;  // the focus goes to Cancel when the window is shown
    }
    auto* self = reinterpret_cast<Win32ProgressWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
        case WM_COMMAND:
            // Cancel's click, Esc (the dialog manager's IDCANCEL) and the close box alike.
            if (LOWORD(wParam) != IDCANCEL) return FALSE;
            self->cancel();
            return TRUE;
        case WM_CLOSE:
            self->cancel();
            return TRUE;
        case WM_NCDESTROY:
            // Destroyed with its owner: there is nothing left to close.
            self->_window.release();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace tavisk::ui::win32
