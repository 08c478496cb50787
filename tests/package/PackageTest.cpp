// The setup package under Windows Installer, in a prefix of its own (fresh-prefix.sh)
// so nothing registered before can stand in for what the package writes.
#include <windows.h>

#include <msi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "addin/RegistrationTable.h"
#include "tests/addin/WinTestSupport.h"
#include "tests/e2e/TaviskSteps.h"

namespace tavisk::testing {
namespace {

using addin::table::Hive;

std::wstring Windows(const std::wstring& path) {
    std::wstring windows = L"Z:" + path;
    std::replace(windows.begin(), windows.end(), L'/', L'\\');
    return windows;
}

DWORD Msiexec(const wchar_t* option, const wchar_t* package, const std::wstring& properties = L"") {
    return RunProgram(L"msiexec.exe " + std::wstring(option) + L" \"" + Windows(package) + L"\" " + properties +
                      L" /qn");
}

// One line per key and per value below `path` + `key`, the root and `path` left out.
void DumpKey(HKEY root, const std::wstring& path, const std::wstring& key, std::vector<std::wstring>& lines) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, (path + key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    lines.push_back(key);
    wchar_t name[256], data[1025];
    DWORD type = 0;
    for (DWORD i = 0, length = 256, size = 2048;
         RegEnumValueW(opened, i, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == 0;
         ++i, length = 256, size = 2048) {
        data[size / sizeof(wchar_t)] = L'\0';
        const auto text = type == REG_DWORD ? std::to_wstring(data[0] | DWORD{data[1]} << 16) : data;
        lines.push_back(key + L" | " + (length ? name : L"@") + L" | " + std::to_wstring(type) + L" " + text);
    }
    for (DWORD i = 0, length = 256; RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, length = 256)
        DumpKey(root, path, key + L"\\" + name, lines);
    RegCloseKey(opened);
}

// The add-in's own keys, sorted: the classes' below `classes` + `path`, the host's below `user`.
// Opened afresh each time, as Windows Installer may remove and remake Software\Classes.
std::vector<std::wstring> Dump(HKEY classes, const std::wstring& path, HKEY user) {
    std::vector<std::wstring> lines;
    for (const auto& owned : addin::table::kOwnedKeys)
        DumpKey(owned.hive == Hive::Classes ? classes : user, owned.hive == Hive::Classes ? path : L"", owned.key,
                lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::wstring> Installed(HKEY hive) { return Dump(hive, L"Software\\Classes\\", hive); }

// What regsvr32 writes for `dll` once the package's keys below `hive` are taken away; unregistered again.
std::vector<std::wstring> Regsvr32Dump(const std::wstring& dll, HKEY hive) {
    for (const auto& owned : addin::table::kOwnedKeys)
        RegDeleteTreeW(
            hive, ((owned.hive == Hive::Classes ? L"Software\\Classes\\" : L"") + std::wstring(owned.key)).c_str());
    EXPECT_EQ(RunProgram(L"regsvr32.exe /s \"" + dll + L"\""), 0u);
    auto lines = Dump(HKEY_CLASSES_ROOT, L"", HKEY_CURRENT_USER);
    EXPECT_EQ(RunProgram(L"regsvr32.exe /u /s \"" + dll + L"\""), 0u);
    return lines;
}

// The installed products of the package's fixed upgrade code.
std::vector<std::wstring> Products() {
    std::vector<std::wstring> products;
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(L"{5B0D1E0A-6C1F-4E0B-9F62-3A7C2D9E8B41}", 0, i, product) == 0; ++i)
        products.push_back(product);
    return products;
}

std::wstring Info(const std::wstring& product, const wchar_t* property) {
    wchar_t value[512] = L"";
    DWORD length = 512;
    return MsiGetProductInfoW(product.c_str(), property, value, &length) == ERROR_SUCCESS ? value : L"";
}

bool Loads(DWORD process, const std::wstring& dll) {
    const HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32FirstW(modules, &module); more && !found; more = Module32NextW(modules, &module))
        found = lstrcmpiW(module.szExePath, dll.c_str()) == 0;
    CloseHandle(modules);
    return found;
}

TEST(PackageTest, InstallsWhatRegsvr32WritesRepairsUpgradesAndUninstallsClean) {
    struct Context {
        const wchar_t* properties;
        HKEY hive, other;
        int csidl;
        const wchar_t* maker;
    };
    std::vector<std::wstring> perUser;
    for (const auto& [properties, hive, other, csidl, maker] :
         {Context{L"", HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, CSIDL_LOCAL_APPDATA, L"\\Programs\\Halvern"},
          Context{L"ALLUSERS=1", HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, CSIDL_PROGRAM_FILES, L"\\Halvern"}}) {
        SCOPED_TRACE(hive == HKEY_CURRENT_USER ? "per user" : "per machine");
        wchar_t folder[MAX_PATH] = L"";
        SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
        const std::wstring halvern = folder + std::wstring(maker), dll = halvern + L"\\Tavisk 2002\\tavisk2002.dll";
        ASSERT_EQ(Msiexec(L"/i", TAVISK_MSI, properties), 0u);
        const auto installed = Installed(hive);
        ASSERT_FALSE(installed.empty());
        EXPECT_TRUE(Installed(other).empty());
        EXPECT_EQ(installed, Regsvr32Dump(dll, hive)) << "the package writes exactly what DllRegisterServer writes";
        if (hive == HKEY_CURRENT_USER) perUser = installed;

        // The same package again repairs: the keys regsvr32 took away and the file come back.
        ASSERT_TRUE(DeleteFileW(dll.c_str()));
        EXPECT_EQ(Msiexec(L"/i", TAVISK_MSI, properties), 0u);
        EXPECT_EQ(Installed(hive), installed);

        // Wine 8's COM does not read HKCU\Software\Classes, so the host meets the add-in per machine only.
        if (hive == HKEY_LOCAL_MACHINE) {
            e2e::HostProcess host(Windows(TAVISK_BUILD_DIR L"/simhost/win32/simhost.exe"),
                                  Windows(TAVISK_SOURCE_DIR L"/samples/web"));
            e2e::Camera camera;
            PostMessageW(e2e::OpenOptionsDialog(host, camera), WM_CLOSE, 0, 0);
            EXPECT_TRUE(Loads(host.id(), dll)) << "the host runs the installed DLL";
            EXPECT_EQ(host.close(), 0u);
        }
        ASSERT_EQ(Msiexec(L"/x", TAVISK_MSI, properties), 0u);
        EXPECT_TRUE(Installed(hive).empty());
        EXPECT_EQ(GetFileAttributesW(halvern.c_str()), INVALID_FILE_ATTRIBUTES) << "no folder left";
        EXPECT_TRUE(Products().empty());
    }

    // The older package, then the newer: one entry, the newer's, in the control panel.
    ASSERT_EQ(Msiexec(L"/i", TAVISK_OLDER_MSI), 0u);
    const auto older = Products();
    ASSERT_EQ(older.size(), 1u);
    ASSERT_EQ(Msiexec(L"/i", TAVISK_MSI), 0u);
    const auto products = Products();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_NE(products, older);
    EXPECT_EQ(Info(products[0], INSTALLPROPERTY_VERSIONSTRING), TAVISK_VERSION);
    EXPECT_EQ(Info(products[0], INSTALLPROPERTY_INSTALLEDPRODUCTNAME), L"Tavisk 2002");
    EXPECT_EQ(Info(products[0], INSTALLPROPERTY_PUBLISHER), L"Halvern");
    EXPECT_NE(GetFileAttributesW(Info(products[0], INSTALLPROPERTY_PRODUCTICON).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Installed(HKEY_CURRENT_USER), perUser);
    EXPECT_EQ(Msiexec(L"/x", TAVISK_MSI), 0u);
}

}  // namespace
}  // namespace tavisk::testing
