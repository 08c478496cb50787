#include "addin/Registration.h"

#include <olectl.h>
#include <shlwapi.h>

#include <vector>

#include "addin/RegistrationTable.h"

namespace tavisk::addin {
namespace {

using table::Hive;

struct Value {
    Hive hive;
    std::wstring key;
    const wchar_t* name;  // null: the key's default value
    std::wstring text;    // REG_SZ when `isNumber` is false
    bool isNumber = false;
    DWORD number = 0;
    HRESULT failure;
};

// The values come from the one description the setup package's registry is also
// generated from (registration.txt), so the two write the same.
std::vector<Value> Values(const std::wstring& dllPath) {
    const auto slash = dllPath.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : dllPath.substr(0, slash + 1);
    std::vector<Value> values;
    for (const auto& row : table::kValues) {
        const std::wstring key = row.key;
        const HRESULT failure = row.hive == Hive::CurrentUser   ? S_OK
                                : key.starts_with(L"TypeLib\\") ? SELFREG_E_TYPELIB
                                                                : SELFREG_E_CLASS;
        const std::wstring text = row.data == table::Data::DllPath     ? dllPath
                                  : row.data == table::Data::DllFolder ? folder
                                                                       : row.text;
        values.push_back(
            {row.hive, key, row.name, text, row.data == table::Data::Number, static_cast<DWORD>(row.number), failure});
    }
    return values;
}

// The keys that are the add-in's own, removed whole at unregistration.
struct OwnedKey {
    Hive hive;
    std::wstring key;
};

std::vector<OwnedKey> OwnedKeys() {
    std::vector<OwnedKey> owned;
    for (const auto& row : table::kOwnedKeys) owned.push_back({row.hive, row.key});
    return owned;
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
            // SHDeleteKey, not RegDeleteTree: the DLL must load on Windows 2000, which has only the former.
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
