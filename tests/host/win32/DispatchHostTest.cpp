// The host's object model over IDispatch must answer exactly as the model it
// reaches through COM: the same script runs against the stand-in host directly and
// through its COM face, and both the answers and the calls the host saw must match.
#include <gtest/gtest.h>

#include <functional>

#include "host/HostError.h"
#include "base/Text.h"
#include "host/win32/DispatchHost.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"
#include "simhost/win32/ComHost.h"
#include "tests/support/WinTestSupport.h"

namespace tavisk::testing {
namespace {

using host::HostApplication;

std::shared_ptr<simhost::WebModel> MakeWeb() {
    auto web = std::make_shared<simhost::WebModel>(L"file:///C:/Webs/site");
    web->addFile(L"index.htm", L"Home", {{L"bgcolor", L"white"}, {L"topmargin", L"4"}});
    web->addFile(L"docs/guide.HTML", L"Guide");
    web->addFile(L"docs/notes.txt", L"");
    web->addFile(L"_private/secret.asp", L"Secret");
    return web;
}

// Runs `step` and notes its answer, or the host's error code and text.
void Note(std::vector<std::wstring>& out, const std::wstring& name, const std::function<std::wstring()>& step) {
    try {
        out.push_back(name + L" = " + step());
    } catch (const host::HostError& error) {
        out.push_back(name + L" ! " + std::to_wstring(error.code()) + L" " + error.message());
    }
}

std::wstring Flag(bool value) { return value ? L"yes" : L"no"; }

std::vector<std::wstring> Script(simhost::SimHost& sim, HostApplication& app) {
    std::vector<std::wstring> out;
    Note(out, L"web", [&] { return app.activeWeb()->url(); });
    auto web = app.activeWeb();
    Note(out, L"all files", [&] {
        std::wstring text;
        auto files = web->allFiles();
        for (std::int32_t i = 0; i < files->count(); ++i) {
            auto f = files->item(i);
            text += f->url() + L"|" + f->title() + L"|" + f->extension() + L";";
        }
        return text;
    });
    Note(out, L"tree", [&] {
        std::wstring text;
        std::function<void(host::WebFolder&)> walk = [&](host::WebFolder& folder) {
            text += folder.url() + L"(" + Flag(folder.excluded()) + L")[";
            auto files = folder.files();
            for (std::int32_t i = 0; i < files->count(); ++i)
                text += app.relativeUrl(folder, files->item(i)->url()) + L",";
            text += L"]";
            auto subs = folder.subFolders();
            for (std::int32_t i = 0; i < subs->count(); ++i) walk(*subs->item(i));
        };
        walk(*web->rootFolder());
        return text;
    });
    Note(out, L"relative to web", [&] { return app.relativeUrl(web->url(), web->url() + L"/docs/guide.HTML"); });
    Note(out, L"locate folder", [&] { return web->locateFolder(web->url() + L"/docs")->url(); });
    Note(out, L"locate missing file", [&] { return web->locateFile(web->url() + L"/none.htm")->url(); });
    Note(out, L"no page window", [&] { return Flag(app.activePageWindow() == nullptr); });

    Note(out, L"open", [&] {
        web->locateFile(web->url() + L"/index.htm")->open();
        web->locateFile(web->url() + L"/docs/guide.HTML")->open();
        return app.activePageWindow()->file()->url();
    });
    Note(out, L"view mode", [&] {
        auto window = app.activePageWindow();
        const auto before = window->viewMode();
        window->setViewMode(1);
        return std::to_wstring(before) + L"->" + std::to_wstring(window->viewMode());
    });
    Note(out, L"page windows", [&] {
        std::wstring text;
        auto windows = app.activeWebWindow()->pageWindows();
        for (std::int32_t i = 0; i < windows->count(); ++i) text += windows->item(i)->file()->url() + L";";
        windows->item(0)->activate();
        return text + L" active " + app.activePageWindow()->file()->url();
    });
    Note(out, L"body", [&] {
        auto body = app.activePageWindow()->document()->body();
        const bool removedExact = body->removeAttribute(L"topmargin", host::kMatchCase);
        const bool removedAbsent = body->removeAttribute(L"marginwidth", host::kMatchCase);
        body->setAttribute(L"leftmargin", L"10", host::kMatchCase);
        return Flag(removedExact) + L"," + Flag(removedAbsent);
    });
    Note(out, L"save", [&] {
        auto bar = app.commandBars()->item(L"menu bar");
        bar->findControl(simhost::SimHost::kSaveId, true)->execute();
        std::wstring text;
        for (const auto& a :
             static_cast<simhost::MemoryPageStore&>(sim.web()->findFile(L"file:///C:/Webs/site/index.htm")->store())
                 .saved())
            text += a.name + L"=" + a.value + L";";
        return text;
    });
    Note(out, L"unknown control",
         [&] { return Flag(app.commandBars()->item(L"menu bar")->findControl(4242, true) == nullptr); });
    Note(out, L"unknown bar", [&] { return Flag(app.commandBars()->item(L"No such bar") != nullptr); });
    Note(out, L"refused open", [&] {
        sim.recorder().failOn(L"WebFile.open", 1, static_cast<std::int32_t>(0x800A0046), L"Permission denied");
        web->locateFile(web->url() + L"/docs/notes.txt")->open();
        return std::wstring(L"opened");
    });
    Note(out, L"close", [&] {
        app.commandBars()->item(L"menu bar")->findControl(simhost::SimHost::kCloseId, true)->execute();
        return app.activePageWindow()->file()->url();
    });
    sim.closeWeb();
    Note(out, L"no web", [&] { return Flag(app.activeWeb() == nullptr); });
    return out;
}

TEST(DispatchHostTest, AnswersAndHostCallsMatchTheModelItWraps) {
    ComApartment apartment;
    simhost::SimHost direct;
    direct.openWeb(MakeWeb());
    const auto expected = Script(direct, *simhost::InMemoryHost(direct));

    simhost::SimHost viaCom;
    viaCom.openWeb(MakeWeb());
    const auto application = host::win32::MakeDispatchApplication(simhost::win32::MakeApplicationDispatch(viaCom));
    const auto actual = Script(viaCom, *application);

    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) EXPECT_EQ(base::ToUtf8(actual[i]), base::ToUtf8(expected[i]));
    const auto& calls = viaCom.recorder().calls();
    const auto& expectedCalls = direct.recorder().calls();
    for (size_t i = 0; i < std::max(calls.size(), expectedCalls.size()); ++i) {
        EXPECT_EQ(i < calls.size() ? base::ToUtf8(calls[i]) : "(none)",
                  i < expectedCalls.size() ? base::ToUtf8(expectedCalls[i]) : "(none)")
            << "host call " << i;
    }
}

}  // namespace
}  // namespace tavisk::testing
