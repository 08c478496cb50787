#include "simhost/HostFacade.h"

#include "host/HostError.h"
#include "simhost/SimHost.h"

namespace tavisk::simhost {
namespace {

using host::HostError;

std::wstring Flags(std::int32_t flags) { return std::to_wstring(flags); }

// What every object of the facade shares: the host, to record calls and reach state.
class Facade {
protected:
    explicit Facade(SimHost& host) : _host(host) {}
    void record(const wchar_t* operation, const std::wstring& target = {}, const std::wstring& arguments = {}) const {
        _host.recorder().call(operation, target, arguments);
    }
    SimHost& _host;
};

// A file or folder belongs to the web it came from; once that web is closed it
// refuses every call, as a real host's stale object does.
class WebObject : protected Facade {
protected:
    WebObject(SimHost& host, std::shared_ptr<WebModel> web) : Facade(host), _web(std::move(web)) {}
    void checkOpen() const {
        if (_host.web() != _web) throw HostError(host::kErrorFail, L"The web has been closed.");
    }
    std::shared_ptr<WebModel> _web;
};

template <class Interface, class Node, class Make>
class NodeCollection final : public host::Collection<Interface>, WebObject {
public:
    NodeCollection(SimHost& host, std::shared_ptr<WebModel> web, const wchar_t* name,
                   const std::vector<std::shared_ptr<Node>>& items, std::shared_ptr<void> keepAlive, Make make)
        : WebObject(host, std::move(web)), _name(name), _items(items), _keepAlive(std::move(keepAlive)), _make(make) {}

    std::int32_t count() override {
        record(_countOp.c_str());
        checkOpen();
        return static_cast<std::int32_t>(_items.size());
    }
    std::shared_ptr<Interface> item(std::int32_t index) override {
        record(_itemOp.c_str(), {}, std::to_wstring(index));
        checkOpen();
        if (index < 0 || static_cast<size_t>(index) >= _items.size())
            throw HostError(host::kErrorInvalidArg, L"The collection has no item " + std::to_wstring(index) + L".");
        return _make(_host, _web, _items[index]);
    }

private:
    std::wstring _name;
    std::wstring _countOp = _name + L".count";
    std::wstring _itemOp = _name + L".item";
    const std::vector<std::shared_ptr<Node>>& _items;
    std::shared_ptr<void> _keepAlive;  // owns _items
    Make _make;
};

class FileFacade final : public host::WebFile, WebObject {
public:
    FileFacade(SimHost& host, std::shared_ptr<WebModel> web, std::shared_ptr<FileNode> file)
        : WebObject(host, std::move(web)), _file(std::move(file)) {}

    std::wstring url() override { return read(L"WebFile.url", _file->url()); }
    std::wstring title() override { return read(L"WebFile.title", _file->title()); }
    std::wstring extension() override { return read(L"WebFile.extension", _file->extension()); }
    void open() override {
        record(L"WebFile.open", _file->url());
        checkOpen();
        _host.openPage(_file);
    }
    const std::shared_ptr<FileNode>& node() const noexcept { return _file; }

private:
    std::wstring read(const wchar_t* operation, const std::wstring& value) {
        record(operation, _file->url());
        checkOpen();
        return value;
    }
    std::shared_ptr<FileNode> _file;
};

std::shared_ptr<host::WebFile> MakeFile(SimHost& host, std::shared_ptr<WebModel> web, std::shared_ptr<FileNode> file) {
    return std::make_shared<FileFacade>(host, std::move(web), std::move(file));
}

class FolderFacade final : public host::WebFolder, WebObject {
public:
    FolderFacade(SimHost& host, std::shared_ptr<WebModel> web, std::shared_ptr<FolderNode> folder)
        : WebObject(host, std::move(web)), _folder(std::move(folder)) {}

