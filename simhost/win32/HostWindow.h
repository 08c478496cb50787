#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "simhost/SimHost.h"

namespace tavisk::simhost::win32 {

// The stand-in editor's main window over a SimHost: a menu bar drawn from the
// host's "Menu Bar" (redrawn whenever the host changes, so an add-in's popup and
// button appear there; choosing a button executes its control, which raises its
// Click event), a tree of the web's folders and files (double-click or Enter opens
// a page), one tab per page window showing the page's source and its view mode,
// a box holding the active page's BODY attributes, which the user edits (Enter puts
// them into the page, unsaved, as an editor's page properties do), and a status line,
// which names the highlighted menu item by its place in the menus ("&Tools > ...")
// while a menu is open. It adds Open Web..., Close Web and Exit to the File popup,
// captioned in the host's language.
class HostWindow {
public:
    struct Options {
        // Opens a folder as a web; without it there is no Open Web... command.
        std::function<std::shared_ptr<WebModel>(const std::wstring& folder)> openWeb;
        // The page's text as the editor holds it.
        std::function<std::wstring(const PageDocument&)> pageSource;
        // The attributes written as in a BODY start tag; without it the BODY box is read-only.
        std::function<std::vector<Attribute>(const std::wstring& text)> parseBodyAttributes;
        // Runs when the user closes the window, while it still stands: the host's
        // shut-down of its add-ins.
        std::function<void()> closing;
        // Whether destroying the window ends the thread's message loop.
        bool quitOnDestroy = true;
    };

    HostWindow(SimHost& host, Options options);
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    ~HostWindow();

    HWND handle() const noexcept { return _window; }
    HWND tree() const noexcept { return _tree; }
    HWND tabs() const noexcept { return _tabs; }
    HWND source() const noexcept { return _source; }
    HWND bodyBox() const noexcept { return _body; }
    HWND statusBar() const noexcept { return _status; }

    void setStatus(const std::wstring& text);
    // Redraws the menu, the tree, the tabs and the source from the host now (the
    // host's changes otherwise reach the window through its message queue).
    void refresh();
    // After `delayMs`, saves a PNG picture of the window to `path`, then closes it.
    void screenshotAndClose(std::wstring path, UINT delayMs);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void layout();
    void rebuildMenu();
    void showMenuPlace(HMENU menu, UINT item, UINT flags);
    void rebuildTree();
    void rebuildPages();
    void runCommand(UINT id);
    void openSelectedFile();
    void addWindowCommands();
    void openWebFromDialog();
    void applyBodyBox();
    static LRESULT CALLBACK BodyBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self);

    SimHost& _host;
    Options _options;
    HWND _window = nullptr;
    HWND _tree = nullptr;
    HWND _tabs = nullptr;
    HWND _source = nullptr;
    HWND _bodyLabel = nullptr;
    HWND _body = nullptr;
    HWND _status = nullptr;
    HMENU _menu = nullptr;
    std::vector<std::weak_ptr<ControlNode>> _menuControls;  // by menu id - kFirstMenuId
    std::map<HMENU, std::wstring> _menuPlaces;              // the captions leading to each menu
    std::wstring _statusText;                               // shown again when the menus close
    std::vector<std::shared_ptr<FileNode>> _treeFiles;      // by tree item lParam
    std::weak_ptr<WebModel> _treeWeb;                       // the web the tree shows
    std::vector<std::shared_ptr<ControlNode>> _ownControls;
    bool _refreshPending = false;
    std::wstring _screenshotPath;
};

}  // namespace tavisk::simhost::win32
