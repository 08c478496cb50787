#include <gtest/gtest.h>

#include <map>

#include "margins/ApplyMargins.h"
#include "margins/BodyMargins.h"
#include "simhost/disk/DiskPageStore.h"
#include "simhost/disk/DiskWeb.h"
#include "tests/core/SimHostFixture.h"
#include "tests/simhost_disk/TempFolder.h"

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
        for (const auto& file : web->allFiles())
            paths.push_back(simhost::WebModel::RelativeUrl(web->root().url(), file->url()));
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
    EXPECT_TRUE(web->findFolder(web->root().url() + L"_private")->excluded());
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
    EXPECT_EQ(body(L"contact.asp"), (std::vector<Attribute>{{L"marginwidth", L"4"}, {L"marginheight", L"4"}}));
    EXPECT_EQ(body(L"frames.htm"), (std::vector<Attribute>{{L"cols", L"180,*"}, {L"frameborder", L"0"}}));
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
    EXPECT_TRUE(activeWeb->locateFolder(rootUrl + L"_private")->excluded());
    EXPECT_EQ(activeWeb->locateFile(rootUrl + L"products/Catalog.HTM")->extension(), L"HTM");

    EXPECT_THROW(activeWeb->locateFile(rootUrl + L"missing.htm"), host::HostError);
    EXPECT_THROW(activeWeb->locateFolder(rootUrl + L"products/none"), host::HostError);
}

TEST_F(SampleWebTest, AMarginRunChangesOnlyTheBodyStartTags) {
    std::map<std::wstring, std::string> before;
    for (const auto& path : paths) before[path] = site.read(base::ToUtf8(path));

    MarginSettings settings;
    settings.topOn = settings.leftOn = true;
    settings.topText = L"10";
    settings.leftText = L"4";
    settings.platform = Platform::Both;
    FakeRunDialog dialog;
    FakeMessageBoxes messages;
    ApplyMargins(settings, dialog, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kRunDoneMessage);

    const std::vector<Attribute> margins = {
        {L"topmargin", L"10"}, {L"leftmargin", L"4"}, {L"marginheight", L"10"}, {L"marginwidth", L"4"}};
    for (const auto& path : paths) {
        SCOPED_TRACE(base::ToUtf8(path));
        const auto now = site.read(base::ToUtf8(path));
        if (!IsPage(*host::Application().activeWeb()->locateFile(web->root().url() + path))) {
            EXPECT_EQ(now, before[path]);
            continue;
        }
        const HtmlPage old(before[path]);
        const auto [from, to] = old.bodyTagRange();
        const auto after = before[path].size() - to;
        EXPECT_EQ(now.substr(0, from), before[path].substr(0, from));
        EXPECT_EQ(now.substr(now.size() - after), before[path].substr(to));
        const auto attributes = HtmlPage(now).bodyAttributes();
        for (const auto& margin : margins)
            EXPECT_NE(std::find(attributes.begin(), attributes.end(), margin), attributes.end())
                << base::ToUtf8(margin.name);
    }
}

}  // namespace
}  // namespace tavisk::testing
