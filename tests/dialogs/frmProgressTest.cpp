#include "dialogs/frmProgress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "ui/ProductIcon.h"
#include "tests/dialogs/DialogFixture.h"

namespace tavisk::testing {
namespace {

using namespace std::chrono_literals;
using ui::memory::MemoryProgressWindow;

constexpr int kPages = 100;

// Runs through the options dialog's OK over a web of 100 pages, p1.htm to p100.htm,
// on a clock that moves on by `step` whenever the run looks at it. p2.htm and
// p50.htm are open in the editor, p2.htm active.
class FrmProgressTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        frmProgress::SetClock([this] {
            if (cancelAtSight && progress()) progress()->userCancel();
            return now += step;
        });
    }
    void TearDown() override {
        host.setChangeListener({});
        frmProgress::SetClock(nullptr);
        DialogTest::TearDown();
    }

    static std::wstring Page(int i) { return L"p" + std::to_wstring(i) + L".htm"; }

    void freshWeb() {
        host.closeWeb();
        web = std::make_shared<simhost::WebModel>(kWebUrl);
        for (int i = 1; i <= kPages; ++i) web->addFile(Page(i), L"", {{L"bgcolor", L"white"}});
        host.openWeb(web);
        for (int i : {2, 50, 2}) openPage(Page(i));
    }
    MarginSettings settings(bool queued) const {
        MarginSettings s;
        s.topOn = true;
        s.topText = L"10";
        s.allPages = !queued;
        return s;
    }
    // The dialog as the user leaves it before OK: top margin 10, all pages or every page queued.
    frmMain& prepare(bool queued) {
        freshWeb();
        frmMain& dialog = Open();
        Click(dialog.chkTop);
        dialog.txtTop.setText(L"10");
        if (queued) {
            Click(dialog.optSelect, 1);
            for (int i = 1; i <= kPages; ++i) dialog.lvwStaticQueue.add(Entry(Page(i), L""));
        }
        toolkit->shown().clear();
        host.recorder().clear();
        return dialog;
    }
    // The user presses Cancel while the run is at `page`.
    void cancelDuring(int page) {
        host.setChangeListener([this, page] {
            const auto active = host.activePageWindow();
            if (active && active->file->url() == Url(Page(page)) && progress()) progress()->userCancel();
        });
    }
    MemoryProgressWindow* progress() const {
        return toolkit->progressWindows().empty() ? nullptr : toolkit->progressWindows().back().get();
    }
    // A run's host calls less the page URLs its progress display reads, each just after the page's fetch.
    static std::vector<std::wstring> WithoutDisplayReads(std::vector<std::wstring> calls) {
        for (size_t i = calls.size() - 1; i > 1; --i)
            if (calls[i].starts_with(L"WebFile.url") && calls[i - 1].starts_with(L"WebFile.extension") &&
                calls[i - 2].starts_with(L"WebFiles.item"))
                calls.erase(calls.begin() + static_cast<std::ptrdiff_t>(i));
        return calls;
    }
    // The host calls of a run without any progress display.
    std::vector<std::wstring> callsWithoutProgress(bool queued) {
        freshWeb();
        FakeRunDialog dialog;
        if (queued) {
            for (int i = 1; i <= kPages; ++i) dialog.queue.push_back(Url(Page(i)));
        }
        FakeMessageBoxes messages;
        host.recorder().clear();
        ApplyMargins(settings(queued), dialog, messages);
        return host.recorder().calls();
    }

    std::chrono::steady_clock::time_point now{};
    std::chrono::milliseconds step = 100ms;
    bool cancelAtSight = false;  // the user presses Cancel as soon as the window is there
};

TEST_F(FrmProgressTest, CancelStopsAfterThePageInHandAndTheDialogComesBack) {
    for (const bool queued : {true, false}) {
        SCOPED_TRACE(queued ? "queue" : "all pages");
        const auto today = callsWithoutProgress(queued);
        frmMain& dialog = prepare(queued);
        cancelDuring(40);
        Click(dialog.cmdOK);

        // The host saw the calls of a run without the window up to where page 41
        // would be taken, then the calls that end every run (the page windows
        // counted, the saved one activated), as after page 100's Close.
        const std::wstring page41 = queued ? L"Web.locateFile(" + Url(L"p41.htm") + L")" : L"WebFiles.item(40)";
        // Over all pages, the run fetches page 41 again after counting the pages.
        const auto counted = std::find(today.begin(), today.end(), L"WebFile.extension[" + Url(L"p100.htm") + L"]");
        auto stop = std::find(queued ? today.begin() : counted + 1, today.end(), page41);
        if (queued) --stop;  // the web asked for, to locate the file in
        std::vector<std::wstring> expected(today.begin(), stop);
        const auto lastClose = std::find(today.rbegin(), today.rend(), L"Control.execute[&Close]").base();
        expected.insert(expected.end(), lastClose, today.end());
        EXPECT_EQ(WithoutDisplayReads(host.recorder().calls()), expected);

        for (int i = 1; i <= kPages; ++i) {
            if (i <= 40) {
                EXPECT_EQ(saved(Page(i)), (std::vector<Attribute>{
                                              {L"bgcolor", L"white"}, {L"topmargin", L"10"}, {L"marginheight", L"10"}}))
                    << i;
            } else {
                EXPECT_EQ(saveCount(Page(i)), 0) << i;
            }
        }
        EXPECT_EQ(openPages(), (std::vector<std::wstring>{Url(L"p2.htm"), Url(L"p50.htm")}));
        EXPECT_EQ(activePage(), Url(L"p2.htm"));
        ASSERT_EQ(toolkit->shown().size(), 1u);
        EXPECT_EQ(toolkit->shown()[0].text,
                  L"The run was stopped after 40 of 100 pages. The pages done keep their new margins.");
        EXPECT_EQ(toolkit->shown()[0].title, L"Tavisk 2002");
        EXPECT_EQ(toolkit->shown()[0].icon, ui::MessageIcon::Information);
        ASSERT_NE(progress(), nullptr);
        EXPECT_TRUE(progress()->closed());

        // The same dialog is back with its choices and queue; its OK runs again.
        ASSERT_TRUE(frmMain::Exists());
        EXPECT_EQ(&frmMain::Instance(), &dialog);
        EXPECT_TRUE(mainForm()->visible());
        EXPECT_EQ(dialog.txtTop.text(), L"10");
        EXPECT_EQ(dialog.optSelect.chosen(), queued ? 1 : 0);
        EXPECT_EQ(dialog.lvwStaticQueue.count(), queued ? kPages : 0);
        host.setChangeListener({});
        toolkit->shown().clear();
        Click(dialog.cmdOK);
        EXPECT_FALSE(frmMain::Exists());
        EXPECT_EQ(toolkit->shown().at(0).text, L"Margin settings have been applied successfully.");
        EXPECT_EQ(saveCount(Page(100)), 1);
    }
}

