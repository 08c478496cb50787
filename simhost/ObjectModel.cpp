#include "simhost/ObjectModel.h"

#include <algorithm>

#include "simhost/SimError.h"
#include "simhost/SimHost.h"
#include "simhost/WebUrl.h"

namespace tavisk::simhost {

void HostObject::record(const wchar_t* operation, const std::wstring& target, const std::wstring& arguments) const {
    _host->recorder().call(operation, target, arguments);
}

void WebObject::checkOpen() const {
    if (_host->web() != _web) throw SimError(kErrorFail, L"The web has been closed.");
}

// ---- Webs, folders and files ----

const FileNode& WebFile::read(const wchar_t* operation) const {
    record(operation, _file->url());
    checkOpen();
    return *_file;
}

void WebFile::open() const {
    read(L"WebFile.open");
    _host->openPage(_file);
}

PageWindow WebFile::edit(std::optional<std::int32_t> viewMode) const {
    read(L"WebFile.edit");
    _host->openPage(_file);
    auto window = _host->activePageWindow();
    if (viewMode) {
        window->viewMode = *viewMode;
        _host->notifyChanged();
    }
    return PageWindow(*_host, window);
}

bool WebFile::isOpen() const {
    read(L"WebFile.isOpen");
    return _host->findPageWindow(_file->url()) != nullptr;
}

Web WebFile::web() const {
    read(L"WebFile.web");
    return Web(*_host, _web);
}

WebFolder WebFile::parent() const {
    const auto& file = read(L"WebFile.parent");
    return WebFolder(*_host, _web, _web->parentFolder(file.url()));
}

template <class Item, class Node>
std::int32_t WebCollection<Item, Node>::count() const {
    record((_role + L".count").c_str());
    checkOpen();
    return static_cast<std::int32_t>(_items->size());
}

template <class Item, class Node>
Item WebCollection<Item, Node>::item(std::int32_t index) const {
    record((_role + L".item").c_str(), {}, std::to_wstring(index));
    checkOpen();
    if (index < 0 || static_cast<size_t>(index) >= _items->size())
        throw SimError(kErrorInvalidArg, L"The collection has no item " + std::to_wstring(index) + L".");
    return Item(*_host, _web, (*_items)[static_cast<size_t>(index)]);
}

template class WebCollection<WebFile, FileNode>;
template class WebCollection<WebFolder, FolderNode>;

const FolderNode& WebFolder::read(const wchar_t* operation) const {
    record(operation, _folder->url());
    checkOpen();
    return *_folder;
}

std::wstring WebFolder::name() const {
    const auto& folder = read(L"WebFolder.name");
    if (!folder.name().empty()) return folder.name();
    std::wstring url = folder.url();
    while (!url.empty() && url.back() == L'/') url.pop_back();
    const auto slash = url.rfind(L'/');
    return slash == std::wstring::npos ? url : url.substr(slash + 1);
}

bool WebFolder::isRoot() const { return &read(L"WebFolder.isRoot") == _web->rootPtr().get(); }

Web WebFolder::web() const {
    read(L"WebFolder.web");
    return Web(*_host, _web);
}

std::optional<WebFolder> WebFolder::parent() const {
    auto folder = _web->parentFolder(read(L"WebFolder.parent").url());
    if (!folder) return std::nullopt;
    return WebFolder(*_host, _web, std::move(folder));
}

WebFiles WebFolder::files() const {
    const auto& folder = read(L"WebFolder.files");
    return WebFiles(*_host, _web, L"WebFiles", folder.files(), _folder);
}

WebFolders WebFolder::folders() const {
    const auto& folder = read(L"WebFolder.subFolders");
    return WebFolders(*_host, _web, L"WebFolders", folder.subFolders(), _folder);
}

std::wstring Web::url() const {
    record(L"Web.url");
    checkOpen();
    return _web->url();
}

WebFolder Web::rootFolder() const {
    record(L"Web.rootFolder");
    checkOpen();
    return WebFolder(*_host, _web, _web->rootPtr());
}

WebFiles Web::allFiles() const {
    record(L"Web.allFiles");
    checkOpen();
    return WebFiles(*_host, _web, L"WebFiles", _web->allFiles(), _web);
}

WebFile Web::locateFile(const std::wstring& url) const {
    record(L"Web.locateFile", {}, url);
    checkOpen();
    auto file = _web->findFile(url);
    if (!file) throw SimError(kErrorNotFound, L"The web has no file " + url + L".");
    return WebFile(*_host, _web, std::move(file));
}

WebFolder Web::locateFolder(const std::wstring& url) const {
    record(L"Web.locateFolder", {}, url);
    checkOpen();
    auto folder = _web->findFolder(url);
    if (!folder) throw SimError(kErrorNotFound, L"The web has no folder " + url + L".");
    return WebFolder(*_host, _web, std::move(folder));
}

// ---- Page windows and their documents ----

std::wstring WindowObject::target() const {
    const auto window = _window.lock();
    return window ? window->file->url() : L"closed";
}

std::shared_ptr<PageWindowState> WindowObject::live() const {
    auto window = _window.lock();
    if (!window) throw SimError(kErrorFail, L"The page window has been closed.");
    return window;
}

void BodyElement::setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags) const {
    record(L"Body.setAttribute", target(), name + L"=" + value + L"," + std::to_wstring(flags));
    live()->document->setAttribute(name, value, flags);
    _host->notifyChanged();
}

