// Lifetimes over many rounds: the add-in loaded and unloaded by the stand-in
// host's loader a thousand times leaves no object, handle, window object or memory
// behind, and registering and unregistering it a hundred times leaves the registry
// as it found it; its dialogs, open when the host disconnects it, close cleanly and
// it loads again. The figures are printed and recorded as test properties.
#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "addin/tavisk2002_h.h"
#include "simhost/SimHost.h"
#include "simhost/win32/AddInLoader.h"
#include "simhost/win32/ComHost.h"
#include "tests/support/WinTestSupport.h"
#include "tests/support/WindowDriver.h"

namespace tavisk::testing {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kLoaderKey[] = L"Software\\TaviskTests\\LifetimeAddins";
constexpr wchar_t kProgId[] = L"tavisk2002.Connect";

struct Usage {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    DWORD windows = 0;
    SIZE_T privateBytes = 0;
};

// Wine answers GetProcessHandleCount with 0; there the handles are counted by
// probing every handle value, as Wine hands out small multiples of 4, lowest free first.
DWORD OpenHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

Usage MeasureUsage() {
    Usage usage;
    usage.handles = OpenHandles();
    usage.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    usage.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    // The thread's windows, top-level and child: USER objects as Wine can count them.
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&usage.windows));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    usage.privateBytes = counters.PagefileUsage;
    return usage;
}

std::size_t ToolsItemCount(simhost::SimHost& host) {
    return simhost::CommandBarsModel::FindByCaption(*host.menuBar().controls, L"Tools")->controls().items.size();
}

TEST(LifetimeTest, AThousandLoadsAndUnloadsInTheHostLeaveNothingBehind) {
    ComApartment apartment;
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    ASSERT_EQ(dll.call("DllRegisterServer"), S_OK);
    HKEY entry = nullptr;
    const std::wstring entryKey = std::wstring(kLoaderKey) + L"\\" + kProgId;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, entryKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &entry, nullptr),
        ERROR_SUCCESS);
    const DWORD loadAtStartup = 3;
    RegSetValueExW(entry, L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&loadAtStartup),
                   sizeof loadAtStartup);
    RegCloseKey(entry);

    simhost::SimHost host;
    host.openWeb(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site"));
    const ComPtr<IDispatch> application = simhost::win32::MakeApplicationDispatch(host);
    const std::size_t toolsItems = ToolsItemCount(host);
    // The stand-in host's log of calls grows with every call; it is the host's, not the add-in's.
    host.recorder().setRecording(false);

    // Each cycle is a host session as the user sees it: the add-in created from its
    // ProgID, connected at start-up, its menu command made, then disconnected at
    // shut-down and released.
    Usage after100;
    Usage after1000;
    const DWORD started = GetTickCount();
    for (int cycle = 1; cycle <= 1000; ++cycle) {
        simhost::win32::AddInLoader loader(kLoaderKey);
        loader.connectAll(application.Get());
        ASSERT_EQ(loader.reports().size(), 1u);
        ASSERT_TRUE(loader.reports()[0].connected) << "cycle " << cycle;
        ASSERT_EQ(ToolsItemCount(host), toolsItems + 1) << "cycle " << cycle << ": the command's menu is made once";
        loader.shutdown();
        ASSERT_EQ(ToolsItemCount(host), toolsItems) << "cycle " << cycle << ": the menu is removed";
        if (cycle == 100) after100 = MeasureUsage();
        if (cycle == 1000) after1000 = MeasureUsage();
    }
    const DWORD elapsed = GetTickCount() - started;
    EXPECT_EQ(dll.call("DllCanUnloadNow"), S_OK) << "an object or lock of the library is still alive";

    std::printf(
        "1000 load/unload cycles in %lu ms\n"
        "  after  100: handles %lu, GDI %lu, USER %lu, windows %lu, private %lu KiB\n"
        "  after 1000: handles %lu, GDI %lu, USER %lu, windows %lu, private %lu KiB\n",
        elapsed, after100.handles, after100.gdi, after100.user, after100.windows,
        static_cast<unsigned long>(after100.privateBytes / 1024), after1000.handles, after1000.gdi, after1000.user,
        after1000.windows, static_cast<unsigned long>(after1000.privateBytes / 1024));
    RecordProperty("cycles", 1000);
    RecordProperty("handles_100", static_cast<int>(after100.handles));
    RecordProperty("handles_1000", static_cast<int>(after1000.handles));
    RecordProperty("gdi_100", static_cast<int>(after100.gdi));
    RecordProperty("gdi_1000", static_cast<int>(after1000.gdi));
    RecordProperty("user_100", static_cast<int>(after100.user));
    RecordProperty("user_1000", static_cast<int>(after1000.user));
    RecordProperty("windows_100", static_cast<int>(after100.windows));
    RecordProperty("windows_1000", static_cast<int>(after1000.windows));
    RecordProperty("private_kib_100", static_cast<int>(after100.privateBytes / 1024));
    RecordProperty("private_kib_1000", static_cast<int>(after1000.privateBytes / 1024));

    // Flat over the last 900 cycles: one handle or window object lost per cycle
    // would show 900, so a margin of a few absorbs only what the system creates
    // lazily once. For memory, 256 KiB over 900 cycles is under 300 bytes a cycle:
    // a connection that left its objects (the add-in, its event sink, the host's
    // proxies it holds) would exceed it, while the heap may still grow by a few pages.
    EXPECT_LE(after1000.handles, after100.handles + 4);
    EXPECT_LE(after1000.gdi, after100.gdi + 4);
    EXPECT_LE(after1000.user, after100.user + 4);
    EXPECT_EQ(after1000.windows, after100.windows);
    EXPECT_LE(after1000.privateBytes, after100.privateBytes + 256 * 1024);

    RegDeleteTreeW(HKEY_CURRENT_USER, kLoaderKey);
    EXPECT_EQ(dll.call("DllUnregisterServer"), S_OK);
    CoFreeUnusedLibraries();
}

