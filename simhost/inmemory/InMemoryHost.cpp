#include "simhost/inmemory/InMemoryHost.h"

#include "host/HostError.h"
#include "simhost/ObjectModel.h"
#include "simhost/SimError.h"
#include "simhost/SimHost.h"

namespace tavisk::simhost {
namespace {

template <class Interface, class Item, class Object, class Node>
class CollectionFacade final : public host::Collection<Interface> {
public:
    explicit CollectionFacade(WebCollection<Object, Node> items) : _items(std::move(items)) {}
    std::int32_t count() override { return _items.count(); }
    std::shared_ptr<Interface> item(std::int32_t index) override { return std::make_shared<Item>(_items.item(index)); }

private:
    WebCollection<Object, Node> _items;
};

class FileFacade final : public host::WebFile {
public:
    explicit FileFacade(simhost::WebFile file) : _file(std::move(file)) {}
    std::wstring url() override { return _file.url(); }
    std::wstring title() override { return _file.title(); }
    std::wstring extension() override { return _file.extension(); }
    void open() override { _file.open(); }

private:
    simhost::WebFile _file;
};

using FilesFacade = CollectionFacade<host::WebFile, FileFacade, WebFile, FileNode>;

class FolderFacade final : public host::WebFolder {
public:
    explicit FolderFacade(simhost::WebFolder folder) : _folder(std::move(folder)) {}
    std::wstring url() override { return _folder.url(); }
    std::shared_ptr<host::WebFiles> files() override { return std::make_shared<FilesFacade>(_folder.files()); }
    std::shared_ptr<host::WebFolders> subFolders() override;
    // As the add-in's host layer over the editor: the editor's rule by name, the
    // editor's folder object having no hidden flag.
    bool excluded() override { return WebModel::IsHiddenName(_folder.name()); }
    const simhost::WebFolder& folder() const noexcept { return _folder; }

private:
    simhost::WebFolder _folder;
};

using FoldersFacade = CollectionFacade<host::WebFolder, FolderFacade, simhost::WebFolder, FolderNode>;

std::shared_ptr<host::WebFolders> FolderFacade::subFolders() {
    return std::make_shared<FoldersFacade>(_folder.folders());
}

class WebFacade final : public host::Web {
public:
    explicit WebFacade(simhost::Web web) : _web(std::move(web)) {}
    std::wstring url() override { return _web.url(); }
    std::shared_ptr<host::WebFolder> rootFolder() override { return std::make_shared<FolderFacade>(_web.rootFolder()); }
    std::shared_ptr<host::WebFiles> allFiles() override { return std::make_shared<FilesFacade>(_web.allFiles()); }
    std::shared_ptr<host::WebFile> locateFile(const std::wstring& url) override {
        return std::make_shared<FileFacade>(_web.locateFile(url));
    }
    std::shared_ptr<host::WebFolder> locateFolder(const std::wstring& url) override {
        return std::make_shared<FolderFacade>(_web.locateFolder(url));
    }

private:
    simhost::Web _web;
};

class BodyFacade final : public host::BodyElement {
public:
    explicit BodyFacade(simhost::BodyElement body) : _body(std::move(body)) {}
    void setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags) override {
        _body.setAttribute(name, value, flags);
    }
    bool removeAttribute(const std::wstring& name, std::int32_t flags) override {
        return _body.removeAttribute(name, flags);
    }

private:
    simhost::BodyElement _body;
};

class DocumentFacade final : public host::HtmlDocument {
public:
    explicit DocumentFacade(simhost::Document document) : _document(std::move(document)) {}
    std::shared_ptr<host::BodyElement> body() override { return std::make_shared<BodyFacade>(_document.body()); }

private:
    simhost::Document _document;
};

class PageWindowFacade final : public host::PageWindow {
public:
    explicit PageWindowFacade(simhost::PageWindow window) : _window(std::move(window)) {}
    std::shared_ptr<host::WebFile> file() override { return std::make_shared<FileFacade>(_window.file()); }
    std::int32_t viewMode() override { return _window.viewMode(); }
    void setViewMode(std::int32_t mode) override { _window.setViewMode(mode); }
    std::shared_ptr<host::HtmlDocument> document() override {
        return std::make_shared<DocumentFacade>(_window.document());
    }
    void activate() override { _window.activate(); }
    void close() override { _window.close(false); }

private:
    simhost::PageWindow _window;
};

class PageWindowsFacade final : public host::PageWindows {
public:
    explicit PageWindowsFacade(simhost::PageWindows windows) : _windows(std::move(windows)) {}
    std::int32_t count() override { return _windows.count(); }
    std::shared_ptr<host::PageWindow> item(std::int32_t index) override {
        return std::make_shared<PageWindowFacade>(_windows.item(index));
    }

private:
    simhost::PageWindows _windows;
};

class WebWindowFacade final : public host::WebWindow {
public:
    explicit WebWindowFacade(simhost::WebWindow window) : _window(std::move(window)) {}
    std::shared_ptr<host::PageWindows> pageWindows() override {
        return std::make_shared<PageWindowsFacade>(_window.pageWindows());
    }

private:
    simhost::WebWindow _window;
};

// ---- Command bars ----

class ClickBinding final : public host::EventBinding {
public:
    explicit ClickBinding(std::unique_ptr<ClickSubscription> subscription) : _subscription(std::move(subscription)) {}

private:
    std::unique_ptr<ClickSubscription> _subscription;
};

class ControlFacade final : public host::CommandBarControl {
public:
    explicit ControlFacade(simhost::CommandBarControl control) : _control(std::move(control)) {}
    void setCaption(const std::wstring& caption) override { _control.setCaption(caption); }
    std::wstring tag() override { return _control.tag(); }
    void setTag(const std::wstring& tag) override { _control.setTag(tag); }
    void deleteControl() override { _control.remove(); }
    void execute() override { _control.execute(); }
    std::shared_ptr<host::CommandBarControls> controls() override;
    std::unique_ptr<host::EventBinding> bindClick(
        std::function<void(host::CommandBarControl* clicked)> handler) override {
        return std::make_unique<ClickBinding>(
            _control.subscribeClick([handler = std::move(handler)](const simhost::CommandBarControl& clicked, bool&) {
                ControlFacade control(clicked);
                handler(&control);
            }));
    }

private:
    simhost::CommandBarControl _control;
};

class ControlsFacade final : public host::CommandBarControls {
public:
    explicit ControlsFacade(simhost::CommandBarControls controls) : _controls(std::move(controls)) {}
    std::int32_t count() override { return _controls.count(); }
    std::shared_ptr<host::CommandBarControl> item(std::int32_t index) override {
        return std::make_shared<ControlFacade>(_controls.item(index));
    }
    std::shared_ptr<host::CommandBarControl> findByCaption(const std::wstring& caption) override {
        auto found = _controls.findByCaption(caption);
        return found ? std::make_shared<ControlFacade>(std::move(*found)) : nullptr;
    }
    std::shared_ptr<host::CommandBarControl> add(host::ControlType type, const std::wstring& parameter,
                                                 bool temporary) override {
        return std::make_shared<ControlFacade>(
            _controls.add(static_cast<simhost::ControlType>(type), parameter, temporary));
    }

private:
    simhost::CommandBarControls _controls;
};

std::shared_ptr<host::CommandBarControls> ControlFacade::controls() {
    return std::make_shared<ControlsFacade>(_control.controls());
}

class CommandBarFacade final : public host::CommandBar {
public:
    explicit CommandBarFacade(simhost::CommandBar bar) : _bar(std::move(bar)) {}
    std::shared_ptr<host::CommandBarControls> controls() override {
        return std::make_shared<ControlsFacade>(_bar.controls());
    }
    std::shared_ptr<host::CommandBarControl> findControl(std::optional<host::ControlType> type, std::int32_t id,
                                                         bool recursive) override {
        std::optional<std::int32_t> typeCode;
        if (type) typeCode = static_cast<std::int32_t>(*type);
        auto found = _bar.findControl(typeCode, id, std::nullopt, recursive);
        return found ? std::make_shared<ControlFacade>(std::move(*found)) : nullptr;
    }

private:
    simhost::CommandBar _bar;
};

class CommandBarsFacade final : public host::CommandBars {
public:
    explicit CommandBarsFacade(simhost::CommandBars bars) : _bars(std::move(bars)) {}
    std::shared_ptr<host::CommandBar> item(const std::wstring& name) override {
        return std::make_shared<CommandBarFacade>(_bars.item(name));
    }

private:
    simhost::CommandBars _bars;
};

class ApplicationFacade final : public host::HostApplication {
public:
    explicit ApplicationFacade(SimHost& host) : _application(host) {}