bool BodyElement::removeAttribute(const std::wstring& name, std::int32_t flags) const {
    record(L"Body.removeAttribute", target(), name + L"," + std::to_wstring(flags));
    const bool removed = live()->document->removeAttribute(name, flags);
    _host->notifyChanged();
    return removed;
}

std::optional<std::wstring> BodyElement::getAttribute(const std::wstring& name, std::int32_t flags) const {
    record(L"Body.getAttribute", target(), name + L"," + std::to_wstring(flags));
    return live()->document->attribute(name, flags);
}

BodyElement Document::body() const {
    record(L"Document.body", target());
    return BodyElement(*_host, live());
}

WebFile PageWindow::file() const {
    record(L"PageWindow.file", target());
    return WebFile(*_host, _host->web(), live()->file);
}

std::int32_t PageWindow::viewMode() const {
    record(L"PageWindow.viewMode", target());
    return live()->viewMode;
}

void PageWindow::setViewMode(std::int32_t mode) const {
    record(L"PageWindow.setViewMode", target(), std::to_wstring(mode));
    live()->viewMode = mode;
    _host->notifyChanged();
}

void PageWindow::activate() const {
    record(L"PageWindow.activate", target());
    _host->activate(*live());
}

Document PageWindow::document() const {
    record(L"PageWindow.document", target());
    return Document(*_host, live());
}

Document PageWindow::activeDocument() const {
    record(L"PageWindow.activeDocument", target());
    return Document(*_host, PageWindowState::WithInsertionPoint(live()));
}

void PageWindow::save(bool overChanges) const {
    record(L"PageWindow.save", target(), overChanges ? L"true" : L"false");
    _host->savePage(*live(), overChanges);
}

void PageWindow::close(bool saveFirst) const {
    record(L"PageWindow.close", target(), saveFirst ? L"true" : L"false");
    const auto window = live();
    if (saveFirst) _host->savePage(*window);
    _host->closePage(*window);
}

bool PageWindow::isDirty() const {
    record(L"PageWindow.isDirty", target());
    return live()->dirty();
}

Web PageWindow::web() const {
    record(L"PageWindow.web", target());
    live();
    return Web(*_host, _host->web());
}

std::int32_t PageWindows::count() const {
    record(L"PageWindows.count");
    return static_cast<std::int32_t>(_host->pageWindows().size());
}