    std::wstring url() override {
        record(L"WebFolder.url", _folder->url());
        checkOpen();
        return _folder->url();
    }
    std::shared_ptr<host::WebFiles> files() override {
        record(L"WebFolder.files", _folder->url());
        checkOpen();
        return MakeFiles(_host, _web, _folder->files(), _folder);
    }
    std::shared_ptr<host::WebFolders> subFolders() override;
    bool excluded() override {
        record(L"WebFolder.excluded", _folder->url());
        checkOpen();
        return _folder->excluded();
    }
    const std::wstring& nodeUrl() const { return _folder->url(); }
    const std::shared_ptr<FolderNode>& node() const noexcept { return _folder; }

    static std::shared_ptr<host::WebFiles> MakeFiles(SimHost& host, const std::shared_ptr<WebModel>& web,
                                                     const std::vector<std::shared_ptr<FileNode>>& files,
                                                     std::shared_ptr<void> owner) {
        return std::make_shared<NodeCollection<host::WebFile, FileNode, decltype(&MakeFile)>>(
            host, web, L"WebFiles", files, std::move(owner), &MakeFile);
    }

private:
    std::shared_ptr<FolderNode> _folder;
};

std::shared_ptr<host::WebFolder> MakeFolder(SimHost& host, std::shared_ptr<WebModel> web,
                                            std::shared_ptr<FolderNode> folder) {
    return std::make_shared<FolderFacade>(host, std::move(web), std::move(folder));
}

std::shared_ptr<host::WebFolders> FolderFacade::subFolders() {
    record(L"WebFolder.subFolders", _folder->url());
    checkOpen();
    return std::make_shared<NodeCollection<host::WebFolder, FolderNode, decltype(&MakeFolder)>>(
        _host, _web, L"WebFolders", _folder->subFolders(), _folder, &MakeFolder);
}

class WebFacade final : public host::Web, WebObject {
public:
    WebFacade(SimHost& host, std::shared_ptr<WebModel> web) : WebObject(host, std::move(web)) {}

    std::wstring url() override {
        record(L"Web.url");
        checkOpen();
        return _web->url();
    }
    std::shared_ptr<host::WebFolder> rootFolder() override {
        record(L"Web.rootFolder");
        checkOpen();
        return MakeFolder(_host, _web, _web->rootPtr());
    }
    std::shared_ptr<host::WebFiles> allFiles() override {
        record(L"Web.allFiles");
        checkOpen();
        return FolderFacade::MakeFiles(_host, _web, _web->allFiles(), _web);
    }
    std::shared_ptr<host::WebFile> locateFile(const std::wstring& url) override {
        record(L"Web.locateFile", {}, url);
        checkOpen();
        auto file = _web->findFile(url);
        if (!file) throw HostError(host::kErrorNotFound, L"The web has no file " + url + L".");
        return MakeFile(_host, _web, std::move(file));
    }
    std::shared_ptr<host::WebFolder> locateFolder(const std::wstring& url) override {
        record(L"Web.locateFolder", {}, url);
        checkOpen();
        auto folder = _web->findFolder(url);
        if (!folder) throw HostError(host::kErrorNotFound, L"The web has no folder " + url + L".");
        return MakeFolder(_host, _web, std::move(folder));
    }
};

// A page window refuses every call once it has been closed.
class WindowObject : protected Facade {
public:
    WindowObject(SimHost& host, std::weak_ptr<PageWindowState> window) : Facade(host), _window(std::move(window)) {}

protected:
    std::wstring target() const {
        const auto window = _window.lock();
        return window ? window->file->url() : L"closed";
    }
    std::shared_ptr<PageWindowState> window() const {
        auto window = _window.lock();
        if (!window) throw HostError(host::kErrorFail, L"The page window has been closed.");
        return window;
    }

protected:
    std::weak_ptr<PageWindowState> _window;
};

class PageWindowFacade final : public host::PageWindow, WindowObject {
public:
    using WindowObject::WindowObject;