    std::shared_ptr<host::Web> activeWeb() override {
        auto web = _application.activeWeb();
        return web ? std::make_shared<WebFacade>(std::move(*web)) : nullptr;
    }
    std::shared_ptr<host::WebWindow> activeWebWindow() override {
        return std::make_shared<WebWindowFacade>(_application.activeWebWindow());
    }
    std::shared_ptr<host::PageWindow> activePageWindow() override {
        auto window = _application.activePageWindow();
        return window ? std::make_shared<PageWindowFacade>(std::move(*window)) : nullptr;
    }
    std::shared_ptr<host::HtmlDocument> activeDocument() override {
        return std::make_shared<DocumentFacade>(_application.activeDocument());
    }
    std::wstring relativeUrl(host::WebFolder& base, const std::wstring& url) override {
        // A folder of this facade is the only base it can take: another host's folder
        // has no place in this web.
        const auto* folder = dynamic_cast<FolderFacade*>(&base);
        if (!folder) throw host::HostError(host::kErrorInvalidArg, L"The base is not a folder of this host.");
        return _application.makeRel(folder->folder(), url);
    }
    std::wstring relativeUrl(const std::wstring& base, const std::wstring& url) override {
        return _application.makeRel(base, url);
    }
    std::shared_ptr<host::CommandBars> commandBars() override {
        return std::make_shared<CommandBarsFacade>(_application.commandBars());
    }
    std::uint32_t userInterfaceLanguage() override {
        // A refusal leaves it to the system, which speaks English here (US, 1033).
        try {
            return static_cast<std::uint32_t>(_application.languageId());
        } catch (const SimError&) {
            return 1033;
        }
    }

private:
    simhost::Application _application;
};

}  // namespace

std::shared_ptr<host::HostApplication> InMemoryHost(SimHost& host) { return std::make_shared<ApplicationFacade>(host); }

}  // namespace tavisk::simhost
