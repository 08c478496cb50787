// walkthrough.exe [--language en|de|fr|ja] SIMHOST.EXE WEB-FOLDER SCREENSHOT-FOLDER [STATES-FOLDER]
// walkthrough.exe --all-pages SIMHOST.EXE WEB-FOLDER TOP LEFT PLATFORM
// The main job's demonstration: starts the stand-in host on the web (the add-in
// registered beforehand) and drives its windows as a user would, in two passes:
//   1. Tools > Halvern Add-ins > Tavisk 2002..., top 10, left 5, both families,
//      all pages, OK, and the closing message answered;
//   2. the same command with top 20, left off, Internet Explorer only, "Selected
//      &page(s)", and a queue picked in the page chooser.
// It prints each page's BODY start tag before and after each pass and the files a
// pass left untouched, and saves a picture of every window it passed through.
// With a states folder it also keeps a copy of the web before the first pass and
// after each, named "before", "pass-1" and "pass-2", for a browser to show. With
// --language the host is the editor's edition in that language, and so are the
// add-in's windows the walkthrough finds and pictures.
// With --all-pages it makes one run on all pages with the choices given (an empty
// margin unticked, PLATFORM the compatibility's index), for the browser test:
// prints the closing message and exits 0 only for the success message.
#include <windows.h>

#include <objbase.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "base/Texts.h"
#include "tests/e2e/TaviskSteps.h"
#include "tests/e2e/UiDriver.h"
#include "tests/e2e/WebFiles.h"

