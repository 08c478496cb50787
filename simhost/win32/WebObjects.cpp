#include "simhost/win32/WebObjects.h"

#include <span>

#include "simhost/win32/DispatchObject.h"

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

template <class Object, class Item>
ComPtr<IDispatch> Make(Item item) {
    return AsDispatch(MakeCom<Object>(std::move(item)));
}

// The dispatch id of Parent, which every object of the editor's web library has.
constexpr DISPID kParent = static_cast<DISPID>(0x80010008);

// WebFiles, WebFolders and PageWindows: Count as a VARIANT, Item counted from 0,
// _NewEnum.
template <class Items, class ItemObject>
class CollectionObject final : public DispatchObject<CollectionObject<Items, ItemObject>> {
public:
    explicit CollectionObject(Items items) : _items(std::move(items)) {}

    static std::span<const Member<CollectionObject>> Members() {
        static const Member<CollectionObject> members[] = {
            {L"Count", 3, [](CollectionObject& o, const Args&) { return Variant::Int(o._items.count()); }},
            {L"Item", DISPID_VALUE,
             [](CollectionObject& o, const Args& a) { return Variant::Object(o.item(a.int32(0)).Get()); }, nullptr,
             L"Index"},
            {L"_NewEnum", kNewEnum,
             [](CollectionObject& o, const Args&) {
                 std::vector<ComPtr<IDispatch>> all;
                 const auto count = o._items.count();
                 for (std::int32_t i = 0; i < count; ++i) all.push_back(o.item(i));
                 return Variant::Unknown(MakeEnumerator(std::move(all)).Get());
             }},
        };
        return members;
    }

private:
    ComPtr<IDispatch> item(std::int32_t index) { return Make<ItemObject>(_items.item(index)); }
    Items _items;
};

class FileObject final : public DispatchObject<FileObject> {
public:
    explicit FileObject(WebFile file) : _file(std::move(file)) {}

    static std::span<const Member<FileObject>> Members() {
        static const Member<FileObject> members[] = {
            {L"Url", DISPID_VALUE, [](FileObject& o, const Args&) { return Variant::Text(o._file.url()); }},
            {L"Name", 9, [](FileObject& o, const Args&) { return Variant::Text(o._file.name()); }},
            {L"Title", 13, [](FileObject& o, const Args&) { return Variant::Text(o._file.title()); }},
            {L"Extension", 5, [](FileObject& o, const Args&) { return Variant::Text(o._file.extension()); }},
            {L"Open", 23,
             [](FileObject& o, const Args&) {
                 o._file.open();
                 return Variant();
             }},
            {L"IsOpen", 6, [](FileObject& o, const Args&) { return Variant::Bool(o._file.isOpen()); }},
            {L"Edit", 21,
             [](FileObject& o, const Args& a) {
                 return Variant::Object(MakePageWindowDispatch(o._file.edit(a.optionalInt32(0))).Get());
             },
             nullptr, L"ViewMode"},
            {L"Web", 15,
             [](FileObject& o, const Args&) { return Variant::Object(MakeWebDispatch(o._file.web()).Get()); }},
            {L"Parent", kParent, [](FileObject& o, const Args&) { return Variant::Object(o.parent().Get()); }},
        };
        return members;
    }

private:
    ComPtr<IDispatch> parent();
    WebFile _file;
};

class FolderObject final : public DispatchObject<FolderObject> {
public:
    explicit FolderObject(WebFolder folder) : _folder(std::move(folder)) {}

    static std::span<const Member<FolderObject>> Members() {
        static const Member<FolderObject> members[] = {
            {L"Url", DISPID_VALUE, [](FolderObject& o, const Args&) { return Variant::Text(o._folder.url()); }},
            {L"Files", 3,
             [](FolderObject& o, const Args&) {
                 return Variant::Object(Make<CollectionObject<WebFiles, FileObject>>(o._folder.files()).Get());
             }},
            {L"Folders", 4,
             [](FolderObject& o, const Args&) {
                 return Variant::Object(Make<CollectionObject<WebFolders, FolderObject>>(o._folder.folders()).Get());
             }},
            {L"Name", 10, [](FolderObject& o, const Args&) { return Variant::Text(o._folder.name()); }},
            {L"IsRoot", 7, [](FolderObject& o, const Args&) { return Variant::Bool(o._folder.isRoot()); }},
            // A web's root folder is the only one that roots a web: this host has no subwebs.
            {L"IsWeb", 8, [](FolderObject& o, const Args&) { return Variant::Bool(o._folder.isRoot()); }},
            {L"Web", 13,
             [](FolderObject& o, const Args&) { return Variant::Object(MakeWebDispatch(o._folder.web()).Get()); }},
            {L"Parent", kParent, [](FolderObject& o, const Args&) { return Variant::Object(o.parent().Get()); }},
        };
        return members;
    }