    std::shared_ptr<host::WebFile> file() override {
        record(L"PageWindow.file", target());
        return MakeFile(_host, _host.web(), window()->file);
    }
    std::int32_t viewMode() override {
        record(L"PageWindow.viewMode", target());
        return window()->viewMode;
    }
    void setViewMode(std::int32_t mode) override {
        record(L"PageWindow.setViewMode", target(), std::to_wstring(mode));
        window()->viewMode = mode;
        _host.notifyChanged();
    }
    void activate() override {
        record(L"PageWindow.activate", target());
        _host.activate(*window());
    }
    std::shared_ptr<PageWindowState> state() const { return _window.lock(); }
};

class PageWindowsFacade final : public host::PageWindows, Facade {
public:
    explicit PageWindowsFacade(SimHost& host) : Facade(host) {}
    std::int32_t count() override {
        record(L"PageWindows.count");
        return static_cast<std::int32_t>(_host.pageWindows().size());
    }
    std::shared_ptr<host::PageWindow> item(std::int32_t index) override {
        record(L"PageWindows.item", {}, std::to_wstring(index));
        const auto& windows = _host.pageWindows();
        if (index < 0 || static_cast<size_t>(index) >= windows.size())
            throw HostError(host::kErrorInvalidArg, L"There is no page window " + std::to_wstring(index) + L".");
        return std::make_shared<PageWindowFacade>(_host, windows[index]);
    }
};

class WebWindowFacade final : public host::WebWindow, Facade {
public:
    explicit WebWindowFacade(SimHost& host) : Facade(host) {}
    std::shared_ptr<host::PageWindows> pageWindows() override {
        record(L"WebWindow.pageWindows");
        return std::make_shared<PageWindowsFacade>(_host);
    }
};

class BodyFacade final : public host::BodyElement, WindowObject {
public:
    using WindowObject::WindowObject;
    void setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags) override {
        record(L"Body.setAttribute", target(), name + L"=" + value + L"," + Flags(flags));
        window()->document->setAttribute(name, value, flags);
        _host.notifyChanged();
    }
    bool removeAttribute(const std::wstring& name, std::int32_t flags) override {
        record(L"Body.removeAttribute", target(), name + L"," + Flags(flags));
        const bool removed = window()->document->removeAttribute(name, flags);
        _host.notifyChanged();
        return removed;
    }
};

class DocumentFacade final : public host::HtmlDocument, WindowObject {
public:
    using WindowObject::WindowObject;
    std::shared_ptr<host::BodyElement> body() override {
        record(L"Document.body", target());
        return std::make_shared<BodyFacade>(_host, window());
    }
};

// ---- Command bars ----

class ControlsFacade;

class ControlFacade final : public host::CommandBarControl, Facade {
public:
    ControlFacade(SimHost& host, std::shared_ptr<ControlNode> control) : Facade(host), _control(std::move(control)) {}

    void setCaption(const std::wstring& caption) override {
        act(L"Control.setCaption", caption).setCaption(caption);
        _host.notifyChanged();
    }
    std::wstring tag() override { return act(L"Control.tag").tag(); }
    void setTag(const std::wstring& tag) override { act(L"Control.setTag", tag).setTag(tag); }
    void deleteControl() override {
        act(L"Control.delete").remove();
        _host.notifyChanged();
    }
    void execute() override { act(L"Control.execute").execute(); }
    std::shared_ptr<host::CommandBarControls> controls() override;
    std::unique_ptr<host::EventBinding> bindClick(std::function<void()> handler) override;
    const std::shared_ptr<ControlNode>& node() const noexcept { return _control; }

private:
    ControlNode& act(const wchar_t* operation, const std::wstring& arguments = {}) {
        record(operation, _control->caption(), arguments);
        if (_control->deleted()) throw HostError(host::kErrorFail, L"The control has been deleted.");
        return *_control;
    }
    std::shared_ptr<ControlNode> _control;
};

class ClickBinding final : public host::EventBinding {
public:
    ClickBinding(std::shared_ptr<ControlNode> control, int cookie) : _control(std::move(control)), _cookie(cookie) {}
    ~ClickBinding() override { _control->unsubscribe(_cookie); }

private:
    std::shared_ptr<ControlNode> _control;
    int _cookie;
};

std::unique_ptr<host::EventBinding> ControlFacade::bindClick(std::function<void()> handler) {
    auto& control = act(L"Control.bindClick");
    if (control.type() != host::ControlType::Button)
        throw HostError(host::kErrorNoInterface, L"The control is not a button.");
    return std::make_unique<ClickBinding>(_control, control.subscribe(std::move(handler)));
}

class ControlsFacade final : public host::CommandBarControls, Facade {
public:
    // `owner` is the popup holding the list, or null for a bar's own controls.
    ControlsFacade(SimHost& host, std::shared_ptr<ControlList> list, std::shared_ptr<ControlNode> owner,
                   std::wstring name)
        : Facade(host), _list(std::move(list)), _owner(std::move(owner)), _name(std::move(name)) {}

