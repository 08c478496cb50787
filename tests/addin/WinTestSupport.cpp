#include "tests/addin/WinTestSupport.h"

#include <stdexcept>
#include <vector>

#include "base/win32/ThisModule.h"

namespace tavisk::testing {

std::wstring AddinDllPath() {
    std::wstring path = base::win32::ModulePath(nullptr);
    for (int up = 0; up < 3; ++up) path.erase(path.find_last_of(L'\\'));  // the build folder
    return path + L"\\addin\\tavisk2002.dll";
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

namespace {

std::optional<std::vector<BYTE>> ReadRaw(HKEY root, const std::wstring& key, const wchar_t* name, DWORD wanted) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, &type, nullptr, &size) != ERROR_SUCCESS || type != wanted)
        return std::nullopt;
    std::vector<BYTE> data(size);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, &type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}

}  // namespace

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& key, const wchar_t* name) {
    const auto data = ReadRaw(root, key, name, REG_SZ);
    if (!data) return std::nullopt;
    std::wstring text(reinterpret_cast<const wchar_t*>(data->data()), data->size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::optional<DWORD> ReadNumber(HKEY root, const std::wstring& key, const wchar_t* name) {
    const auto data = ReadRaw(root, key, name, REG_DWORD);
    if (!data || data->size() != sizeof(DWORD)) return std::nullopt;
    return *reinterpret_cast<const DWORD*>(data->data());
}

DWORD RunProgram(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start the program");
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace tavisk::testing
