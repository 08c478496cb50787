#include "host/win32/DispatchHost.h"

#include <functional>

#include "base/Error.h"
#include "base/Texts.h"
#include "host/HostError.h"
#include "host/win32/ClickSink.h"
#include "host/win32/LateBoundObject.h"

namespace tavisk::host::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// The body of the published HTML document interface, by dispatch id: the page's
// document need not publish the name.
constexpr DISPID kDocumentBodyDispId = 1004;

template <class T>
using Make = std::function<std::shared_ptr<T>(ComPtr<IDispatch>)>;

// A collection of the host. FrontPage's collections count from 0 and report
// Count as a Variant; Office's command-bar controls count from 1, so `firstIndex`
// converts to the model's numbering from 0.
template <class Base, class T>
class DispatchCollection : public Base {
public:
    DispatchCollection(ComPtr<IDispatch> object, std::wstring role, Make<T> make, std::int32_t firstIndex)
        : _object(std::move(object), std::move(role)), _make(std::move(make)), _firstIndex(firstIndex) {}

    std::int32_t count() override { return _object.get(L"Count").toInt(); }
    std::shared_ptr<T> item(std::int32_t index) override {
        auto object = _object.object(L"Item", Args(Variant::Int(index + _firstIndex)));
        if (!object) throw HostError(kErrorNotFound, base::Text(base::TextId::HostNoItem, {_object.role()}));
        return _make(std::move(object));
    }

protected:
    LateBoundObject _object;
    Make<T> _make;
    std::int32_t _firstIndex;
};

class DispatchWebFile final : public WebFile {
public:
    explicit DispatchWebFile(ComPtr<IDispatch> object) : _object(std::move(object), L"WebFile") {}
    std::wstring url() override { return _object.get(L"Url").toText(); }
    std::wstring title() override {
        return text(L"Title", [](const Variant& title) {
            // Null, as Empty, is a page without a title.
            return title.value().vt == VT_NULL ? std::wstring() : title.toText();
        });
    }
    std::wstring extension() override {
        std::wstring extension = text(L"Extension", [](const Variant& value) { return value.toText(); });
        // The model's extension carries no dot, whichever way the host reports it.
        if (!extension.empty() && extension.front() == L'.') extension.erase(0, 1);
        return extension;
    }
    void open() override { _object.call(L"Open"); }

private:
    // A value of the file read as a text. When it cannot be read, the message names
    // the member and the file, so that the user knows which page to look at.
    template <class Convert>
    std::wstring text(const wchar_t* member, Convert convert) {
        try {
            return convert(_object.get(member));
        } catch (const HostError& e) {
            throw HostError(e.code(),
                            base::Text(base::TextId::HostValueUnreadable, {member, url()}) + L" " + e.message());
        }
    }

    LateBoundObject _object;
};

std::shared_ptr<WebFile> MakeFile(ComPtr<IDispatch> object) {
    return std::make_shared<DispatchWebFile>(std::move(object));
}

// The last name of a folder URL, with or without its closing "/".
std::wstring NameInUrl(std::wstring url) {
    if (!url.empty() && url.back() == L'/') url.pop_back();
    return url.substr(url.find_last_of(L'/') + 1);
}

class DispatchWebFolder final : public WebFolder {
public:
    explicit DispatchWebFolder(ComPtr<IDispatch> object) : _object(std::move(object), L"WebFolder") {}
    std::wstring url() override { return _object.get(L"Url").toText(); }
    std::shared_ptr<WebFiles> files() override {
        return std::make_shared<DispatchCollection<WebFiles, WebFile>>(_object.object(L"Files"), L"WebFiles", MakeFile,
                                                                       0);
    }
    std::shared_ptr<WebFolders> subFolders() override;
    // The editor documents no hidden flag for a folder, so its own folder list's
    // rule applies by name: a folder whose name begins with "_" is hidden, but
    // _private, the one folder of that kind meant for the author, is always shown.
    bool excluded() override {
        const std::wstring name = _object.has(L"Name") ? _object.get(L"Name").toText() : NameInUrl(url());
        return !name.empty() && name.front() == L'_' &&
               CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str(), -1, L"_private", -1) != CSTR_EQUAL;
    }

    IDispatch* dispatch() const noexcept { return _object.get(); }

