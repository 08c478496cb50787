#include <gtest/gtest.h>

#include "host/Application.h"
#include "margins/ApplyMargins.h"
#include "simhost/ObjectModel.h"
#include "simhost/SimError.h"
#include "simhost/SimHost.h"
#include "simhost/disk/DiskPageStore.h"
#include "simhost/disk/DiskWeb.h"
#include "tests/simhost/SimHostFixture.h"
#include "tests/simhost/disk/TempFolder.h"

namespace tavisk::testing {
namespace {

using simhost::DiskPageStore;
using SaveStep = DiskPageStore::SaveStep;

const std::string kPage =
    "\xEF\xBB\xBF<html>\r\n<head><title>P</title></head>\r\n<BODY TOPMARGIN=5 "
    "text='black'>\r\n<p>x</p>\r\n</BODY></html>\r\n";

class DiskSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        site.write("p.htm", kPage);
        web = simhost::OpenDiskWeb(site.path());
        host.openWeb(web);
        file = web->allFiles().front();
    }
    DiskPageStore& store() { return dynamic_cast<DiskPageStore&>(file->store()); }
    void edit() {
        host.openPage(file);
        host.activePageWindow()->document->setAttribute(L"topmargin", L"10", 1);
    }

    TempFolder site;
    std::shared_ptr<simhost::WebModel> web;
    std::shared_ptr<simhost::FileNode> file;
    simhost::SimHost host;
};

TEST_F(DiskSaveTest, SaveReplacesTheFileAndLeavesNothingBeside) {
    edit();
    EXPECT_NE(simhost::PageSourceText(*host.activePageWindow()->document).find(L"<BODY TOPMARGIN=\"10\" text='black'>"),
              std::wstring::npos);
    host.saveActivePage();
    const std::string expected =
        "\xEF\xBB\xBF<html>\r\n<head><title>P</title></head>\r\n<BODY TOPMARGIN=\"10\" "
        "text='black'>\r\n<p>x</p>\r\n</BODY></html>\r\n";
    EXPECT_EQ(site.read("p.htm"), expected);
    EXPECT_EQ(site.names(), (std::vector<std::string>{"p.htm"}));
    // Saving again from the same window writes the same page.
    host.saveActivePage();
    EXPECT_EQ(site.read("p.htm"), expected);
    // The web's save folder, beside its folder, goes with the web.
    const auto saveFolder = site.path().parent_path() / ("~" + site.path().filename().string() + ".saving");
    EXPECT_TRUE(std::filesystem::is_directory(saveFolder));
    host.closeWeb();
    web.reset();
    file.reset();
    EXPECT_FALSE(std::filesystem::exists(saveFolder));
}

TEST_F(DiskSaveTest, AFailureAtAnyStepLeavesTheOldFileWhole) {
    for (const auto failing : {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Close, SaveStep::Replace}) {
        SCOPED_TRACE(static_cast<int>(failing));
        store().setStepHook([failing](SaveStep s) {
            if (s == failing) throw simhost::SimError(simhost::kErrorFail, L"disk full");
        });
        edit();
        EXPECT_THROW(host.saveActivePage(), simhost::SimError);
        EXPECT_EQ(site.read("p.htm"), kPage);
        EXPECT_EQ(site.names(), (std::vector<std::string>{"p.htm"}));
    }
}

TEST_F(DiskSaveTest, ARefusedValueWritesNothing) {
    host.openPage(file);
    host.activePageWindow()->document->setAttribute(L"bad name", L"1", 1);
    EXPECT_THROW(host.saveActivePage(), simhost::SimError);
    EXPECT_EQ(site.read("p.htm"), kPage);
    EXPECT_EQ(site.names(), (std::vector<std::string>{"p.htm"}));
}

