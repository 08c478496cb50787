// all_pages_run.exe SIMHOST.EXE WEB-FOLDER TOP LEFT PLATFORM
// The add-in's command on all pages of a web, as a user gives it: the stand-in host
// started on the web, the options dialog with the margins typed (an empty value
// leaves that margin unticked) and the compatibility chosen (0 both families, 1
// Internet Explorer only, 2 Netscape only), OK, and the closing message answered.
// Prints that message; the exit status is 0 when it is the success message. The
// browser test (browser_test.py) runs it before it renders the pages.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <string>

#include "base/Text.h"
#include "tests/e2e/TaviskSteps.h"
#include "tests/e2e/UiDriver.h"

using namespace tavisk::e2e;

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) {
        std::fputs("usage: all_pages_run SIMHOST.EXE WEB-FOLDER TOP LEFT PLATFORM\n", stderr);
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
        HostProcess host(argv[1], argv[2]);
        Camera noPictures;
        const HWND dialog = OpenOptionsDialog(host, noPictures);
        MakeChoices(dialog, {argv[3], argv[4], _wtoi(argv[5])});
        const HWND box = RunFromDialog(host, dialog);
        const std::wstring message = MessageText(box);
        Answer(host, box);
        const DWORD exitCode = host.close();
        std::puts(tavisk::base::ToUtf8(message).c_str());
        return message == kDoneMessage && exitCode == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "all_pages_run: %s\n", e.what());
        return 1;
    }
}
