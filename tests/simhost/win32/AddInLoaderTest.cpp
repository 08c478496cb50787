#include <olectl.h>

#include <sstream>

#include "TestAddIn.h"
#include "WindowFixture.h"
#include "base/win32/ThisModule.h"
#include "simhost/win32/AddInLoader.h"
#include "simhost/win32/ComHost.h"

namespace tavisk::testing {
namespace {

using simhost::win32::AddInLoader;

// The tests' own add-in key, laid out as the host's: the host's key may hold add-ins
// registered in this Wine prefix by other runs (the real one among them).
constexpr wchar_t kAddInsKey[] = L"Software\\Tavisk\\SimHostTests\\FrontPage\\Addins";

void SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void SetDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

std::wstring Guid(const CLSID& clsid) {
    wchar_t text[40] = L"";
    StringFromGUID2(clsid, text, 40);
    return text;
}

// The test add-in's classes registered as regsvr32 would (under HKEY_CLASSES_ROOT),
// and four entries under an add-in key: two that load at start-up and
// connect or refuse, one whose class does not exist, one not to load at start-up.
class Registration {
public:
    Registration() {
        std::wstring dll = base::win32::ModulePath(nullptr);
        dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + kTestAddInDll;
        for (const auto& [progId, clsid] :
             {std::pair{kGood, kGoodAddInClsid}, std::pair{kRefusing, kRefusingAddInClsid}}) {
            const auto server = L"CLSID\\" + Guid(clsid) + L"\\InprocServer32";
            SetValue(HKEY_CLASSES_ROOT, server, nullptr, dll);
            SetValue(HKEY_CLASSES_ROOT, server, L"ThreadingModel", L"Apartment");
            SetValue(HKEY_CLASSES_ROOT, std::wstring(progId) + L"\\CLSID", nullptr, Guid(clsid));
        }
        SetValue(HKEY_CLASSES_ROOT, std::wstring(kDormant) + L"\\CLSID", nullptr, Guid(kGoodAddInClsid));
        for (const auto* progId : {kGood, kRefusing, kMissing})
            SetDword(HKEY_CURRENT_USER, entry(progId), L"LoadBehavior", 3);
        SetDword(HKEY_CURRENT_USER, entry(kDormant), L"LoadBehavior", 2);
        SetValue(HKEY_CURRENT_USER, entry(kGood), L"FriendlyName", L"Test add-in");
    }
    Registration(const Registration&) = delete;
    ~Registration() {
        for (const auto* progId : {kGood, kRefusing, kMissing, kDormant}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, entry(progId).c_str());
            RegDeleteTreeW(HKEY_CLASSES_ROOT, progId);
        }
        for (const auto& clsid : {kGoodAddInClsid, kRefusingAddInClsid})
            RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + Guid(clsid)).c_str());
    }

    static constexpr const wchar_t* kGood = L"SimHostTest.GoodAddIn";
    static constexpr const wchar_t* kRefusing = L"SimHostTest.RefusingAddIn";
    static constexpr const wchar_t* kMissing = L"SimHostTest.MissingAddIn";
    static constexpr const wchar_t* kDormant = L"SimHostTest.DormantAddIn";

private:
    static std::wstring entry(const wchar_t* progId) { return std::wstring(kAddInsKey) + L"\\" + progId; }
};

// The calls the test add-in has logged since the last look.
class AddInLog {
public:
    std::vector<std::wstring> taken() {
        HMODULE dll = GetModuleHandleW(kTestAddInDll);
        if (!dll) return {};
        const auto log =
            reinterpret_cast<TestAddInLogFunction>(reinterpret_cast<void*>(GetProcAddress(dll, "TestAddInLog")));
        std::wistringstream lines(log());
        std::vector<std::wstring> all;
        for (std::wstring line; std::getline(lines, line);) all.push_back(line);
        std::vector<std::wstring> fresh(all.begin() + static_cast<long>(std::min(_seen, all.size())), all.end());
        _seen = all.size();
        return fresh;
    }

private:
    size_t _seen = 0;
};

TEST_F(HostWindowTest, LoadsRegisteredAddInsInOrderAndReportsThoseThatFail) {
    Registration registration;
    AddInLog log;
    log.taken();
    AddInLoader loader(kAddInsKey);
    makeWindow([&] { loader.shutdown(); });
    const auto application = simhost::win32::MakeApplicationDispatch(host);
    loader.connectAll(application.Get());
    window->setStatus(loader.summary());
    Pump();

    EXPECT_EQ(log.taken(),
              (std::vector<std::wstring>{
                  L"OnConnection mode=1 web=file:///C:/Webs/site progId=SimHostTest.GoodAddIn custom=0",
                  L"OnConnection mode=1 web=file:///C:/Webs/site progId=SimHostTest.RefusingAddIn custom=0",
                  L"Released",
                  L"OnStartupComplete custom=0",
              }));
    std::vector<std::wstring> reported;
    for (const auto& report : loader.reports())
        reported.push_back(report.progId + (report.connected ? L" connected" : L" failed"));
    EXPECT_EQ(reported,
              (std::vector<std::wstring>{L"SimHostTest.GoodAddIn connected", L"SimHostTest.MissingAddIn failed",
                                         L"SimHostTest.RefusingAddIn failed"}));
    const auto text = status();
    EXPECT_EQ(text.rfind(L"1 add-in connected; ", 0), 0u) << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L"SimHostTest.MissingAddIn not registered as a COM class"), std::wstring::npos);
    EXPECT_NE(
        text.find(L"SimHostTest.RefusingAddIn OnConnection failed: The test add-in refuses to connect. (0x80004005)"),
        std::wstring::npos);

    // The add-in's button is in the window's menu; choosing it reaches the
    // add-in's Click sink through the connection point.
    choose(L"Test &Command");
    EXPECT_EQ(log.taken(), (std::vector<std::wstring>{L"Click tag=test.command"}));

    // Closing the window shuts the add-in down, and its button goes with it.
    SendMessageW(window->handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(log.taken(), (std::vector<std::wstring>{L"OnBeginShutdown custom=0", L"OnDisconnection mode=0 custom=0",
                                                      L"Released"}));
    EXPECT_EQ(host.menuBar().find(1, true), nullptr);
    loader.shutdown();
    EXPECT_TRUE(log.taken().empty());
}

}  // namespace
}  // namespace tavisk::testing
