#include "simhost/disk/DiskWeb.h"

#include <gtest/gtest.h>

#include "simhost/SimError.h"
#include "simhost/WebUrl.h"
#include "base/Text.h"
#include "simhost/disk/DiskPageStore.h"
#include "tests/simhost/disk/TempFolder.h"

namespace tavisk::testing {
namespace {

using simhost::FolderNode;

std::vector<std::wstring> Names(const FolderNode& folder) {
    std::vector<std::wstring> names;
    for (const auto& sub : folder.subFolders()) names.push_back(sub->name() + L"/");
    for (const auto& file : folder.files()) names.push_back(file->name());
    return names;
}

class DiskWebTest : public ::testing::Test {
protected:
    void SetUp() override {
        site.write("index.htm", "<html><head><title>\n  Home &amp;\tAway  </title></head><body>x</body></html>");
        site.write("Zed.HTML", "<title>Zed</title>");
        site.write("about.asp", "<% Response.Write(1) %><html><head><title>About us</title>");
        site.write("logo.png", "\x89PNG");
        site.write("notes.htm", "<html><body>no title</body></html>");
        site.write("b/page.htm", "<title>B</title>");
        site.write("A/deep/x.htm", "<title>X</title>");
        site.write("_private/secret.htm", "<title>Secret</title>");
        site.write("_private/inner/y.htm", "<title>Y</title>");
        std::filesystem::create_directories(site.path() / "empty");
        root = base::FromUtf8("file:///" +
                              site.path().generic_string().substr(site.path().generic_string().find_first_not_of('/')));
    }

