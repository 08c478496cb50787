// The run with every one of its host calls refused in turn. A reference run records
// the calls; then, for each position, a fresh web gets the same run through the
// options dialog with only that call refused, and the test checks what the user sees
// and what each page holds, then presses OK again and expects the run to complete.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <optional>
#include <set>

#include "tests/reliability/PageCheck.h"

namespace tavisk::testing {
namespace {

// Every kind of position a longer web has: the first and the last page, pages in a
// folder, pages open in a window (the active one among them), other files between
// pages. More pages would only repeat them, and each position re-runs the whole run.
constexpr int kPages = 9;
constexpr int kUserViewMode = 2;

// What every page holds after a complete run with top 12 and left 3, both families.
const std::vector<Attribute> kDone = {
    {L"text", L"black"}, {L"topmargin", L"12"}, {L"marginheight", L"12"}, {L"leftmargin", L"3"}, {L"marginwidth", L"3"},
};

// The positions in a reference run's calls at which one page's steps happen.
struct PageSteps {
    size_t start = 0;  // the first call about this page: the one after its fetch (all pages) or its lookup (queue)
    size_t open = 0;
    size_t normalView = 0;
    size_t save = 0;
    size_t end = 0;  // its Close, or the view mode put back
};

std::wstring OperationOf(const std::wstring& entry) { return entry.substr(0, entry.find_first_of(L"[(")); }

class RunFaultSweepTest : public RunTest {
protected:
    std::wstring page(int i) const {
        // Some pages in a folder; names unique, so a URL never holds another's.
        return (i % 4 == 2 ? L"docs/p" : L"p") + std::to_wstring(100 + i) + L".htm";
    }
    // Open in the user's view mode: the first page of either scope (the run's first
    // look at the windows finds one), a page in the folder, and the page made active.
    bool wasOpen(int i) const { return i % 3 == 0 || i == 4 || i == kPages - 1; }

    // A fresh web: pages with other files between them, some pages open in the
    // user's view mode, one of them active, one a frames page showing another page in
    // its first frame, in an editor that lists its windows by their last activation.
    void makeWeb() {
        web = std::make_shared<simhost::WebModel>(kWebUrl);
        host.openWeb(web);
        host.setListByActivation(true);
        for (int i = 0; i < kPages; ++i) {
            auto& file = web->addFile(page(i), L"Page", {{L"text", L"black"}, {L"topmargin", L"1"}});
            if (i == 5) static_cast<simhost::MemoryPageStore&>(file.store()).setFirstFrameSource(page(6));
            if (i % 4 == 0) web->addFile(L"img" + std::to_wstring(i) + L".gif");
        }
        for (int i = 0; i < kPages; ++i) {
            if (!wasOpen(i)) continue;
            openPage(page(i));
            host.activePageWindow()->viewMode = kUserViewMode;
        }
        openPage(page(4));
    }

    frmMain& openDialog(bool allPages) {
        auto& dialog = openWithMargins(L"12", L"3");
        if (!allPages) {
            Click(dialog.optSelect, 1);
            for (int i = kPages - 1; i >= 0; --i) dialog.lvwStaticQueue.add(Entry(page(i), L"Page"));
        }
        return dialog;
    }

    std::shared_ptr<simhost::PageWindowState> windowOf(int i) const { return host.findPageWindow(Url(page(i))); }

    // Where each page's steps fall in the reference run's calls.
    std::vector<PageSteps> stepsOf(const std::vector<std::wstring>& calls) const {
        std::vector<PageSteps> steps(kPages);
        for (int i = 0; i < kPages; ++i) {
            const std::wstring at = L"[" + Url(page(i)) + L"]";
            const auto find = [&](const std::wstring& entry, size_t from) {
                const auto it = std::find(calls.begin() + static_cast<std::ptrdiff_t>(from), calls.end(), entry);
                EXPECT_NE(it, calls.end()) << base::ToUtf8(entry);
                return static_cast<size_t>(it - calls.begin());
            };
            auto& s = steps[static_cast<size_t>(i)];
            const auto lookup = std::find(calls.begin(), calls.end(), L"Web.locateFile(" + Url(page(i)) + L")");
            s.start = lookup != calls.end() ? static_cast<size_t>(lookup - calls.begin()) : 0;
            s.open = find(L"WebFile.open" + at, s.start);
            // All pages: the first call after the page's fetch from the collection, once the pages are counted.
            if (lookup == calls.end()) s.start = s.open;
            while (lookup == calls.end() && !calls[s.start - 1].starts_with(L"WebFiles.item")) --s.start;
            s.normalView = find(L"PageWindow.setViewMode" + at + L"(1)", s.open);
            s.save = find(L"Control.execute[&Save]", s.normalView);
            s.end = wasOpen(i)
                        ? find(L"PageWindow.setViewMode" + at + L"(" + std::to_wstring(kUserViewMode) + L")", s.save)
                        : find(L"Control.execute[&Close]", s.save);
        }
        return steps;
    }

    // One page after a run stopped by the call at `failed`.
    void expectPageAfterStop(int i, const PageSteps& s, size_t failed) {
        SCOPED_TRACE(base::ToUtf8(page(i)));
        const auto window = windowOf(i);
        const bool inHand = s.start <= failed && failed <= s.end;
        const bool done = s.end < failed || (inHand && s.save < failed);  // saved before the failure
        EXPECT_EQ(saveCount(page(i)), done ? 1 : 0);
        if (done) {
            EXPECT_EQ(saved(page(i)), kDone);
        }
        if (!inHand) {  // finished before the failure or not reached: its window as the user left it
            EXPECT_EQ(window != nullptr, wasOpen(i));
            if (window) {
                EXPECT_EQ(window->viewMode, kUserViewMode);
            }
            return;
        }
        // The page being processed: the user's window as they had it, the run's own closed.
        ASSERT_EQ(window != nullptr, wasOpen(i));
        if (window) {
            EXPECT_EQ(window->viewMode, kUserViewMode);
        }
    }

