#include <algorithm>

#include "ComFixture.h"
#include "simhost/SimError.h"

namespace tavisk::testing {
namespace {

std::vector<std::wstring> Strings(const std::vector<ComPtr<IDispatch>>& objects, const std::wstring& member) {
    std::vector<std::wstring> texts;
    for (const auto& object : objects) texts.push_back(GetString(object.Get(), member));
    return texts;
}

TEST_F(ComHostTest, TheWebsFoldersAndFilesReadAsTheRealHostNamesThem) {
    const auto web = activeWeb();
    EXPECT_EQ(GetString(web.Get(), L"Url"), kWebUrl);
    const auto root = GetObject(web.Get(), L"RootFolder");
    EXPECT_EQ(GetString(root.Get(), L"Url"), std::wstring(kWebUrl) + L"/");
    EXPECT_EQ(GetString(root.Get(), L"Name"), L"site");

    // Count is a VARIANT holding a number; Item counts from 0.
    const auto files = GetObject(root.Get(), L"Files");
    auto count = Get(files.Get(), L"Count");
    EXPECT_EQ(count.value().vt, VT_I4);
    EXPECT_EQ(count.value().lVal, 2);
    const auto index = GetObject(files.Get(), L"Item", {0});
    EXPECT_EQ(GetString(index.Get(), L"Url"), Url(L"index.htm"));
    EXPECT_EQ(GetString(index.Get(), L"Name"), L"index.htm");
    EXPECT_EQ(GetString(index.Get(), L"Title"), L"Home");
    EXPECT_EQ(GetString(index.Get(), L"Extension"), L"htm");
    EXPECT_EQ(GetString(GetObject(files.Get(), L"Item", {1}).Get(), L"Extension"), L"css");
    // The default member of a file is its URL, as Basic reads `Files(0)`.
    auto byDefault = CallId(files.Get(), DISPID_VALUE, DISPATCH_PROPERTYGET, {Variant::Int(0)});
    ASSERT_EQ(byDefault.hr, S_OK);
    auto url = CallId(byDefault.value.value().pdispVal, DISPID_VALUE, DISPATCH_PROPERTYGET);
    EXPECT_EQ(base::win32::Bstr::FromBstr(url.value.value().bstrVal), Url(L"index.htm"));

    const auto folders = Enumerate(GetObject(root.Get(), L"Folders").Get());
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(Strings(folders, L"Name"), (std::vector<std::wstring>{L"news", L"_private"}));
    std::vector<bool> hidden;
    for (const auto& folder : folders) hidden.push_back(Get(folder.Get(), L"IsHidden").value().boolVal == VARIANT_TRUE);
    EXPECT_EQ(hidden, (std::vector<bool>{false, true}));
    EXPECT_EQ(Get(folders[1].Get(), L"IsHidden").value().vt, VT_BOOL);

    // Every file of the web, hidden folders included.
    const auto all = Enumerate(GetObject(web.Get(), L"AllFiles").Get());
    EXPECT_EQ(Strings(all, L"Name"),
              (std::vector<std::wstring>{L"index.htm", L"today.htm", L"old.htm", L"secret.htm", L"style.css"}));

    const auto archive = GetObject(web.Get(), L"LocateFolder", {Url(L"news/archive").c_str()});
    EXPECT_EQ(GetString(archive.Get(), L"Name"), L"archive");
    EXPECT_EQ(GetLong(GetObject(archive.Get(), L"Files").Get(), L"Count"), 1);
}

TEST_F(ComHostTest, RefusalsReachTheCallerWithTheHostsCodeAndText) {
    const auto web = activeWeb();
    struct Case {
        const wchar_t* member;
        std::vector<std::wstring> args;
        HRESULT code;
        std::wstring text;
    } cases[] = {
        {L"LocateFile",
         {Url(L"missing.htm")},
         simhost::kErrorNotFound,
         L"The web has no file " + Url(L"missing.htm") + L"."},
        {L"LocateFolder",
         {Url(L"nowhere")},
         simhost::kErrorNotFound,
         L"The web has no folder " + Url(L"nowhere") + L"."},
    };
    for (const auto& c : cases) {
        const auto result = Call(web.Get(), c.member, DISPATCH_METHOD, {c.args[0].c_str()});
        EXPECT_EQ(result.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(result.scode, c.code);
        EXPECT_EQ(result.description, c.text);
        EXPECT_EQ(ErrorInfoText(), c.text);
    }

    // Out of range, and a failure chosen in the recorder, through COM as well.
    const auto files = GetObject(GetObject(web.Get(), L"RootFolder").Get(), L"Files");
    EXPECT_EQ(Call(files.Get(), L"Item", DISPATCH_PROPERTYGET, {2}).scode, simhost::kErrorInvalidArg);
    host.recorder().failOn(L"WebFile.open", 1, static_cast<std::int32_t>(0x80070070), L"The disk is full.");
    const auto file = GetObject(files.Get(), L"Item", {0});
    auto failed = Call(file.Get(), L"Open", DISPATCH_METHOD);
    EXPECT_EQ(failed.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(failed.scode, static_cast<HRESULT>(0x80070070));
    EXPECT_EQ(failed.description, L"The disk is full.");
    EXPECT_EQ(host.pageWindows().size(), 0u);

    // Without EXCEPINFO the host's code itself comes back, with error info.
    const auto id = Call(file.Get(), L"Open", DISPATCH_METHOD);  // the second call succeeds
    EXPECT_EQ(id.hr, S_OK);
    host.closeWeb();
    ASSERT_TRUE(file);
    DISPID openId = 0;
    LPOLESTR name = const_cast<LPOLESTR>(L"Open");
    ASSERT_EQ(file->GetIDsOfNames(IID_NULL, &name, 1, 0, &openId), S_OK);
    DISPPARAMS none{};
    EXPECT_EQ(file->Invoke(openId, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(ErrorInfoText(), L"The web has been closed.");
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(file.As(&support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_OK);
}

TEST_F(ComHostTest, WithNoWebOpenTheActiveObjectsAreNothing) {
    host.closeWeb();
    for (const auto* member : {L"ActiveWeb", L"ActivePageWindow"}) {
        auto value = Get(app.Get(), member);
        EXPECT_EQ(value.value().vt, VT_DISPATCH) << member;
        EXPECT_EQ(value.value().pdispVal, nullptr) << member;
    }
    const auto document = Call(app.Get(), L"ActiveDocument", DISPATCH_PROPERTYGET);
    EXPECT_EQ(document.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(document.description, L"No page is open.");
}

TEST_F(ComHostTest, PagesOpenInWindowsWhoseDocumentBodyTakesAttributes) {
    openPage(L"news/today.htm");
    openPage(L"index.htm");
    const auto window = GetObject(app.Get(), L"ActivePageWindow");
    EXPECT_EQ(GetString(GetObject(window.Get(), L"File").Get(), L"Url"), Url(L"index.htm"));
    Put(window.Get(), L"ViewMode", Variant::Int(1));
    EXPECT_EQ(GetLong(window.Get(), L"ViewMode"), 1);
    ASSERT_TRUE(host.activePageWindow());
    EXPECT_EQ(host.activePageWindow()->viewMode, 1);

    const auto windows = GetObject(GetObject(app.Get(), L"ActiveWebWindow").Get(), L"PageWindows");
    EXPECT_EQ(GetLong(windows.Get(), L"Count"), 2);
    Method(GetObject(windows.Get(), L"Item", {0}).Get(), L"Activate");
    ASSERT_TRUE(host.activePageWindow());
    EXPECT_EQ(host.activePageWindow()->file->url(), Url(L"news/today.htm"));
    EXPECT_EQ(GetString(GetObject(GetObject(GetObject(app.Get(), L"ActiveWebWindow").Get(), L"ActivePageWindow").Get(),
                                  L"File")
                            .Get(),
                        L"Name"),
              L"today.htm");

    // document.body at DISPID_IHTMLDOCUMENT2_BODY, its methods at MSHTML's ids.
    const auto document = GetObject(window.Get(), L"Document");
    auto body = CallId(document.Get(), 1004, DISPATCH_PROPERTYGET);
    ASSERT_EQ(body.hr, S_OK);
    IDispatch* element = body.value.value().pdispVal;
    EXPECT_EQ(CallId(element, static_cast<DISPID>(0x800101F5), DISPATCH_METHOD,
                     {L"topmargin", Variant::Int(10), Variant::Int(1)})
                  .hr,
              S_OK);
    Method(element, L"setAttribute", {L"leftmargin", L"5"});  // lFlags omitted: 1
    const auto page = host.findPageWindow(Url(L"index.htm"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->document->bodyAttributes(),
              (std::vector<simhost::Attribute>{{L"bgcolor", L"white"}, {L"topmargin", L"10"}, {L"leftmargin", L"5"}}));

    auto removed = CallId(element, static_cast<DISPID>(0x800101F7), DISPATCH_METHOD, {L"BGCOLOR", Variant::Int(1)});
    EXPECT_EQ(removed.value.value().vt, VT_BOOL);
    EXPECT_EQ(removed.value.value().boolVal, VARIANT_FALSE);  // exact case asked, none matches
    EXPECT_EQ(Method(element, L"removeAttribute", {L"BGCOLOR", 0}).value().boolVal, VARIANT_TRUE);
    EXPECT_EQ(page->document->attribute(L"bgcolor"), std::nullopt);

    // The application's ActiveDocument is the active page's.
    Method(window.Get(), L"Activate");
    Method(GetObject(GetObject(app.Get(), L"ActiveDocument").Get(), L"body").Get(), L"setAttribute",
           {L"marginheight", L"3"});
    EXPECT_EQ(page->document->attribute(L"marginheight"), L"3");

    EXPECT_EQ(host.recorder().callsOf({L"Body.setAttribute", L"Body.removeAttribute"}),
              (std::vector<std::wstring>{
                  L"Body.setAttribute[" + Url(L"index.htm") + L"](topmargin=10,1)",
                  L"Body.setAttribute[" + Url(L"index.htm") + L"](leftmargin=5,1)",
                  L"Body.removeAttribute[" + Url(L"index.htm") + L"](BGCOLOR,1)",
                  L"Body.removeAttribute[" + Url(L"index.htm") + L"](BGCOLOR,0)",
                  L"Body.setAttribute[" + Url(L"index.htm") + L"](marginheight=3,1)",
              }));
}

TEST_F(ComHostTest, AClosedPageWindowRefusesItsDocument) {
    openPage(L"index.htm");
    const auto window = GetObject(app.Get(), L"ActivePageWindow");
    const auto body = GetObject(GetObject(window.Get(), L"Document").Get(), L"body");
    host.closeActivePage();
    EXPECT_EQ(Call(window.Get(), L"Document", DISPATCH_PROPERTYGET).description, L"The page window has been closed.");
    EXPECT_EQ(Call(body.Get(), L"setAttribute", DISPATCH_METHOD, {L"topmargin", L"1"}).description,
              L"The page window has been closed.");
}

TEST_F(ComHostTest, MakeRelTakesAFolderAStringOrAReferenceToEither) {
    const auto news = GetObject(activeWeb().Get(), L"LocateFolder", {Url(L"news").c_str()});
    const auto root = GetObject(activeWeb().Get(), L"RootFolder");
    Variant byReference;
    Variant inner = Variant::Text(Url(L"news"));
    byReference.get()->vt = VT_BYREF | VT_VARIANT;
    byReference.get()->pvarVal = inner.get();
    Variant folderByReference;
    Variant folder = Object(news);
    folderByReference.get()->vt = VT_BYREF | VT_VARIANT;
    folderByReference.get()->pvarVal = folder.get();

    struct Case {
        Variant base;
        std::wstring url;
        std::wstring expected;
    };
    std::vector<Case> cases;
    cases.push_back({Object(news), Url(L"news/archive/old.htm"), L"archive/old.htm"});
    cases.push_back({Object(root), Url(L"news/today.htm"), L"news/today.htm"});
    cases.push_back({Variant::Text(Url(L"news")), Url(L"news/today.htm"), L"today.htm"});
    cases.push_back({std::move(byReference), Url(L"news/archive"), L"archive"});
    cases.push_back({std::move(folderByReference), Url(L"news/today.htm"), L"today.htm"});
    // Not below the base: unchanged.
    cases.push_back({Object(news), Url(L"index.htm"), Url(L"index.htm")});
    // A web object as base reads as its URL.
    cases.push_back({Object(activeWeb()), Url(L"index.htm"), L"index.htm"});
    for (auto& c : cases) {
        // The by-reference cases point at `inner` and `folder`, which live on.
        EXPECT_EQ(base::win32::Bstr::FromBstr(Method(app.Get(), L"MakeRel", {c.base, c.url.c_str()}).value().bstrVal),
                  c.expected)
            << std::string(c.url.begin(), c.url.end());
    }
}

TEST_F(ComHostTest, ArgumentsAreCheckedAsAutomationDoes) {
    const auto web = activeWeb();
    EXPECT_EQ(Call(web.Get(), L"NoSuchMember", DISPATCH_METHOD).hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Call(web.Get(), L"LocateFile", DISPATCH_METHOD).hr, DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(Call(web.Get(), L"LocateFile", DISPATCH_METHOD, {L"a", L"b"}).hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(CallId(web.Get(), 4242, DISPATCH_METHOD).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(web.Get(), L"Url", DISPATCH_PROPERTYPUT, {L"x"}).hr, DISP_E_MEMBERNOTFOUND);
    const auto files = GetObject(web.Get(), L"AllFiles");
    const auto mismatch = Call(files.Get(), L"Item", DISPATCH_PROPERTYGET, {L"not a number"});
    EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(mismatch.argumentError, 0u);
    // Names resolve ignoring case, as Basic writes them.
    EXPECT_EQ(GetString(web.Get(), L"URL"), kWebUrl);
    // A named argument lands at its parameter's place.
    const auto located =
        Call(web.Get(), L"LocateFile", DISPATCH_METHOD, {Arg(L"fileurl", Variant::Text(Url(L"style.css")))});
    ASSERT_EQ(located.hr, S_OK);
    EXPECT_EQ(GetString(located.value.value().pdispVal, L"Name"), L"style.css");
}

}  // namespace
}  // namespace tavisk::testing