private:
    LateBoundObject _object;
};

std::shared_ptr<WebFolder> MakeFolder(ComPtr<IDispatch> object) {
    return std::make_shared<DispatchWebFolder>(std::move(object));
}

std::shared_ptr<WebFolders> DispatchWebFolder::subFolders() {
    return std::make_shared<DispatchCollection<WebFolders, WebFolder>>(_object.object(L"Folders"), L"WebFolders",
                                                                       MakeFolder, 0);
}

class DispatchWeb final : public Web {
public:
    explicit DispatchWeb(ComPtr<IDispatch> object) : _object(std::move(object), L"Web") {}
    std::wstring url() override { return _object.get(L"Url").toText(); }
    std::shared_ptr<WebFolder> rootFolder() override { return MakeFolder(_object.object(L"RootFolder")); }
    std::shared_ptr<WebFiles> allFiles() override {
        return std::make_shared<DispatchCollection<WebFiles, WebFile>>(_object.object(L"AllFiles"), L"WebFiles",
                                                                       MakeFile, 0);
    }
    std::shared_ptr<WebFile> locateFile(const std::wstring& url) override {
        auto file = _object.object(L"LocateFile", Args(Variant::Text(url)));
        if (!file) throw HostError(kErrorNotFound, base::Text(base::TextId::HostNoFile, {url}));
        return MakeFile(std::move(file));
    }
    std::shared_ptr<WebFolder> locateFolder(const std::wstring& url) override {
        auto folder = _object.object(L"LocateFolder", Args(Variant::Text(url)));
        if (!folder) throw HostError(kErrorNotFound, base::Text(base::TextId::HostNoFolder, {url}));
        return MakeFolder(std::move(folder));
    }

private:
    LateBoundObject _object;
};

std::shared_ptr<HtmlDocument> MakeDocument(ComPtr<IDispatch> object);

class DispatchPageWindow final : public PageWindow {
public:
    explicit DispatchPageWindow(ComPtr<IDispatch> object) : _object(std::move(object), L"PageWindow") {}
    std::shared_ptr<WebFile> file() override { return MakeFile(_object.object(L"File")); }
    std::int32_t viewMode() override { return _object.get(L"ViewMode").toInt(); }
    void setViewMode(std::int32_t mode) override { _object.put(L"ViewMode", Variant::Int(mode)); }
    std::shared_ptr<HtmlDocument> document() override {
        auto document = _object.object(L"Document");
        if (!document) throw HostError(kErrorNotFound, base::Text(base::TextId::HostNoPageShown));
        return MakeDocument(std::move(document));
    }
    void activate() override { _object.call(L"Activate"); }
    void close() override { _object.call(L"Close", Args(Variant::Bool(false))); }

private:
    LateBoundObject _object;
};

std::shared_ptr<PageWindow> MakePageWindow(ComPtr<IDispatch> object) {
    return std::make_shared<DispatchPageWindow>(std::move(object));
}

class DispatchWebWindow final : public WebWindow {
public:
    explicit DispatchWebWindow(ComPtr<IDispatch> object) : _object(std::move(object), L"WebWindow") {}
    std::shared_ptr<PageWindows> pageWindows() override {
        return std::make_shared<DispatchCollection<PageWindows, PageWindow>>(_object.object(L"PageWindows"),
                                                                             L"PageWindows", MakePageWindow, 0);
    }

private:
    LateBoundObject _object;
};

class DispatchBody final : public BodyElement {
public:
    explicit DispatchBody(ComPtr<IDispatch> object) : _object(std::move(object), L"body") {}
    void setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags) override {
        _object.call(L"setAttribute", Args(Variant::Text(name), Variant::Text(value), Variant::Int(flags)));
    }
    bool removeAttribute(const std::wstring& name, std::int32_t flags) override {
        const Variant removed = _object.call(L"removeAttribute", Args(Variant::Text(name), Variant::Int(flags)));
        return removed.value().vt != VT_EMPTY && removed.toBool();
    }

private:
    LateBoundObject _object;
};

