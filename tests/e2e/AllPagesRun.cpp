// all_pages_run.exe SIMHOST.EXE WEB-FOLDER TOP LEFT PLATFORM, for browser_test.py: the
// add-in's command on all pages as a user gives it (an empty margin unticked, PLATFORM the
// compatibility's index); prints the closing message, exit status 0 for the success message.
#include <windows.h>

#include <objbase.h>

#include <cstdio>

#include "base/Text.h"
#include "tests/e2e/TaviskSteps.h"

using namespace tavisk::e2e;

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
        HostProcess host(argv[1], argv[2]);
        Camera noPictures;
        const HWND dialog = OpenOptionsDialog(host, noPictures);
        MakeChoices(dialog, {argv[3], argv[4], _wtoi(argv[5])});
        const HWND box = RunFromDialog(host, dialog);
        const std::wstring message = MessageText(box);
        Answer(host, box);
        std::puts(tavisk::base::ToUtf8(message).c_str());
        return host.close() == 0 && message == kDoneMessage ? 0 : 1;
    } catch (const std::exception& e) {
        std::printf("all_pages_run: %s\n", e.what());
        return 1;
    }
}
