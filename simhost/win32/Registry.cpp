#include "simhost/win32/Registry.h"

namespace tavisk::simhost::win32 {

RegistryKey RegistryKey::Open(HKEY root, const std::wstring& path) {
    RegistryKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key._key) != ERROR_SUCCESS) key._key = nullptr;
    return key;
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        if (_key) RegCloseKey(_key);
        _key = other._key;
        other._key = nullptr;
    }
    return *this;
}

RegistryKey::~RegistryKey() {
    if (_key) RegCloseKey(_key);
}

std::vector<std::wstring> RegistryKey::subKeyNames() const {
    std::vector<std::wstring> names;
    if (!_key) return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        const LONG result = RegEnumKeyExW(_key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_SUCCESS) names.emplace_back(name, length);
    }
    return names;
}

std::optional<DWORD> RegistryKey::dword(const wchar_t* name) const {
    DWORD value = 0, size = sizeof value, type = 0;
    if (!_key ||
        RegQueryValueExW(_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::optional<std::wstring> RegistryKey::string(const wchar_t* name) const {
    DWORD size = 0, type = 0;
    if (!_key || RegQueryValueExW(_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(_key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return value;
}

}  // namespace tavisk::simhost::win32