namespace {

namespace fs = std::filesystem;
using namespace tavisk::e2e;

void Print(const std::wstring& text) {
    const std::string bytes = tavisk::base::ToUtf8(text + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void Say(const std::wstring& step) { Print(L"walkthrough: " + step); }

HWND FirstPass(HostProcess& host, Camera& camera) {
    Say(L"Tools > &Halvern Add-ins > &Tavisk 2002...");
    const HWND dialog = OpenOptionsDialog(host, camera);
    camera.shoot(L"options-dialog", {dialog});
    Say(L"top 10, left 5, both families, all pages, OK");
    MakeChoices(dialog, {L"10", L"5", 0});
    camera.shoot(L"options-dialog-all-pages", {dialog});
    return RunFromDialog(host, dialog);
}

HWND SecondPass(HostProcess& host, Camera& camera) {
    Camera noMenus;
    Say(L"Tools > &Halvern Add-ins > &Tavisk 2002... again");
    const HWND dialog = OpenOptionsDialog(host, noMenus);
    Say(L"top 20, left off, Internet Explorer only, Selected pages, Edit Queue");
    MakeChoices(dialog, {L"20", L"", 1});
    ChooseSelectedPages(dialog);
    const HWND chooser = OpenChooser(host, dialog, camera);
    camera.shoot(L"chooser", {chooser});
    Say(L"chooser: click the folder products, double-click tools.htm, select Catalog.HTM, Add Selected to Queue");
    ShowFolder(host, chooser, {L"products"});
    QueueByDoubleClick(host, chooser, L"tools.htm");
    QueueSelected(host, chooser, {L"Catalog.HTM"});
    Say(L"chooser: click the web's root folder, double-click about.htm, OK");
    ShowFolder(host, chooser, {});
    QueueByDoubleClick(host, chooser, L"about.htm");
    camera.shoot(L"chooser-queue", {chooser});
    ConfirmChooser(host, chooser);
    camera.shoot(L"options-dialog-selected-pages", {dialog});
    Say(L"OK");
    return RunFromDialog(host, dialog);
}

void Answered(HostProcess& host, HWND box, Camera& camera, const std::wstring& name) {
    camera.shoot(name, {box});
    Say(L"message \"" + MessageText(box) + L"\", answered OK");
    Answer(host, box);
}

void Report(const std::vector<WebSnapshot>& states) {
    Print(L"");
    Print(L"BODY start tag of each page: before, after pass 1 (all pages), after pass 2 (selected pages)");
    for (const auto& [name, bytes] : states[0]) {
        if (!IsPageFile(name)) continue;
        Print(name);
        const wchar_t* const labels[] = {L"  before: ", L"  pass 1: ", L"  pass 2: "};
        for (size_t i = 0; i < states.size(); ++i) {
            const std::string& now = states[i].at(name);
            const bool same = i > 0 && now == states[i - 1].at(name);
            Print(labels[i] + (same ? std::wstring(L"(file unchanged)") : BodyStartTag(now)));
        }
    }
    for (size_t pass = 1; pass < states.size(); ++pass) {
        Print(L"");
        Print(L"Files left untouched by pass " + std::to_wstring(pass) + L":");
        for (const auto& [name, bytes] : states[pass])
            if (bytes == states[pass - 1].at(name)) Print(L"  " + name);
    }
}

int Run(const fs::path& program, const fs::path& web, const fs::path& shots, const fs::path& copies,
        const std::wstring& language) {
    fs::create_directories(shots);
    Camera camera(shots);
    std::vector<WebSnapshot> states;
    const auto keep = [&](const wchar_t* name) {
        states.push_back(ReadWeb(web));
        if (copies.empty()) return;
        for (const auto& [file, bytes] : states.back()) {
            const fs::path copy = copies / name / file;
            fs::create_directories(copy.parent_path());
            std::ofstream(copy, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    };
    keep(L"before");
    {
        HostProcess host(program, web, language);
        Say(L"the host is open on " + web.wstring() + L" (" + host.status() + L")");
        camera.shoot(L"host-window", {host.window()});
        Answered(host, FirstPass(host, camera), camera, L"closing-message");
        keep(L"pass-1");
        Answered(host, SecondPass(host, camera), camera, L"closing-message-selected");
        camera.shoot(L"host-window-after", {host.window()});
        keep(L"pass-2");
        if (host.close() != 0) Say(L"the host ended with an error");
    }
    Report(states);
    Print(L"");
    Print(L"Screenshots of every window passed through, in " + shots.wstring() + L":");
    for (const auto& shot : camera.shots()) Print(L"  " + shot.filename().wstring());
    return 0;
}

int AllPages(const fs::path& program, const fs::path& web, const Choices& choices) {
    HostProcess host(program, web);
    Camera noPictures;
    const HWND dialog = OpenOptionsDialog(host, noPictures);
    MakeChoices(dialog, choices);
    const HWND box = RunFromDialog(host, dialog);
    const std::wstring message = MessageText(box);
    Answer(host, box);
    Print(message);
    return host.close() == 0 && message == kDoneMessage ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring language = L"en";
    if (argc > 2 && argv[1] == std::wstring_view(L"--language")) {
        language = argv[2];
        argv[2] = argv[0];  // the rest read as they do without the option
        argv += 2;
        argc -= 2;
    }
    const std::wstring codes[] = {L"en", L"de", L"fr", L"ja"};  // in the order of base::kLanguages
    const auto known = std::ranges::find(codes, language);
    const bool allPages = argc == 7 && argv[1] == std::wstring_view(L"--all-pages");
    if ((!allPages && argc != 4 && argc != 5) || known == std::end(codes)) {
        Print(
            L"usage: walkthrough [--language en|de|fr|ja] SIMHOST.EXE WEB-FOLDER SCREENSHOT-FOLDER [STATES-FOLDER]\n"
            L"       walkthrough --all-pages SIMHOST.EXE WEB-FOLDER TOP LEFT PLATFORM");
        return 2;
    }
    // Lines end in LF alone, as the shell that prints them expects.
    _setmode(_fileno(stdout), _O_BINARY);
    // The screenshots are written through WIC, a COM component.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
        if (allPages) return AllPages(argv[2], argv[3], {argv[4], argv[5], _wtoi(argv[6])});
        tavisk::base::SetLanguage(tavisk::base::kLanguages[known - std::begin(codes)]);
        return Run(argv[1], argv[2], argv[3], argc == 5 ? fs::path(argv[4]) : fs::path(), language);
    } catch (const std::exception& e) {
        Print(L"walkthrough: failed: " + tavisk::base::FromUtf8(e.what()));
        return 1;
    }
}