TEST_F(DiskSaveTest, AReadOnlyPageIsNotReplaced) {
    using std::filesystem::perms;
    std::filesystem::permissions(site.path() / "p.htm", perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
    edit();
    EXPECT_THROW(host.saveActivePage(), simhost::SimError);
    EXPECT_EQ(site.read("p.htm"), kPage);
    EXPECT_EQ(site.names(), (std::vector<std::string>{"p.htm"}));
    std::filesystem::permissions(site.path() / "p.htm", perms::owner_write, std::filesystem::perm_options::add);
}

TEST_F(DiskSaveTest, AChangeMadeByAnotherProgramIsNotOverwritten) {
    edit();
    site.write("p.htm", "changed elsewhere");
    EXPECT_THROW(host.saveActivePage(), simhost::SimError);
    EXPECT_EQ(site.read("p.htm"), "changed elsewhere");
    EXPECT_EQ(site.names(), (std::vector<std::string>{"p.htm"}));
}

TEST_F(DiskSaveTest, AForcedSaveOfAPageWindowWritesOverAnotherProgramsChange) {
    edit();
    site.write("p.htm", "changed elsewhere");
    const auto window = simhost::Application(host).activePageWindow();
    ASSERT_TRUE(window);
    EXPECT_THROW(window->save(false), simhost::SimError);
    EXPECT_TRUE(window->isDirty());
    window->save(true);
    EXPECT_FALSE(window->isDirty());
    EXPECT_NE(site.read("p.htm").find("<BODY TOPMARGIN=\"10\" text='black'>"), std::string::npos);
    EXPECT_EQ(site.names(), (std::vector<std::string>{"p.htm"}));
}

TEST_F(DiskSaveTest, ADocumentFromElsewhereIsWrittenIntoThePageAsItIsNow) {
    store().save(simhost::PageDocument(std::vector<simhost::Attribute>{{L"topmargin", L"1"}}));
    EXPECT_EQ(site.read("p.htm"),
              "\xEF\xBB\xBF<html>\r\n<head><title>P</title></head>\r\n<BODY "
              "TOPMARGIN=\"1\">\r\n<p>x</p>\r\n</BODY></html>\r\n");
}

#ifndef _WIN32
TEST_F(DiskSaveTest, APageReachedThroughALinkIsSavedIntoTheFileItNames) {
    std::filesystem::create_directory(site.path() / "real");
    std::filesystem::rename(site.path() / "p.htm", site.path() / "real" / "p.htm");
    std::filesystem::create_symlink("real/p.htm", site.path() / "p.htm");
    edit();
    host.saveActivePage();
    EXPECT_TRUE(std::filesystem::is_symlink(site.path() / "p.htm"));
    EXPECT_NE(site.read("real/p.htm").find("<BODY TOPMARGIN=\"10\" text='black'>"), std::string::npos);
    EXPECT_EQ(site.names("real"), (std::vector<std::string>{"p.htm"}));
}

TEST_F(DiskSaveTest, ThePageKeepsItsPermissions) {
    using std::filesystem::perms;
    std::filesystem::permissions(site.path() / "p.htm", perms::owner_read | perms::owner_write | perms::group_read);
    edit();
    host.saveActivePage();
    EXPECT_EQ(std::filesystem::status(site.path() / "p.htm").permissions(),
              perms::owner_read | perms::owner_write | perms::group_read);
}
#endif

TEST_F(DiskSaveTest, ClosingWithoutSavingDropsTheEdits) {
    edit();
    host.closeActivePage();
    EXPECT_EQ(site.read("p.htm"), kPage);
    host.openPage(file);
    EXPECT_EQ(host.activePageWindow()->document->attribute(L"topmargin"), L"5");
}

// The whole margin run on pages on disk: each page gets its margins in its BODY
// start tag, and not one other byte changes.
class DiskMarginRunTest : public SimHostTest {};

TEST_F(DiskMarginRunTest, APageOnDiskGetsItsMarginsAndNothingElse) {
    TempFolder site;
    struct Page {
        std::string path, before, tagBefore, tagAfter, after;
    };
    const std::vector<Page> pages = {
        {"index.htm", "<html><head><title>Home</title></head>\n", "<body text=\"navy\" marginheight=3>",
         "<body text=\"navy\" topmargin=\"10\" leftmargin=\"4\">", "\n<p>Hi</p>\n</body></html>\n"},
        {"sub/crlf.HTML", "\xEF\xBB\xBF<html>\r\n<!-- <body> -->\r\n", "<BODY TOPMARGIN=5 LEFTMARGIN='7'>",
         "<BODY TOPMARGIN=\"10\" LEFTMARGIN=\"4\">", "\r\n</BODY>\r\n</html>"},
        {"_private/nobody.asp", "<% x = 1 %><html><head><title>n</title></head>\n", "",
         "<body topmargin=\"10\" leftmargin=\"4\">", "<p>text</p></html>"},
    };
    for (const auto& p : pages) site.write(p.path, p.before + p.tagBefore + p.after);
    site.write("logo.gif", "GIF89a");
    web = simhost::OpenDiskWeb(site.path());
    host.openWeb(web);

    MarginSettings settings;
    settings.topOn = settings.leftOn = true;
    settings.topText = L"10";
    settings.leftText = L"4";
    settings.platform = Platform::InternetExplorer;
    FakeRunDialog dialog;
    FakeMessageBoxes messages;
    ApplyMargins(settings, dialog, messages);

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kRunDoneMessage);
    for (const auto& p : pages) EXPECT_EQ(site.read(p.path), p.before + p.tagAfter + p.after) << p.path;
    EXPECT_EQ(site.read("logo.gif"), "GIF89a");
    EXPECT_TRUE(host.pageWindows().empty());
}

}  // namespace
}  // namespace tavisk::testing
