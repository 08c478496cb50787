#pragma once

// The host's object model as the add-in sees it: the roles of the editor's objects
// and of the Office command bars, with exactly the operations the add-in calls.
// Every operation may raise HostError. An object is handed out for the step that
// needs it; callers keep no reference across pages.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tavisk::host {

class WebFile;
class WebFolder;
class PageWindow;
class HtmlDocument;

// A collection of the host, walked in its own order; items are numbered from 0.
template <class T>
class Collection {
public:
    virtual ~Collection() = default;
    virtual std::int32_t count() = 0;
    virtual std::shared_ptr<T> item(std::int32_t index) = 0;
};

using WebFiles = Collection<WebFile>;
using WebFolders = Collection<WebFolder>;
using PageWindows = Collection<PageWindow>;

class WebFile {
public:
    virtual ~WebFile() = default;
    // Identity: two files are the same exactly when their URL texts are equal.
    virtual std::wstring url() = 0;
    virtual std::wstring title() = 0;
    // The file name's extension without the dot; empty when there is none.
    virtual std::wstring extension() = 0;
    // Opens the file in a page window (an open one is reused), which becomes the
    // active page window.
    virtual void open() = 0;
};

// True when the file is a page: its extension is HTML, HTM or ASP, in any letter case.
bool IsPage(WebFile& file);

class WebFolder {
public:
    virtual ~WebFolder() = default;
    virtual std::wstring url() = 0;
    virtual std::shared_ptr<WebFiles> files() = 0;
    virtual std::shared_ptr<WebFolders> subFolders() = 0;
    // A hidden folder of the web, left out of the chooser's folder tree.
    virtual bool excluded() = 0;
};

class Web {
public:
    virtual ~Web() = default;
    virtual std::wstring url() = 0;
    virtual std::shared_ptr<WebFolder> rootFolder() = 0;
    // Every file of the web, whatever its folder, flat.
    virtual std::shared_ptr<WebFiles> allFiles() = 0;
    // Raise HostError when the web has no file or folder with that URL.
    virtual std::shared_ptr<WebFile> locateFile(const std::wstring& url) = 0;
    virtual std::shared_ptr<WebFolder> locateFolder(const std::wstring& url) = 0;
};

class PageWindow {
public:
    virtual ~PageWindow() = default;
    virtual std::shared_ptr<WebFile> file() = 0;
    virtual std::int32_t viewMode() = 0;
    virtual void setViewMode(std::int32_t mode) = 0;
    // The page the window shows. For a frames page that is the frames page itself,
    // where the application's activeDocument() is the page of the frame that holds
    // the insertion point; for any other page both are the same.
    virtual std::shared_ptr<HtmlDocument> document() = 0;
    virtual void activate() = 0;
    // Closes the window without saving it first (the editor may ask about an unsaved edit).
    virtual void close() = 0;
};

class WebWindow {
public:
    virtual ~WebWindow() = default;
    virtual std::shared_ptr<PageWindows> pageWindows() = 0;
};

// The attribute flag the add-in passes: the name is matched with its exact case.
inline constexpr std::int32_t kMatchCase = 1;

class BodyElement {
public:
    virtual ~BodyElement() = default;
    virtual void setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags) = 0;
    // True when an attribute was removed; an absent attribute is no failure.
    virtual bool removeAttribute(const std::wstring& name, std::int32_t flags) = 0;
};

class HtmlDocument {
public:
    virtual ~HtmlDocument() = default;
    virtual std::shared_ptr<BodyElement> body() = 0;
};

// ---- Office command bars -------------------------------------------------------

enum class ControlType : std::int32_t { Button = 1, Popup = 10 };

class CommandBarControls;

// Ends a subscription to a button's Click event when destroyed.
class EventBinding {
public:
    virtual ~EventBinding() = default;
};

class CommandBarControl {
public:
    virtual ~CommandBarControl() = default;
    virtual void setCaption(const std::wstring& caption) = 0;
    virtual std::wstring tag() = 0;
    virtual void setTag(const std::wstring& tag) = 0;
    // Office's Delete with Temporary omitted: removes the control and all it holds.
    virtual void deleteControl() = 0;
    virtual void execute() = 0;
    // The control taken as a popup; raises HostError when it is not one.
    virtual std::shared_ptr<CommandBarControls> controls() = 0;
    // The control taken as a button, subscribed to its Click event; raises
    // HostError when it is not a button. The handler runs on every click until
    // the returned binding is destroyed, handed the control the host names as the
    // one clicked (null when it names none): Office raises a click in the handlers
    // of every control with the clicked one's Id and Tag.
    virtual std::unique_ptr<EventBinding> bindClick(std::function<void(CommandBarControl* clicked)> handler) = 0;
};

class CommandBarControls : public Collection<CommandBarControl> {
public:
    // The control with this caption, or nullptr when there is none; a failure of the
    // look-up itself raises HostError.
    virtual std::shared_ptr<CommandBarControl> findByCaption(const std::wstring& caption) = 0;
    // A new control at the end (Id and Before omitted).
    virtual std::shared_ptr<CommandBarControl> add(ControlType type, const std::wstring& parameter, bool temporary) = 0;
};

class CommandBar {
public:
    virtual ~CommandBar() = default;
    virtual std::shared_ptr<CommandBarControls> controls() = 0;
    // The first control with this built-in Id anywhere in the bar (Type, Tag and
    // Visible omitted), or nullptr when there is none.
    std::shared_ptr<CommandBarControl> findControl(std::int32_t id, bool recursive) {
        return findControl(std::nullopt, id, recursive);
    }
    // The same, narrowed to controls of `type` when one is given.
    virtual std::shared_ptr<CommandBarControl> findControl(std::optional<ControlType> type, std::int32_t id,
                                                           bool recursive) = 0;
};

// The command bar that holds the host's menu: the Tools menu the add-in's command
// goes into, and the Save and Close commands a run executes.
inline constexpr wchar_t kMenuBar[] = L"menu bar";

class CommandBars {
public:
    virtual ~CommandBars() = default;
    // Raises HostError when the host has no bar of that name.
    virtual std::shared_ptr<CommandBar> item(const std::wstring& name) = 0;
};

// ---- The application ----------------------------------------------------------------

class HostApplication {
public:
    virtual ~HostApplication() = default;
    // The open web, or nullptr when none is open.
    virtual std::shared_ptr<Web> activeWeb() = 0;
    virtual std::shared_ptr<WebWindow> activeWebWindow() = 0;
    // The active page window, or nullptr when none is open.
    virtual std::shared_ptr<PageWindow> activePageWindow() = 0;
    virtual std::shared_ptr<HtmlDocument> activeDocument() = 0;
    // `url` relative to `base`: a file's or subfolder's name within a folder, or a
    // page's folder path within the web.
    virtual std::wstring relativeUrl(WebFolder& base, const std::wstring& url) = 0;
    virtual std::wstring relativeUrl(const std::wstring& base, const std::wstring& url) = 0;
    virtual std::shared_ptr<CommandBars> commandBars() = 0;
    // The language of the host's menus and dialogs, an LCID; a host that cannot say
    // answers with the user's interface language of the system.
    virtual std::uint32_t userInterfaceLanguage() = 0;
};

}  // namespace tavisk::host