    // After the run stopped at call `k`: what the user sees, what each page holds, and
    // that OK on the dialog shown again completes the run.
    void checkStopAndRetry(const std::vector<PageSteps>& steps, size_t k, const std::wstring& operation) {
        // One message, the run's own: which page, and the host's reason.
        ASSERT_EQ(toolkit->shown().size(), 1u);
        const auto& message = toolkit->shown()[0];
        EXPECT_EQ(message.title, L"Tavisk 2002");
        EXPECT_EQ(message.icon, ui::MessageIcon::Error);
        std::optional<int> current, named;
        for (int i = 0; i < kPages; ++i) {
            const auto& s = steps[static_cast<size_t>(i)];
            if (s.start <= k && k <= s.end) current = i;
            for (const auto* after : {L".", L","})
                if (message.text.find(Url(page(i)) + after) != std::wstring::npos) named = i;
        }
        // The page being processed is named; a page already done never is.
        if (current) {
            EXPECT_EQ(named, current);
        }
        if (named) {
            EXPECT_GE(steps[static_cast<size_t>(*named)].end, k);
        }
        // A page saved before the failure is done, and the user is told so.
        const bool savedFirst = current && steps[static_cast<size_t>(*current)].save < k;
        const std::wstring told =
            !savedFirst ? L"The margins could not be applied" + (named ? L" to " + Url(page(*named)) : L"") + L"."
                        : L"The margins were applied and saved to " + Url(page(*current)) +
                              (wasOpen(*current) ? L", and the page's view was put back, but the run stopped there."
                                                 : L", and the page was closed, but the run stopped there.");
        EXPECT_EQ(message.text, told + L"\n\nThe host refused " + operation + L".");
        for (int i = 0; i < kPages; ++i) expectPageAfterStop(i, steps[static_cast<size_t>(i)], k);

        // The dialog is back with its choices, and OK now completes the run.
        ASSERT_TRUE(frmMain::Exists());
        EXPECT_TRUE(frmMain::Instance().form().visible());
        const auto openBefore = openPages();
        toolkit->shown().clear();
        Click(frmMain::Instance().cmdOK);
        ASSERT_EQ(toolkit->shown().size(), 1u);
        EXPECT_EQ(toolkit->shown()[0].text, kRunDoneMessage);
        EXPECT_FALSE(frmMain::Exists());
        for (int i = 0; i < kPages; ++i) EXPECT_EQ(saved(page(i)), kDone) << base::ToUtf8(page(i));
        // The user's windows, and only they, before and after.
        const auto openAfter = openPages();  // in the order of their activation
        EXPECT_TRUE(std::is_permutation(openAfter.begin(), openAfter.end(), openBefore.begin(), openBefore.end()));
    }

    // Fails each call of the run in turn; returns the number of positions swept.
    size_t sweep(bool allPages) {
        makeWeb();
        openDialog(allPages);
        toolkit->shown().clear();
        host.recorder().clear();
        Click(frmMain::Instance().cmdOK);
        const std::vector<std::wstring> reference = host.recorder().calls();
        EXPECT_FALSE(frmMain::Exists());
        EXPECT_EQ(toolkit->shown().size(), 1u);
        for (int i = 0; i < kPages; ++i) EXPECT_EQ(saved(page(i)), kDone) << base::ToUtf8(page(i));
        const auto steps = stepsOf(reference);
        if (::testing::Test::HasFailure()) return 0;
        size_t lastPageEnd = 0;
        for (const auto& s : steps) lastPageEnd = std::max(lastPageEnd, s.end);

        host.recorder().setRecording(false);
        std::map<std::wstring, int> seen;  // calls of each operation so far
        for (size_t k = 0; k < reference.size(); ++k) {
            const auto operation = OperationOf(reference[k]);
            const int nth = ++seen[operation];
            SCOPED_TRACE(::testing::Message() << "call " << k << ": " << base::ToUtf8(reference[k]));

            makeWeb();
            openDialog(allPages);
            toolkit->shown().clear();
            host.recorder().failOn(operation, nth);
            Click(frmMain::Instance().cmdOK);

            if (k > lastPageEnd) {  // every page done: the window active before is no part of the run
                EXPECT_EQ(toolkit->shown().size() == 1 ? toolkit->shown()[0].text : L"", kRunDoneMessage);
                for (int i = 0; i < kPages; ++i) EXPECT_EQ(saved(page(i)), kDone) << base::ToUtf8(page(i));
            } else {
                checkStopAndRetry(steps, k, operation);
            }
            if (::testing::Test::HasFailure()) return k + 1;
        }
        host.recorder().setRecording(true);
        return reference.size();
    }
};

TEST_F(RunFaultSweepTest, EveryRefusedCallOfARunOverAllPagesOrTheQueueStopsItCleanly) {
    for (const bool allPages : {true, false}) {
        const char* scope = allPages ? "all pages" : "queue";
        SCOPED_TRACE(scope);
        const auto swept = sweep(allPages);
        std::cout << "[ swept ] " << scope << ": " << swept << " positions\n";
        RecordProperty(allPages ? "positions_all_pages" : "positions_queue", static_cast<int>(swept));
        EXPECT_GT(swept, static_cast<size_t>(kPages) * 20);
    }
}

}  // namespace
}  // namespace tavisk::testing
