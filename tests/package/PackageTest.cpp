// The setup package under Windows Installer, in a prefix of its own (fresh-prefix.sh)
// so nothing registered before can stand in for what the package writes: per user,
// its registry against what regsvr32 writes, repair and a clean uninstall; per
// machine, the stand-in host loading the installed add-in, uninstalled while the
// host holds it; an older package replaced by the newer one.
#include <windows.h>

#include <msi.h>
#include <psapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "addin/RegistrationTable.h"
#include "base/win32/ThisModule.h"
#include "tests/addin/HostSession.h"
#include "tests/addin/WinTestSupport.h"

namespace tavisk::testing {
namespace {

using addin::table::Hive;

// The keys of the add-in's own trees: 5 below its CLSID, 2 of its ProgID, 4 of its
// interface, 6 of its type library, and the host's add-in key.
constexpr size_t kKeys = 18;

std::wstring Folder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// msiexec /i or /x on a package of the build, silently, with `properties`.
DWORD Msiexec(const wchar_t* option, const std::wstring& package, const std::wstring& properties = L"") {
    std::wstring path = L"Z:" + package;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return RunProgram(L"msiexec.exe " + std::wstring(option) + L" \"" + path + L"\" " + properties + L" /qn");
}

// One line per key and per value below `key`, the root left out.
void DumpKey(HKEY root, const std::wstring& key, std::vector<std::wstring>& lines) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    lines.push_back(key);
    wchar_t name[256];
    wchar_t data[1025];
    DWORD type = 0;
    for (DWORD i = 0, length = 256, size = 2048;
         RegEnumValueW(opened, i, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == 0;
         ++i, length = 256, size = 2048) {
        data[size / sizeof(wchar_t)] = L'\0';
        DWORD number = 0;
        memcpy(&number, data, sizeof number);
        const std::wstring text = type == REG_DWORD ? std::to_wstring(number) : data;
        lines.push_back(key + L" | " + (length ? name : L"@") + L" | " + std::to_wstring(type) + L" " + text);
    }
    std::vector<std::wstring> subKeys;
    for (DWORD i = 0, length = 256; RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, length = 256)
        subKeys.push_back(name);
    RegCloseKey(opened);
    for (const auto& sub : subKeys) DumpKey(root, key + L"\\" + sub, lines);
}

// The add-in's own keys: the classes' below `classes`, the host's add-in key below `hive`.
std::vector<std::wstring> Dump(HKEY classes, HKEY hive) {
    std::vector<std::wstring> lines;
    for (const auto& owned : addin::table::kOwnedKeys)
        DumpKey(owned.hive == Hive::Classes ? classes : hive, owned.key, lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The add-in's keys as the package writes them below `hive`: the classes in its
// Software\Classes, opened afresh (Windows Installer may remove and remake it).
std::vector<std::wstring> PackageDump(HKEY hive) {
    HKEY classes = nullptr;
    RegOpenKeyExW(hive, L"Software\\Classes", 0, KEY_READ, &classes);
    auto lines = Dump(classes ? classes : hive, hive);
    if (classes) RegCloseKey(classes);
    return lines;
}

// What regsvr32 writes for `dll` in place of what the package wrote below `hive`,
// dumped, then unregistered again.
std::vector<std::wstring> Regsvr32Dump(const std::wstring& dll, HKEY hive) {
    for (const auto& owned : addin::table::kOwnedKeys)
        RegDeleteTreeW(
            hive, ((owned.hive == Hive::Classes ? L"Software\\Classes\\" : L"") + std::wstring(owned.key)).c_str());
    EXPECT_EQ(RunProgram(L"regsvr32.exe /s \"" + dll + L"\""), 0u);
    auto lines = Dump(HKEY_CLASSES_ROOT, HKEY_CURRENT_USER);
    EXPECT_EQ(RunProgram(L"regsvr32.exe /u /s \"" + dll + L"\""), 0u);
    return lines;
}

// The installed products of the package's fixed upgrade code.
std::vector<std::wstring> InstalledProducts() {
    std::vector<std::wstring> products;
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(L"{5B0D1E0A-6C1F-4E0B-9F62-3A7C2D9E8B41}", 0, i, product) == 0; ++i)
        products.push_back(product);
    return products;
}

std::wstring ProductInfo(const std::wstring& product, const wchar_t* property) {
    wchar_t value[512] = L"";
    DWORD length = 512;
    return MsiGetProductInfoW(product.c_str(), property, value, &length) == ERROR_SUCCESS ? value : L"";
}

// The path the process loaded tavisk2002.dll from, or empty.
std::wstring LoadedAddin(HANDLE process) {
    HMODULE modules[512];
    DWORD needed = 0;
    EnumProcessModules(process, modules, sizeof modules, &needed);
    for (DWORD i = 0; i < std::min<DWORD>(needed / sizeof(HMODULE), 512); ++i) {
        wchar_t path[MAX_PATH] = L"";
        GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
        const wchar_t* name = wcsrchr(path, L'\\');
        if (name && lstrcmpiW(name + 1, L"tavisk2002.dll") == 0) return path;
    }
    return L"";
}

class PackageTest : public ::testing::Test {
protected:
    ComApartment apartment;
};

TEST_F(PackageTest, PerUserInstallWritesWhatRegsvr32WritesRepairsAndUninstallsClean) {
    const std::wstring dll = Folder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Halvern\\Tavisk 2002\\tavisk2002.dll";
    ASSERT_EQ(Msiexec(L"/i", TAVISK_MSI), 0u);
    EXPECT_TRUE(Exists(dll)) << "installed into the user's program folder";
    const auto installed = PackageDump(HKEY_CURRENT_USER);
    EXPECT_EQ(installed.size(), std::size(addin::table::kValues) + kKeys) << "each value and each key";
    EXPECT_TRUE(PackageDump(HKEY_LOCAL_MACHINE).empty()) << "nothing for the machine per user";

    // Wine shows HKCU\Software\Classes under HKEY_CLASSES_ROOT or not: say which.
    CLSID clsid{};
    std::wcout << L"COM finds the class registered only per user: "
               << (CLSIDFromProgID(L"tavisk2002.Connect", &clsid) == S_OK ? L"yes" : L"no") << std::endl;

    EXPECT_EQ(installed, Regsvr32Dump(dll, HKEY_CURRENT_USER))
        << "the package writes exactly what DllRegisterServer writes";

    // The same package again repairs: the file and the keys taken away come back.
    ASSERT_TRUE(DeleteFileW(dll.c_str()));
    EXPECT_EQ(Msiexec(L"/i", TAVISK_MSI), 0u);
    EXPECT_TRUE(Exists(dll));
    EXPECT_EQ(PackageDump(HKEY_CURRENT_USER), installed);

    ASSERT_EQ(Msiexec(L"/x", TAVISK_MSI), 0u);
    EXPECT_TRUE(PackageDump(HKEY_CURRENT_USER).empty());
    EXPECT_FALSE(Exists(Folder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Halvern")) << "no folder left";
    EXPECT_TRUE(InstalledProducts().empty());
}

TEST_F(PackageTest, PerMachineInstallLoadsInTheHostAndUninstallsWhileTheHostHoldsIt) {
    const std::wstring dll = Folder(CSIDL_PROGRAM_FILES) + L"\\Halvern\\Tavisk 2002\\tavisk2002.dll";
    ASSERT_EQ(Msiexec(L"/i", TAVISK_MSI, L"ALLUSERS=1"), 0u);
    EXPECT_TRUE(Exists(dll)) << "installed into the program files folder";
    const auto installed = PackageDump(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(PackageDump(HKEY_CURRENT_USER).empty()) << "nothing for the user per machine";
    EXPECT_EQ(installed, Regsvr32Dump(dll, HKEY_LOCAL_MACHINE));
    EXPECT_EQ(Msiexec(L"/i", TAVISK_MSI, L"ALLUSERS=1"), 0u) << "repair";
    ASSERT_EQ(PackageDump(HKEY_LOCAL_MACHINE), installed);

    std::wstring build = base::win32::ModulePath(nullptr);
    for (int up = 0; up < 3; ++up) build.erase(build.find_last_of(L'\\'));
    HostProcess host(L"\"" + build + L"\\simhost\\win32\\simhost.exe\" \"" + SampleWeb() + L"\"");
    const HWND main = WaitForHostWindow(host);
    ASSERT_TRUE(main);
    const HWND dialog = RunToolsCommand(host, main, L"");
    EXPECT_TRUE(dialog);
    EXPECT_EQ(lstrcmpiW(LoadedAddin(host.handle()).c_str(), dll.c_str()), 0) << "the host runs the installed DLL";

    // Removed while the host holds the DLL: the registration goes at once, the file
    // as Windows Installer decides (on Windows at the next restart, exit code 3010).
    // Windows runs a per-machine product's maintenance with ALLUSERS=1 of its own;
    // Wine 8 does not (and then removes nothing), so the command line says it.
    const DWORD removed = Msiexec(L"/x", TAVISK_MSI, L"ALLUSERS=1");
    EXPECT_TRUE(removed == 0 || removed == 3010) << removed;
    EXPECT_TRUE(PackageDump(HKEY_LOCAL_MACHINE).empty());
    EXPECT_TRUE(InstalledProducts().empty());
    std::wcout << L"uninstalled with the DLL in use: exit code " << removed << L", the DLL "
               << (Exists(dll) ? L"left in place" : L"removed") << std::endl;

    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(host.wait(), 0u) << "the host closed cleanly, with the add-in disconnected";
}

TEST_F(PackageTest, TheNewerPackageReplacesTheOlderUnderOneEntry) {
    ASSERT_EQ(Msiexec(L"/i", TAVISK_OLDER_MSI), 0u);
    const auto older = InstalledProducts();
    ASSERT_EQ(older.size(), 1u);
    EXPECT_EQ(ProductInfo(older[0], INSTALLPROPERTY_VERSIONSTRING), TAVISK_OLDER_VERSION);

    ASSERT_EQ(Msiexec(L"/i", TAVISK_MSI), 0u);
    const auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u) << "the older product is gone";
    EXPECT_NE(products[0], older[0]);
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING), TAVISK_VERSION);
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_INSTALLEDPRODUCTNAME), L"Tavisk 2002");
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_PUBLISHER), L"Halvern");
    EXPECT_TRUE(Exists(ProductInfo(products[0], INSTALLPROPERTY_PRODUCTICON))) << "the product icon";
    EXPECT_EQ(PackageDump(HKEY_CURRENT_USER).size(), std::size(addin::table::kValues) + kKeys);

    ASSERT_EQ(Msiexec(L"/x", TAVISK_MSI), 0u);
    EXPECT_TRUE(PackageDump(HKEY_CURRENT_USER).empty());
}

}  // namespace
}  // namespace tavisk::testing
