#include "simhost/win32/ComHost.h"

#include <span>

#include "host/HostError.h"
#include "simhost/HostFacade.h"
#include "simhost/SimHost.h"
#include "simhost/win32/Dispatch.h"
#include "simhost/win32/Objects.h"

namespace tavisk::simhost::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// Answered only by the host's own folder objects, so MakeRel can tell a folder of
// this host from any other object passed as its base.
constexpr IID kHostFolderIid = {0x3c931a11, 0x9bc3, 0x4573, {0x98, 0x0c, 0x9b, 0xd2, 0xde, 0x1f, 0x9e, 0xb2}};

template <class T>
ComPtr<IDispatch> AsDispatch(ComPtr<T> object) {
    return ComPtr<IDispatch>(static_cast<IDispatch*>(object.Get()));
}

// A web object of the model that the add-in's interfaces leave out (Name) is read
// here: recorded like the rest, and refused once its web is closed.
void RecordRead(SimHost& host, const wchar_t* operation, const std::wstring& url, bool live) {
    host.recorder().call(operation, url);
    if (!live) throw host::HostError(host::kErrorFail, L"The web has been closed.");
}

ComPtr<IDispatch> MakeFile(SimHost& host, std::shared_ptr<host::WebFile> file);
ComPtr<IDispatch> MakeFolder(SimHost& host, std::shared_ptr<host::WebFolder> folder);
ComPtr<IDispatch> MakePageWindow(SimHost& host, std::shared_ptr<host::PageWindow> window);

// WebFiles, WebFolders and PageWindows: Count as a VARIANT, Item counted from 0,
// _NewEnum.
template <class Item>
class CollectionObject final : public DispatchObject<CollectionObject<Item>> {
public:
    using Make = ComPtr<IDispatch> (*)(SimHost&, std::shared_ptr<Item>);
    CollectionObject(SimHost& host, std::shared_ptr<host::Collection<Item>> items, Make make)
        : _host(host), _items(std::move(items)), _make(make) {}

    static std::span<const Member<CollectionObject>> Members() {
        static const Member<CollectionObject> members[] = {
            {L"Count", 3, [](CollectionObject& o, const Args&) { return Variant::Int32(o._items->count()); }},
            {L"Item", DISPID_VALUE,
             [](CollectionObject& o, const Args& a) { return Variant::Object(o.item(a.int32(0)).Get()); }, nullptr,
             L"Index"},
            {L"_NewEnum", kNewEnum,
             [](CollectionObject& o, const Args&) {
                 std::vector<ComPtr<IDispatch>> all;
                 const auto count = o._items->count();
                 for (std::int32_t i = 0; i < count; ++i) all.push_back(o.item(i));
                 return Variant::Unknown(MakeEnumerator(std::move(all)).Get());
             }},
        };
        return members;
    }

private:
    ComPtr<IDispatch> item(std::int32_t index) { return _make(_host, _items->item(index)); }
    SimHost& _host;
    std::shared_ptr<host::Collection<Item>> _items;
    Make _make;
};

template <class Item>
ComPtr<IDispatch> MakeCollection(SimHost& host, std::shared_ptr<host::Collection<Item>> items,
                                 typename CollectionObject<Item>::Make make) {
    return AsDispatch(MakeCom<CollectionObject<Item>>(host, std::move(items), make));
}

// The last name of a URL: a file's or folder's name (the root folder's URL ends in "/").
std::wstring LastName(std::wstring url) {
    while (!url.empty() && url.back() == L'/') url.pop_back();
    const auto slash = url.rfind(L'/');
    return slash == std::wstring::npos ? url : url.substr(slash + 1);
}

class FileObject final : public DispatchObject<FileObject> {
public:
    FileObject(SimHost& host, std::shared_ptr<host::WebFile> file) : _host(host), _file(std::move(file)) {}

