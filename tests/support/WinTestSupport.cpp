#include "tests/support/WinTestSupport.h"

#include <stdexcept>
#include <vector>

#include "base/win32/ThisModule.h"

namespace tavisk::testing {

std::wstring AddinDllPath() {
    std::wstring path = base::win32::ModulePath(nullptr);
    path.erase(path.rfind(L"\\tests\\"));  // the build folder, whatever folder of tests/ holds the program
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

bool StartProcess(const std::wstring& commandLine, PROCESS_INFORMATION& started) {
    std::wstring line = commandLine;  // CreateProcessW may write into the command line
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started);
}

DWORD RunProgram(const std::wstring& commandLine) {
    PROCESS_INFORMATION process{};
    if (!StartProcess(commandLine, process)) throw std::runtime_error("cannot start the program");
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

namespace {

struct TopSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<TopSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.process && IsWindowVisible(window)) search.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleTopWindows(DWORD process) {
    TopSearch search{process, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindOwnWindow(const wchar_t* title) {
    for (HWND window = FindWindowW(nullptr, title); window; window = FindWindowExW(nullptr, window, nullptr, title)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

}  // namespace tavisk::testing