class DispatchDocument final : public HtmlDocument {
public:
    explicit DispatchDocument(ComPtr<IDispatch> object) : _object(std::move(object), L"document") {}
    std::shared_ptr<BodyElement> body() override {
        auto body = _object.getById(kDocumentBodyDispId, L"body").toObject();
        if (!body) throw HostError(kErrorNotFound, base::Text(base::TextId::HostNoBody));
        return std::make_shared<DispatchBody>(std::move(body));
    }

private:
    LateBoundObject _object;
};

std::shared_ptr<HtmlDocument> MakeDocument(ComPtr<IDispatch> object) {
    return std::make_shared<DispatchDocument>(std::move(object));
}

// ---- Office command bars ----

class DispatchControl;

class DispatchControls final : public DispatchCollection<CommandBarControls, CommandBarControl> {
public:
    explicit DispatchControls(ComPtr<IDispatch> object);
    std::shared_ptr<CommandBarControl> findByCaption(const std::wstring& caption) override;
    std::shared_ptr<CommandBarControl> add(ControlType type, const std::wstring& parameter, bool temporary) override;
};

class DispatchControl final : public CommandBarControl {
public:
    explicit DispatchControl(ComPtr<IDispatch> object) : _object(std::move(object), L"CommandBarControl") {}
    void setCaption(const std::wstring& caption) override { _object.put(L"Caption", Variant::Text(caption)); }
    std::wstring tag() override { return _object.get(L"Tag").toText(); }
    void setTag(const std::wstring& tag) override { _object.put(L"Tag", Variant::Text(tag)); }
    void deleteControl() override { _object.call(L"Delete", Args(Variant::Missing())); }
    void execute() override { _object.call(L"Execute"); }
    std::shared_ptr<CommandBarControls> controls() override {
        // Only a popup has controls: a button lacks the member, and the lookup fails.
        return std::make_shared<DispatchControls>(_object.object(L"Controls"));
    }
    std::unique_ptr<EventBinding> bindClick(std::function<void(CommandBarControl* clicked)> handler) override {
        return AdviseClick(_object.get(), [handler = std::move(handler)](IDispatch* clicked) {
            if (!clicked) return handler(nullptr);
            DispatchControl control{ComPtr<IDispatch>(clicked)};
            handler(&control);
        });
    }

private:
    LateBoundObject _object;
};

std::shared_ptr<CommandBarControl> MakeControl(ComPtr<IDispatch> object) {
    return std::make_shared<DispatchControl>(std::move(object));
}

DispatchControls::DispatchControls(ComPtr<IDispatch> object)
    : DispatchCollection(std::move(object), L"CommandBarControls", MakeControl, 1) {}

std::shared_ptr<CommandBarControl> DispatchControls::findByCaption(const std::wstring& caption) {
    ComPtr<IDispatch> control;
    try {
        control = _object.object(L"Item", Args(Variant::Text(caption)));
    } catch (const HostError& e) {
        // Office refuses an unknown caption as an invalid argument (Visual Basic's
        // error 5), as any collection may refuse an unknown index; every other
        // refusal is a failure of the host.
        if (e.code() != static_cast<std::int32_t>(E_INVALIDARG) &&
            e.code() != static_cast<std::int32_t>(DISP_E_BADINDEX))
            throw;
    }
    return control ? MakeControl(std::move(control)) : nullptr;
}

std::shared_ptr<CommandBarControl> DispatchControls::add(ControlType type, const std::wstring& parameter,
                                                         bool temporary) {
    auto control = _object.object(L"Add", Args(Variant::Int(static_cast<std::int32_t>(type)), Variant::Missing(),
                                               Variant::Text(parameter), Variant::Missing(), Variant::Bool(temporary)));
    if (!control) throw HostError(kErrorFail, base::Text(base::TextId::HostAddedNoControl));
    return MakeControl(std::move(control));
}

class DispatchCommandBar final : public CommandBar {
public:
    explicit DispatchCommandBar(ComPtr<IDispatch> object) : _object(std::move(object), L"CommandBar") {}
    std::shared_ptr<CommandBarControls> controls() override {
        return std::make_shared<DispatchControls>(_object.object(L"Controls"));
    }
    std::shared_ptr<CommandBarControl> findControl(std::optional<ControlType> type, std::int32_t id,
                                                   bool recursive) override {
        auto control = _object.object(
            L"FindControl", Args(type ? Variant::Int(static_cast<std::int32_t>(*type)) : Variant::Missing(),
                                 Variant::Int(id), Variant::Missing(), Variant::Missing(), Variant::Bool(recursive)));
        return control ? MakeControl(std::move(control)) : nullptr;
    }

private:
    LateBoundObject _object;
};

