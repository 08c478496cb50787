#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/ProgressWindow.h"
#include "ui/win32/Handles.h"

namespace tavisk::ui::win32 {

// The progress window on real controls: a modeless dialog made from an in-memory
// template inside the add-in's activation context, with two labels, a progress
// bar (the common control) and Cancel, which has the id IDCANCEL so the dialog
// manager maps Esc and the close box to it. It is not one of the add-in's forms:
// it lives only while a run lasts, and the message hook does not serve it, since
// processMessages() runs it through IsDialogMessage itself.
class Win32ProgressWindow final : public ProgressWindow {
public:
    explicit Win32ProgressWindow(const ProgressDesign& design);
    ~Win32ProgressWindow() override;
    Win32ProgressWindow(const Win32ProgressWindow&) = delete;
    Win32ProgressWindow& operator=(const Win32ProgressWindow&) = delete;

    void show() override;
    void update(std::int32_t done, std::int32_t total, const std::wstring& status, const std::wstring& item) override;
    void processMessages() override;
    void regainFocus() override;
    bool cancelled() const override { return _cancelled; }
    void close() noexcept override;

    HWND window() const noexcept { return _window.get(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void layOut(int icon);
    HWND addChild(const wchar_t* windowClass, const std::wstring& text, DWORD style, int id, RECT at);
    void cancel() noexcept;

    base::win32::UniqueWindow _window;
    HWND _status = nullptr, _item = nullptr, _bar = nullptr, _cancel = nullptr;
    HWND _centreOver = nullptr;
    bool _shownOnce = false;
    bool _cancelled = false;
    bool _quit = false;  // a WM_QUIT taken, to be posted again by close()
    WPARAM _exitCode = 0;
    std::int32_t _total = -1;
    Icon _smallIcon, _largeIcon;
};

}  // namespace tavisk::ui::win32
