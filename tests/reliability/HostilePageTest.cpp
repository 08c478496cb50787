// A corpus of tricky pages, generated here, through the run on a web on disk: the
// run never crashes, and each page either gets its margins with only its BODY start
// tags changed, or is refused with a message naming it, its file left as it was.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "tests/reliability/PageCheck.h"

namespace tavisk::testing {
namespace {

struct Tricky {
    std::string bytes;
    bool refused = false;  // server code that is never closed: where the BODY tags end cannot be known
};

std::string Junk(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::vector<Tricky> Corpus() {
    std::vector<Tricky> corpus;
    const auto add = [&](std::string bytes, bool refused = false) { corpus.push_back({std::move(bytes), refused}); };
    const std::string head = "<html><head><title>T</title></head>";

    // Broken markup in and around the BODY start tag.
    for (const char* tag : {"<body",
                            "<body topmargin=5",
                            "<body text=\"black>",
                            "<body text='a\"b'>",
                            "<<body>>",
                            "< body topmargin=1>",
                            "<body/>",
                            "<body\n\ttopmargin\n=\n'5'\n>",
                            "<BoDy TopMargin=5 TOPMARGIN=6 topmargin=7>",
                            "<body nowrap topmargin leftmargin>",
                            "<body topmargin=>",
                            "<body =x>",
                            "<body \"x\"=1>",
                            "<body a/b=c>",
                            "<body\x0Ctopmargin=1>",
                            "<body topmargin=5/>",
                            "<body topmargin=\"5\"leftmargin='3'>",
                            "<body title=\"a<b>c\">",
                            "<body onload=\"x()\" class=a class=b>",
                            "</body><body>",
                            "<body topmargin=&quot;5&quot;>",
                            "<body marginwidth=&#34;>",
                            "<body <p>",
                            "<body a='1' b=\"2\" c=3 d>"})
        add(head + tag + "<p>x</p></body></html>");
    for (const char* whole : {"", "<", "   \r\n", "</body></html>", "<p>no body at all", "<html><body",
                              "<p <b <i>text</i></b>", "<body>", "<table><tr><td><body bgcolor=red></table>"})
        add(whole);

    // Comments: nested, never ending, and the odd forms browsers accept.
    for (const char* before :
         {"<!-- <!-- --> <body topmargin=1> -->", "<!-- <body topmargin=1>", "<!--> <body topmargin=1>",
          "<!---> <body>", "<!-- -- --> <body>", "<!-- x --!> <body>", "<?xml version=\"1.0\"?><body>", "<!x><body>",
          "<!--[if IE]><body class=ie><![endif]--><body class=all>", "<!DOCTYPE html><!-- a -- b --><body>"})
        add(head + before + "<p>x</p>");

    // A BODY start tag inside scripts, styles and other raw text.
    for (const char* before :
         {"<script>document.write(\"<body topmargin=9>\")</script><body>", "<style>body{} <body></style><body>",
          "<textarea><body></textarea>", "<title><body></title><body>", "<xmp><body></xmp>",
          "<script><body topmargin=1>", "<script><!-- <script> </script> <body> --></script><body>",
          "<noscript><body></noscript>", "<plaintext><body>", "<iframe><body></iframe>"})
        add(head + before + "<p>x</p>");

    // Several BODY tags (a margin the run removes goes from each that sets it), and frames.
    add(head + "<body a=1><body bgcolor=red>");
    add(head + "<body topmargin=1><body topmargin=2>");
    add(head + "<body><p><body marginwidth=3>");
    add(head + "<body leftmargin=1><div><body marginheight=2 text=red></div>");

    // Server code: one unit wherever it is; never closed, the page is not rewritten.
    add(head + "<body <% If a > b Then %>class=x<% End If %> topmargin=2><p>x");
    add(head + "<% If a Then %><body bgcolor=red><% Else %><body onload=\"init()\" topmargin=3><% End If %>");
    add(head + "<body background=\"<%= Img(\"a>b\") %>\"><% Response.Write \"<body topmargin=3>\" %>");
    add(head + "<body topmargin=1><p><% Response.Write x", true);
    add(head + "<frameset rows=*><frame src=a.htm></frameset><body>");
    add("<frameset><frameset cols=*><frame></frameset></frameset>");

    // Encodings, declared and not, and bytes that are not text.
    add("\xEF\xBB\xBF" + head + "<body>\xC3\xA9");
    add(Utf16(head + "<body text=red>", false));
    add(Utf16(head + "<body text=red>", true));
    add("<meta charset=utf-8>" + head + "<body>\xFF\xFE not UTF-8");
    add("<meta http-equiv=Content-Type content='text/html; charset=iso-8859-1'><body title=\xE9>");
    add("<meta charset=bogus><body>");
    add("<meta charset=utf-16><body>");
    add(head + std::string("<body title=\"a\0b\">", 18));
    add(std::string(3, '\0'));
    add("\r<body>\r<p>\r");

    // Sizes and junk.
    std::string many = head + "<body";
    for (int i = 0; i < 500; ++i) many += " a" + std::to_string(i) + "=" + std::to_string(i);
    add(many + ">");
    add(head + "<body title=\"" + std::string(256 * 1024, 'x') + "\">");
    std::string deep = head + "<body>";
    for (int i = 0; i < 20000; ++i) deep += "<div>";
    add(deep);
    add(Junk(64 * 1024, 7));
    add("\x89PNG\r\n\x1A\n" + Junk(4096, 11));
    return corpus;
}

// Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + a temporary string.
std::string NameOf(size_t index) {
    std::string name = "t";
    name += std::to_string(100 + index);
    name += ".htm";
    return name;
}

class HostilePageTest : public RunTest {};

TEST_F(HostilePageTest, TheRunKeepsThePageEditorsPromisesOnEveryPage) {
    const auto corpus = Corpus();
    ASSERT_GE(corpus.size(), 60u);
    TempFolder site;
    for (size_t i = 0; i < corpus.size(); ++i) site.write(NameOf(i), corpus[i].bytes);
    openDiskWeb(site);
    host.recorder().setRecording(false);
    const MarginSettings settings{.leftOn = true,
                                  .leftText = L"4",
                                  .topOn = true,
                                  .topText = L"10",
                                  .platform = Platform::InternetExplorer,
                                  .allPages = false};
    const auto urlOf = [&](size_t i) { return simhost::DiskUrl(site.path() / NameOf(i)); };

    // A refusal stops the run; the next run takes the pages after the refused one.
    std::vector<bool> refused(corpus.size(), false);
    for (size_t first = 0; first < corpus.size();) {
        FakeRunDialog dialog;
        for (size_t i = first; i < corpus.size(); ++i) dialog.queue.push_back(urlOf(i));
        const auto shown = Run(settings, dialog);
        ASSERT_EQ(shown.size(), 1u);
        const std::wstring& text = shown[0].text;
        if (text == kRunDoneMessage) break;
        size_t stopped = first;
        while (stopped < corpus.size() && text.find(urlOf(stopped) + L".") == std::wstring::npos) ++stopped;
        ASSERT_LT(stopped, corpus.size()) << base::ToUtf8(text);
        EXPECT_NE(text.find(L"is never closed"), std::wstring::npos) << base::ToUtf8(text);
        refused[stopped] = true;
        first = stopped + 1;
    }

    for (size_t i = 0; i < corpus.size(); ++i) {
        SCOPED_TRACE(NameOf(i) + ": " + corpus[i].bytes.substr(0, 80));
        const auto& before = corpus[i].bytes;
        const auto after = site.read(NameOf(i));
        EXPECT_EQ(refused[i], corpus[i].refused);
        if (refused[i]) {
            EXPECT_EQ(after, before);
        } else {
            ExpectOnlyTheBodyTagChanged(before, after,
                                        WithMargins(before, {{L"topmargin", L"10"}, {L"leftmargin", L"4"}}));
        }
    }
    EXPECT_EQ(site.names().size(), corpus.size());  // nothing left beside the pages

    // The browser test (tests/e2e/browser_test.py) shows the pages as they were and as the run left them.
    if (const char* keep = std::getenv("TAVISK_KEEP_HOSTILE_PAGES"))
        for (size_t i = 0; i < corpus.size(); ++i)
            for (const auto& [state, bytes] : {std::pair{"before", corpus[i].bytes}, {"after", site.read(NameOf(i))}}) {
                const auto file = std::filesystem::path(keep) / state / NameOf(i);
                std::filesystem::create_directories(file.parent_path());
                std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            }
}

// A 50 MB page: the page editor reads all of it (a later BODY tag would count), so
// its two reads, one for the title and one to edit it, take a minute in the
// unoptimized sanitizer build; the optimized builds (the Windows one, under Wine)
// run it.
TEST_F(HostilePageTest, AFiftyMegabytePageGetsItsMarginsAndNothingElse) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "runs in the optimized builds";
#endif
    const std::string before = "<html><head><title>Big</title></head><body text=black>\n";
    const std::string after = "<html><head><title>Big</title></head><body text=black topmargin=\"10\">\n";
    std::string rest;
    const std::string line = "<p>" + std::string(120, 'm') + "</p>\n";
    while (rest.size() < 50u * 1024 * 1024) rest += line;
    rest += "</body></html>\n";
    TempFolder site;
    site.write("big.htm", before + rest);
    openDiskWeb(site);
    host.recorder().setRecording(false);
    FakeRunDialog dialog;
    const auto shown = Run({.topOn = true, .topText = L"10", .platform = Platform::InternetExplorer}, dialog);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, kRunDoneMessage);
    EXPECT_TRUE(site.read("big.htm") == after + rest);
}

// A page the user may not write gives a message that says so, and stays as it was.
TEST_F(HostilePageTest, AReadOnlyPageStopsTheRunWithAClearMessage) {
    TempFolder site;
    const std::string page = "<html><body text=red><p>x</p></body></html>";
    site.write("a.htm", page);
    site.write("b.htm", page);
    using std::filesystem::perms;
    std::filesystem::permissions(site.path() / "b.htm", perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
    openDiskWeb(site);
    FakeRunDialog dialog;
    const auto shown = Run({.topOn = true}, dialog);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, ui::MessageIcon::Error);
    const auto& text = shown[0].text;
    EXPECT_NE(text.find(simhost::DiskUrl(site.path() / "b.htm") + L"."), std::wstring::npos) << base::ToUtf8(text);
    EXPECT_NE(text.find(L"read-only"), std::wstring::npos) << base::ToUtf8(text);
    EXPECT_NE(site.read("a.htm"), page);
    EXPECT_EQ(site.read("b.htm"), page);
    EXPECT_EQ(dialog.events, (std::vector<std::wstring>{L"hide", L"showAgain"}));
    std::filesystem::permissions(site.path() / "b.htm", perms::owner_write, std::filesystem::perm_options::add);
}

}  // namespace
}  // namespace tavisk::testing
