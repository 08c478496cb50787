#include "simhost/win32/AddInLoader.h"

#include <algorithm>
#include <span>

#include "base/win32/ComError.h"
#include "simhost/win32/DispatchObject.h"
#include "simhost/win32/Registry.h"

namespace tavisk::simhost::win32 {
namespace {

using Microsoft::WRL::ComPtr;

constexpr DWORD kLoadAtStartup = 3;

// The COMAddIn object an add-in receives in OnConnection: who it is, and the slot
// (Object) where it may leave an object of its own for others to reach.
class ComAddInObject final : public DispatchObject<ComAddInObject> {
public:
    ComAddInObject(std::wstring progId, std::wstring description, std::wstring guid)
        : _progId(std::move(progId)), _description(std::move(description)), _guid(std::move(guid)) {}

    static std::span<const Member<ComAddInObject>> Members() {
        static const Member<ComAddInObject> members[] = {
            {L"Description", DISPID_VALUE,
             [](ComAddInObject& o, const Args&) { return Variant::Text(o._description); }},
            {L"ProgId", 3, [](ComAddInObject& o, const Args&) { return Variant::Text(o._progId); }},
            {L"Guid", 4, [](ComAddInObject& o, const Args&) { return Variant::Text(o._guid); }},
            {L"Connect", 6, [](ComAddInObject&, const Args&) { return Variant::Bool(true); }},
            {L"Object", 7, [](ComAddInObject& o, const Args&) { return o._object; },
             [](ComAddInObject& o, const Args& a) {
                 Variant value;
                 base::win32::ThrowIfFailed(VariantCopy(value.get(), const_cast<VARIANT*>(&a.value())),
                                            L"COMAddIn.Object");
                 o._object = std::move(value);
             }},
        };
        return members;
    }

private:
    std::wstring _progId;
    std::wstring _description;
    std::wstring _guid;
    Variant _object;
};

// The add-in's own text for a failed call, when it left one.
std::wstring FailureText(HRESULT hr) {
    ComPtr<IErrorInfo> info;
    std::wstring text;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR description = nullptr;
        if (SUCCEEDED(info->GetDescription(&description))) text = Bstr::FromBstr(description);
        SysFreeString(description);
    }
    return (text.empty() ? std::wstring() : text + L" ") + L"(" + base::win32::HresultText(hr) + L")";
}

// The empty custom array of every IDTExtensibility2 call.
class EmptyCustom {
public:
    EmptyCustom() : _array(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {
        if (!_array) throw base::Error(base::kErrorOutOfMemory, L"Out of memory.");
    }
    EmptyCustom(const EmptyCustom&) = delete;
    ~EmptyCustom() { SafeArrayDestroy(_array); }
    SAFEARRAY** get() noexcept { return &_array; }

private:
    SAFEARRAY* _array;
};

}  // namespace

AddInLoader::AddInLoader(std::wstring key) : _key(std::move(key)) {}

AddInLoader::~AddInLoader() { shutdown(); }

void AddInLoader::connectAll(IDispatch* application) {
    // The user's add-ins, then those installed for every user of the machine; an
    // add-in the user's hive names is the user's, whatever the machine's says.
    std::vector<std::wstring> seen;
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const auto& progId : RegistryKey::Open(root, _key).subKeyNames()) {
            if (std::find(seen.begin(), seen.end(), progId) != seen.end()) continue;
            seen.push_back(progId);
            const auto entry = RegistryKey::Open(root, _key + L"\\" + progId);
            if (entry.dword(L"LoadBehavior").value_or(0) == kLoadAtStartup) connect(application, root, progId);
        }
    }
    const std::size_t connected = _loaded.size();
    for (std::size_t i = 0; i < connected; ++i) {
        EmptyCustom custom;
        const HRESULT hr = _loaded[i].addIn->OnStartupComplete(custom.get());
        if (FAILED(hr)) {
            for (auto& report : _reports)
                if (report.progId == _loaded[i].progId)
                    report.problem = L"OnStartupComplete failed: " + FailureText(hr);
        }
    }
}

void AddInLoader::connect(IDispatch* application, HKEY root, const std::wstring& progId) {
    AddInReport report{progId, false, {}};
    const auto entry = RegistryKey::Open(root, _key + L"\\" + progId);
    CLSID clsid{};
    ComPtr<IUnknown> object;
    ComPtr<IExtensibility2> addIn;
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(hr)) {
        report.problem = L"not registered as a COM class " + FailureText(hr);
    } else if (FAILED(hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                            IID_PPV_ARGS(&object)))) {
        report.problem = L"could not be created " + FailureText(hr);
    } else if (FAILED(hr = object->QueryInterface(kExtensibilityIid, reinterpret_cast<void**>(addIn.GetAddressOf())))) {
        report.problem = L"is not a COM add-in (no IDTExtensibility2) " + FailureText(hr);
    } else {
        wchar_t guid[40] = L"";
        StringFromGUID2(clsid, guid, 40);
        const auto instance = MakeCom<ComAddInObject>(
            progId, entry.string(L"Description").value_or(entry.string(L"FriendlyName").value_or(progId)), guid);
        EmptyCustom custom;
        SetErrorInfo(0, nullptr);
        hr = addIn->OnConnection(application, kConnectStartup, static_cast<IDispatch*>(instance.Get()), custom.get());
        if (FAILED(hr)) {
            report.problem = L"OnConnection failed: " + FailureText(hr);
        } else {
            report.connected = true;
            _loaded.push_back({progId, addIn, ComPtr<IDispatch>(static_cast<IDispatch*>(instance.Get()))});
        }
    }
    _reports.push_back(std::move(report));
}

void AddInLoader::shutdown() {
    for (auto& loaded : _loaded) {
        EmptyCustom custom;
        loaded.addIn->OnBeginShutdown(custom.get());
    }
    // Each is disconnected and released before the next hears anything, last
    // connected first, as a host unloads what it loaded.
    while (!_loaded.empty()) {
        {
            EmptyCustom custom;
            _loaded.back().addIn->OnDisconnection(kDisconnectHostShutdown, custom.get());
        }
        _loaded.pop_back();
    }
}

std::wstring AddInLoader::summary() const {
    std::size_t connected = 0;
    std::wstring problems;
    for (const auto& report : _reports) {
        if (report.connected) ++connected;
        if (!report.problem.empty()) problems += L"; " + report.progId + L" " + report.problem;
    }
    return std::to_wstring(connected) + (connected == 1 ? L" add-in connected" : L" add-ins connected") + problems;
}

}  // namespace tavisk::simhost::win32
