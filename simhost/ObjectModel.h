#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "simhost/CommandBarModel.h"
#include "simhost/WebModel.h"

namespace tavisk::simhost {

class SimHost;
struct PageWindowState;
class Web;
class PageWindow;
class WebFolder;

// The editor's object model over a SimHost, named and shaped as the real editor's
// and Office's objects are: the one way in for every caller from outside the host
// (its COM face, the in-memory facade the native tests use). Each call is recorded
// by the host's recorder before it acts, so a refusal chosen there leaves the state
// untouched, and both faces record the same entries. Objects are small handles on
// the live state: a file or folder of a web that was closed, a page window that was
// closed or a control that was deleted refuses every call with SimError.

// Shared by every object: the host, to record calls and reach its state.
class HostObject {
protected:
    explicit HostObject(SimHost& host) : _host(&host) {}
    void record(const wchar_t* operation, const std::wstring& target = {}, const std::wstring& arguments = {}) const;
    SimHost* _host;
};

// A file or folder belongs to the web it came from.
class WebObject : protected HostObject {
protected:
    WebObject(SimHost& host, std::shared_ptr<WebModel> web) : HostObject(host), _web(std::move(web)) {}
    // Raises SimError when the web is no longer the open one.
    void checkOpen() const;
    std::shared_ptr<WebModel> _web;
};

class WebFile : WebObject {
public:
    WebFile(SimHost& host, std::shared_ptr<WebModel> web, std::shared_ptr<FileNode> file)
        : WebObject(host, std::move(web)), _file(std::move(file)) {}

    std::wstring url() const { return read(L"WebFile.url").url(); }
    std::wstring name() const { return read(L"WebFile.name").name(); }
    std::wstring title() const { return read(L"WebFile.title").title(); }
    std::wstring extension() const { return read(L"WebFile.extension").extension(); }
    // Opens the file in a page window (an open one is reused) and makes it active.
    void open() const;
    // Open and, when given, the window's view mode; the page window showing the file.
    PageWindow edit(std::optional<std::int32_t> viewMode) const;
    // Whether a page window shows the file.
    bool isOpen() const;
    Web web() const;
    // The folder holding the file.
    WebFolder parent() const;

private:
    const FileNode& read(const wchar_t* operation) const;
    std::shared_ptr<FileNode> _file;
};

// WebFiles and WebFolders: items counted from 0, over a list the model owns.
template <class Item, class Node>
class WebCollection : WebObject {
public:
    WebCollection(SimHost& host, std::shared_ptr<WebModel> web, const wchar_t* role,
                  const std::vector<std::shared_ptr<Node>>& items, std::shared_ptr<const void> owner)
        : WebObject(host, std::move(web)), _role(role), _items(&items), _owner(std::move(owner)) {}

    std::int32_t count() const;
    Item item(std::int32_t index) const;

private:
    std::wstring _role;
    const std::vector<std::shared_ptr<Node>>* _items;
    std::shared_ptr<const void> _owner;  // keeps *_items alive
};

using WebFiles = WebCollection<WebFile, FileNode>;
using WebFolders = WebCollection<WebFolder, FolderNode>;

class WebFolder : WebObject {
public:
    WebFolder(SimHost& host, std::shared_ptr<WebModel> web, std::shared_ptr<FolderNode> folder)
        : WebObject(host, std::move(web)), _folder(std::move(folder)) {}

    std::wstring url() const { return read(L"WebFolder.url").url(); }
    // The root folder has no name of its own; it goes by the web's.
    std::wstring name() const;
    WebFiles files() const;
    WebFolders folders() const;
    // The web's root folder, the only one that roots a web here (no subwebs).
    bool isRoot() const;
    Web web() const;
    // The folder holding this one; none for the root folder, whose parent is the web.
    std::optional<WebFolder> parent() const;
    // The folder's URL as MakeRel takes it for a base, without a call of its own.
    const std::wstring& baseUrl() const noexcept { return _folder->url(); }

private:
    const FolderNode& read(const wchar_t* operation) const;
    std::shared_ptr<FolderNode> _folder;
};

class Web : WebObject {
public:
    Web(SimHost& host, std::shared_ptr<WebModel> web) : WebObject(host, std::move(web)) {}