    const WebFolder& folder() const noexcept { return _folder; }

private:
    // The folder holding this one; the web for the root folder.
    ComPtr<IDispatch> parent() {
        if (auto folder = _folder.parent()) return Make<FolderObject>(std::move(*folder));
        return MakeWebDispatch(_folder.web());
    }

    void* queryOther(REFIID iid) override { return iid == kHostFolderIid ? static_cast<IDispatch*>(this) : nullptr; }
    WebFolder _folder;
};

ComPtr<IDispatch> FileObject::parent() { return Make<FolderObject>(_file.parent()); }

class WebObject final : public DispatchObject<WebObject> {
public:
    explicit WebObject(Web web) : _web(std::move(web)) {}

    static std::span<const Member<WebObject>> Members() {
        static const Member<WebObject> members[] = {
            {L"Url", DISPID_VALUE, [](WebObject& o, const Args&) { return Variant::Text(o._web.url()); }},
            {L"RootFolder", 10,
             [](WebObject& o, const Args&) { return Variant::Object(Make<FolderObject>(o._web.rootFolder()).Get()); }},
            {L"AllFiles", 30,
             [](WebObject& o, const Args&) {
                 return Variant::Object(Make<CollectionObject<WebFiles, FileObject>>(o._web.allFiles()).Get());
             }},
            {L"LocateFile", 22,
             [](WebObject& o, const Args& a) {
                 return Variant::Object(Make<FileObject>(o._web.locateFile(a.string(0))).Get());
             },
             nullptr, L"FileUrl"},
            {L"LocateFolder", 23,
             [](WebObject& o, const Args& a) {
                 return Variant::Object(Make<FolderObject>(o._web.locateFolder(a.string(0))).Get());
             },
             nullptr, L"FolderUrl"},
        };
        return members;
    }

private:
    Web _web;
};

// The BODY element: setAttribute, getAttribute and removeAttribute at MSHTML's
// dispatch ids. lFlags defaults as in MSHTML: 1 (match the name's case) to set and
// remove, 0 (ignore it) to get; getAttribute's other flags ask for forms of a value
// this element does not have (every value is text), and a missing attribute is null.
class BodyObject final : public DispatchObject<BodyObject> {
public:
    explicit BodyObject(BodyElement body) : _body(std::move(body)) {}

    static std::span<const Member<BodyObject>> Members() {
        static const Member<BodyObject> members[] = {
            {L"setAttribute", static_cast<DISPID>(0x800101F5),
             [](BodyObject& o, const Args& a) {
                 o._body.setAttribute(a.string(0), a.string(1), a.optionalInt32(2).value_or(1));
                 return Variant();
             },
             nullptr, L"strAttributeName,AttributeValue,lFlags"},
            {L"removeAttribute", static_cast<DISPID>(0x800101F7),
             [](BodyObject& o, const Args& a) {
                 return Variant::Bool(o._body.removeAttribute(a.string(0), a.optionalInt32(1).value_or(1)));
             },
             nullptr, L"strAttributeName,lFlags"},
            {L"getAttribute", static_cast<DISPID>(0x800101F6),
             [](BodyObject& o, const Args& a) {
                 const auto value = o._body.getAttribute(a.string(0), a.optionalInt32(1).value_or(0) & 1);
                 if (value) return Variant::Text(*value);
                 Variant null;
                 null.get()->vt = VT_NULL;
                 return null;
             },
             nullptr, L"strAttributeName,lFlags"},
        };
        return members;
    }

private:
    BodyElement _body;
};

class DocumentObject final : public DispatchObject<DocumentObject> {
public:
    explicit DocumentObject(Document document) : _document(std::move(document)) {}