    std::int32_t count() override {
        record(L"Controls.count", _name);
        return static_cast<std::int32_t>(live().items.size());
    }
    std::shared_ptr<host::CommandBarControl> item(std::int32_t index) override {
        record(L"Controls.item", _name, std::to_wstring(index));
        const auto& items = live().items;
        if (index < 0 || static_cast<size_t>(index) >= items.size())
            throw HostError(host::kErrorInvalidArg, L"There is no control " + std::to_wstring(index) + L".");
        return std::make_shared<ControlFacade>(_host, items[index]);
    }
    std::shared_ptr<host::CommandBarControl> itemByCaption(const std::wstring& caption) override {
        record(L"Controls.item", _name, caption);
        auto control = CommandBarsModel::FindByCaption(live(), caption);
        if (!control) throw HostError(host::kErrorInvalidArg, L"There is no control \"" + caption + L"\".");
        return std::make_shared<ControlFacade>(_host, std::move(control));
    }
    std::shared_ptr<host::CommandBarControl> add(host::ControlType type, const std::wstring& parameter,
                                                 bool temporary) override {
        record(L"Controls.add", _name,
               std::to_wstring(static_cast<int>(type)) + L"," + parameter + L"," + (temporary ? L"true" : L"false"));
        live();
        auto added = ControlNode::AppendCustom(_list, type, parameter, temporary);
        _host.notifyChanged();
        return std::make_shared<ControlFacade>(_host, std::move(added));
    }

private:
    ControlList& live() const {
        if (_owner && _owner->deleted()) throw HostError(host::kErrorFail, L"The control has been deleted.");
        return *_list;
    }
    std::shared_ptr<ControlList> _list;
    std::shared_ptr<ControlNode> _owner;
    std::wstring _name;
};

std::shared_ptr<host::CommandBarControls> ControlFacade::controls() {
    auto& control = act(L"Control.controls");
    if (control.type() != host::ControlType::Popup)
        throw HostError(host::kErrorNoInterface, L"The control is not a popup.");
    return std::make_shared<ControlsFacade>(_host, control.childList(), _control, control.caption());
}

class CommandBarFacade final : public host::CommandBar, Facade {
public:
    CommandBarFacade(SimHost& host, std::shared_ptr<CommandBarNode> bar) : Facade(host), _bar(std::move(bar)) {}
    std::shared_ptr<host::CommandBarControls> controls() override {
        record(L"CommandBar.controls", _bar->name);
        return std::make_shared<ControlsFacade>(_host, _bar->controls, nullptr, _bar->name);
    }
    std::shared_ptr<host::CommandBarControl> findControl(std::int32_t id, bool recursive) override {
        record(L"CommandBar.findControl", _bar->name, std::to_wstring(id) + (recursive ? L",true" : L",false"));
        auto control = _bar->find(id, recursive);
        return control ? std::make_shared<ControlFacade>(_host, std::move(control)) : nullptr;
    }

private:
    std::shared_ptr<CommandBarNode> _bar;
};

class CommandBarsFacade final : public host::CommandBars, Facade {
public:
    explicit CommandBarsFacade(SimHost& host) : Facade(host) {}
    std::shared_ptr<host::CommandBar> item(const std::wstring& name) override {
        record(L"CommandBars.item", {}, name);
        auto bar = _host.commandBars().find(name);
        if (!bar) throw HostError(host::kErrorInvalidArg, L"There is no command bar \"" + name + L"\".");
        return std::make_shared<CommandBarFacade>(_host, std::move(bar));
    }
};

class ApplicationFacade final : public host::HostApplication, Facade {
public:
    explicit ApplicationFacade(SimHost& host) : Facade(host) {}