    static std::span<const Member<FileObject>> Members() {
        static const Member<FileObject> members[] = {
            {L"Url", DISPID_VALUE, [](FileObject& o, const Args&) { return Variant::String(o._file->url()); }},
            {L"Name", 9, [](FileObject& o, const Args&) { return Variant::String(o.name()); }},
            {L"Title", 13, [](FileObject& o, const Args&) { return Variant::String(o._file->title()); }},
            {L"Extension", 5, [](FileObject& o, const Args&) { return Variant::String(o._file->extension()); }},
            {L"Open", 23,
             [](FileObject& o, const Args&) {
                 o._file->open();
                 return Variant();
             }},
        };
        return members;
    }

private:
    std::wstring name() {
        const auto node = FileNodeOf(*_file);
        if (!node) throw host::HostError(host::kErrorFail, L"The file does not belong to this host.");
        RecordRead(_host, L"WebFile.name", node->url(), _host.web() && _host.web()->findFile(node->url()) == node);
        return node->name();
    }
    SimHost& _host;
    std::shared_ptr<host::WebFile> _file;
};

ComPtr<IDispatch> MakeFile(SimHost& host, std::shared_ptr<host::WebFile> file) {
    return AsDispatch(MakeCom<FileObject>(host, std::move(file)));
}

class FolderObject final : public DispatchObject<FolderObject> {
public:
    FolderObject(SimHost& host, std::shared_ptr<host::WebFolder> folder) : _host(host), _folder(std::move(folder)) {}

    static std::span<const Member<FolderObject>> Members() {
        static const Member<FolderObject> members[] = {
            {L"Url", DISPID_VALUE, [](FolderObject& o, const Args&) { return Variant::String(o._folder->url()); }},
            {L"Files", 3,
             [](FolderObject& o, const Args&) {
                 return Variant::Object(MakeCollection<host::WebFile>(o._host, o._folder->files(), &MakeFile).Get());
             }},
            {L"Folders", 4,
             [](FolderObject& o, const Args&) {
                 return Variant::Object(
                     MakeCollection<host::WebFolder>(o._host, o._folder->subFolders(), &MakeFolder).Get());
             }},
            {L"Name", 10, [](FolderObject& o, const Args&) { return Variant::String(o.name()); }},
            // The real object model has no hidden-folder flag; the web's hidden
            // folders (named with a leading "_") are told by this one.
            {L"IsHidden", 100, [](FolderObject& o, const Args&) { return Variant::Bool(o._folder->excluded()); }},
        };
        return members;
    }

    host::WebFolder& folder() { return *_folder; }

private:
    void* queryOther(REFIID iid) override { return iid == kHostFolderIid ? static_cast<IDispatch*>(this) : nullptr; }
    std::wstring name() {
        const auto node = FolderNodeOf(*_folder);
        if (!node) throw host::HostError(host::kErrorFail, L"The folder does not belong to this host.");
        RecordRead(_host, L"WebFolder.name", node->url(), _host.web() && _host.web()->findFolder(node->url()) == node);
        // The root folder has no name of its own; it goes by the web's.
        return node->name().empty() ? LastName(node->url()) : node->name();
    }
    SimHost& _host;
    std::shared_ptr<host::WebFolder> _folder;
};

ComPtr<IDispatch> MakeFolder(SimHost& host, std::shared_ptr<host::WebFolder> folder) {
    return AsDispatch(MakeCom<FolderObject>(host, std::move(folder)));
}

class WebObject final : public DispatchObject<WebObject> {
public:
    WebObject(SimHost& host, std::shared_ptr<host::Web> web) : _host(host), _web(std::move(web)) {}

