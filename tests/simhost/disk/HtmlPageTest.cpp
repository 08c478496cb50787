#include "simhost/disk/HtmlPage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "simhost/SimError.h"
#include "base/Text.h"
#include "simhost/disk/DiskPageStore.h"

namespace tavisk::testing {
namespace {

using simhost::Attribute;
using simhost::DiskPageDocument;
using simhost::HtmlPage;

struct Edit {
    std::wstring name;
    std::optional<std::wstring> value;  // none: remove
};

struct PageCase {
    const char* label;
    std::string page;
    std::vector<Attribute> read;  // document.body's attributes
    std::vector<Edit> edits;
    // The bytes from the first BODY start tag (or where one is inserted) to the end of
    // the last, as saved.
    std::string tagAfter;
};

std::string Utf8(const std::wstring& text) { return base::ToUtf8(text); }

// Applies the edits as the add-in does (exact-case names, the first occurrence), saves in memory and reads
// the result back: bytes outside the BODY start tags unchanged, the attributes as set.
void Check(const PageCase& c) {
    SCOPED_TRACE(c.label);
    auto page = std::make_shared<const HtmlPage>(c.page);
    EXPECT_EQ(page->bodyAttributes(), c.read);
    DiskPageDocument document(page);
    for (const auto& edit : c.edits) {
        if (edit.value)
            document.setAttribute(edit.name, *edit.value, 1);
        else
            document.removeAttribute(edit.name, 1);
    }
    const auto saved = document.bytesToSave();
    const auto from = page->bodyTagRange().first, to = page->bodyTagRanges().back().second;
    EXPECT_EQ(saved, c.page.substr(0, from) + c.tagAfter + c.page.substr(to));

    const HtmlPage reread(saved);
    // In any order: read back, a later tag's attributes follow the first tag's.
    EXPECT_THAT(reread.bodyAttributes(), ::testing::UnorderedElementsAreArray(document.bodyAttributes()));
    EXPECT_EQ(reread.encoding().kind, page->encoding().kind);
}

void PrintTo(const PageCase& c, std::ostream* out) { *out << c.label; }

class PageTable : public ::testing::TestWithParam<PageCase> {};
TEST_P(PageTable, ReadsTheBodyAsABrowserAndRewritesOnlyItsStartTag) { Check(GetParam()); }

const std::string kHead = "<html><head><title>T</title></head>\n";
const std::string k64k(64 * 1024, 'x');

INSTANTIATE_TEST_SUITE_P(
    Markup, PageTable,
    ::testing::Values(
        PageCase{"plain",
                 kHead + "<body bgcolor=\"#fff\" text=black>\n<p>Hi</p></body></html>\n",
                 {{L"bgcolor", L"#fff"}, {L"text", L"black"}},
                 {{L"topmargin", L"10"}},
                 "<body bgcolor=\"#fff\" text=black topmargin=\"10\">"},
        PageCase{"unchanged attributes keep the page as it was",
                 kHead + "<body text=black>x",
                 {{L"text", L"black"}},
                 {{L"text", L"black"}},
                 "<body text=black>"},
        PageCase{"upper-case tag and names keep their spelling",
                 kHead + "<BODY TOPMARGIN=5 LeftMargin='2'>x</BODY>",
                 {{L"topmargin", L"5"}, {L"leftmargin", L"2"}},
                 {{L"topmargin", L"10"}},
                 "<BODY TOPMARGIN=\"10\" LeftMargin='2'>"},
        PageCase{"removal keeps the rest",
                 "<BODY TOPMARGIN=5 text=red\r\n  link=\"blue\" >",
                 {{L"topmargin", L"5"}, {L"text", L"red"}, {L"link", L"blue"}},
                 {{L"topmargin", std::nullopt}, {L"link", std::nullopt}},
                 "<BODY text=red >"},
        PageCase{"a comment's BODY does not count",
                 "<!-- <body bad=1> -- > <body bad=2> --><!--><body good=1>",
                 {{L"good", L"1"}},
                 {{L"good", L"2"}},
                 "<body good=\"2\">"},
        PageCase{"a comment ended by --!> and a bogus comment",
                 "<!-- a --!><? <body bad=1> ?><!x <body bad=2>><body good=1>",
                 {{L"good", L"1"}},
                 {{L"good", std::nullopt}},
                 "<body>"},
        PageCase{"raw text elements hide BODY tags",
                 "<title><body a=1></title><style>p{}<body b=1></style><script>w('<body c=1>')</script>"
                 "<noscript><body d=1></noscript><textarea><body e=1></textarea><body f=1>",
                 {{L"f", L"1"}},
                 {{L"f", L"2"}},
                 "<body f=\"2\">"},
        PageCase{"an escaped script keeps its inner end tag",
                 "<script><!-- document.write('<script></script><body a=1>'); --></script><body b=1>",
                 {{L"b", L"1"}},
                 {{L"b", L"2"}},
                 "<body b=\"2\">"},
        PageCase{"end tags of raw text need a delimiter and may carry attributes",
                 "<title></titlex><body a=1></title x='>'><body b=1>",
                 {{L"b", L"1"}},
                 {},
                 "<body b=1>"},
        PageCase{"a template's BODY does not count",
                 "<template><body a=1></template><body b=1>",
                 {{L"b", L"1"}},
                 {{L"c", L"1"}},
                 "<body b=1 c=\"1\">"},
        PageCase{"duplicates: the first wins, the rest go on a rewrite",
                 "<body a=1 A=2 b='3' b=4>",
                 {{L"a", L"1"}, {L"b", L"3"}},
                 {{L"a", L"9"}},
                 "<body a=\"9\" b='3'>"},
        PageCase{"separators survive a removal",
                 "<body/a=1 b=\"2\"c=3/>",
                 {{L"a", L"1"}, {L"b", L"2"}, {L"c", L"3/"}},
                 {{L"b", std::nullopt}},
                 "<body /a=1 c=3/>"},
        PageCase{"a name starting with = stays a name",
                 "<body a b=\"1\"=c>",
                 {{L"a", L""}, {L"b", L"1"}, {L"=c", L""}},
                 {{L"b", std::nullopt}},
                 "<body a /=c>"},
        PageCase{"a kept unquoted value before a closing slash",
                 "<body x=1 a=\"q\"/>",
                 {{L"x", L"1"}, {L"a", L"q"}},
                 {{L"a", std::nullopt}},
                 "<body x=1 />"},
        PageCase{"values without a value and with white space around =",
                 "<body nowrap a = \"1\" b= >",
                 {{L"nowrap", L""}, {L"a", L"1"}, {L"b", L""}},
                 {{L"nowrap", L"x"}},
                 "<body nowrap=\"x\" a = \"1\" b>"},
        PageCase{"references in values",
                 "<body t='a &amp; b' alt=x&lt;y d=&copy;2 q=\"&notit;\" r=&amp=1 n=&#x41;&#66&#128;&#0;>",
                 {{L"t", L"a & b"},
                  {L"alt", L"x<y"},
                  {L"d", L"\u00A92"},
                  {L"q", L"&notit;"},
                  {L"r", L"&amp=1"},
                  {L"n", L"AB\u20AC\uFFFD"}},
                 {},
                 "<body t='a &amp; b' alt=x&lt;y d=&copy;2 q=\"&notit;\" r=&amp=1 n=&#x41;&#66&#128;&#0;>"},
        PageCase{"line breaks in values are read as LF",
                 "<body a=\"1\r\n2\r3\">",
                 {{L"a", L"1\n2\n3"}},
                 {{L"b", L"x\ry"}},
                 "<body a=\"1\r\n2\r3\" b=\"x&#13;y\">"},
        PageCase{"a frames page: body is the FRAMESET",
                 kHead + "<frameset cols=\"*,*\" TopMargin=3><frame src=a.htm></frameset><body x=1>",
                 {{L"cols", L"*,*"}, {L"topmargin", L"3"}},
                 {{L"topmargin", L"0"}},
                 "<frameset cols=\"*,*\" TopMargin=\"0\">"},
        PageCase{"a FRAMESET after the body has begun is ignored",
                 "<p>x<frameset rows=2><body a=1>",
                 {{L"a", L"1"}},
                 {},
                 "<body a=1>"},
        PageCase{"no BODY: the start tag goes where the body begins",
                 kHead + "<p>Hello</p>\n</html>\n",
                 {},
                 {{L"topmargin", L"10"}},
                 "<body topmargin=\"10\">"},
        PageCase{"no BODY and no content: before </html>",
                 "<html><head><meta charset=utf-8><title>x</title></head>\n</html>",
                 {},
                 {{L"topmargin", L"1"}},
                 "<body topmargin=\"1\">"},
        PageCase{"no BODY and nothing set: nothing written", kHead + "text", {}, {}, ""},
        PageCase{
            "no BODY, the page ends inside a comment", "<head></head><!-- open", {}, {{L"a", L"1"}}, "<body a=\"1\">"},
        PageCase{
            "no BODY, the page ends inside a template", "<head><template><p>x", {}, {{L"a", L"1"}}, "<body a=\"1\">"},
        PageCase{"a BODY after inferred content still is the body",
                 "<p>x</p><body a=1>",
                 {{L"a", L"1"}},
                 {{L"a", L"2"}},
                 "<body a=\"2\">"},
        PageCase{"server code in a BODY tag is one unit: its > does not end the tag",
                 "<body <%= x %> topmargin=2>",
                 {{L"topmargin", L"2"}},
                 {{L"topmargin", std::nullopt}, {L"topmargin", L"10"}, {L"leftmargin", L"5"}},
                 "<body <%= x %> topmargin=\"10\" leftmargin=\"5\">"},
        PageCase{"server code around an attribute stays where it was",
                 "<body <% If a > b Then %>class=x<% End If %> bgcolor=white>",
                 {{L"class", L"x"}, {L"bgcolor", L"white"}},
                 {{L"class", std::nullopt}},
                 "<body <% If a > b Then %><% End If %> bgcolor=white>"},
        PageCase{"server code in values, with quotes and spaces, is part of the value",
                 "<body background=\"<%= Img(\"a b\") %>\" text=<%= c %> link=red>",
                 {{L"background", L"<%= Img(\"a b\") %>"}, {L"text", L"<%= c %>"}, {L"link", L"red"}},
                 {{L"link", L"blue"}},
                 "<body background=\"<%= Img(\"a b\") %>\" text=<%= c %> link=\"blue\">"},
        PageCase{"where server code decides which occurrence applies, each gets the value",
                 "<body <% If a Then %>topmargin=1<% Else %>TOPMARGIN=2<% End If %> x=1 X=2>",
                 {{L"topmargin", L"1"}, {L"x", L"1"}},
                 {{L"topmargin", L"5"}},
                 "<body <% If a Then %>topmargin=\"5\"<% Else %>TOPMARGIN=\"5\"<% End If %> x=1 X=2>"},
        PageCase{"server code right after the tag name, before an attribute, after a removed one",
                 "<body<%= s %>topmargin=2 a=1 b<%= t %>c=3>",
                 {{L"topmargin", L"2"}, {L"a", L"1"}, {L"b", L""}, {L"c", L"3"}},
                 {{L"leftmargin", L"1"}, {L"b", std::nullopt}},
                 "<body<%= s %>topmargin=2 a=1 <%= t %>c=3 leftmargin=\"1\">"},
        PageCase{"what server code writes is not an attribute of the page",
                 "<body <% Response.Write \"topmargin=3\" %>>",
                 {},
                 {{L"topmargin", L"1"}},
                 "<body <% Response.Write \"topmargin=3\" %> topmargin=\"1\">"},
        PageCase{"server code ends no comment and no raw text",
                 "<!-- <% s = \"-->\" %><body a=1> --><script><%= \"</script>\" %><body b=1></script>"
                 "<title><% t = \"</title>\" %><body c=1></title><body d=1>",
                 {{L"d", L"1"}},
                 {{L"d", L"2"}},
                 "<body d=\"2\">"},
        PageCase{"ASP server blocks are the server's",
                 "<%@ Language=VBScript %><% If x < 1 Then %><body a=1><% End If %>",
                 {{L"a", L"1"}},
                 {{L"a", L"2"}},
                 "<body a=\"2\">"},
        PageCase{"a later BODY adds what the first lacks; a change goes into the first",
                 "<body a=1><p>x<body a=2 B=3>",
                 {{L"a", L"1"}, {L"b", L"3"}},
                 {{L"b", L"4"}},
                 "<body a=1 b=\"4\"><p>x<body a=2 B=3>"},
        PageCase{"no BODY before content, then two: the later one keeps its own",
                 "<p>x<body><body a=2>",
                 {{L"a", L"2"}},
                 {{L"c", L"1"}},
                 "<body c=\"1\"><body a=2>"},
        PageCase{"a BODY after a FRAMESET is ignored",
                 "<frameset cols=1><body a=1>",
                 {{L"cols", L"1"}},
                 {},
                 "<frameset cols=1>"},
        PageCase{
            "an unterminated BODY tag is no tag", "<head></head><body a=1", {}, {{L"b", L"1"}}, "<body b=\"1\">"}));

INSTANTIATE_TEST_SUITE_P(
    HostileValues, PageTable,
    ::testing::Values(
        PageCase{"a quote cannot end the value",
                 "<body>",
                 {},
                 {{L"topmargin", L"10\" onload=\"x"}},
                 "<body topmargin=\"10&quot; onload=&quot;x\">"},
        PageCase{"a tag cannot start",
                 "<body>",
                 {},
                 {{L"a", L"<"}, {L"b", L"></body><script>x</script>"}},
                 "<body a=\"&lt;\" b=\">&lt;/body>&lt;script>x&lt;/script>\">"},
        PageCase{"ampersands stay text",
                 "<body>",
                 {},
                 {{L"a", L"&"}, {L"b", L"&amp;"}, {L"c", L"&#65;"}},
                 "<body a=\"&amp;\" b=\"&amp;amp;\" c=\"&amp;#65;\">"},
        PageCase{"single quotes and > need nothing", "<body>", {}, {{L"a", L"'>'"}}, "<body a=\"'>'\">"},
        PageCase{
            "64 KiB of text", "<body>", {}, {{L"a", std::wstring(64 * 1024, L'x')}}, "<body a=\"" + k64k + "\">"}));

INSTANTIATE_TEST_SUITE_P(
    Encodings, PageTable,
    ::testing::Values(PageCase{"UTF-8 with a BOM and CRLF",
                               "\xEF\xBB\xBF<html>\r\n<body\r\n  title=\"caf\xC3\xA9\"\r\n>\r\n</html>\r\n",
                               {{L"title", L"caf\u00E9"}},
                               {{L"alt", L"\u00E9\u2603\U0001F600"}},
                               "<body\r\n  title=\"caf\xC3\xA9\" alt=\"\xC3\xA9\xE2\x98\x83\xF0\x9F\x98\x80\"\r\n>"},
                      PageCase{"UTF-8 by meta charset; a broken sequence is one U+FFFD",
                               "<meta charset=\"UTF-8\"><body title=\"\xC3\xA9\xE2\x82\x41\">",
                               {{L"title", L"\u00E9\uFFFDA"}},
                               {{L"alt", L"\u00FC"}},
                               "<body title=\"\xC3\xA9\xE2\x82\x41\" alt=\"\xC3\xBC\">"},
                      PageCase{"windows-1252 by http-equiv",
                               "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\">"
                               "<body title=\"caf\xE9 \x80\">",
                               {{L"title", L"caf\u00E9 \u20AC"}},
                               {{L"alt", L"na\u00EFve \u2013 \u2603"}},
                               "<body title=\"caf\xE9 \x80\" alt=\"na\xEFve \x96 &#x2603;\">"},
                      PageCase{"ISO-8859-1 is read as windows-1252",
                               "<meta http-equiv=\"content-type\" content='text/html;charset=iso-8859-1'>"
                               "<body a=\"\x93q\x94\">",
                               {{L"a", L"\u201Cq\u201D"}},
                               {{L"b", L"\u00FF"}},
                               "<body a=\"\x93q\x94\" b=\"\xFF\">"},
                      PageCase{"undeclared: windows-1252, written with references",
                               "<body title=\"caf\xE9\">",
                               {{L"title", L"caf\u00E9"}},
                               {{L"title", L"th\u00E9"}},
                               "<body title=\"th&#xE9;\">"},
                      PageCase{"an encoding not decoded here keeps its bytes",
                               "<meta charset=shift_jis><body a=\"\x83\x65\" b=1>",
                               {{L"a", L"\uFFFD\x65"}, {L"b", L"1"}},
                               {{L"b", L"\u00E9"}},
                               "<body a=\"\x83\x65\" b=\"&#xE9;\">"},
                      PageCase{"UTF-16LE with a BOM",
                               std::string("\xFF\xFE<\0b\0o\0d\0y\0 \0a\0=\0\xE9\0>\0", 22),
                               {{L"a", L"\u00E9"}},
                               {{L"b", L"\u2603"}},
                               std::string("<\0b\0o\0d\0y\0 \0a\0=\0\xE9\0 \0b\0=\0\"\0\x03\x26\"\0>\0", 32)}));

TEST(HtmlPage, RefusesWhatNoPageCanCarry) {
    const auto page = std::make_shared<const HtmlPage>("<head></head><body a=1>");
    const std::vector<std::vector<Attribute>> refused = {
        {{L"", L"1"}},
        {{L"a b", L"1"}},
        {{L"a>", L"1"}},
        {{L"a=", L"1"}},
        {{L"on\"x", L"1"}},
        {{L"/", L"1"}},
        {{L"a", L"1"}, {L"A", L"2"}},
        {{L"a", std::wstring(1, L'\0')}},
        {{L"a", L"\u0081"}},  // the page is undeclared: written as a reference, read back as windows-1252
    };
    for (const auto& attributes : refused) {
        SCOPED_TRACE(Utf8(attributes.back().name) + "=" + Utf8(attributes.back().value));
        EXPECT_THROW(page->render(attributes), simhost::SimError);
    }
    // In a UTF-8 page the same C1 control is written as it is.
    const HtmlPage utf8("<meta charset=utf-8><body>");
    EXPECT_EQ(HtmlPage(utf8.render({{L"a", L"\u0081"}})).bodyAttributes(), (std::vector<Attribute>{{L"a", L"\u0081"}}));
}

const std::string kPasted = "<body topmargin=5 text=red><p><body topmargin=7 link=blue>";
const std::vector<Attribute> kPastedRead = {{L"topmargin", L"5"}, {L"text", L"red"}, {L"link", L"blue"}};

// Pages with several BODY start tags: every one that would apply an attribute
// follows the element.
INSTANTIATE_TEST_SUITE_P(
    LaterBodyTags, PageTable,
    ::testing::Values(
        PageCase{"a removed attribute goes from every tag",
                 kPasted,
                 kPastedRead,
                 {{L"topmargin", std::nullopt}},
                 "<body text=red><p><body link=blue>"},
        PageCase{"one that only a later tag gives goes from it",
                 kPasted,
                 kPastedRead,
                 {{L"link", std::nullopt}},
                 "<body topmargin=5 text=red><p><body topmargin=7>"},
        PageCase{"one that only a later tag gives stays there while the element keeps it",
                 kPasted,
                 kPastedRead,
                 {{L"text", std::nullopt}},
                 "<body topmargin=5><p><body topmargin=7 link=blue>"},
        PageCase{"set then removed: gone from both",
                 kPasted,
                 kPastedRead,
                 {{L"topmargin", L"9"}, {L"topmargin", std::nullopt}},
                 "<body text=red><p><body link=blue>"},
        PageCase{"a new value goes into the first tag, where it wins",
                 "<body><p><body topmargin=7>",
                 {{L"topmargin", L"7"}},
                 {{L"topmargin", L"10"}},
                 "<body topmargin=\"10\"><p><body topmargin=7>"},
        PageCase{"removed after such a save: gone from both",
                 "<body topmargin=\"10\"><p><body topmargin=7>",
                 {{L"topmargin", L"10"}},
                 {{L"topmargin", std::nullopt}},
                 "<body><p><body>"},
        PageCase{"removed, then set as a margin run does",
                 "<BODY TopMargin=5><body topmargin=7 marginheight=2>",
                 {{L"topmargin", L"5"}, {L"marginheight", L"2"}},
                 {{L"topmargin", std::nullopt}, {L"marginheight", std::nullopt}, {L"topmargin", L"10"}},
                 "<BODY TopMargin=\"10\"><body topmargin=7>"},
        PageCase{"every later tag, whatever the case, duplicates included",
                 "<body><body a=1 A=2 b=1><body B=3 b=4 c=5>",
                 {{L"a", L"1"}, {L"b", L"1"}, {L"c", L"5"}},
                 {{L"b", std::nullopt}},
                 "<body><body a=1><body c=5>"},
        PageCase{"a new attribute goes into the first tag; a later one keeps its own",
                 "<body x=1><body y=2>",
                 {{L"x", L"1"}, {L"y", L"2"}},
                 {{L"z", L"3"}},
                 "<body x=1 z=\"3\"><body y=2>"},
        PageCase{"tags in comments and raw text are no BODY tags",
                 "<body topmargin=1><!-- <body topmargin=2> --><xmp><body topmargin=3></xmp><body topmargin=4>",
                 {{L"topmargin", L"1"}},
                 {{L"topmargin", std::nullopt}},
                 "<body><!-- <body topmargin=2> --><xmp><body topmargin=3></xmp><body>"},
        PageCase{"a BODY after a FRAMESET applies nothing and is left alone",
                 "<frameset cols=1 topmargin=1><body topmargin=2>",
                 {{L"cols", L"1"}, {L"topmargin", L"1"}},
                 {{L"topmargin", std::nullopt}},
                 "<frameset cols=1>"},
        PageCase{
            "BODY tags in the branches of server code: each keeps its own",
            "<% If a Then %><body topmargin=1 bgcolor=red><% Else %><body onload=\"init()\" topmargin=2><% End If %>",
            {{L"topmargin", L"1"}, {L"bgcolor", L"red"}, {L"onload", L"init()"}},
            {{L"topmargin", std::nullopt}, {L"leftmargin", L"4"}},
            "<body bgcolor=red leftmargin=\"4\"><% Else %><body onload=\"init()\">"}));

TEST(HtmlPage, APageWhoseServerCodeIsNeverClosedIsNotRewritten) {
    const std::pair<std::string, int> cases[] = {
        {"<body a=1>\n<p>\n<% Response.Write x", 3},
        {"<html>\r\n<body <%= x a=1>", 2},
        {"<% x\r<body a=1>", 1},
        {"<body a=1><!-- <% --> %> --><script><% </script>", 1},
    };
    for (const auto& [bytes, line] : cases) {
        SCOPED_TRACE(bytes);
        const auto page = std::make_shared<const HtmlPage>(bytes);
        DiskPageDocument document(page);
        EXPECT_EQ(document.bytesToSave(), bytes);  // nothing changed: nothing to write
        document.setAttribute(L"a", L"2", 1);
        try {
            document.bytesToSave();
            ADD_FAILURE() << "saved";
        } catch (const simhost::SimError& e) {
            EXPECT_NE(e.message().find(L"line " + std::to_wstring(line) + L" is never closed"), std::wstring::npos)
                << Utf8(e.message());
        }
    }
}

TEST(HtmlPage, TitleIsTheFirstTitleAsABrowserShowsIt) {
    const std::vector<std::pair<std::string, std::wstring>> cases = {
        {"<title>\r\n  Caf&eacute;  &amp;\tBar &lt;1&gt;\n</title>", L"Caf\u00E9 & Bar <1>"},
        {"<!-- <title>no</title> --><title>yes</title><title>second</title>", L"yes"},
        {"<body><title>in the body</title>", L"in the body"},
        {"<html><head></head><body>", L""},
        {"<title>open", L"open"},
        {"<title><%= t & \"&amp;\" %> &amp; <%= \"</title>\" %></title>",
         L"<%= t & \"&amp;\" %> & <%= \"</title>\" %>"},
    };
    for (const auto& [page, title] : cases) EXPECT_EQ(HtmlPage(page).title(), title) << page;
}

}  // namespace
}  // namespace tavisk::testing
