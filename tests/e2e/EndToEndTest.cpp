// The add-in as a user meets it: registered with regsvr32, loaded by simhost.exe at
// its start on a fresh copy of the sample web, driven from this process only by
// what a user's clicks and keys send, and judged by the page files on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Text.h"
#include "tests/support/WinTestSupport.h"
#include "tests/e2e/TaviskSteps.h"
#include "tests/e2e/UiDriver.h"
#include "tests/e2e/WebFiles.h"
#include "tests/simhost/disk/BodyTagCheck.h"
#include "base/Texts.h"

namespace tavisk::e2e {
namespace {

namespace fs = std::filesystem;
using simhost::Attribute;
using tavisk::testing::RunProgram;
using tavisk::testing::WithMargins;

fs::path WindowsPath(const wchar_t* unixPath) { return fs::path(std::wstring(L"Z:") + unixPath).make_preferred(); }

const fs::path& Build() {
    static const fs::path build = WindowsPath(TAVISK_BUILD_DIR);
    return build;
}

std::wstring Quoted(const fs::path& path) { return L"\"" + path.wstring() + L"\""; }

const std::wstring kSecondAddin = L"tavisk2002.Second";
const std::wstring kSecondAddinKey = L"HKCU\\Software\\Microsoft\\Office\\FrontPage\\Addins\\" + kSecondAddin;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { fresh(); }
    void TearDown() override {
        _host.reset();
        RunProgram(L"regsvr32.exe /u /s " + Quoted(dll()));
        RunProgram(L"reg.exe delete HKCR\\" + kSecondAddin + L" /f");
        RunProgram(L"reg.exe delete " + kSecondAddinKey + L" /f");
        fs::remove_all(_web);
    }

    static fs::path dll() { return Build() / "addin" / "tavisk2002.dll"; }

    // A freshly registered add-in and a fresh copy of the sample web.
    void fresh() {
        _host.reset();
        ASSERT_EQ(RunProgram(L"regsvr32.exe /s " + Quoted(dll())), 0u) << "regsvr32 registers the add-in";
        _web = CopyWeb(WindowsPath(TAVISK_SOURCE_DIR L"/samples/web"), L"tavisk-e2e-web");
        _before = ReadWeb(_web);
    }

    HostProcess& start(bool withWeb = true, const std::wstring& language = {}) {
        _host = std::make_unique<HostProcess>(Build() / "simhost" / "win32" / "simhost.exe",
                                              withWeb ? _web : fs::path(), language);
        return *_host;
    }

    // Only the pages in `changed` (every page when empty) differ from the copy made
    // at the start, each only in its BODY start tag, which holds what it held with
    // the four margin attributes replaced by `set`; every other file is as it was.
    void expectOnlyRewrites(const std::vector<Attribute>& set, const std::vector<std::wstring>& changed = {}) {
        const WebSnapshot after = ReadWeb(_web);
        ASSERT_EQ(after.size(), _before.size());
        for (const auto& [name, bytes] : _before) {
            SCOPED_TRACE(::testing::Message() << fs::path(name).string());
            const bool wanted =
                changed.empty() ? IsPageFile(name) : std::find(changed.begin(), changed.end(), name) != changed.end();
            if (!wanted) {
                EXPECT_TRUE(after.at(name) == bytes) << "a file that the run had no business with changed";
                continue;
            }
            EXPECT_EQ(RewriteProblem(bytes, after.at(name), WithMargins(bytes, set)), L"");
        }
    }

    void expectNothingWritten() { EXPECT_TRUE(ReadWeb(_web) == _before) << "the web's files changed"; }

    void runAndExpectSuccess(HWND dialog, const wchar_t* doneMessage = kDoneMessage) {
        const HWND box = RunFromDialog(*_host, dialog);
        EXPECT_EQ(MessageText(box), doneMessage);
        Answer(*_host, box);
        EXPECT_EQ(_host->topWindows(), std::vector<HWND>{_host->window()}) << "only the host window is left";
    }

