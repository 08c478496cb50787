#pragma once

// Drives the stand-in host's window and the add-in's dialogs from another process,
// as a user does: windows are found by their captions, buttons are clicked
// (BM_CLICK), text is typed (WM_CHAR), menus are opened and picked with their
// mnemonics, list and tree items are clicked and double-clicked with the mouse
// messages a click produces, and message boxes are read and answered. Every wait
// polls for what the user would see, up to a generous bound, so a loaded machine
// slows a drive down instead of failing it.

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/WindowDriver.h"

namespace tavisk::e2e {

using testing::ClassName;
using testing::PressKey;

// Raised when a window or a state does not appear in time, or a step cannot be
// taken; the text names what was awaited.
class DriveError : public std::runtime_error {
public:
    explicit DriveError(const std::wstring& what);
};

constexpr DWORD kWaitMs = 60000;

// Polls `ready` until it holds; raises DriveError naming `what` after `timeoutMs`.
void WaitFor(const std::wstring& what, const std::function<bool()>& ready, DWORD timeoutMs = kWaitMs);
// Whether `ready` holds within `timeoutMs` (for what must NOT appear).
bool Within(DWORD timeoutMs, const std::function<bool()>& ready);

// A window's text through WM_GETTEXT, which is carried across processes.
std::wstring TextOf(HWND window);
// Every descendant of `parent` of the window class (case-insensitive), in z order.
std::vector<HWND> Descendants(HWND parent, const std::wstring& windowClass);
// The descendant with this class and text, or nullptr.
HWND FindControl(HWND parent, const std::wstring& windowClass, const std::wstring& text);
// The same, raising DriveError when there is none.
HWND Control(HWND parent, const std::wstring& windowClass, const std::wstring& text);
RECT ScreenRect(HWND window);

// A button, check box or option button clicked; the click's handler runs in its
// own process after the call returns.
void Click(HWND button);
bool IsChecked(HWND button);
// Replaces the text of an edit control by typing `text` over its whole content.
void TypeInto(HWND edit, const std::wstring& text);

// Saves what the screen shows of the windows (their union) as a PNG.
void SaveScreenshot(const std::vector<HWND>& windows, const std::filesystem::path& file);
// What the screen shows of `area` (0x00RRGGBB, row by row), once `window` has
// painted what is pending.
std::vector<std::uint32_t> ScreenPixels(HWND window, const RECT& area);

// The stand-in host, simhost.exe, started on a web folder (or on none), in its
// default language or the one given, and closed, or ended, with the object.
class HostProcess {
public:
    HostProcess(const std::filesystem::path& program, const std::filesystem::path& web,
                const std::wstring& language = {});
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;
    ~HostProcess();

    DWORD id() const noexcept { return _info.dwProcessId; }
    HANDLE process() const noexcept { return _info.hProcess; }
    HWND window() const noexcept { return _window; }

    // The process's visible top-level windows.
    std::vector<HWND> topWindows() const;
    // The visible top-level window with this caption for which `is` holds, or nullptr.
    HWND findTop(const std::wstring& caption, const std::function<bool(HWND)>& is = {}) const;
    HWND waitForTop(const std::wstring& caption, const std::function<bool(HWND)>& is = {}) const;
    // The open menus (popup windows of class #32768).
    std::vector<HWND> menus() const;

    std::wstring status() const;
    // The page windows' tabs, and the one that is shown (-1 for none).
    std::vector<std::wstring> tabs() const;
    int selectedTab() const;
    void clickTab(int index);
    // Double-clicks the file whose tree label starts with `label` (the folders that
    // hold it expanded first, as the user would).
    void openFile(const std::vector<std::wstring>& path);
    HWND bodyEditor() const;

    // Opens the menu bar's popup of the mnemonic `keys[0]` with Alt, then types the
    // remaining mnemonics, waiting for each popup to open; `onOpen` sees every
    // popup open before the next key.
    void pickMenu(const std::wstring& keys, const std::function<void()>& onOpen = {});
    // One mnemonic: with no menu open, the menu bar's; else the open popup's.
    void typeInMenu(wchar_t key);
    void closeMenus();
    // Closes the window as the user does and waits for the process to end; its exit code.
    DWORD close();

private:
    PROCESS_INFORMATION _info{};
    HWND _window = nullptr;
};

// A buffer in another process's memory, for the common controls' messages whose
// arguments are pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size);
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer();
    LPARAM address(size_t offset = 0) const;
    void write(const void* data, size_t size, size_t offset = 0);
    void read(void* data, size_t size, size_t offset = 0) const;

private:
    HANDLE _process;
    void* _address;
};

// List views and tree views of another process, read and clicked.
std::vector<std::wstring> ListColumn(HANDLE process, HWND list, int column);
int ListIndex(HANDLE process, HWND list, const std::wstring& text);
void ClickListItem(HANDLE process, HWND list, int index, bool withControl = false);
void DoubleClickListItem(HANDLE process, HWND list, int index);
// The tree item under `parent` (the roots when null) whose label is `text`; nullptr if none.
HTREEITEM TreeChild(HANDLE process, HWND tree, HTREEITEM parent, const std::wstring& text);
HTREEITEM TreeRoot(HWND tree);
std::wstring TreeLabel(HANDLE process, HWND tree, HTREEITEM item);
void ClickTreeItem(HANDLE process, HWND tree, HTREEITEM item);
// Shows the item's children: chooses it and presses the Right arrow, unless it is open.
void ExpandTreeItem(HANDLE process, HWND tree, HTREEITEM item);
void DoubleClickTreeItem(HANDLE process, HWND tree, HTREEITEM item);

}  // namespace tavisk::e2e
