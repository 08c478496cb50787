// The setup package under Windows Installer, in a prefix of its own (fresh-prefix.sh)
// so nothing registered before can stand in for what the package writes: per user,
// its registry against what regsvr32 writes for the installed DLL, repair, and an
// uninstall that leaves nothing; per machine, the stand-in host loading the add-in
// from the installed folder, and an uninstall while the host holds the DLL; an older
// package replaced by the newer one under one control panel entry.
#include <windows.h>

#include <msi.h>
#include <psapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <iostream>
#include <string>
#include <vector>

#include "addin/RegistrationTable.h"
#include "base/win32/ThisModule.h"
#include "tests/addin/HostSession.h"
#include "tests/addin/WinTestSupport.h"

namespace tavisk::testing {
namespace {

constexpr wchar_t kUpgradeCode[] = L"{5B0D1E0A-6C1F-4E0B-9F62-3A7C2D9E8B41}";
constexpr wchar_t kAddinKey[] = L"Software\\Microsoft\\Office\\FrontPage\\Addins\\tavisk2002.Connect";
constexpr DWORD kRebootRequired = 3010;
// The keys of the add-in's own trees: 5 below its CLSID, 2 of its ProgID, 4 of its
// interface, 6 of its type library, and the host's add-in key.
constexpr size_t kKeys = 18;

std::wstring WindowsPath(std::wstring path) {
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return L"Z:" + path;
}

std::wstring BuildFolder() {
    std::wstring path = base::win32::ModulePath(nullptr);
    for (int up = 0; up < 3; ++up) path.erase(path.find_last_of(L'\\'));
    return path;
}

std::wstring Folder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD Msiexec(const std::wstring& arguments) { return RunProgram(L"msiexec.exe " + arguments + L" /qn"); }

// One line per key and per value below `key`, the root left out:
// "key" or "key | name | type | data".
void DumpKey(HKEY root, const std::wstring& key, std::vector<std::wstring>& lines) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    lines.push_back(key);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        BYTE data[2048];
        DWORD size = sizeof data;
        if (RegEnumValueW(opened, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::wstring text;
        if (type == REG_DWORD) {
            text = L"dword " + std::to_wstring(*reinterpret_cast<const DWORD*>(data));
        } else {
            text = (type == REG_SZ ? L"sz " : L"type " + std::to_wstring(type) + L" ") +
                   std::wstring(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();
        }
        lines.push_back(key + L" | " + (nameLength ? name : L"@") + L" | " + text);
    }
    std::vector<std::wstring> subKeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(opened, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subKeys.push_back(name);
    }
    RegCloseKey(opened);
    for (const auto& sub : subKeys) DumpKey(root, key + L"\\" + sub, lines);
}

// Everything below the add-in's own keys: those of the classes below `classes`, the
// host's add-in key below `hive`. Sorted, so two dumps compare line by line.
std::vector<std::wstring> Dump(HKEY classes, HKEY hive) {
    std::vector<std::wstring> lines;
    for (const auto& owned : addin::table::kOwnedKeys) {
        const bool isClass = owned.hive == addin::table::Hive::Classes;
        std::vector<std::wstring> found;
        DumpKey(isClass ? classes : hive, owned.key, found);
        for (const auto& line : found) lines.push_back((isClass ? L"classes " : L"user ") + line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

void Print(const char* title, const std::vector<std::wstring>& lines) {
    std::wcout << title << L" (" << lines.size() << L" lines)\n";
    for (const auto& line : lines) std::wcout << L"  " << line << L"\n";
}

// Software\Classes of a hive, as its own key.
class ClassesOf {
public:
    explicit ClassesOf(HKEY hive) {
        RegCreateKeyExW(hive, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &_key, nullptr);
    }
    ClassesOf(const ClassesOf&) = delete;
    ~ClassesOf() { RegCloseKey(_key); }
    HKEY get() const { return _key; }

private:
    HKEY _key = nullptr;
};

// The installed products of the package's upgrade code.
std::vector<std::wstring> InstalledProducts() {
    std::vector<std::wstring> products;
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, product) == ERROR_SUCCESS; ++i)
        products.push_back(product);
    return products;
}

std::wstring ProductInfo(const std::wstring& product, const wchar_t* property) {
    wchar_t value[512] = L"";
    DWORD length = 512;
    return MsiGetProductInfoW(product.c_str(), property, value, &length) == ERROR_SUCCESS ? value : L"";
}

// The control panel's entries named "Tavisk 2002", in both hives' Uninstall keys.
int ControlPanelEntries() {
    int entries = 0;
    for (const HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
        HKEY opened = nullptr;
        if (RegOpenKeyExW(hive, uninstall.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) continue;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD length = 256;
            if (RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            entries += ReadText(hive, uninstall + L"\\" + name, L"DisplayName") == L"Tavisk 2002";
        }
        RegCloseKey(opened);
    }
    return entries;
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Whether `path` waits in PendingFileRenameOperations to be deleted at the next
// restart, where Windows Installer leaves a file in use that it removes.
bool RemovedAtRestart(const std::wstring& path) {
    const wchar_t* key = L"System\\CurrentControlSet\\Control\\Session Manager";
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1);
    RegGetValueW(HKEY_LOCAL_MACHINE, key, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, data.data(),
                 &size);
    // Pairs of "\??\source" and target, the target empty for a deletion.
    for (const wchar_t* entry = data.data(); *entry;) {
        const std::wstring source = entry;
        entry += source.size() + 1;
        const std::wstring target = entry;
        entry += target.size() + 1;
        if (target.empty() && Lower(source).ends_with(Lower(path))) return true;
    }
    return false;
}

// The path the process loaded tavisk2002.dll from, or empty.
std::wstring LoadedAddin(HANDLE process) {
    HMODULE modules[512];
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &needed)) return L"";
    for (DWORD i = 0; i < std::min<DWORD>(needed / sizeof(HMODULE), 512); ++i) {
        wchar_t path[MAX_PATH] = L"";
        GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
        const std::wstring name = Lower(path);
        if (name.size() >= 15 && name.ends_with(L"\\tavisk2002.dll")) return path;
    }
    return L"";
}

// Writes afresh, with regsvr32 on `dll`, what the package wrote in these roots,
// dumps it, and unregisters it again: the package's dump must equal it.
std::vector<std::wstring> Regsvr32Dump(const std::wstring& dll, HKEY packageClasses, HKEY packageHive) {
    for (const auto& owned : addin::table::kOwnedKeys)
        RegDeleteTreeW(owned.hive == addin::table::Hive::Classes ? packageClasses : packageHive, owned.key);
    EXPECT_EQ(RunProgram(L"regsvr32.exe /s \"" + dll + L"\""), 0u);
    auto lines = Dump(HKEY_CLASSES_ROOT, HKEY_CURRENT_USER);
    EXPECT_EQ(RunProgram(L"regsvr32.exe /u /s \"" + dll + L"\""), 0u);
    return lines;
}

class PackageTest : public ::testing::Test {
protected:
    const std::wstring msi = L"\"" + WindowsPath(TAVISK_MSI) + L"\"";
    const std::wstring olderMsi = L"\"" + WindowsPath(TAVISK_OLDER_MSI) + L"\"";
    ComApartment apartment;
};

TEST_F(PackageTest, PerUserInstallWritesWhatRegsvr32WritesRepairsAndUninstallsClean) {
    const std::wstring folder = Folder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Halvern\\Tavisk 2002";
    const std::wstring dll = folder + L"\\tavisk2002.dll";
    const ClassesOf userClasses(HKEY_CURRENT_USER);
    const ClassesOf machineClasses(HKEY_LOCAL_MACHINE);

    ASSERT_EQ(Msiexec(L"/i " + msi), 0u);
    EXPECT_TRUE(Exists(dll)) << "installed into the user's program folder";
    const auto installed = Dump(userClasses.get(), HKEY_CURRENT_USER);
    EXPECT_TRUE(Dump(machineClasses.get(), HKEY_LOCAL_MACHINE).empty()) << "nothing for the machine per user";
    Print("per-user install, HKCU\\Software\\Classes and HKCU", installed);

    // Wine shows HKCU\Software\Classes under HKEY_CLASSES_ROOT or not: say which.
    CLSID clsid{};
    std::wcout << L"COM finds the class registered only per user: "
               << (CLSIDFromProgID(L"tavisk2002.Connect", &clsid) == S_OK ? L"yes" : L"no") << L"\n";

    const auto registered = Regsvr32Dump(dll, userClasses.get(), HKEY_CURRENT_USER);
    Print("regsvr32 on the installed DLL, HKEY_CLASSES_ROOT and HKCU", registered);
    EXPECT_EQ(installed, registered) << "the package writes exactly what DllRegisterServer writes";
    EXPECT_EQ(installed.size(), std::size(addin::table::kValues) + kKeys) << "each value and each key";

    // The same package again repairs: the file and the keys taken away come back.
    ASSERT_TRUE(DeleteFileW(dll.c_str()));
    EXPECT_EQ(Msiexec(L"/i " + msi), 0u);
    EXPECT_TRUE(Exists(dll));
    EXPECT_EQ(Dump(userClasses.get(), HKEY_CURRENT_USER), installed);

    ASSERT_EQ(Msiexec(L"/x " + msi), 0u);
    EXPECT_TRUE(Dump(userClasses.get(), HKEY_CURRENT_USER).empty());
    EXPECT_FALSE(Exists(Folder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Halvern")) << "no folder left";
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_EQ(ControlPanelEntries(), 0);
}

TEST_F(PackageTest, PerMachineInstallLoadsInTheHostAndUninstallsWhileTheHostHoldsIt) {
    const std::wstring folder = Folder(CSIDL_PROGRAM_FILES) + L"\\Halvern\\Tavisk 2002";
    const std::wstring dll = folder + L"\\tavisk2002.dll";
    const ClassesOf userClasses(HKEY_CURRENT_USER);
    const ClassesOf machineClasses(HKEY_LOCAL_MACHINE);

    ASSERT_EQ(Msiexec(L"/i " + msi + L" ALLUSERS=1"), 0u);
    EXPECT_TRUE(Exists(dll)) << "installed into the program files folder";
    const auto installed = Dump(machineClasses.get(), HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(Dump(userClasses.get(), HKEY_CURRENT_USER).empty()) << "nothing for the user per machine";
    const auto registered = Regsvr32Dump(dll, machineClasses.get(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(installed, registered);
    EXPECT_EQ(Msiexec(L"/i " + msi + L" ALLUSERS=1"), 0u) << "repair";
    ASSERT_EQ(Dump(machineClasses.get(), HKEY_LOCAL_MACHINE), installed);

    HostProcess host(L"\"" + BuildFolder() + L"\\simhost\\win32\\simhost.exe\" \"" + SampleWeb() + L"\"");
    ASSERT_TRUE(host.started());
    const HWND main = WaitForHostWindow(host);
    ASSERT_TRUE(main);
    const HWND dialog = RunToolsCommand(host, main, L"");
    EXPECT_TRUE(dialog);
    EXPECT_EQ(Lower(LoadedAddin(host.handle())), Lower(dll)) << "the host runs the installed DLL";

    // Uninstalled while the host holds the DLL: the registration goes at once, the
    // file as Windows Installer decides: on Windows at the next restart (3010);
    // Wine 8 leaves a file it cannot delete where it is, so that is only reported.
    // Windows runs the maintenance of a per-machine product with ALLUSERS=1 of its
    // own; Wine 8 does not (and then removes nothing of the machine's components),
    // so the command line says it, as an administrator's script may.
    const DWORD removed = Msiexec(L"/x " + msi + L" ALLUSERS=1");
    EXPECT_TRUE(removed == 0 || removed == kRebootRequired) << removed;
    const auto left = Dump(machineClasses.get(), HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(left.empty());
    Print("left after uninstall", left);
    EXPECT_TRUE(InstalledProducts().empty());
    std::wcout << L"uninstall with the DLL in use: exit code " << removed << L", the DLL "
               << (!Exists(dll)            ? L"removed"
                   : RemovedAtRestart(dll) ? L"removed at the next restart"
                                           : L"left")
               << L"\n";

    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(host.wait(), 0u) << "the host closed cleanly, with the add-in disconnected";
    if (!Exists(dll)) {
        EXPECT_FALSE(Exists(Folder(CSIDL_PROGRAM_FILES) + L"\\Halvern")) << "no folder left";
    }
}

TEST_F(PackageTest, TheNewerPackageReplacesTheOlderUnderOneControlPanelEntry) {
    ASSERT_EQ(Msiexec(L"/i " + olderMsi), 0u);
    auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    const std::wstring older = products[0];
    EXPECT_EQ(ProductInfo(older, INSTALLPROPERTY_VERSIONSTRING), TAVISK_OLDER_VERSION);

    ASSERT_EQ(Msiexec(L"/i " + msi), 0u);
    products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u) << "the older product is gone";
    EXPECT_NE(products[0], older);
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING), TAVISK_VERSION);
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_INSTALLEDPRODUCTNAME), L"Tavisk 2002");
    EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_PUBLISHER), L"Halvern");
    EXPECT_TRUE(Exists(ProductInfo(products[0], INSTALLPROPERTY_PRODUCTICON))) << "the product icon";
    EXPECT_EQ(ControlPanelEntries(), 1);
    const ClassesOf userClasses(HKEY_CURRENT_USER);
    EXPECT_EQ(Dump(userClasses.get(), HKEY_CURRENT_USER).size(), std::size(addin::table::kValues) + kKeys);

    ASSERT_EQ(Msiexec(L"/x " + msi), 0u);
    EXPECT_TRUE(Dump(userClasses.get(), HKEY_CURRENT_USER).empty());
    EXPECT_EQ(ControlPanelEntries(), 0);
}

}  // namespace
}  // namespace tavisk::testing