PageWindow PageWindows::item(std::int32_t index) const {
    record(L"PageWindows.item", {}, std::to_wstring(index));
    const auto& windows = _host->pageWindows();
    if (index < 0 || static_cast<size_t>(index) >= windows.size())
        throw SimError(kErrorInvalidArg, L"There is no page window " + std::to_wstring(index) + L".");
    return PageWindow(*_host, windows[static_cast<size_t>(index)]);
}

PageWindows WebWindow::pageWindows() const {
    record(L"WebWindow.pageWindows");
    return PageWindows(*_host);
}

// ---- Command bars ----

ControlNode& CommandBarControl::act(const wchar_t* operation, const std::wstring& arguments) const {
    record(operation, _control->caption(), arguments);
    if (_control->deleted()) throw SimError(kErrorFail, L"The control has been deleted.");
    return *_control;
}

void CommandBarControl::setCaption(const std::wstring& caption) const {
    act(L"Control.setCaption", caption).setCaption(caption);
    _host->notifyChanged();
}

void CommandBarControl::remove() const {
    act(L"Control.delete").remove();
    _host->notifyChanged();
}

CommandBarControls CommandBarControl::controls() const {
    auto& control = act(L"Control.controls");
    if (control.type() != ControlType::Popup) throw SimError(kErrorNoInterface, L"The control is not a popup.");
    return CommandBarControls(*_host, control.childList(), _control, control.caption());
}

std::unique_ptr<ClickSubscription> CommandBarControl::subscribeClick(
    std::function<void(const CommandBarControl& clicked, bool& cancelDefault)> handler) const {
    auto& control = act(L"Control.bindClick");
    if (control.type() != ControlType::Button) throw SimError(kErrorNoInterface, L"The control is not a button.");
    return std::make_unique<ClickSubscription>(
        _control, control.subscribe([host = _host, handler = std::move(handler)](ControlNode& clicked, bool& cancel) {
            handler(CommandBarControl(*host, clicked.shared_from_this()), cancel);
        }));
}

ControlList& CommandBarControls::live() const {
    if (_owner && _owner->deleted()) throw SimError(kErrorFail, L"The control has been deleted.");
    return *_list;
}

std::int32_t CommandBarControls::count() const {
    record(L"Controls.count", _name);
    return static_cast<std::int32_t>(live().items.size());
}

CommandBarControl CommandBarControls::item(std::int32_t index) const {
    record(L"Controls.item", _name, std::to_wstring(index));
    const auto& items = live().items;
    if (index < 0 || static_cast<size_t>(index) >= items.size())
        throw SimError(kErrorInvalidArg, L"There is no control " + std::to_wstring(index) + L".");
    return CommandBarControl(*_host, items[static_cast<size_t>(index)]);
}

CommandBarControl CommandBarControls::itemByCaption(const std::wstring& caption) const {
    auto control = findByCaption(caption);
    if (!control) throw SimError(kErrorInvalidArg, L"There is no control \"" + caption + L"\".");
    return std::move(*control);
}

std::optional<CommandBarControl> CommandBarControls::findByCaption(const std::wstring& caption) const {
    record(L"Controls.item", _name, caption);
    auto control = CommandBarsModel::FindByCaption(live(), caption);
    if (!control) return std::nullopt;
    return CommandBarControl(*_host, std::move(control));
}

CommandBarControl CommandBarControls::add(ControlType type, const std::wstring& parameter, bool temporary,
                                          std::optional<std::int32_t> before) const {
    if (type != ControlType::Button && type != ControlType::Popup)
        throw SimError(kErrorInvalidArg, L"This host adds buttons (1) and popups (10) only.");
    if (before && (*before < 1 || static_cast<size_t>(*before) > _list->items.size() + 1))
        throw SimError(kErrorInvalidArg, L"There is no control " + std::to_wstring(*before) + L".");
    record(L"Controls.add", _name,
           std::to_wstring(static_cast<int>(type)) + L"," + parameter + L"," + (temporary ? L"true" : L"false"));
    live();
    auto added = ControlNode::AppendCustom(_list, type, parameter, temporary);
    if (before) {
        // The new control is the list's last one; it moves in front of the control
        // that had that number.
        auto& items = _list->items;
        std::rotate(items.begin() + (*before - 1), items.end() - 1, items.end());
    }
    _host->notifyChanged();
    return CommandBarControl(*_host, std::move(added));
}