    fs::path _web;
    WebSnapshot _before;
    Camera _camera;
    std::unique_ptr<HostProcess> _host;
};

// All pages of the web, hidden folders included, through the options dialog alone.
TEST_F(EndToEnd, AllPagesGetExactlyTheChosenAttributesAndNothingElseChanges) {
    const struct {
        const char* name;
        Choices choices;
        std::vector<Attribute> written;
    } cases[] = {
        {"both families, top 10 and left 5",
         {L"10", L"5", 0},
         {{L"topmargin", L"10"}, {L"leftmargin", L"5"}, {L"marginheight", L"10"}, {L"marginwidth", L"5"}}},
        {"Internet Explorer only, left off", {L"10", L"", 1}, {{L"topmargin", L"10"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        HostProcess& host = start();
        const HWND dialog = OpenOptionsDialog(host, _camera);
        MakeChoices(dialog, c.choices);
        runAndExpectSuccess(dialog);
        EXPECT_EQ(host.close(), 0u);
        expectOnlyRewrites(c.written);
    }
}

TEST_F(EndToEnd, SelectedPagesThroughTheChooserAreTheOnlyOnesChanged) {
    HostProcess& host = start();
    const HWND dialog = OpenOptionsDialog(host, _camera);
    MakeChoices(dialog, {L"7", L"3", 0});
    ChooseSelectedPages(dialog);
    // A part of the options dialog no choice changes: its "Compatibility" frame's caption row.
    RECT caption = ScreenRect(Control(dialog, L"Button", L"Compatibility"));
    caption.bottom = caption.top + 12;
    const auto shown = ScreenPixels(dialog, caption);
    const HWND chooser = OpenChooser(host, dialog, _camera);
    EXPECT_THROW(ShowFolder(host, chooser, {L"_vti_cnf"}), DriveError) << "the editor's metadata is shown";
    ShowFolder(host, chooser, {L"products"});
    QueueByDoubleClick(host, chooser, L"tools.htm");
    QueueSelected(host, chooser, {L"Catalog.HTM", L"index.htm"});
    ConfirmChooser(host, chooser);
    // The options dialog, topmost and first in the z-order, is what the screen shows there again.
    EXPECT_TRUE(Within(10000, [&] { return ScreenPixels(dialog, caption) == shown; }))
        << "the screen does not show the options dialog after the chooser's OK";
    // The queue lists are sorted by name from the start.
    EXPECT_EQ(OptionsQueue(host, dialog), (std::vector<std::wstring>{L"Catalog.HTM", L"index.htm", L"tools.htm"}));
    runAndExpectSuccess(dialog);
    expectOnlyRewrites({{L"topmargin", L"7"}, {L"leftmargin", L"3"}, {L"marginheight", L"7"}, {L"marginwidth", L"3"}},
                       {L"products/tools.htm", L"products/Catalog.HTM", L"products/index.htm"});
}

// A page the user has open with unsaved edits is saved with them and stays open in
// its view; the page window the user had chosen is the chosen one after the run.
TEST_F(EndToEnd, PagesOpenInTheHostKeepTheirEditsWindowsAndActivePage) {
    HostProcess& host = start();
    host.openFile({L"about.htm"});
    TypeInto(host.bodyEditor(), L"bgcolor=\"#ffffee\" class=\"shop\"");
    PressKey(host.bodyEditor(), VK_RETURN);
    host.openFile({L"news.html"});
    host.clickTab(0);
    WaitFor(L"the edit to reach the page",
            [&] { return TextOf(host.bodyEditor()) == L"bgcolor=\"#ffffee\" class=\"shop\""; });
    const std::vector<std::wstring> tabs{L"about.htm [Default]", L"news.html [Default]"};
    ASSERT_EQ(host.tabs(), tabs);

    const HWND dialog = OpenOptionsDialog(host, _camera);
    MakeChoices(dialog, {L"10", L"5", 1});
    runAndExpectSuccess(dialog);

    EXPECT_EQ(host.tabs(), tabs) << "both pages stay open, in the view they had";
    EXPECT_EQ(host.selectedTab(), 0) << "the page window active before the run is active after it";
    const WebSnapshot after = ReadWeb(_web);
    EXPECT_EQ(
        RewriteProblem(_before.at(L"about.htm"), after.at(L"about.htm"),
                       {{L"bgcolor", L"#ffffee"}, {L"class", L"shop"}, {L"topmargin", L"10"}, {L"leftmargin", L"5"}}),
        L"");
    EXPECT_EQ(RewriteProblem(_before.at(L"news.html"), after.at(L"news.html"),
                             WithMargins(_before.at(L"news.html"), {{L"topmargin", L"10"}, {L"leftmargin", L"5"}})),
              L"");
}

TEST_F(EndToEnd, WithoutAWebTheCommandOnlySaysSo) {
    HostProcess& host = start(false);
    host.pickMenu(kCommandKeys);
    const HWND box = WaitForMessage(host);
    EXPECT_EQ(MessageText(box), kNoWebMessage);
    EXPECT_EQ(host.topWindows().size(), 2u) << "the host window and the message, nothing else";
    Answer(host, box);
    EXPECT_EQ(host.topWindows(), std::vector<HWND>{host.window()});
    EXPECT_EQ(host.close(), 0u);
    expectNothingWritten();
}

// A queued page deleted before OK: the run stops there with an error that names it,
// the page queued before it is saved, the one after it is not, and the options
// dialog comes back with its queue.
TEST_F(EndToEnd, AQueuedPageDeletedOnDiskStopsTheRunAtItsName) {
    HostProcess& host = start();
    const HWND dialog = OpenOptionsDialog(host, _camera);
    MakeChoices(dialog, {L"10", L"5", 0});
    ChooseSelectedPages(dialog);
    const HWND chooser = OpenChooser(host, dialog, _camera);
    for (const wchar_t* page : {L"about.htm", L"contact.asp", L"index.htm"}) QueueByDoubleClick(host, chooser, page);
    ConfirmChooser(host, chooser);
    fs::remove(_web / "contact.asp");

    Click(Control(dialog, L"Button", L"OK"));
    const HWND box = WaitForMessage(host);
    EXPECT_NE(MessageText(box).find(L"contact.asp"), std::wstring::npos) << fs::path(MessageText(box)).string();
    Answer(host, box);
    const HWND back = host.waitForTop(kProduct, IsOptionsDialog);
    EXPECT_EQ(OptionsQueue(host, back), (std::vector<std::wstring>{L"about.htm", L"contact.asp", L"index.htm"}));

    const WebSnapshot after = ReadWeb(_web);
    EXPECT_EQ(RewriteProblem(_before.at(L"about.htm"), after.at(L"about.htm"),
                             WithMargins(_before.at(L"about.htm"), {{L"topmargin", L"10"},
                                                                    {L"leftmargin", L"5"},
                                                                    {L"marginheight", L"10"},
                                                                    {L"marginwidth", L"5"}})),
              L"");
    EXPECT_TRUE(after.at(L"index.htm") == _before.at(L"index.htm")) << "the page queued after it is not touched";
    Click(Control(back, L"Button", L"Cancel"));
    WaitFor(L"the options dialog to close", [&] { return host.findTop(kProduct) == nullptr; });
}

TEST_F(EndToEnd, CancelThenReopenGivesAFreshDialogWithAnEmptyQueue) {
    HostProcess& host = start();
    HWND dialog = OpenOptionsDialog(host, _camera);
    MakeChoices(dialog, {L"33", L"", 2});
    ChooseSelectedPages(dialog);
    const HWND chooser = OpenChooser(host, dialog, _camera);
    QueueByDoubleClick(host, chooser, L"about.htm");
    ConfirmChooser(host, chooser);
    ASSERT_EQ(OptionsQueue(host, dialog).size(), 1u);
    Click(Control(dialog, L"Button", L"Cancel"));
    WaitFor(L"the options dialog to close", [&] { return host.findTop(kProduct) == nullptr; });

    dialog = OpenOptionsDialog(host, _camera);
    EXPECT_FALSE(IsChecked(Control(dialog, L"Button", L"&Top margin")));
    EXPECT_TRUE(IsChecked(Control(dialog, L"Button", L"&Both Internet Explorer and Netscape")));
    EXPECT_TRUE(IsChecked(Control(dialog, L"Button", L"&All pages")));
    EXPECT_FALSE(IsWindowEnabled(Control(dialog, L"Button", L"Edit &Queue")));
    EXPECT_TRUE(OptionsQueue(host, dialog).empty());
    for (const HWND box : Descendants(dialog, L"Edit")) EXPECT_EQ(TextOf(box), L"0");
    Click(Control(dialog, L"Button", L"Cancel"));
    WaitFor(L"the options dialog to close", [&] { return host.findTop(kProduct) == nullptr; });
    EXPECT_EQ(host.close(), 0u);
    expectNothingWritten();
}

// The Tools menu as the host's status line names each highlighted item, walked down
// from the first round to it again: one maker's popup however many of the maker's
// add-ins connect (here the add-in once more, under another ProgID), and the command
// runs, in any language; none once the add-in is unregistered, as it is not loaded
// at the next start.
TEST_F(EndToEnd, TheCommandsPlaceInTheToolsMenuInEveryLanguageAndGoneOnceUnregistered) {
    const struct {
        const char* name;
        std::wstring language;
        wchar_t key;
        int addins;  // 0: unregistered
        std::vector<std::wstring> tools;
    } cases[] = {
        {"registered", L"", L't', 1, {L"&Tools > &Spelling...", L"&Tools > &Options...", L"&Tools > &Halvern Add-ins"}},
        {"German, two add-ins",
         L"de",
         L'x',
         2,
         {L"E&xtras > &Rechtschreibung...", L"E&xtras > &Optionen...", L"E&xtras > &Halvern-Add-Ins"}},
        {"unregistered", L"", L't', 0, {L"&Tools > &Spelling...", L"&Tools > &Options..."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.addins == 0) {
            ASSERT_EQ(RunProgram(L"regsvr32.exe /u /s " + Quoted(dll())), 0u);
        } else if (c.addins == 2) {
            ASSERT_EQ(RunProgram(L"reg.exe copy HKCR\\tavisk2002.Connect HKCR\\" + kSecondAddin + L" /s /f"), 0u);
            ASSERT_EQ(RunProgram(L"reg.exe add " + kSecondAddinKey + L" /v LoadBehavior /t REG_DWORD /d 3 /f"), 0u);
        }
        HostProcess& host = start(true, c.language);
        EXPECT_EQ(host.status().rfind(std::to_wstring(c.addins) + (c.addins == 1 ? L" add-in" : L" add-ins"), 0), 0u)
            << fs::path(host.status()).string();
        host.typeInMenu(c.key);
        WaitFor(L"the Tools menu's first item", [&] { return host.status() == c.tools.front(); });
        std::vector<std::wstring> walked;
        while (walked.size() <= c.tools.size() && (walked.empty() || host.status() != walked.front())) {
            walked.push_back(host.status());
            PressKey(host.window(), VK_DOWN);
            WaitFor(L"the next item", [&] { return host.status() != walked.back(); });
        }
        EXPECT_EQ(walked, c.tools);
        if (c.addins > 0) {
            host.typeInMenu(L'h');
            const std::wstring place = c.tools.back() + L" > &Tavisk 2002...";
            WaitFor(L"the command's place", [&] { return host.status() == place; });
            std::printf("The command's place: %s\n", base::ToUtf8(place).c_str());
        }
        if (c.addins == 2) {
            // The editor's German is the dialogs': the steps find their German captions.
            base::SetLanguage(base::Language::German);
            host.typeInMenu(L't');
            const HWND dialog = host.waitForTop(kProduct, IsOptionsDialog);
            EXPECT_EQ(TextOf(dialog), L"Tavisk 2002");
            EXPECT_NE(FindControl(dialog, L"Button", L"Seitenränder"), nullptr);
            MakeChoices(dialog, {L"10", L"", 1});
            ChooseSelectedPages(dialog);
            const HWND chooser = OpenChooser(host, dialog, _camera);
            EXPECT_EQ(TextOf(chooser), L"Tavisk 2002 - Dateien auswählen");
            ShowFolder(host, chooser, {L"products"});
            QueueByDoubleClick(host, chooser, L"tools.htm");
            ConfirmChooser(host, chooser);
            runAndExpectSuccess(dialog, L"Die Randeinstellungen wurden erfolgreich übernommen.");
            base::SetLanguage(base::Language::English);
            expectOnlyRewrites({{L"topmargin", L"10"}}, {L"products/tools.htm"});
        }
        host.closeMenus();
        EXPECT_EQ(host.close(), 0u) << "every add-in disconnected, the last meeting its popup gone";
    }
}

}  // namespace
}  // namespace tavisk::e2e