class DispatchCommandBars final : public CommandBars {
public:
    explicit DispatchCommandBars(ComPtr<IDispatch> object) : _object(std::move(object), L"CommandBars") {}
    std::shared_ptr<CommandBar> item(const std::wstring& name) override {
        auto bar = _object.object(L"Item", Args(Variant::Text(name)));
        if (!bar) throw HostError(kErrorNotFound, base::Text(base::TextId::HostNoCommandBar, {name}));
        return std::make_shared<DispatchCommandBar>(std::move(bar));
    }

private:
    LateBoundObject _object;
};

class DispatchApplication final : public HostApplication {
public:
    explicit DispatchApplication(ComPtr<IDispatch> object) : _object(std::move(object), L"Application") {
        if (!_object.has(L"ActiveWeb") || !_object.has(L"CommandBars"))
            throw HostError(kErrorNoInterface, base::Text(base::TextId::HostNotApplication));
    }

    std::shared_ptr<Web> activeWeb() override {
        auto web = _object.object(L"ActiveWeb");
        return web ? std::make_shared<DispatchWeb>(std::move(web)) : nullptr;
    }
    std::shared_ptr<WebWindow> activeWebWindow() override {
        auto window = _object.object(L"ActiveWebWindow");
        if (!window) throw HostError(kErrorNotFound, base::Text(base::TextId::HostNoWebWindow));
        return std::make_shared<DispatchWebWindow>(std::move(window));
    }
    std::shared_ptr<PageWindow> activePageWindow() override {
        auto window = _object.object(L"ActivePageWindow");
        return window ? MakePageWindow(std::move(window)) : nullptr;
    }
    std::shared_ptr<HtmlDocument> activeDocument() override {
        auto document = _object.object(L"ActiveDocument");
        if (!document) throw HostError(kErrorNotFound, base::Text(base::TextId::HostNoPageOpen));
        return MakeDocument(std::move(document));
    }
    std::wstring relativeUrl(WebFolder& base, const std::wstring& url) override {
        // The host's MakeRel takes a folder object or a URL text as its base.
        if (auto* folder = dynamic_cast<DispatchWebFolder*>(&base))
            return _object.call(L"MakeRel", Args(Variant::Object(folder->dispatch()), Variant::Text(url))).toText();
        return relativeUrl(base.url(), url);
    }
    std::wstring relativeUrl(const std::wstring& base, const std::wstring& url) override {
        return _object.call(L"MakeRel", Args(Variant::Text(base), Variant::Text(url))).toText();
    }
    std::shared_ptr<CommandBars> commandBars() override {
        return std::make_shared<DispatchCommandBars>(_object.object(L"CommandBars"));
    }
    std::uint32_t userInterfaceLanguage() override {
        // An editor without the Office programs' LanguageSettings, or one that
        // refuses it, leaves the choice to the language the user runs Windows in.
        try {
            if (_object.has(L"LanguageSettings")) {
                LateBoundObject settings(_object.object(L"LanguageSettings"), L"LanguageSettings");
                return static_cast<std::uint32_t>(
                    settings.get(L"LanguageID", Args(Variant::Int(kLanguageIdUi))).toInt());
            }
        } catch (const base::Error&) {
        }
        return GetUserDefaultUILanguage();
    }

private:
    // MsoAppLanguageID's msoLanguageIDUI: the language of the menus and dialogs.
    static constexpr std::int32_t kLanguageIdUi = 2;
    LateBoundObject _object;
};

}  // namespace

std::shared_ptr<WebFolder> MakeDispatchFolder(ComPtr<IDispatch> folder) { return MakeFolder(std::move(folder)); }
std::shared_ptr<WebFile> MakeDispatchFile(ComPtr<IDispatch> file) { return MakeFile(std::move(file)); }

std::shared_ptr<HostApplication> MakeDispatchApplication(ComPtr<IDispatch> application) {
    return std::make_shared<DispatchApplication>(std::move(application));
}

}  // namespace tavisk::host::win32