TEST_F(FrmProgressTest, TheWindowAppearsOnlyAfterAboutASecondAndRedrawsAFewTimesASecond) {
    struct Case {
        std::chrono::milliseconds step;  // per page, and per file counted
        bool queued;
        int updates;  // 0: never shown
        std::int32_t firstDone;
        const wchar_t* firstStatus;
        const wchar_t* firstItem;
    };
    // At 100 ms a page the run reaches a second at page 10 and redraws every third
    // page; over all pages the count of the web's 100 files gets there first.
    const Case cases[] = {
        {5ms, true, 0, 0, L"", L""},
        {100ms, true, 31, 9, L"Applying margins to page 10 of 100", L"p10.htm"},
        {100ms, false, 65, 9, L"Counting pages...", L""},
        {1000ms, true, kPages, 0, L"Applying margins to page 1 of 100", L"p1.htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.step.count() << "ms " << (c.queued ? "queue" : "all pages"));
        step = c.step;
        const size_t windowsBefore = toolkit->progressWindows().size();
        Click(prepare(c.queued).cmdOK);
        EXPECT_EQ(toolkit->shown().at(0).text, L"Margin settings have been applied successfully.");
        // The window asks the host only for the name it shows, when it redraws.
        const auto calls = host.recorder().calls();
        EXPECT_EQ(WithoutDisplayReads(calls), callsWithoutProgress(c.queued));
        if (c.updates == 0) {
            EXPECT_EQ(toolkit->progressWindows().size(), windowsBefore);
            continue;
        }
        ASSERT_EQ(toolkit->progressWindows().size(), windowsBefore + 1);
        const MemoryProgressWindow& window = *progress();
        EXPECT_EQ(window.design().caption, L"Tavisk 2002");
        EXPECT_EQ(window.design().icon, IDI_TAVISK);
        EXPECT_NE(window.design().owner, nullptr);
        EXPECT_EQ(window.design().editor, &toolkit->editor());
        EXPECT_TRUE(window.closed());
        EXPECT_GT(window.messageRounds(), 0);
        ASSERT_EQ(window.updates().size(), static_cast<size_t>(c.updates));
        EXPECT_EQ(window.updates().front(),
                  (MemoryProgressWindow::Update{c.firstDone, kPages, c.firstStatus, c.firstItem}));
        const auto counting = [&](size_t i) { return window.updates()[i].status == frmProgress::kCountingText; };
        size_t pageUpdates = counting(0) ? 0 : 1;
        for (size_t i = 1; i < window.updates().size(); pageUpdates += counting(i++) ? 0 : 1)
            EXPECT_TRUE(window.updates()[i].done > window.updates()[i - 1].done || counting(i - 1) != counting(i));
        EXPECT_EQ(calls.size() - WithoutDisplayReads(calls).size(), c.queued ? 0u : pageUpdates);
    }
}

TEST_F(FrmProgressTest, TheWindowIsGoneBeforeTheRunsMessage) {
    // Whether the progress window was still open when each message came up.
    struct Messages final : ui::MessageBoxes {
        std::function<bool()> windowOpen;
        std::vector<std::pair<std::wstring, bool>> shown;
        void show(const std::wstring& text, const std::wstring&, ui::MessageIcon) override {
            shown.push_back({text, windowOpen()});
        }
    };
    enum class End { Done, Stopped, Failed, StoppedCounting };
    for (const End end : {End::Done, End::Stopped, End::Failed, End::StoppedCounting}) {
        SCOPED_TRACE(static_cast<int>(end));
        freshWeb();
        step = 1000ms;  // the window is there from the first page
        if (end == End::Stopped) cancelDuring(5);
        if (end == End::Failed) host.recorder().failOn(L"WebFile.open", 5);
        cancelAtSight = end == End::StoppedCounting;
        host.recorder().clear();
        FakeRunDialog dialog;
        Messages messages;
        messages.windowOpen = [this] { return progress() && !progress()->closed(); };
        {
            frmProgress progress(nullptr);
            ApplyMargins(settings(false), dialog, messages, &progress);
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_FALSE(messages.shown[0].second) << base::ToUtf8(messages.shown[0].first);
        if (end == End::StoppedCounting) {  // before the first page
            EXPECT_EQ(messages.shown[0].first, kCountStoppedMessage);
            EXPECT_EQ(host.recorder().countOf(L"WebFile.open"), 0);
        }
        host.setChangeListener({});
    }
}

}  // namespace
}  // namespace tavisk::testing