    std::wstring url() const;
    WebFolder rootFolder() const;
    // Every file of the web, whatever its folder, flat.
    WebFiles allFiles() const;
    // Raise SimError (kErrorNotFound) when the web has no such file or folder.
    WebFile locateFile(const std::wstring& url) const;
    WebFolder locateFolder(const std::wstring& url) const;
};

// Objects of one page window refuse every call once it is closed.
class WindowObject : protected HostObject {
public:
    WindowObject(SimHost& host, std::weak_ptr<PageWindowState> window) : HostObject(host), _window(std::move(window)) {}
    // The window's file URL for the record, or "closed".
    std::wstring target() const;
    std::shared_ptr<PageWindowState> live() const;
    std::weak_ptr<PageWindowState> _window;
};

// The BODY element of a page's document; flags 1 match names with their exact case.
class BodyElement : WindowObject {
public:
    using WindowObject::WindowObject;
    void setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags) const;
    // True when an attribute was removed; an absent one is no failure.
    bool removeAttribute(const std::wstring& name, std::int32_t flags) const;
    // None when the element has no such attribute.
    std::optional<std::wstring> getAttribute(const std::wstring& name, std::int32_t flags) const;
};

class Document : WindowObject {
public:
    using WindowObject::WindowObject;
    BodyElement body() const;
};

class PageWindow : WindowObject {
public:
    using WindowObject::WindowObject;
    WebFile file() const;
    std::int32_t viewMode() const;
    void setViewMode(std::int32_t mode) const;
    void activate() const;
    // The frames page itself for a frames page, as for any other page.
    Document document() const;
    // The document holding the insertion point: for a frames page, its first frame's page.
    Document activeDocument() const;
    // Writes the window's page to its file, over another program's change when told.
    void save(bool overChanges) const;
    // Closes the window, saving its page first when told; unsaved edits are dropped.
    void close(bool saveFirst) const;
    // Whether the page has edits its file does not have.
    bool isDirty() const;
    Web web() const;
};

class PageWindows : HostObject {
public:
    explicit PageWindows(SimHost& host) : HostObject(host) {}
    std::int32_t count() const;
    PageWindow item(std::int32_t index) const;
};

class WebWindow : HostObject {
public:
    explicit WebWindow(SimHost& host) : HostObject(host) {}
    PageWindows pageWindows() const;
};

// ---- Office command bars ----

// One subscriber's hold on a button's Click event, ended when it goes.
class ClickSubscription {
public:
    ClickSubscription(std::shared_ptr<ControlNode> control, int cookie)
        : _control(std::move(control)), _cookie(cookie) {}
    ClickSubscription(const ClickSubscription&) = delete;
    ClickSubscription& operator=(const ClickSubscription&) = delete;
    ~ClickSubscription() { _control->unsubscribe(_cookie); }

private:
    std::shared_ptr<ControlNode> _control;
    int _cookie;
};

class CommandBarControls;

class CommandBarControl : HostObject {
public:
    CommandBarControl(SimHost& host, std::shared_ptr<ControlNode> control)
        : HostObject(host), _control(std::move(control)) {}

    std::wstring caption() const { return act(L"Control.caption").caption(); }
    void setCaption(const std::wstring& caption) const;
    std::wstring tag() const { return act(L"Control.tag").tag(); }
    void setTag(const std::wstring& tag) const { act(L"Control.setTag", tag).setTag(tag); }
    std::int32_t id() const { return act(L"Control.id").id(); }
    ControlType type() const { return act(L"Control.type").type(); }
    std::wstring parameter() const { return act(L"Control.parameter").parameter(); }
    // Office's Delete: removes the control and all it holds.
    void remove() const;
    void execute() const { act(L"Control.execute").execute(); }
    // The control taken as a popup; SimError (kErrorNoInterface) when it is not one.
    CommandBarControls controls() const;
    // The control taken as a button, subscribed to its Click event until the result
    // goes; SimError (kErrorNoInterface) when it is not a button. The handler is
    // handed the control clicked, which may be another with the same Id and Tag.
    std::unique_ptr<ClickSubscription> subscribeClick(
        std::function<void(const CommandBarControl& clicked, bool& cancelDefault)> handler) const;