    static std::span<const Member<WebObject>> Members() {
        static const Member<WebObject> members[] = {
            {L"Url", DISPID_VALUE, [](WebObject& o, const Args&) { return Variant::String(o._web->url()); }},
            {L"RootFolder", 10,
             [](WebObject& o, const Args&) {
                 return Variant::Object(MakeFolder(o._host, o._web->rootFolder()).Get());
             }},
            {L"AllFiles", 30,
             [](WebObject& o, const Args&) {
                 return Variant::Object(MakeCollection<host::WebFile>(o._host, o._web->allFiles(), &MakeFile).Get());
             }},
            {L"LocateFile", 22,
             [](WebObject& o, const Args& a) {
                 return Variant::Object(MakeFile(o._host, o._web->locateFile(a.string(0))).Get());
             },
             nullptr, L"FileUrl"},
            {L"LocateFolder", 23,
             [](WebObject& o, const Args& a) {
                 return Variant::Object(MakeFolder(o._host, o._web->locateFolder(a.string(0))).Get());
             },
             nullptr, L"FolderUrl"},
        };
        return members;
    }

private:
    SimHost& _host;
    std::shared_ptr<host::Web> _web;
};

// The BODY element: setAttribute and removeAttribute at MSHTML's dispatch ids.
class BodyObject final : public DispatchObject<BodyObject> {
public:
    explicit BodyObject(std::shared_ptr<host::BodyElement> body) : _body(std::move(body)) {}

    static std::span<const Member<BodyObject>> Members() {
        static const Member<BodyObject> members[] = {
            {L"setAttribute", static_cast<DISPID>(0x800101F5),
             [](BodyObject& o, const Args& a) {
                 o._body->setAttribute(a.string(0), a.string(1), a.optionalInt32(2).value_or(host::kMatchCase));
                 return Variant();
             },
             nullptr, L"strAttributeName,AttributeValue,lFlags"},
            {L"removeAttribute", static_cast<DISPID>(0x800101F7),
             [](BodyObject& o, const Args& a) {
                 return Variant::Bool(
                     o._body->removeAttribute(a.string(0), a.optionalInt32(1).value_or(host::kMatchCase)));
             },
             nullptr, L"strAttributeName,lFlags"},
        };
        return members;
    }

private:
    std::shared_ptr<host::BodyElement> _body;
};

class DocumentObject final : public DispatchObject<DocumentObject> {
public:
    explicit DocumentObject(std::shared_ptr<host::HtmlDocument> document) : _document(std::move(document)) {}

    static std::span<const Member<DocumentObject>> Members() {
        static const Member<DocumentObject> members[] = {
            {L"body", 1004,
             [](DocumentObject& o, const Args&) {
                 return Variant::Object(AsDispatch(MakeCom<BodyObject>(o._document->body())).Get());
             }},
        };
        return members;
    }

private:
    std::shared_ptr<host::HtmlDocument> _document;
};

ComPtr<IDispatch> MakeDocument(std::shared_ptr<host::HtmlDocument> document) {
    return AsDispatch(MakeCom<DocumentObject>(std::move(document)));
}

class PageWindowObject final : public DispatchObject<PageWindowObject> {
public:
    PageWindowObject(SimHost& host, std::shared_ptr<host::PageWindow> window)
        : _host(host), _window(std::move(window)) {}

    static std::span<const Member<PageWindowObject>> Members() {
        static const Member<PageWindowObject> members[] = {
            {L"File", 7,
             [](PageWindowObject& o, const Args&) {
                 return Variant::Object(MakeFile(o._host, o._window->file()).Get());
             }},
            {L"ViewMode", 11, [](PageWindowObject& o, const Args&) { return Variant::Int32(o._window->viewMode()); },
             [](PageWindowObject& o, const Args& a) {
                 o._window->setViewMode(Args::Convert(a.value(), VT_I4, 0).get()->lVal);
             }},
            {L"Activate", 19,
             [](PageWindowObject& o, const Args&) {
                 o._window->activate();
                 return Variant();
             }},
            {L"Document", 6, [](PageWindowObject& o, const Args&) { return Variant::Object(o.document().Get()); }},
        };
        return members;
    }

private:
    ComPtr<IDispatch> document() {
        const auto state = PageWindowOf(*_window);
        _host.recorder().call(L"PageWindow.document", state ? state->file->url() : L"closed");
        if (!state) throw host::HostError(host::kErrorFail, L"The page window has been closed.");
        return MakeDocument(MakeHostDocument(_host, state));
    }
    SimHost& _host;
    std::shared_ptr<host::PageWindow> _window;
};

