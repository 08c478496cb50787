#include "addin/Registration.h"

#include <olectl.h>
#include <shlwapi.h>

#include <vector>

#include "addin/tavisk2002_h.h"

namespace tavisk::addin {
namespace {

// The identities are the type library's, as the IDL declares them.
std::wstring GuidText(const GUID& guid) {
    wchar_t text[39] = {};
    StringFromGUID2(guid, text, 39);
    return text;
}

// The Automation marshaller, which serves every dual interface from its type library.
constexpr wchar_t kOleAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";

enum class Hive { Classes, CurrentUser };

struct Value {
    Hive hive;
    std::wstring key;
    const wchar_t* name;  // null: the key's default value
    std::wstring text;    // REG_SZ when `isNumber` is false
    bool isNumber = false;
    DWORD number = 0;
    HRESULT failure;
};

std::wstring Folder(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::vector<Value> Values(const std::wstring& dllPath) {
    const std::wstring classId = GuidText(CLSID_Connect);
    const std::wstring libraryId = GuidText(LIBID_tavisk2002);
    const std::wstring clsid = L"CLSID\\" + classId;
    const std::wstring iface = L"Interface\\" + GuidText(IID__Connect);
    const std::wstring lib = L"TypeLib\\" + libraryId + L"\\1.0";
    const std::wstring host = std::wstring(kHostAddinsKey) + L"\\" + kProgId;
    const HRESULT cls = SELFREG_E_CLASS;
    const HRESULT tlb = SELFREG_E_TYPELIB;
    return {
        {Hive::Classes, clsid, nullptr, kProgId, false, 0, cls},
        {Hive::Classes, clsid + L"\\InprocServer32", nullptr, dllPath, false, 0, cls},
        {Hive::Classes, clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment", false, 0, cls},
        {Hive::Classes, clsid + L"\\ProgID", nullptr, kProgId, false, 0, cls},
        {Hive::Classes, clsid + L"\\TypeLib", nullptr, libraryId, false, 0, cls},
        {Hive::Classes, clsid + L"\\VERSION", nullptr, L"1.0", false, 0, cls},
        {Hive::Classes, kProgId, nullptr, kProgId, false, 0, cls},
        {Hive::Classes, std::wstring(kProgId) + L"\\CLSID", nullptr, classId, false, 0, cls},
        {Hive::Classes, iface, nullptr, L"_Connect", false, 0, cls},
        {Hive::Classes, iface + L"\\ProxyStubClsid", nullptr, kOleAutomationProxy, false, 0, cls},
        {Hive::Classes, iface + L"\\ProxyStubClsid32", nullptr, kOleAutomationProxy, false, 0, cls},
        {Hive::Classes, iface + L"\\TypeLib", nullptr, libraryId, false, 0, cls},
        {Hive::Classes, iface + L"\\TypeLib", L"Version", L"1.0", false, 0, cls},
        {Hive::Classes, lib, nullptr, L"Halvern Tavisk 2002", false, 0, tlb},
        {Hive::Classes, lib + L"\\0\\win32", nullptr, dllPath, false, 0, tlb},
        {Hive::Classes, lib + L"\\FLAGS", nullptr, L"0", false, 0, tlb},
        {Hive::Classes, lib + L"\\HELPDIR", nullptr, Folder(dllPath), false, 0, tlb},
        {Hive::CurrentUser, host, L"FriendlyName", L"Tavisk 2002", false, 0, S_OK},
        {Hive::CurrentUser, host, L"Description", L"Halvern Tavisk 2002", false, 0, S_OK},
        {Hive::CurrentUser, host, L"LoadBehavior", L"", true, 3, S_OK},
        {Hive::CurrentUser, host, L"CommandLineSafe", L"", true, 0, S_OK},
    };
}

// The keys that are the add-in's own, removed whole at unregistration.
struct OwnedKey {
    Hive hive;
    std::wstring key;
};

std::vector<OwnedKey> OwnedKeys() {
    return {
        {Hive::Classes, L"CLSID\\" + GuidText(CLSID_Connect)},
        {Hive::Classes, kProgId},
        {Hive::Classes, L"Interface\\" + GuidText(IID__Connect)},
        {Hive::Classes, L"TypeLib\\" + GuidText(LIBID_tavisk2002)},
        {Hive::CurrentUser, std::wstring(kHostAddinsKey) + L"\\" + kProgId},
    };
}

HKEY RootOf(const RegistryRoots& roots, Hive hive) { return hive == Hive::Classes ? roots.classes : roots.currentUser; }

// Owns an open registry key.
class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (_key) RegCloseKey(_key);
    }
    HKEY* put() noexcept { return &_key; }
    HKEY get() const noexcept { return _key; }

private:
    HKEY _key = nullptr;
};

LSTATUS Write(HKEY root, const Value& value) {
    Key key;
    LSTATUS status = RegCreateKeyExW(root, value.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                     nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    if (value.isNumber) {
        return RegSetValueExW(key.get(), value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                              sizeof value.number);
    }
    return RegSetValueExW(key.get(), value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                          static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

HRESULT RegisterServer(const RegistryRoots& roots, const std::wstring& dllPath) noexcept {
    try {
        for (const auto& value : Values(dllPath)) {
            const LSTATUS status = Write(RootOf(roots, value.hive), value);
            if (status != ERROR_SUCCESS) return FAILED(value.failure) ? value.failure : HRESULT_FROM_WIN32(status);
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;  // the only thing building the table can raise
    }
}

HRESULT UnregisterServer(const RegistryRoots& roots) noexcept {
    try {
        HRESULT result = S_OK;
        for (const auto& owned : OwnedKeys()) {
            // SHDeleteKey, not RegDeleteTree: the DLL must load on Windows XP, which has only the former.
            const LSTATUS status = SHDeleteKeyW(RootOf(roots, owned.hive), owned.key.c_str());
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && SUCCEEDED(result))
                result = owned.hive == Hive::Classes ? SELFREG_E_CLASS : HRESULT_FROM_WIN32(status);
        }
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace tavisk::addin
