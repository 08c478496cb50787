// The setup package under Windows Installer, in a Wine prefix of its own (fresh-prefix.sh)
// so nothing registered before can stand in for what the package writes.
#include <windows.h>

#include <msi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "addin/RegistrationTable.h"
#include "tests/support/WinTestSupport.h"
#include "tests/e2e/TaviskSteps.h"

namespace tavisk::testing {
namespace {

using addin::table::Hive;

std::wstring Windows(const std::wstring& path) { return std::filesystem::path(L"Z:" + path).make_preferred(); }

DWORD Msiexec(const wchar_t* option, const std::wstring& properties = L"", const wchar_t* package = TAVISK_MSI) {
    return RunProgram(std::wstring(L"msiexec.exe /qn ") + option + L" \"" + Windows(package) + L"\" " + properties);
}

// msiexec's basic interface shows why the package refuses to install: that message box's text.
std::wstring Refusal(const std::wstring& properties) {
    PROCESS_INFORMATION msiexec{};
    EXPECT_TRUE(StartProcess(L"msiexec.exe /qb /i \"" + Windows(TAVISK_MSI) + L"\" " + properties, msiexec));
    HWND box = nullptr;
    e2e::WaitFor(L"the package's refusal", [&] {
        for (const HWND window : VisibleTopWindows(msiexec.dwProcessId))
            if (e2e::IsMessageBox(window)) box = window;
        return box != nullptr;
    });
    const std::wstring message = e2e::MessageText(box);
    PostMessageW(box, WM_CLOSE, 0, 0);
    DWORD code = WaitForSingleObject(msiexec.hProcess, e2e::kWaitMs);
    GetExitCodeProcess(msiexec.hProcess, &code);
    EXPECT_EQ(code, static_cast<DWORD>(ERROR_INSTALL_FAILURE)) << message;
    CloseHandle(msiexec.hThread);
    CloseHandle(msiexec.hProcess);
    return message;
}

// One line per key and per value below `path` + `key`, the root and `path` left out.
void DumpKey(HKEY root, const std::wstring& path, const std::wstring& key, std::vector<std::wstring>& out) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, (path + key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    out.push_back(key);
    wchar_t name[256], data[1024];
    DWORD type = 0;
    // The data as its bytes, which a value of the same type, data and length has too.
    for (DWORD i = 0, length = 256, size = 2048;
         RegEnumValueW(opened, i, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == 0;
         ++i, length = 256, size = 2048)
        out.push_back(key + L" | " + (length ? name : L"@") + L" | " + std::to_wstring(type) + L" " +
                      std::wstring(data, size / 2));
    for (DWORD i = 0, length = 256; RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, length = 256)
        DumpKey(root, path, key + L"\\" + name, out);
    RegCloseKey(opened);
}

// The add-in's own keys, sorted: the classes' below `classes` + `path`, the host's below
// `user`; opened afresh each time, as Windows Installer may remove and remake Software\Classes.
std::vector<std::wstring> Dump(HKEY classes, const std::wstring& path, HKEY user) {
    std::vector<std::wstring> out;
    for (const auto& owned : addin::table::kOwnedKeys)
        DumpKey(owned.hive == Hive::Classes ? classes : user, owned.hive == Hive::Classes ? path : L"", owned.key, out);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::wstring> Installed(HKEY hive) { return Dump(hive, L"Software\\Classes\\", hive); }

// The installed products of the package's fixed upgrade code.
std::vector<std::wstring> Products() {
    std::vector<std::wstring> products;
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(L"{5B0D1E0A-6C1F-4E0B-9F62-3A7C2D9E8B41}", 0, i, product) == 0; ++i)
        products.push_back(product);
    return products;
}

TEST(PackageTest, InstallsWhatRegsvr32WritesRepairsUpgradesAndUninstallsClean) {
    std::vector<std::wstring> written[2];  // [user]
    std::wstring folders[2];
    for (const HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const bool user = hive == HKEY_CURRENT_USER;
        SCOPED_TRACE(user ? "per user" : "per machine");
        const std::wstring properties = user ? L"" : L"ALLUSERS=1";
        const std::wstring halvern = _wgetenv(user ? L"LOCALAPPDATA" : L"ProgramFiles") +
                                     std::wstring(user ? L"\\Programs\\Halvern" : L"\\Halvern");
        const std::wstring dll = halvern + L"\\Tavisk 2002\\tavisk2002.dll";
        ASSERT_EQ(Msiexec(L"/i", properties), 0u);
        const auto installed = Installed(hive);
        EXPECT_TRUE(Installed(user ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER).empty());
        written[user] = installed;
        folders[user] = halvern;

        // regsvr32 in place of the package writes the same, only the root differs. Unregistering first
        // clears what HKEY_CLASSES_ROOT shows of the package's keys (on Wine, the machine's only).
        EXPECT_EQ(RunProgram(L"regsvr32.exe /u /s \"" + dll + L"\""), 0u);
        EXPECT_EQ(RunProgram(L"regsvr32.exe /s \"" + dll + L"\""), 0u);
        EXPECT_EQ(Dump(HKEY_CLASSES_ROOT, L"", HKEY_CURRENT_USER), installed);
        EXPECT_EQ(RunProgram(L"regsvr32.exe /u /s \"" + dll + L"\""), 0u);

        // The same package again repairs: the keys regsvr32 took away and the file come back.
        ASSERT_TRUE(DeleteFileW(dll.c_str()));
        EXPECT_EQ(Msiexec(L"/i", properties), 0u);
        EXPECT_EQ(Installed(hive), installed);
        EXPECT_NE(GetFileAttributesW(dll.c_str()), INVALID_FILE_ATTRIBUTES);

        // Wine 8's COM does not read HKCU\Software\Classes: the host meets the add-in per machine.
        if (!user) {
            e2e::HostProcess host(Windows(TAVISK_BUILD_DIR L"/simhost/win32/simhost.exe"),
                                  Windows(TAVISK_SOURCE_DIR L"/samples/web"));
            e2e::Camera camera;
            PostMessageW(e2e::OpenOptionsDialog(host, camera), WM_CLOSE, 0, 0);
        }
        ASSERT_EQ(Msiexec(L"/x", properties), 0u);
        EXPECT_TRUE(Installed(hive).empty());
        EXPECT_EQ(GetFileAttributesW(halvern.c_str()), INVALID_FILE_ATTRIBUTES) << "no folder left";
        EXPECT_FALSE(KeyExists(hive, L"Software\\Halvern\\Tavisk 2002")) << "the copy's record is gone";
        EXPECT_TRUE(Products().empty());
    }

    // The older package in one context, then the newer: refused in the other context before it
    // writes anything, naming the copy and how to remove it; in the same one it replaces the older.
    for (const bool user : {false, true}) {
        SCOPED_TRACE(user ? "older per user" : "older per machine");
        const std::wstring properties = user ? L"" : L"ALLUSERS=1";
        // A class registration whose DLL is gone (a user may not remove it) blocks nothing in the other context.
        const HKEY hive = user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        const std::wstring clsid = L"Software\\Classes\\CLSID\\{107DFA6D-DB13-4A50-B005-D760A7C313A5}";
        const wchar_t gone[] = L"C:\\Gone\\tavisk2002.dll";
        ASSERT_EQ(RegSetKeyValueW(hive, (clsid + L"\\InprocServer32").c_str(), nullptr, REG_SZ, gone, sizeof(gone)), 0);
        EXPECT_EQ(Msiexec(L"/i", user ? L"ALLUSERS=1" : L""), 0u);
        EXPECT_EQ(Msiexec(L"/x", user ? L"ALLUSERS=1" : L""), 0u);
        ASSERT_EQ(RegDeleteTreeW(hive, clsid.c_str()), 0);
        ASSERT_EQ(Msiexec(L"/i", properties, TAVISK_OLDER_MSI), 0u);
        const auto older = Products();
        const std::wstring refusal = Refusal(user ? L"ALLUSERS=1" : L"");
        const std::wstring where = (user ? L" alone, in " : L" for all users of this computer, in ") + folders[user];
        EXPECT_NE(refusal.find(where), std::wstring::npos) << refusal;
        EXPECT_NE(refusal.find(L"Add or Remove Programs, or msiexec /x " + older.at(0)), std::wstring::npos) << refusal;
        // Without its record, as a package from before the record left it, the copy is found by its DLL's registration.
        ASSERT_EQ(RegDeleteKeyW(user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, L"Software\\Halvern\\Tavisk 2002"), 0);
        const std::wstring unrecorded = Refusal(user ? L"ALLUSERS=1" : L"");
        EXPECT_NE(unrecorded.find(L"registered for"), std::wstring::npos) << unrecorded;
        EXPECT_NE(unrecorded.find(folders[user] + L"\\Tavisk 2002\\tavisk2002.dll"), std::wstring::npos) << unrecorded;
        EXPECT_EQ(Products(), older);
        EXPECT_TRUE(Installed(user ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER).empty());
        ASSERT_EQ(Msiexec(L"/i", properties), 0u);
        EXPECT_EQ(Products().size(), 1u);
        EXPECT_NE(Products(), older);
        EXPECT_EQ(Installed(user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE), written[user]);
        EXPECT_EQ(Msiexec(L"/x", properties), 0u);
    }
}

}  // namespace
}  // namespace tavisk::testing