    TempFolder site;
    std::wstring root;
};

TEST_F(DiskWebTest, ListsFoldersAndFilesByNameWithDiskUrls) {
    const auto web = simhost::OpenDiskWeb(site.path());
    EXPECT_EQ(web->url(), root);
    EXPECT_EQ(web->root().url(), root + L"/");
    EXPECT_EQ(Names(web->root()), (std::vector<std::wstring>{L"_private/", L"A/", L"b/", L"empty/", L"about.asp",
                                                             L"index.htm", L"logo.png", L"notes.htm", L"Zed.HTML"}));
    const auto& a = *web->root().subFolders()[1];
    EXPECT_EQ(a.url(), root + L"/A");
    EXPECT_EQ(a.subFolders()[0]->url(), root + L"/A/deep");
    EXPECT_EQ(a.subFolders()[0]->files()[0]->url(), root + L"/A/deep/x.htm");
    EXPECT_EQ(web->root().files()[1]->url(), root + L"/index.htm");

    // The flat collection: each folder's files, then its subfolders', hidden ones too.
    std::vector<std::wstring> all;
    for (const auto& file : web->allFiles()) all.push_back(simhost::RelativeUrl(web->root().url(), file->url()));
    EXPECT_EQ(all, (std::vector<std::wstring>{L"about.asp", L"index.htm", L"logo.png", L"notes.htm", L"Zed.HTML",
                                              L"_private/secret.htm", L"_private/inner/y.htm", L"A/deep/x.htm",
                                              L"b/page.htm"}));
    EXPECT_EQ(web->findFile(root + L"/_private/inner/y.htm")->title(), L"Y");
    EXPECT_EQ(web->findFolder(root + L"/b")->files().size(), 1u);
}

TEST(DiskWebOrder, NamesWithoutCaseThenExactlyPrefixesFirst) {
    struct Case {
        std::vector<const char*> written;
        std::vector<std::wstring> listed;
    };
    const std::vector<Case> cases = {
        {{"b.htm", "ab.htm", "a1.htm", "ab", "a_b.htm", "a.htm"},
         {L"a.htm", L"a1.htm", L"a_b.htm", L"ab", L"ab.htm", L"b.htm"}},
        {{"Page10.htm", "page1.htm", "PAGE2.htm"}, {L"page1.htm", L"Page10.htm", L"PAGE2.htm"}},
#ifndef _WIN32  // names that differ only in case share one file on Windows
        {{"b.htm", "B.htm", "ab.htm", "Ab.htm", "a.htm", "A.htm"},
         {L"A.htm", L"a.htm", L"Ab.htm", L"ab.htm", L"B.htm", L"b.htm"}},
#endif
    };
    for (const auto& c : cases) {
        TempFolder folder;
        for (const char* name : c.written) folder.write(name, "<title>t</title>");
        EXPECT_EQ(Names(simhost::OpenDiskWeb(folder.path())->root()), c.listed) << c.written.front();
    }
}

TEST_F(DiskWebTest, HidesUnderscoreFolders) {
    site.write("_borders/top.htm", "<title>Top</title>");
    const auto web = simhost::OpenDiskWeb(site.path());
    for (const auto& folder : web->root().subFolders())
        EXPECT_EQ(folder->excluded(), folder->name() == L"_borders") << base::ToUtf8(folder->name());
    EXPECT_FALSE(web->findFolder(root + L"/_private/inner")->excluded());
}

TEST_F(DiskWebTest, TitlesAreWhatABrowserShowsOrTheFileName) {
    const auto web = simhost::OpenDiskWeb(site.path());
    const auto title = [&](const std::wstring& path) { return web->findFile(root + L"/" + path)->title(); };
    EXPECT_EQ(title(L"index.htm"), L"Home & Away");
    EXPECT_EQ(title(L"Zed.HTML"), L"Zed");
    EXPECT_EQ(title(L"about.asp"), L"About us");
    EXPECT_EQ(title(L"notes.htm"), L"notes.htm");
    EXPECT_EQ(title(L"logo.png"), L"logo.png");
    EXPECT_EQ(web->findFile(root + L"/logo.png")->extension(), L"png");
}

TEST_F(DiskWebTest, OnlyPagesOpenInTheEditor) {
    const auto web = simhost::OpenDiskWeb(site.path());
    const auto page = web->findFile(root + L"/Zed.HTML")->store().load();
    EXPECT_EQ(simhost::PageSourceText(*page), L"<title>Zed</title>");
    EXPECT_THROW(web->findFile(root + L"/logo.png")->store().load(), simhost::SimError);
}

TEST_F(DiskWebTest, AFolderThatCannotBeReadIsAHostError) {
    for (const auto& path : {site.path() / "missing", site.path() / "index.htm"}) {
        try {
            simhost::OpenDiskWeb(path);
            ADD_FAILURE() << path;
        } catch (const simhost::SimError& e) {
            EXPECT_NE(e.message().find(L"cannot be opened as a web"), std::wstring::npos) << base::ToUtf8(e.message());
        }
    }
}

#ifndef _WIN32
TEST_F(DiskWebTest, DoesNotFollowFolderLinks) {
    std::filesystem::create_directory_symlink(site.path(), site.path() / "loop");
    const auto web = simhost::OpenDiskWeb(site.path());
    EXPECT_EQ(web->findFolder(root + L"/loop"), nullptr);
}

TEST_F(DiskWebTest, AFileNameThatIsNotUtf8IsListedAndOpens) {
    site.write("bad\xFF.htm", "<title>Bad name</title><body a=1>");
    const auto web = simhost::OpenDiskWeb(site.path());
    const auto file = web->findFile(root + L"/bad\uFFFD.htm");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->title(), L"Bad name");
    EXPECT_EQ(file->store().load()->attribute(L"a"), L"1");
}
#endif

TEST(DiskUrl, IsFileSchemeWithForwardSlashes) {
#ifdef _WIN32
    EXPECT_EQ(simhost::DiskUrl(L"C:\\Webs\\site"), L"file:///C:/Webs/site");
#else
    EXPECT_EQ(simhost::DiskUrl("/tmp/site"), L"file:///tmp/site");
#endif
}

TEST(PageSourceText, ShowsTheBodyTagOfAnInMemoryDocument) {
    const simhost::PageDocument document(std::vector<simhost::Attribute>{{L"topmargin", L"1\"<"}});
    EXPECT_EQ(simhost::PageSourceText(document), L"<body topmargin=\"1&quot;&lt;\">");
}

}  // namespace
}  // namespace tavisk::testing
