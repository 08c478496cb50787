// The entry point of the programs that drive real dialogs: their tests run in a
// single-threaded apartment, as the host runs the add-in. "--dpi N" runs them
// instead in a new process that sees a screen of N dots per inch.
#include <windows.h>

#include <objbase.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Windows (and Wine) read the screen's dots per inch, "LogPixels", when a process
// starts: the tests run in a child started after it is set, and the setting is put
// back as it was whatever the child does. TAVISK_EXPECTED_DPI tells the child what
// it should see.
int RunAtDpi(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot open HKCU\\Control Panel\\Desktop\n");
        return 2;
    }
    DWORD previous = 0, size = sizeof previous, type = 0;
    const bool had = RegQueryValueExW(key, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&previous), &size) ==
                         ERROR_SUCCESS &&
                     type == REG_DWORD;
    RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    SetEnvironmentVariableW(L"TAVISK_EXPECTED_DPI", std::to_wstring(dpi).c_str());

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    DWORD code = 3;
    if (CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        std::fprintf(stderr, "cannot start the tests again (error %lu)\n", GetLastError());
    }
    if (had) {
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous), sizeof previous);
    } else {
        RegDeleteValueW(key, L"LogPixels");
    }
    RegCloseKey(key);
    return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--dpi") == 0) return RunAtDpi(static_cast<DWORD>(std::atoi(argv[2])));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
