#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "simhost/CommandBarModel.h"
#include "simhost/MenuCaptions.h"
#include "simhost/Recorder.h"
#include "simhost/WebModel.h"

namespace tavisk::simhost {

// A page open in the editor: the file, its view mode and the edited document,
// which reaches the file's store only when the page is saved.
struct PageWindowState {
    std::shared_ptr<FileNode> file;
    std::int32_t viewMode = 0;
    std::unique_ptr<PageDocument> document;
    // The BODY element's attributes as last read from or written to the file.
    std::vector<Attribute> stored;
    // For a frames page: the page shown in its first frame, where the editor puts the
    // insertion point (the document an editing command acts on). Saved with the
    // frames page when it has edits, as the editor saves every page of a frameset.
    std::shared_ptr<PageWindowState> frame;

    bool dirty() const { return document->bodyAttributes() != stored || (frame && frame->dirty()); }
    // The page whose document holds the insertion point: the first frame's, else this one.
    static std::shared_ptr<PageWindowState> WithInsertionPoint(const std::shared_ptr<PageWindowState>& window) {
        return window->frame ? window->frame : window;
    }
};

// The stand-in editor's state: the open web, the page windows and the command bars.
// Its menu bar "Menu Bar" holds the popups "&File" (30002, with the built-in Save,
// Id 3, and Close, Id 106), "&Edit" (30003), "&View" (30004), "&Tools" (30007) and
// "&Help" (30010), captioned in its user-interface language.
//
// simhost::Application (ObjectModel.h) is the editor's object model over this state;
// every call made through it is recorded by recorder(), which can also refuse a
// chosen call. The members here are what a user does, and are not recorded.
class SimHost {
public:
    static constexpr std::int32_t kSaveId = 3;
    static constexpr std::int32_t kCloseId = 106;
    static constexpr wchar_t kMenuBarName[] = L"Menu Bar";

    static constexpr std::int32_t kFileMenuId = 30002;
    static constexpr std::int32_t kToolsMenuId = 30007;

    // `language` is a code of MenuLanguages(); SimError for another.
    explicit SimHost(const std::wstring& language = L"en");
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    Recorder& recorder() noexcept { return _recorder; }
    const Recorder& recorder() const noexcept { return _recorder; }

    // ---- What a user does in the host (not recorded) ----
    void openWeb(std::shared_ptr<WebModel> web);
    // Closes every page window (unsaved edits are dropped) and the web.
    void closeWeb();
    const std::shared_ptr<WebModel>& web() const noexcept { return _web; }

    // Opens the file in a page window, or brings forward the one showing it.
    void openPage(const std::shared_ptr<FileNode>& file);
    void activate(const PageWindowState& window);
    // Whether activating a page window moves it to the end of the list, as an editor
    // that lists its windows by their last activation may. Off: the order they were
    // opened in.
    void setListByActivation(bool on) noexcept { _listByActivation = on; }
    // Writes the active page's document to its file's store.
    void saveActivePage();
    // Closes the active page; the last page window opened before it becomes active.
    void closeActivePage();
    // The same for any open page window; `overChanges` saves even over a change
    // another program made to the file.
    void savePage(PageWindowState& window, bool overChanges = false);
    void closePage(const PageWindowState& window);

    const std::vector<std::shared_ptr<PageWindowState>>& pageWindows() const noexcept { return _windows; }
    std::shared_ptr<PageWindowState> activePageWindow() const noexcept { return _active.lock(); }
    std::shared_ptr<PageWindowState> findPageWindow(const std::wstring& url) const;

    const MenuCaptions& captions() const noexcept { return _captions; }
    CommandBarsModel& commandBars() noexcept { return _commandBars; }
    CommandBarNode& menuBar() noexcept { return *_commandBars.find(kMenuBarName); }

    // Called after every change of the web, the page windows or the documents, so a
    // window showing this host can redraw.
    void setChangeListener(std::function<void()> listener) { _changed = std::move(listener); }
    void notifyChanged() const {
        if (_changed) _changed();
    }

private:
    void activated(std::shared_ptr<PageWindowState> window);
    // The page a newly opened frames page shows in its first frame, when it is a page of the web.
    std::shared_ptr<PageWindowState> loadFirstFrame(const FileNode& page, const PageDocument& document) const;

    Recorder _recorder;
    const MenuCaptions& _captions;
    std::shared_ptr<WebModel> _web;
    std::vector<std::shared_ptr<PageWindowState>> _windows;
    std::weak_ptr<PageWindowState> _active;
    CommandBarsModel _commandBars;
    std::function<void()> _changed;
    bool _listByActivation = false;
};

}  // namespace tavisk::simhost