    std::shared_ptr<host::Web> activeWeb() override {
        record(L"Application.activeWeb");
        return _host.web() ? std::make_shared<WebFacade>(_host, _host.web()) : nullptr;
    }
    std::shared_ptr<host::WebWindow> activeWebWindow() override {
        record(L"Application.activeWebWindow");
        return std::make_shared<WebWindowFacade>(_host);
    }
    std::shared_ptr<host::PageWindow> activePageWindow() override {
        record(L"Application.activePageWindow");
        auto window = _host.activePageWindow();
        return window ? std::make_shared<PageWindowFacade>(_host, window) : nullptr;
    }
    std::shared_ptr<host::HtmlDocument> activeDocument() override {
        record(L"Application.activeDocument");
        auto window = _host.activePageWindow();
        if (!window) throw HostError(host::kErrorFail, L"No page is open.");
        return std::make_shared<DocumentFacade>(_host, window);
    }
    std::wstring relativeUrl(host::WebFolder& base, const std::wstring& url) override {
        const auto* folder = dynamic_cast<FolderFacade*>(&base);
        if (!folder) throw HostError(host::kErrorInvalidArg, L"The base is not a folder of this host.");
        record(L"Application.relativeUrl", {}, folder->nodeUrl() + L"," + url);
        return WebModel::RelativeUrl(folder->nodeUrl(), url);
    }
    std::wstring relativeUrl(const std::wstring& base, const std::wstring& url) override {
        record(L"Application.relativeUrl", {}, base + L"," + url);
        return WebModel::RelativeUrl(base, url);
    }
    std::shared_ptr<host::CommandBars> commandBars() override {
        record(L"Application.commandBars");
        return std::make_shared<CommandBarsFacade>(_host);
    }
};

}  // namespace

std::shared_ptr<host::HostApplication> MakeHostApplication(SimHost& host) {
    return std::make_shared<ApplicationFacade>(host);
}

std::shared_ptr<FileNode> FileNodeOf(host::WebFile& file) {
    const auto* facade = dynamic_cast<FileFacade*>(&file);
    return facade ? facade->node() : nullptr;
}

std::shared_ptr<FolderNode> FolderNodeOf(host::WebFolder& folder) {
    const auto* facade = dynamic_cast<FolderFacade*>(&folder);
    return facade ? facade->node() : nullptr;
}

std::shared_ptr<ControlNode> ControlNodeOf(host::CommandBarControl& control) {
    const auto* facade = dynamic_cast<ControlFacade*>(&control);
    return facade ? facade->node() : nullptr;
}

std::shared_ptr<PageWindowState> PageWindowOf(host::PageWindow& window) {
    const auto* facade = dynamic_cast<PageWindowFacade*>(&window);
    return facade ? facade->state() : nullptr;
}

std::shared_ptr<host::HtmlDocument> MakeHostDocument(SimHost& host, std::weak_ptr<PageWindowState> window) {
    return std::make_shared<DocumentFacade>(host, std::move(window));
}

std::shared_ptr<host::CommandBarControl> MakeHostControl(SimHost& host, std::shared_ptr<ControlNode> control) {
    return std::make_shared<ControlFacade>(host, std::move(control));
}

}  // namespace tavisk::simhost
