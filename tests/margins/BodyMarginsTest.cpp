#include "margins/BodyMargins.h"

#include "tests/simhost/SimHostFixture.h"

namespace tavisk::testing {
namespace {

const std::vector<std::wstring> kBodyOperations = {L"PageWindow.document", L"Document.body", L"Body.removeAttribute",
                                                   L"Body.setAttribute"};

class BodyMarginsTest : public SimHostTest {
protected:
    // Opens a page whose BODY holds every margin attribute and one other.
    void openTestPage() {
        web->addFile(L"a.htm", L"A",
                     {{L"bgcolor", L"white"},
                      {L"topmargin", L"1"},
                      {L"leftmargin", L"2"},
                      {L"marginheight", L"3"},
                      {L"marginwidth", L"4"}});
        openPage(L"a.htm");
        host.recorder().clear();
    }
    std::vector<Attribute> body() const { return host.activePageWindow()->document->bodyAttributes(); }
    static std::shared_ptr<host::PageWindow> window() { return host::Application().activePageWindow(); }
};

struct MarginCase {
    Platform platform;
    bool topOn;
    bool leftOn;
    std::vector<std::wstring> setsInOrder;  // the attributes written, in the order written
};

std::wstring Value(const std::wstring& name) { return name == L"topmargin" || name == L"marginheight" ? L"10" : L"20"; }

TEST_F(BodyMarginsTest, WritesExactlyTheAttributesOfTheSettingsInOrder) {
    const std::vector<MarginCase> cases = {
        {Platform::Both, false, false, {}},
        {Platform::Both, true, false, {L"topmargin", L"marginheight"}},
        {Platform::Both, false, true, {L"leftmargin", L"marginwidth"}},
        {Platform::Both, true, true, {L"topmargin", L"marginheight", L"leftmargin", L"marginwidth"}},
        {Platform::InternetExplorer, false, false, {}},
        {Platform::InternetExplorer, true, false, {L"topmargin"}},
        {Platform::InternetExplorer, false, true, {L"leftmargin"}},
        {Platform::InternetExplorer, true, true, {L"topmargin", L"leftmargin"}},
        {Platform::Netscape, false, false, {}},
        {Platform::Netscape, true, false, {L"marginheight"}},
        {Platform::Netscape, false, true, {L"marginwidth"}},
        {Platform::Netscape, true, true, {L"marginheight", L"marginwidth"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "platform " << static_cast<int>(c.platform) << " top " << c.topOn << " left " << c.leftOn);
        host.closeWeb();
        web = std::make_shared<simhost::WebModel>(kWebUrl);
        host.openWeb(web);
        openTestPage();

        MarginSettings settings;
        settings.platform = c.platform;
        settings.topOn = c.topOn;
        settings.topText = L"10";
        settings.leftOn = c.leftOn;
        settings.leftText = L"20";
        SetBodyMargins(*window(), settings);

        // One lookup serves the four removals; every setting looks the BODY up afresh.
        const std::wstring page = L"[" + Url(L"a.htm") + L"]";
        std::vector<std::wstring> expected = {L"PageWindow.document" + page, L"Document.body" + page};
        for (const auto* name : {L"topmargin", L"leftmargin", L"marginheight", L"marginwidth"})
            expected.push_back(L"Body.removeAttribute" + page + L"(" + name + L",1)");
        std::vector<Attribute> expectedBody = {{L"bgcolor", L"white"}};
        for (const auto& name : c.setsInOrder) {
            expected.push_back(L"PageWindow.document" + page);
            expected.push_back(L"Document.body" + page);
            expected.push_back(L"Body.setAttribute" + page + L"(" + name + L"=" + Value(name) + L",1)");
            expectedBody.push_back({name, Value(name)});
        }
        EXPECT_EQ(calls(kBodyOperations), expected);
        EXPECT_EQ(body(), expectedBody);
    }
}

TEST_F(BodyMarginsTest, HandsTextsOverExactlyAsTyped) {
    openTestPage();
    for (const std::wstring text : {L"007", L"", L"abc", L"-3", L" 5 "}) {
        SCOPED_TRACE(base::ToUtf8(text));
        MarginSettings settings;
        settings.platform = Platform::InternetExplorer;
        settings.topOn = settings.leftOn = true;
        settings.topText = text;
        settings.leftText = text + L"x";
        SetBodyMargins(*window(), settings);
        EXPECT_EQ(body(),
                  (std::vector<Attribute>{{L"bgcolor", L"white"}, {L"topmargin", text}, {L"leftmargin", text + L"x"}}));
    }
}

TEST_F(BodyMarginsTest, RemovingAbsentAttributesIsNoFailure) {
    web->addFile(L"plain.htm", L"Plain", {{L"class", L"x"}});
    openPage(L"plain.htm");
    SetBodyMargins(*window(), MarginSettings{});
    EXPECT_EQ(body(), (std::vector<Attribute>{{L"class", L"x"}}));
}

TEST_F(BodyMarginsTest, RemovalsMatchTheNameWithItsCase) {
    // The flag 1 asks the element for the exact name: an upper-case attribute of
    // another writer is not one of ours and stays.
    web->addFile(L"upper.htm", L"", {{L"TOPMARGIN", L"9"}, {L"topmargin", L"1"}});
    openPage(L"upper.htm");
    SetBodyMargins(*window(), MarginSettings{});
    EXPECT_EQ(body(), (std::vector<Attribute>{{L"TOPMARGIN", L"9"}}));
}

TEST_F(BodyMarginsTest, ARefusalStopsAtThatCallAndLeavesThePageUnsaved) {
    openTestPage();
    host.recorder().failOn(L"Body.setAttribute", 2);
    MarginSettings settings;
    settings.topOn = settings.leftOn = true;
    settings.topText = L"10";
    EXPECT_THROW(SetBodyMargins(*window(), settings), host::HostError);
    EXPECT_EQ(body(), (std::vector<Attribute>{{L"bgcolor", L"white"}, {L"topmargin", L"10"}}));
    EXPECT_EQ(saveCount(L"a.htm"), 0);
}

TEST_F(BodyMarginsTest, IsPageLooksOnlyAtTheExtension) {
    struct Case {
        const wchar_t* name;
        bool page;
    };
    const Case cases[] = {{L"a.htm", true},  {L"b.HTM", true},    {L"c.Html", true},    {L"d.asp", true},
                          {L"e.ASP", true},  {L"f.shtml", false}, {L"g.aspx", false},   {L"h.htmx", false},
                          {L"i.php", false}, {L"j.txt", false},   {L"README", false},   {L"index.html.bak", false},
                          {L"htm", false},   {L"k.", false},      {L"l.h\u0074m", true}};
    auto files = [&] {
        for (const auto& c : cases) web->addFile(c.name);
        return host::Application().activeWeb()->allFiles();
    }();
    ASSERT_EQ(files->count(), static_cast<std::int32_t>(std::size(cases)));
    for (std::int32_t i = 0; i < files->count(); ++i) {
        SCOPED_TRACE(base::ToUtf8(cases[i].name));
        EXPECT_EQ(IsPage(*files->item(i)), cases[i].page);
    }
}

}  // namespace
}  // namespace tavisk::testing