    static std::span<const Member<DocumentObject>> Members() {
        static const Member<DocumentObject> members[] = {
            {L"body", 1004,
             [](DocumentObject& o, const Args&) {
                 return Variant::Object(Make<BodyObject>(o._document.body()).Get());
             }},
        };
        return members;
    }

private:
    Document _document;
};

class PageWindowObject final : public DispatchObject<PageWindowObject> {
public:
    explicit PageWindowObject(PageWindow window) : _window(std::move(window)) {}

    static std::span<const Member<PageWindowObject>> Members() {
        static const Member<PageWindowObject> members[] = {
            {L"File", 7,
             [](PageWindowObject& o, const Args&) {
                 return Variant::Object(Make<FileObject>(o._window.file()).Get());
             }},
            {L"ViewMode", 11, [](PageWindowObject& o, const Args&) { return Variant::Int(o._window.viewMode()); },
             [](PageWindowObject& o, const Args& a) {
                 o._window.setViewMode(Args::Convert(a.value(), VT_I4, 0).get()->lVal);
             }},
            {L"Activate", 19,
             [](PageWindowObject& o, const Args&) {
                 o._window.activate();
                 return Variant();
             }},
            {L"Document", 6,
             [](PageWindowObject& o, const Args&) {
                 return Variant::Object(MakeDocumentDispatch(o._window.document()).Get());
             }},
            {L"ActiveDocument", 3,
             [](PageWindowObject& o, const Args&) {
                 return Variant::Object(MakeDocumentDispatch(o._window.activeDocument()).Get());
             }},
            {L"Save", 17,
             [](PageWindowObject& o, const Args& a) {
                 o._window.save(a.optionalBool(0).value_or(false));
                 return Variant();
             },
             nullptr, L"ForceOverwrite"},
            {L"Close", 15,
             [](PageWindowObject& o, const Args& a) {
                 o._window.close(a.optionalBool(0).value_or(false));
                 return Variant();
             },
             nullptr, L"ForceSave"},
            {L"IsDirty", 9, [](PageWindowObject& o, const Args&) { return Variant::Bool(o._window.isDirty()); }},
            {L"Web", 13,
             [](PageWindowObject& o, const Args&) { return Variant::Object(MakeWebDispatch(o._window.web()).Get()); }},
        };
        return members;
    }

private:
    PageWindow _window;
};

class WebWindowObject final : public DispatchObject<WebWindowObject> {
public:
    WebWindowObject(WebWindow window, Application application)
        : _window(std::move(window)), _application(std::move(application)) {}

    static std::span<const Member<WebWindowObject>> Members() {
        static const Member<WebWindowObject> members[] = {
            {L"PageWindows", 6,
             [](WebWindowObject& o, const Args&) {
                 return Variant::Object(
                     Make<CollectionObject<PageWindows, PageWindowObject>>(o._window.pageWindows()).Get());
             }},
            {L"ActivePageWindow", 3,
             [](WebWindowObject& o, const Args&) {
                 return Variant::Object(MakePageWindowDispatch(o._application.activePageWindow()).Get());
             }},
            // The host's one web window shows the open web, or none.
            {L"Web", 5,
             [](WebWindowObject& o, const Args&) {
                 auto web = o._application.activeWeb();
                 return Variant::Object(web ? MakeWebDispatch(std::move(*web)).Get() : nullptr);
             }},
        };
        return members;
    }

private:
    WebWindow _window;
    Application _application;
};

}  // namespace

ComPtr<IDispatch> MakeWebDispatch(Web web) { return Make<WebObject>(std::move(web)); }

ComPtr<IDispatch> MakeWebWindowDispatch(WebWindow window, Application application) {
    return AsDispatch(MakeCom<WebWindowObject>(std::move(window), std::move(application)));
}

ComPtr<IDispatch> MakePageWindowDispatch(std::optional<PageWindow> window) {
    return window ? Make<PageWindowObject>(std::move(*window)) : nullptr;
}

ComPtr<IDispatch> MakeDocumentDispatch(Document document) { return Make<DocumentObject>(std::move(document)); }

std::optional<WebFolder> FolderOf(IUnknown* object) {
    ComPtr<IDispatch> folder;
    if (!object || FAILED(object->QueryInterface(kHostFolderIid, reinterpret_cast<void**>(folder.GetAddressOf()))))
        return std::nullopt;
    return static_cast<FolderObject*>(folder.Get())->folder();
}

}  // namespace tavisk::simhost::win32