// Every key and value below `key`, one line each, in the order the registry lists them.
void Dump(HKEY root, const std::wstring& key, std::vector<std::wstring>& lines) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        lines.push_back(key + L" (absent)");
        return;
    }
    lines.push_back(key);
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(opened, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        std::wstring line = key + L" [" + std::wstring(name.data(), nameLength) + L"] " + std::to_wstring(type) + L":";
        for (DWORD b = 0; b < size; ++b)
            line += L"0123456789abcdef"[data[b] >> 4], line += L"0123456789abcdef"[data[b] & 15];
        lines.push_back(line);
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(opened, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name.data(), nameLength);
    }
    RegCloseKey(opened);
    for (const auto& child : children) Dump(root, key + L"\\" + child, lines);
}

// What registration touches: the class, its ProgID, its interface and type
// library under HKEY_CLASSES_ROOT, and the host's add-in list under
// HKEY_CURRENT_USER, whole.
std::vector<std::wstring> RegistrationSnapshot() {
    std::vector<std::wstring> lines;
    for (const wchar_t* key :
         {L"CLSID\\{107DFA6D-DB13-4A50-B005-D760A7C313A5}", L"tavisk2002.Connect",
          L"Interface\\{98F1126C-D007-4A7F-840F-B5D53F47D455}", L"TypeLib\\{AD9F469A-A1C5-4B03-8A7F-BA2D24E3278D}"})
        Dump(HKEY_CLASSES_ROOT, key, lines);
    Dump(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office", lines);
    return lines;
}

TEST(LifetimeTest, AHundredRegistrationRoundsLeaveTheRegistryAsItWas) {
    ComApartment apartment;
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    // The host's add-in list exists wherever the host is installed; a machine
    // without it is not one the add-in is registered on.
    HKEY hostKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, simhost::win32::kAddInsKey, 0, nullptr, 0, KEY_READ, nullptr, &hostKey,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(hostKey);

    // A round returns to where it started: registered stays registered.
    const bool registered = KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{107DFA6D-DB13-4A50-B005-D760A7C313A5}");
    const char* first = registered ? "DllUnregisterServer" : "DllRegisterServer";
    const char* second = registered ? "DllRegisterServer" : "DllUnregisterServer";
    const auto before = RegistrationSnapshot();
    const DWORD started = GetTickCount();
    for (int round = 1; round <= 100; ++round) {
        ASSERT_EQ(dll.call(first), S_OK) << "round " << round;
        if (round == 1) {
            ASSERT_NE(RegistrationSnapshot(), before) << "the snapshot sees what registration changes";
        }
        ASSERT_EQ(dll.call(second), S_OK) << "round " << round;
    }
    const DWORD elapsed = GetTickCount() - started;
    const auto after = RegistrationSnapshot();
    EXPECT_EQ(after, before);
    std::printf("100 registration rounds in %lu ms; %zu registry lines compared, %s\n", elapsed, before.size(),
                after == before ? "identical" : "DIFFERENT");
    RecordProperty("rounds", 100);
    RecordProperty("lines_compared", static_cast<int>(before.size()));
}

// The add-in disconnected by its host while the options dialog, its page chooser
// and its about box are open: all close at once as Cancel would close them, no box is left up,
// nothing of the library is left, and the host can load it again and open the dialog.
TEST(LifetimeTest, DialogsOpenAtDisconnectionCloseCleanlyAndTheAddinLoadsAgain) {
    ComApartment apartment;
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    auto* getClassObject = dll.proc<GetClassObjectFn>("DllGetClassObject");
    simhost::SimHost host;
    host.openWeb(std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site"));
    const ComPtr<IDispatch> application = simhost::win32::MakeApplicationDispatch(host);
    SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    const auto connectAndClick = [&](ComPtr<IDTExtensibility2>& addin) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject(CLSID_Connect, IID_PPV_ARGS(&factory)), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&addin)), S_OK);
        ASSERT_EQ(addin->OnConnection(application.Get(), ext_cm_AfterStartup, nullptr, &custom), S_OK);
        const auto tools = simhost::CommandBarsModel::FindByCaption(*host.menuBar().controls, L"Tools");
        tools->controls().items.back()->controls().items.back()->execute();  // the user's click
    };

    ComPtr<IDTExtensibility2> addin;
    connectAndClick(addin);
    const HWND dialog = FindOwnWindow(L"Tavisk 2002");
    ASSERT_NE(dialog, nullptr);
    SendMessageW(FindWindowExW(dialog, nullptr, L"Button", L"Selected &page(s)"), BM_CLICK, 0, 0);
    SendMessageW(FindWindowExW(dialog, nullptr, L"Button", L"Edit &Queue"), BM_CLICK, 0, 0);
    Pump();
    const HWND chooser = FindOwnWindow(L"Tavisk 2002 - Select Files");
    ASSERT_NE(chooser, nullptr);
    SendMessageW(FindWindowExW(dialog, nullptr, L"Button", L"About..."), BM_CLICK, 0, 0);
    Pump();
    const HWND about = FindOwnWindow(L"About Tavisk 2002");
    ASSERT_NE(about, nullptr);

    EXPECT_EQ(addin->OnDisconnection(ext_dm_UserClosed, &custom), S_OK);
    EXPECT_FALSE(IsWindow(dialog)) << "the options dialog closes with the connection";
    EXPECT_FALSE(IsWindow(about)) << "and its about box with it";
    EXPECT_FALSE(IsWindow(chooser)) << "and its page chooser";
    Pump();
    EXPECT_EQ(FindOwnWindow(L"Tavisk 2002"), nullptr) << "no message box is left up";
    EXPECT_EQ(FindOwnWindow(L"About Tavisk 2002"), nullptr);
    addin.Reset();
    EXPECT_EQ(dll.call("DllCanUnloadNow"), S_OK) << "nothing of the library is left";

    connectAndClick(addin);
    const HWND again = FindOwnWindow(L"Tavisk 2002");
    ASSERT_NE(again, nullptr) << "the add-in loaded again opens its dialog";
    SendMessageW(again, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(again));
    EXPECT_EQ(addin->OnDisconnection(ext_dm_HostShutdown, &custom), S_OK);
    addin.Reset();
    EXPECT_EQ(dll.call("DllCanUnloadNow"), S_OK);
    SafeArrayDestroy(custom);
}

}  // namespace
}  // namespace tavisk::testing
