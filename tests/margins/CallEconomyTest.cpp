// The host calls a run makes for each page, against the calls the run's design
// lists for that page. A page's calls run from its fetch (the web's file collection
// item, or the web and its locateFile for a queued URL) to the next page's fetch. A
// run over all pages first reads each file's extension, to count the pages.

#include "margins/ApplyMargins.h"

#include "tests/simhost/SimHostFixture.h"

namespace tavisk::testing {
namespace {

// Fetching the page (two), the open-window check (three, one for the page's URL,
// and six for each window it walks), opening (one), view mode 1 (two), the BODY (one lookup of two for the
// four removals, and a lookup of two for each setting), Save (four), then either
// the view mode read and put back (two and two) or Close (four).
int ListedCalls(int windowsWalked, bool wasOpen, int settingsWritten) {
    return 2 + (3 + 1 + 6 * windowsWalked) + 1 + 2 + (2 + 4 + 3 * settingsWritten) + 4 + (wasOpen ? 2 + 2 : 4);
}
constexpr int kListedForNotAPage = 2;  // the collection item and its extension
constexpr int kSettingsWritten = 4;    // both families, both sides

// The sizes of the recorded calls cut before every call of `operation`.
std::vector<int> Segments(const std::vector<std::wstring>& calls, const std::wstring& operation) {
    std::vector<int> sizes;
    for (const auto& call : calls) {
        if (call == operation || call.starts_with(operation + L"(")) sizes.push_back(0);
        if (!sizes.empty()) ++sizes.back();
    }
    return sizes;
}

using CallEconomyTest = SimHostTest;

TEST_F(CallEconomyTest, ARunAsksTheHostNoMoreForEachPageThanListed) {
    struct Case {
        bool allPages;
        int pages;
        int windows;  // the first pages are open in this many windows, in order
    };
    for (const Case c : {Case{false, 3, 0}, Case{false, 8, 5}, Case{true, 3, 0}, Case{true, 60, 50}}) {
        SCOPED_TRACE(::testing::Message() << (c.allPages ? "all pages, " : "queue, ") << c.windows << " windows");
        simhost::SimHost fresh;
        fresh.setListByActivation(true);  // the editor moves each window it activates to the end of its list
        host::SetApplication(simhost::InMemoryHost(fresh));
        web = std::make_shared<simhost::WebModel>(kWebUrl);
        fresh.openWeb(web);
        FakeRunDialog dialog;
        for (int i = 0; i < c.pages; ++i) {
            dialog.queue.push_back(web->addFile(L"p" + std::to_wstring(i) + L".htm").url());
            web->addFile(L"i" + std::to_wstring(i) + L".gif");
        }
        dialog.queue.push_back(web->addFile(L"last.htm").url());  // its calls include the run's end: not counted
        for (int i = 0; i < c.windows; ++i) fresh.openPage(web->findFile(dialog.queue[static_cast<size_t>(i)]));
        MarginSettings settings;
        settings.topOn = settings.leftOn = true;
        settings.allPages = c.allPages;
        FakeMessageBoxes messages;
        ApplyMargins(settings, dialog, messages);
        ASSERT_EQ(dialog.events, (std::vector<std::wstring>{L"hide", L"unload"}));

        EXPECT_EQ(fresh.pageWindows().size(), static_cast<size_t>(c.windows));  // the user's, and only they
        const auto segments =
            Segments(fresh.recorder().calls(), c.allPages ? L"WebFiles.item" : L"Application.activeWeb");
        const int files = c.allPages ? 2 * c.pages + 1 : 0;  // each a page or an image, counted first
        ASSERT_EQ(segments.size(), static_cast<size_t>(files + c.pages + 1));
        for (int i = 0; i < files; ++i) EXPECT_LE(segments[i], kListedForNotAPage) << "file " << i;
        for (int i = 0; i < c.pages; ++i) {
            // The first check walks every window.
            EXPECT_LE(segments[files + i], ListedCalls(i == 0 ? c.windows : 0, i < c.windows, kSettingsWritten))
                << "page " << i;
        }
        // However many pages the run walks, it asks each window for its file once.
        EXPECT_LE(fresh.recorder().countOf(L"PageWindows.item"), c.windows);
    }
}

}  // namespace
}  // namespace tavisk::testing
