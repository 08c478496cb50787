#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "margins/ApplyMargins.h"
#include "simhost/WebUrl.h"
#include "simhost/disk/DiskPageStore.h"
#include "simhost/disk/DiskWeb.h"
#include "tests/simhost/SimHostFixture.h"
#include "tests/simhost/disk/BodyTagCheck.h"
#include "tests/simhost/disk/TempFolder.h"

namespace tavisk::testing {
namespace {

using simhost::Attribute;
using simhost::HtmlPage;

// The sample web the host window opens: a copy of it, so the test may write.
class SampleWebTest : public SimHostTest {
protected:
    void SetUp() override {
        SimHostTest::SetUp();
        std::filesystem::copy(TAVISK_SAMPLE_WEB, site.path(), std::filesystem::copy_options::recursive);
        web = simhost::OpenDiskWeb(site.path());
        host.openWeb(web);
        for (const auto& file : web->allFiles()) paths.push_back(simhost::RelativeUrl(web->root().url(), file->url()));
    }
    std::shared_ptr<simhost::FileNode> file(const std::wstring& path) const {
        return web->findFile(web->root().url() + path);
    }
    std::vector<Attribute> body(const std::wstring& path) const {
        return HtmlPage(site.read(base::ToUtf8(path))).bodyAttributes();
    }

    TempFolder site;
    std::vector<std::wstring> paths;
};

TEST_F(SampleWebTest, OpensWithItsTitlesAndBodies) {
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"about.htm",
                                                L"contact.asp",
                                                L"frames.htm",
                                                L"index.htm",
                                                L"legacy.htm",
                                                L"nav.htm",
                                                L"news.html",
                                                L"specials.htm",
                                                L"_private/drafts.htm",
                                                L"_private/orders.txt",
                                                L"images/banner.png",
                                                L"images/bullet.gif",
                                                L"images/flower.gif",
                                                L"images/logo.png",
                                                L"products/Catalog.HTM",
                                                L"products/index.htm",
                                                L"products/tools.htm",
                                                L"products/seeds/bulbs.htm",
                                                L"products/seeds/tomatoes.htm",
                                                L"styles/print.css",
                                                L"styles/site.css"}));
    EXPECT_FALSE(web->findFolder(web->root().url() + L"_private")->excluded());
    EXPECT_EQ(file(L"index.htm")->title(), L"Moss & Maple \u2014 Garden Supply");
    EXPECT_EQ(file(L"about.htm")->title(), L"About Moss & Maple");
    EXPECT_EQ(file(L"legacy.htm")->title(), L"Old price list");
    EXPECT_EQ(file(L"news.html")->title(), L"Garden news \u2014 spring");
    EXPECT_EQ(file(L"products/seeds/bulbs.htm")->title(), L"Spring bulbs \u2014 Fr\u00FChlingszwiebeln");
    EXPECT_EQ(file(L"images/logo.png")->title(), L"logo.png");

    EXPECT_EQ(body(L"index.htm"), (std::vector<Attribute>{{L"topmargin", L"5"}, {L"bgcolor", L"#FDFCF5"}}));
    EXPECT_EQ(body(L"about.htm"),
              (std::vector<Attribute>{
                  {L"bgcolor", L"#fdfcf5"}, {L"text", L"#333333"}, {L"link", L"#2e5e2e"}, {L"leftmargin", L"8"}}));
    // What the server code around "class" writes is not an attribute of the page.
    EXPECT_EQ(body(L"contact.asp"),
              (std::vector<Attribute>{{L"class", L"sent"}, {L"marginwidth", L"4"}, {L"marginheight", L"4"}}));
    // Pasted together: the second BODY tag adds what the first lacks.
    EXPECT_EQ(body(L"specials.htm"), (std::vector<Attribute>{{L"bgcolor", L"#fdfcf5"},
                                                             {L"topmargin", L"6"},
                                                             {L"leftmargin", L"12"},
                                                             {L"marginwidth", L"12"},
                                                             {L"text", L"#333333"}}));
    EXPECT_EQ(body(L"frames.htm"), (std::vector<Attribute>{{L"cols", L"180,*"}, {L"frameborder", L"0"}}));
    EXPECT_EQ(HtmlPage(site.read("frames.htm")).firstFrameSource(), L"nav.htm");  // not the NOFRAMES link
    EXPECT_EQ(body(L"news.html"), std::vector<Attribute>{});
    EXPECT_EQ(body(L"legacy.htm"), (std::vector<Attribute>{{L"topmargin", L"0"}, {L"text", L"black"}}));
}