    // Whether the control is a button, told without a call of the object model (for
    // a COM caller looking for the Click connection point).
    bool isButton() const noexcept { return _control->type() == ControlType::Button; }

private:
    ControlNode& act(const wchar_t* operation, const std::wstring& arguments = {}) const;
    std::shared_ptr<ControlNode> _control;
};

class CommandBarControls : HostObject {
public:
    // `owner` is the popup holding the list, or null for a bar's own controls;
    // `name` is the bar's name or the popup's caption.
    CommandBarControls(SimHost& host, std::shared_ptr<ControlList> list, std::shared_ptr<ControlNode> owner,
                       std::wstring name)
        : HostObject(host), _list(std::move(list)), _owner(std::move(owner)), _name(std::move(name)) {}

    std::int32_t count() const;
    // Counted from 0 here; Office's own numbering from 1 is its COM face's affair.
    CommandBarControl item(std::int32_t index) const;
    // Found by caption ignoring case and the "&" of the access key; SimError when
    // there is none, as Office's Item refuses an unknown caption.
    CommandBarControl itemByCaption(const std::wstring& caption) const;
    // The same look-up, none when there is no such control.
    std::optional<CommandBarControl> findByCaption(const std::wstring& caption) const;
    // A new blank custom control (Id 1), at the end or in front of the control
    // numbered `before` (from 1). A type other than button or popup, or a `before`
    // out of range, is refused before anything is recorded.
    CommandBarControl add(ControlType type, const std::wstring& parameter, bool temporary,
                          std::optional<std::int32_t> before = {}) const;

private:
    ControlList& live() const;
    std::shared_ptr<ControlList> _list;
    std::shared_ptr<ControlNode> _owner;
    std::wstring _name;
};

class CommandBar : HostObject {
public:
    CommandBar(SimHost& host, std::shared_ptr<CommandBarNode> bar) : HostObject(host), _bar(std::move(bar)) {}

    const std::wstring& name() const noexcept { return _bar->name; }
    CommandBarControls controls() const;
    // The first control matching every criterion given, in the bar and (recursive)
    // in its popups, breadth first; none when no control does.
    std::optional<CommandBarControl> findControl(std::optional<std::int32_t> type, std::optional<std::int32_t> id,
                                                 const std::optional<std::wstring>& tag, bool recursive) const;

private:
    std::shared_ptr<CommandBarNode> _bar;
};

class CommandBars : HostObject {
public:
    explicit CommandBars(SimHost& host) : HostObject(host) {}
    // Found by name ignoring case; SimError when the host has no such bar.
    CommandBar item(const std::wstring& name) const;
    // The menu bar shown in the host's window.
    CommandBar activeMenuBar() const;
};

// ---- The application ----

class Application : HostObject {
public:
    explicit Application(SimHost& host) : HostObject(host) {}

    std::optional<Web> activeWeb() const;
    WebWindow activeWebWindow() const;
    std::optional<PageWindow> activePageWindow() const;
    // The active page window's document with the insertion point (PageWindow::activeDocument);
    // SimError when no page is open.
    Document activeDocument() const;
    // `url` relative to `base`, or `url` itself when it does not lie below it.
    std::wstring makeRel(const WebFolder& base, const std::wstring& url) const;
    std::wstring makeRel(const std::wstring& base, const std::wstring& url) const;
    // `url` made absolute against the folder `base`; itself when already absolute.
    std::wstring makeAbs(const std::wstring& base, const std::wstring& url) const;
    CommandBars commandBars() const;
    // LanguageSettings.LanguageID(msoLanguageIDUI): the LCID of the menus' language.
    std::int32_t languageId() const;
};

}  // namespace tavisk::simhost
