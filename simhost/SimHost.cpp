#include "simhost/SimHost.h"

#include <algorithm>

#include "simhost/SimError.h"
#include "simhost/WebUrl.h"

namespace tavisk::simhost {

SimHost::SimHost(const std::wstring& language) : _captions(MenuCaptionsFor(language)) {
    auto& bar = _commandBars.addBar(kMenuBarName);
    const auto& c = _captions;

    auto file = ControlNode::Append(bar.controls, ControlType::Popup, kFileMenuId, c.file);
    ControlNode::Append(file->childList(), ControlType::Button, 23, c.open);
    ControlNode::Append(file->childList(), ControlType::Button, kCloseId, c.close, [this] { closeActivePage(); });
    ControlNode::Append(file->childList(), ControlType::Button, kSaveId, c.save, [this] { saveActivePage(); });
    ControlNode::Append(bar.controls, ControlType::Popup, 30003, c.edit);
    ControlNode::Append(bar.controls, ControlType::Popup, 30004, c.view);
    auto tools = ControlNode::Append(bar.controls, ControlType::Popup, kToolsMenuId, c.tools);
    ControlNode::Append(tools->childList(), ControlType::Button, 2, c.spelling);
    ControlNode::Append(tools->childList(), ControlType::Button, 522, c.options);
    ControlNode::Append(bar.controls, ControlType::Popup, 30010, c.help);
}

void SimHost::openWeb(std::shared_ptr<WebModel> web) {
    closeWeb();
    _web = std::move(web);
    notifyChanged();
}

void SimHost::closeWeb() {
    _windows.clear();
    _active.reset();
    _web.reset();
    notifyChanged();
}

std::shared_ptr<PageWindowState> SimHost::findPageWindow(const std::wstring& url) const {
    const auto it = std::find_if(_windows.begin(), _windows.end(), [&](const auto& w) { return w->file->hasUrl(url); });
    return it == _windows.end() ? nullptr : *it;
}

void SimHost::openPage(const std::shared_ptr<FileNode>& file) {
    auto window = findPageWindow(file->url());
    if (!window) {
        window = std::make_shared<PageWindowState>();
        window->file = file;
        window->document = file->store().load();
        window->stored = window->document->bodyAttributes();
        window->frame = loadFirstFrame(*file, *window->document);
        _windows.push_back(window);
    }
    activated(window);
}

std::shared_ptr<PageWindowState> SimHost::loadFirstFrame(const FileNode& page, const PageDocument& document) const {
    const auto& source = document.firstFrameSource();
    if (!source || !_web) return nullptr;
    // The frame shows the file the src names relative to the frames page, without
    // its query or fragment; a frame outside the web, or one showing something the
    // editor cannot open as a page, leaves the insertion point in the frames page.
    try {
        const std::wstring url = page.url();
        const auto frameFile = _web->findFile(
            AbsoluteUrl(url.substr(0, url.rfind(L'/') + 1), source->substr(0, source->find_first_of(L"?#"))));
        if (!frameFile || frameFile.get() == &page) return nullptr;
        auto frame = std::make_shared<PageWindowState>();
        frame->file = frameFile;
        frame->document = frameFile->store().load();
        frame->stored = frame->document->bodyAttributes();
        return frame;
    } catch (const SimError&) {
        return nullptr;
    }
}

void SimHost::activate(const PageWindowState& window) {
    const auto it = std::find_if(_windows.begin(), _windows.end(), [&](const auto& w) { return w.get() == &window; });
    if (it == _windows.end()) throw SimError(kErrorFail, L"The page window has been closed.");
    activated(*it);
}

void SimHost::activated(std::shared_ptr<PageWindowState> window) {
    _active = window;
    if (_listByActivation) {
        _windows.erase(std::find(_windows.begin(), _windows.end(), window));
        _windows.push_back(window);
    }
    notifyChanged();
}

void SimHost::saveActivePage() {
    const auto window = activePageWindow();
    if (!window) throw SimError(kErrorFail, L"There is no page to save.");
    savePage(*window);
}

void SimHost::closeActivePage() {
    const auto window = activePageWindow();
    if (!window) throw SimError(kErrorFail, L"There is no page to close.");
    closePage(*window);
}

void SimHost::savePage(PageWindowState& window, bool overChanges) {
    auto& store = window.file->store();
    if (overChanges)
        store.overwrite(*window.document);
    else
        store.save(*window.document);
    window.stored = window.document->bodyAttributes();
    if (window.frame && window.frame->dirty()) savePage(*window.frame, overChanges);
    notifyChanged();
}

void SimHost::closePage(const PageWindowState& window) {
    const auto it = std::find_if(_windows.begin(), _windows.end(), [&](const auto& w) { return w.get() == &window; });
    if (it == _windows.end()) throw SimError(kErrorFail, L"The page window has been closed.");
    const bool wasActive = _active.lock() == *it;
    _windows.erase(it);
    if (wasActive) _active = _windows.empty() ? std::weak_ptr<PageWindowState>() : _windows.back();
    notifyChanged();
}

}  // namespace tavisk::simhost