TEST_F(SampleWebTest, TheHostModelLocatesItsFilesAndFoldersByDiskUrl) {
    auto& app = host::Application();
    const auto activeWeb = app.activeWeb();
    const auto rootUrl = web->root().url();
    EXPECT_EQ(activeWeb->url() + L"/", rootUrl);
    EXPECT_EQ(activeWeb->rootFolder()->url(), rootUrl);
    EXPECT_EQ(activeWeb->allFiles()->count(), static_cast<std::int32_t>(paths.size()));

    const auto seeds = activeWeb->locateFolder(rootUrl + L"products/seeds");
    EXPECT_EQ(seeds->files()->item(0)->title(), L"Spring bulbs \u2014 Fr\u00FChlingszwiebeln");
    EXPECT_EQ(app.relativeUrl(*seeds, rootUrl + L"products/seeds/tomatoes.htm"), L"tomatoes.htm");
    EXPECT_EQ(app.relativeUrl(activeWeb->url(), rootUrl + L"products/seeds"), L"products/seeds");
    EXPECT_FALSE(activeWeb->locateFolder(rootUrl + L"_private")->excluded());
    EXPECT_EQ(activeWeb->locateFile(rootUrl + L"products/Catalog.HTM")->extension(), L"HTM");

    EXPECT_THROW(activeWeb->locateFile(rootUrl + L"missing.htm"), host::HostError);
    EXPECT_THROW(activeWeb->locateFolder(rootUrl + L"products/none"), host::HostError);
    EXPECT_THROW(activeWeb->locateFolder(rootUrl + L"_vti_cnf"), host::HostError) << "the editor's metadata";
    EXPECT_THROW(activeWeb->locateFile(rootUrl + L"products/_vti_cnf/index.htm"), host::HostError);
}

TEST_F(SampleWebTest, AMarginRunChangesOnlyTheBodyStartTags) {
    std::map<std::wstring, std::string> before;
    for (const auto& path : paths) before[path] = site.read(base::ToUtf8(path));

    struct Run {
        Platform platform;
        bool leftOn;
        std::vector<Attribute> margins;  // what every page's BODY then has of the four
    };
    const Run runs[] = {
        {Platform::Both,
         true,
         {{L"topmargin", L"10"}, {L"leftmargin", L"4"}, {L"marginheight", L"10"}, {L"marginwidth", L"4"}}},
        {Platform::InternetExplorer, false, {{L"topmargin", L"10"}}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(static_cast<int>(run.platform));
        MarginSettings settings;
        settings.topOn = true;
        settings.leftOn = run.leftOn;
        settings.topText = L"10";
        settings.leftText = L"4";
        settings.platform = run.platform;
        FakeRunDialog dialog;
        FakeMessageBoxes messages;
        ApplyMargins(settings, dialog, messages);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, kRunDoneMessage);

        for (const auto& path : paths) {
            SCOPED_TRACE(base::ToUtf8(path));
            const auto now = site.read(base::ToUtf8(path));
            if (!IsPage(*host::Application().activeWeb()->locateFile(web->root().url() + path))) {
                EXPECT_EQ(now, before[path]);
                continue;
            }
            EXPECT_EQ(BodyTagsRewriteProblem(before[path], now), "");
            std::vector<Attribute> margins;
            const HtmlPage page(now);
            for (const auto& a : page.bodyAttributes())
                if (IsMarginName(a.name)) margins.push_back(a);
            const auto byName = [](const Attribute& x, const Attribute& y) { return x.name < y.name; };
            std::sort(margins.begin(), margins.end(), byName);
            auto expected = run.margins;
            std::sort(expected.begin(), expected.end(), byName);
            EXPECT_EQ(margins, expected);
        }
    }
    // The server code around "class" is where it was; the pasted page's second BODY
    // tag no longer gives what the run removed.
    EXPECT_NE(site.read("contact.asp").find("<body <% If sent Then %>class=\"sent\" <% End If %> topmargin=\"10\">"),
              std::string::npos);
    EXPECT_NE(site.read("specials.htm").find("<body text=\"#333333\">"), std::string::npos);
}

}  // namespace
}  // namespace tavisk::testing