ComPtr<IDispatch> MakePageWindow(SimHost& host, std::shared_ptr<host::PageWindow> window) {
    if (!window) return nullptr;
    return AsDispatch(MakeCom<PageWindowObject>(host, std::move(window)));
}

class WebWindowObject final : public DispatchObject<WebWindowObject> {
public:
    WebWindowObject(SimHost& host, std::shared_ptr<host::HostApplication> application,
                    std::shared_ptr<host::WebWindow> window)
        : _host(host), _application(std::move(application)), _window(std::move(window)) {}

    static std::span<const Member<WebWindowObject>> Members() {
        static const Member<WebWindowObject> members[] = {
            {L"PageWindows", 6,
             [](WebWindowObject& o, const Args&) {
                 return Variant::Object(
                     MakeCollection<host::PageWindow>(o._host, o._window->pageWindows(), &MakePageWindow).Get());
             }},
            {L"ActivePageWindow", 3,
             [](WebWindowObject& o, const Args&) {
                 return Variant::Object(MakePageWindow(o._host, o._application->activePageWindow()).Get());
             }},
        };
        return members;
    }

private:
    SimHost& _host;
    std::shared_ptr<host::HostApplication> _application;
    std::shared_ptr<host::WebWindow> _window;
};

class ApplicationObject final : public DispatchObject<ApplicationObject> {
public:
    explicit ApplicationObject(SimHost& host) : _host(host), _application(MakeHostApplication(host)) {}

    static std::span<const Member<ApplicationObject>> Members() {
        static const Member<ApplicationObject> members[] = {
            {L"ActiveWeb", 4,
             [](ApplicationObject& o, const Args&) {
                 auto web = o._application->activeWeb();
                 return Variant::Object(web ? AsDispatch(MakeCom<WebObject>(o._host, std::move(web))).Get() : nullptr);
             }},
            {L"ActiveWebWindow", 5,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(
                     AsDispatch(MakeCom<WebWindowObject>(o._host, o._application, o._application->activeWebWindow()))
                         .Get());
             }},
            {L"ActivePageWindow", 3,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(MakePageWindow(o._host, o._application->activePageWindow()).Get());
             }},
            {L"ActiveDocument", 2,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(MakeDocument(o._application->activeDocument()).Get());
             }},
            {L"MakeRel", 23, [](ApplicationObject& o, const Args& a) { return Variant::String(o.makeRel(a)); }, nullptr,
             L"UrlBase,Url"},
            {L"CommandBars", 9,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(MakeCommandBarsDispatch(o._host, o._application->commandBars()).Get());
             }},
        };
        return members;
    }

private:
    // UrlBase is a folder of this host, or anything that reads as a URL: a string,
    // or another object through its default member (Url), as Basic converts it.
    std::wstring makeRel(const Args& args) {
        const VARIANT& base = args.required(0);
        const std::wstring url = args.string(1);
        IUnknown* object = base.vt == VT_DISPATCH ? base.pdispVal : base.vt == VT_UNKNOWN ? base.punkVal : nullptr;
        ComPtr<IDispatch> folder;
        if (object &&
            SUCCEEDED(object->QueryInterface(kHostFolderIid, reinterpret_cast<void**>(folder.GetAddressOf()))))
            return _application->relativeUrl(static_cast<FolderObject*>(folder.Get())->folder(), url);
        return _application->relativeUrl(args.string(0), url);
    }
    SimHost& _host;
    std::shared_ptr<host::HostApplication> _application;
};

}  // namespace

ComPtr<IDispatch> MakeApplicationDispatch(SimHost& host) { return AsDispatch(MakeCom<ApplicationObject>(host)); }

}  // namespace tavisk::simhost::win32