CommandBarControls CommandBar::controls() const {
    record(L"CommandBar.controls", _bar->name);
    return CommandBarControls(*_host, _bar->controls, nullptr, _bar->name);
}

std::optional<CommandBarControl> CommandBar::findControl(std::optional<std::int32_t> type,
                                                         std::optional<std::int32_t> id,
                                                         const std::optional<std::wstring>& tag, bool recursive) const {
    const std::wstring flag = recursive ? L",true" : L",false";
    // By Id alone, as the add-in asks, the entry shows only what was asked.
    record(L"CommandBar.findControl", _bar->name,
           !type && !tag && id ? std::to_wstring(*id) + flag
                               : (type ? std::to_wstring(*type) : L"") + L"," + (id ? std::to_wstring(*id) : L"") +
                                     L"," + tag.value_or(L"") + flag);
    std::vector<std::shared_ptr<ControlList>> pending{_bar->controls};
    // Breadth first: a control of the bar itself wins over one in a popup.
    for (size_t i = 0; i < pending.size(); ++i) {
        for (const auto& control : pending[i]->items) {
            if ((!type || static_cast<std::int32_t>(control->type()) == *type) && (!id || control->id() == *id) &&
                (!tag || control->tag() == *tag))
                return CommandBarControl(*_host, control);
            if (recursive && control->type() == ControlType::Popup) pending.push_back(control->childList());
        }
    }
    return std::nullopt;
}

CommandBar CommandBars::item(const std::wstring& name) const {
    record(L"CommandBars.item", {}, name);
    auto bar = _host->commandBars().find(name);
    if (!bar) throw SimError(kErrorInvalidArg, L"There is no command bar \"" + name + L"\".");
    return CommandBar(*_host, std::move(bar));
}

CommandBar CommandBars::activeMenuBar() const {
    record(L"CommandBars.activeMenuBar");
    return CommandBar(*_host, _host->commandBars().find(SimHost::kMenuBarName));
}

// ---- The application ----

std::optional<Web> Application::activeWeb() const {
    record(L"Application.activeWeb");
    if (!_host->web()) return std::nullopt;
    return Web(*_host, _host->web());
}

WebWindow Application::activeWebWindow() const {
    record(L"Application.activeWebWindow");
    return WebWindow(*_host);
}

std::optional<PageWindow> Application::activePageWindow() const {
    record(L"Application.activePageWindow");
    auto window = _host->activePageWindow();
    if (!window) return std::nullopt;
    return PageWindow(*_host, window);
}

Document Application::activeDocument() const {
    record(L"Application.activeDocument");
    auto window = _host->activePageWindow();
    if (!window) throw SimError(kErrorFail, L"No page is open.");
    return Document(*_host, PageWindowState::WithInsertionPoint(window));
}

std::wstring Application::makeRel(const WebFolder& base, const std::wstring& url) const {
    return makeRel(base.baseUrl(), url);
}

std::wstring Application::makeRel(const std::wstring& base, const std::wstring& url) const {
    record(L"Application.relativeUrl", {}, base + L"," + url);
    return RelativeUrl(base, url);
}

std::wstring Application::makeAbs(const std::wstring& base, const std::wstring& url) const {
    record(L"Application.absoluteUrl", {}, base + L"," + url);
    return AbsoluteUrl(base, url);
}

CommandBars Application::commandBars() const {
    record(L"Application.commandBars");
    return CommandBars(*_host);
}

std::int32_t Application::languageId() const {
    record(L"LanguageSettings.languageId");
    return _host->captions().languageId;
}

}  // namespace tavisk::simhost
