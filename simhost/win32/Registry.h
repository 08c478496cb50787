#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tavisk::simhost::win32 {

// An open registry key, closed when it goes.
class RegistryKey {
public:
    RegistryKey() = default;
    // The key `path` under `root` opened for reading; empty when it does not exist.
    static RegistryKey Open(HKEY root, const std::wstring& path);
    RegistryKey(RegistryKey&& other) noexcept : _key(other._key) { other._key = nullptr; }
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    ~RegistryKey();

    explicit operator bool() const noexcept { return _key != nullptr; }
    std::vector<std::wstring> subKeyNames() const;
    std::optional<DWORD> dword(const wchar_t* name) const;
    std::optional<std::wstring> string(const wchar_t* name) const;

private:
    HKEY _key = nullptr;
};

}  // namespace tavisk::simhost::win32
