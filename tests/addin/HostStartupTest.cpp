// The add-in in the stand-in host, as a user meets it: registered with regsvr32,
// loaded by simhost.exe at start-up, its command under Tools > "&Halvern Add-ins",
// and the command opening the options dialog. The open menus are saved as
// tools-menu.png beside the test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/addin/HostSession.h"
#include "tests/addin/WinTestSupport.h"

namespace tavisk::testing {
namespace {

std::wstring BuildFolder() {
    const std::wstring dll = AddinDllPath();
    return dll.substr(0, dll.rfind(L"\\addin\\"));
}

// The add-in registered for the test's length only, so other programs that start
// the host in this prefix do not meet it.
class Registered {
public:
    explicit Registered(std::wstring dll) : _dll(std::move(dll)) {
        _ok = RunProgram(L"regsvr32.exe /s \"" + _dll + L"\"") == 0;
    }
    ~Registered() { RunProgram(L"regsvr32.exe /u /s \"" + _dll + L"\""); }
    bool ok() const { return _ok; }

private:
    std::wstring _dll;
    bool _ok = false;
};

TEST(HostStartupTest, HostLoadsTheAddinAndItsToolsCommandOpensTheOptionsDialog) {
    ComApartment apartment;
    const Registered registered(AddinDllPath());
    ASSERT_TRUE(registered.ok());
    const std::wstring host = BuildFolder() + L"\\simhost\\win32\\simhost.exe";
    ASSERT_NE(GetFileAttributesW(host.c_str()), INVALID_FILE_ATTRIBUTES) << "simhost.exe is built with the add-in";

    HostProcess process(L"\"" + host + L"\" \"" + SampleWeb() + L"\"");
    ASSERT_TRUE(process.started());
    const HWND main = WaitForHostWindow(process);
    ASSERT_TRUE(main);
    const HWND dialog = RunToolsCommand(process, main, BuildFolder() + L"\\tests\\addin\\tools-menu.png");
    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.wait(), 0u) << "the host closed cleanly, with the add-in disconnected";
}

}  // namespace
}  // namespace tavisk::testing
