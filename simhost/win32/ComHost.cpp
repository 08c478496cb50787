#include "simhost/win32/ComHost.h"

#include <span>

#include "simhost/ObjectModel.h"
#include "simhost/win32/CommandBarObjects.h"
#include "simhost/win32/DispatchObject.h"
#include "simhost/win32/WebObjects.h"

namespace tavisk::simhost::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// The Office LanguageSettings object: every MsoAppLanguageID (install, user
// interface, help, ...) is the edition's one language.
class LanguageSettingsObject final : public DispatchObject<LanguageSettingsObject> {
public:
    explicit LanguageSettingsObject(SimHost& host) : _application(host) {}

    static std::span<const Member<LanguageSettingsObject>> Members() {
        static const Member<LanguageSettingsObject> members[] = {
            {L"LanguageID", 1,
             [](LanguageSettingsObject& o, const Args& a) {
                 if (const std::int32_t id = a.int32(0); id < kLanguageIdInstall || id > kLanguageIdUiPrevious)
                     throw ArgumentError(E_INVALIDARG);
                 return Variant::Int(o._application.languageId());
             },
             nullptr, L"Id"},
        };
        return members;
    }

private:
    static constexpr std::int32_t kLanguageIdInstall = 1;
    static constexpr std::int32_t kLanguageIdUiPrevious = 5;
    Application _application;
};

class ApplicationObject final : public DispatchObject<ApplicationObject> {
public:
    explicit ApplicationObject(SimHost& host) : _host(host), _application(host) {}

    static std::span<const Member<ApplicationObject>> Members() {
        static const Member<ApplicationObject> members[] = {
            {L"ActiveWeb", 4,
             [](ApplicationObject& o, const Args&) {
                 auto web = o._application.activeWeb();
                 return Variant::Object(web ? MakeWebDispatch(std::move(*web)).Get() : nullptr);
             }},
            {L"ActiveWebWindow", 5,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(MakeWebWindowDispatch(o._application.activeWebWindow(), o._application).Get());
             }},
            {L"ActivePageWindow", 3,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(MakePageWindowDispatch(o._application.activePageWindow()).Get());
             }},
            {L"ActiveDocument", 2,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(MakeDocumentDispatch(o._application.activeDocument()).Get());
             }},
            {L"MakeRel", 23, [](ApplicationObject& o, const Args& a) { return Variant::Text(o.makeRel(a)); }, nullptr,
             L"UrlBase,Url"},
            {L"MakeAbs", 22,
             [](ApplicationObject& o, const Args& a) {
                 return Variant::Text(o._application.makeAbs(o.base(a), a.string(1)));
             },
             nullptr, L"UrlBase,Url"},
            {L"LanguageSettings", 12,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(MakeCom<LanguageSettingsObject>(o._host).Get());
             }},
            {L"CommandBars", 9,
             [](ApplicationObject& o, const Args&) {
                 return Variant::Object(MakeCommandBarsDispatch(o._application.commandBars()).Get());
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
        if (const auto folder = FolderOf(object)) return _application.makeRel(*folder, url);
        return _application.makeRel(args.string(0), url);
    }
    // UrlBase for MakeAbs, taken as MakeRel takes it.
    static std::wstring base(const Args& args) {
        const VARIANT& base = args.required(0);
        IUnknown* object = base.vt == VT_DISPATCH ? base.pdispVal : base.vt == VT_UNKNOWN ? base.punkVal : nullptr;
        if (const auto folder = FolderOf(object)) return folder->baseUrl();
        return args.string(0);
    }
    SimHost& _host;
    Application _application;
};

}  // namespace

ComPtr<IDispatch> MakeApplicationDispatch(SimHost& host) {
    return ComPtr<IDispatch>(static_cast<IDispatch*>(MakeCom<ApplicationObject>(host).Get()));
}

}  // namespace tavisk::simhost::win32
