// Hostile margin texts through the whole path: typed into the options dialog's text
// boxes, written by the run into pages on disk in four encodings, and read back.
// Each is either stored exactly as typed, adding no attribute or tag, or refused
// with a message that names the page and the reason, the page left as it was.

#include <gtest/gtest.h>

#include "tests/reliability/PageCheck.h"

namespace tavisk::testing {
namespace {

struct Page {
    std::string name, bytes;
};

// Listed by name, so the run meets them in this order.
const std::vector<Page>& Pages() {
    static const std::vector<Page> pages = {
        {"a-utf8.htm",
         "\xEF\xBB\xBF<html>\r\n<head><title>A</title></head>\r\n<BODY TOPMARGIN=5 text='black'>\r\n<p>a</p>\r\n"
         "</BODY></html>\r\n"},
        {"b-1252.htm", "<html><head><title>Caf\xE9</title></head><body bgcolor=white leftmargin=\"2\">\n<p>b</p>"},
        {"c-bare.asp", "<% x = 1 %><html><head><title>C</title></head>\n<p>c</p></html>"},
        {"d-utf16.htm", Utf16("<html><head><title>D</title></head><body marginwidth=1 link=red><p>d</p>", false)},
    };
    return pages;
}

struct Hostile {
    const char* what;
    std::wstring value;
    const char* refusedAt;  // the first page that cannot carry it, or nullptr
};

std::wstring Repeat(const std::wstring& piece, size_t length) {
    std::wstring text;
    while (text.size() < length) text += piece;
    return text.substr(0, length);
}

const std::vector<Hostile>& Values() {
    static const std::vector<Hostile> values = {
        {"double quote", L"\"", nullptr},
        {"single quote", L"'", nullptr},
        {"quotes mixed", L"\"'\"'", nullptr},
        {"less than", L"<", nullptr},
        {"greater than", L">", nullptr},
        {"a script", L"<script>alert(1)</script>", nullptr},
        {"ampersand", L"&", nullptr},
        {"&amp;", L"&amp;", nullptr},
        {"&#34;", L"&#34;", nullptr},
        {"&quot;", L"&quot;", nullptr},
        {"&#x3C;", L"&#x3C;", nullptr},
        {"an escaped tag", L"&lt;body onload=x&gt;", nullptr},
        {"equals", L"=", nullptr},
        {"name=value", L"a=b", nullptr},
        {"closing a double quote", L"10\" onload=\"alert(1)", nullptr},
        {"closing a single quote", L"10' onload='x", nullptr},
        {"another margin", L"10 topmargin=99", nullptr},
        {"a new tag", L"\"><body topmargin=1>", nullptr},
        {"self-closing", L"/>", nullptr},
        {"comment marks", L"--><!--", nullptr},
        {"empty", L"", nullptr},
        {"a space", L" ", nullptr},
        {"spaces around", L"  10  ", nullptr},
        {"a tab", L"\t", nullptr},
        {"tabs and a line feed", L"1\t2\n3", nullptr},
        {"CR LF", L"1\r\n2", nullptr},
        {"e acute", L"\u00E9", nullptr},
        {"euro sign", L"\u20AC10", nullptr},
        {"outside the BMP", L"\U0001F600", nullptr},
        {"G clef and digits", L"\U0001D11E10\U0001D11E", nullptr},
        {"right-to-left mark", L"\u200F10", nullptr},
        {"right-to-left override", L"10\u202Epx", nullptr},
        {"left-to-right mark", L"\u200E", nullptr},
        {"Arabic-Indic digits", L"\u0661\u0660", nullptr},
        {"zero width no-break space", L"\uFEFF10", nullptr},
        {"replacement character", L"\uFFFD", nullptr},
        {"30,000 hostile characters", Repeat(L"\"'<>&= \t&amp;", 30000), nullptr},
        {"30,000 digits", Repeat(L"9", 30000), nullptr},
        // A C1 control: UTF-8 holds it; windows-1252 has no such character, and a
        // reference to it would be read as another.
        {"C1 control", L"\u0081", "b-1252.htm"},
        {"lone high surrogate", std::wstring(1, static_cast<wchar_t>(0xD800)), "a-utf8.htm"},
        {"lone low surrogate", L"10" + std::wstring(1, static_cast<wchar_t>(0xDC00)), "a-utf8.htm"},
    };
    return values;
}

class HostileMarginTest : public RunTest {};

TEST_F(HostileMarginTest, EachValueIsStoredExactlyOrRefusedClearly) {
    for (const auto& hostile : Values()) {
        SCOPED_TRACE(hostile.what);
        TempFolder site;
        for (const auto& page : Pages()) site.write(page.name, page.bytes);
        openDiskWeb(site);
        const std::wstring siteUrl = simhost::DiskUrl(site.path());

        auto& dialog = openWithMargins(hostile.value, hostile.value);
        ASSERT_EQ(dialog.txtTop.text(), hostile.value);
        ASSERT_EQ(dialog.txtLeft.text(), hostile.value);
        toolkit->shown().clear();
        Click(dialog.cmdOK);

        ASSERT_EQ(toolkit->shown().size(), 1u);
        const auto& message = toolkit->shown()[0];
        bool reached = false;
        for (const auto& page : Pages()) {
            SCOPED_TRACE(page.name);
            reached = reached || (hostile.refusedAt && page.name == hostile.refusedAt);
            const auto after = site.read(page.name);
            if (reached) {
                EXPECT_EQ(after, page.bytes);
                continue;
            }
            std::vector<Attribute> margins;
            for (const auto* name : {L"topmargin", L"marginheight", L"leftmargin", L"marginwidth"})
                margins.push_back({name, hostile.value});
            ExpectOnlyTheBodyTagChanged(page.bytes, after, WithMargins(page.bytes, margins));
        }
        EXPECT_EQ(site.names().size(), Pages().size());  // nothing left beside the pages

        if (hostile.refusedAt) {
            EXPECT_EQ(message.icon, ui::MessageIcon::Error);
            EXPECT_NE(message.text.find(siteUrl + L"/" + base::FromUtf8(hostile.refusedAt) + L"."), std::wstring::npos)
                << base::ToUtf8(message.text);
            EXPECT_NE(message.text.find(L"which a page cannot carry"), std::wstring::npos)
                << base::ToUtf8(message.text);
            ASSERT_TRUE(frmMain::Exists());
            EXPECT_EQ(frmMain::Instance().txtTop.text(), hostile.value);
            Click(frmMain::Instance().cmdCancel);
        } else {
            EXPECT_EQ(message.text, kRunDoneMessage);
            EXPECT_FALSE(frmMain::Exists());
        }
    }
}

}  // namespace
}  // namespace tavisk::testing
