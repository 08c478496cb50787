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
    DISPID id = 0;
    LPOLESTR hiddenName = const_cast<LPOLESTR>(L"IsHidden");
    EXPECT_EQ(folders[1]->GetIDsOfNames(IID_NULL, &hiddenName, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);

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

// The documented members a macro or an add-in calls resolve by name to the editor's
// dispatch ids, on every object this host hands out.
TEST_F(ComHostTest, DocumentedMembersResolveToTheEditorsDispatchIds) {
    openPage(L"index.htm");
    const auto window = GetObject(app.Get(), L"ActivePageWindow");
    const auto root = GetObject(activeWeb().Get(), L"RootFolder");
    const auto file = GetObject(window.Get(), L"File");
    const auto webWindow = GetObject(app.Get(), L"ActiveWebWindow");
    struct Case {
        ComPtr<IDispatch> object;
        const wchar_t* member;
        DISPID id;
    };
    const Case cases[] = {
        {app, L"ActiveDocument", 2},
        {app, L"ActivePageWindow", 3},
        {app, L"ActiveWeb", 4},
        {app, L"ActiveWebWindow", 5},
        {app, L"CommandBars", 9},
        {GetObject(app.Get(), L"CommandBars"), L"ActiveMenuBar", 0x60030001},
        {app, L"MakeAbs", 22},
        {app, L"MakeRel", 23},
        {activeWeb(), L"Url", DISPID_VALUE},
        {activeWeb(), L"RootFolder", 10},
        {activeWeb(), L"LocateFile", 22},
        {activeWeb(), L"LocateFolder", 23},
        {root, L"Url", DISPID_VALUE},
        {root, L"Files", 3},
        {root, L"Folders", 4},
        {root, L"IsRoot", 7},
        {root, L"IsWeb", 8},
        {root, L"Name", 10},
        {root, L"Web", 13},
        {root, L"Parent", static_cast<DISPID>(0x80010008)},
        {file, L"Url", DISPID_VALUE},
        {file, L"Extension", 5},
        {file, L"IsOpen", 6},
        {file, L"Name", 9},
        {file, L"Title", 13},
        {file, L"Web", 15},
        {file, L"Edit", 21},
        {file, L"Open", 23},
        {file, L"Parent", static_cast<DISPID>(0x80010008)},
        {webWindow, L"ActivePageWindow", 3},
        {webWindow, L"Web", 5},
        {webWindow, L"PageWindows", 6},
        {window, L"ActiveDocument", 3},
        {window, L"Document", 6},
        {window, L"File", 7},
        {window, L"IsDirty", 9},
        {window, L"ViewMode", 11},
        {window, L"Web", 13},
        {window, L"Close", 15},
        {window, L"Save", 17},
        {window, L"Activate", 19},
        {GetObject(GetObject(window.Get(), L"Document").Get(), L"body"), L"getAttribute",
         static_cast<DISPID>(0x800101F6)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.member, c.member + wcslen(c.member)));
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR name = const_cast<LPOLESTR>(c.member);
        ASSERT_TRUE(c.object);
        EXPECT_EQ(c.object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        EXPECT_EQ(id, c.id);
    }
    // The documented way to the menu bar.
    EXPECT_EQ(GetString(GetObject(GetObject(app.Get(), L"CommandBars").Get(), L"ActiveMenuBar").Get(), L"Name"),
              L"Menu Bar");
}

TEST_F(ComHostTest, FilesTellWhetherTheyAreOpenAndOpenForEditingInAViewMode) {
    const auto web = activeWeb();
    const auto index = GetObject(web.Get(), L"LocateFile", {Url(L"index.htm").c_str()});
    const auto today = GetObject(web.Get(), L"LocateFile", {Url(L"news/today.htm").c_str()});
    const auto isOpen = [](const ComPtr<IDispatch>& file) {
        const auto value = Get(file.Get(), L"IsOpen");
        EXPECT_EQ(value.value().vt, VT_BOOL);
        return value.value().boolVal == VARIANT_TRUE;
    };
    EXPECT_FALSE(isOpen(index));

    // Edit opens the page in the view mode asked for and gives its window, now active.
    const auto edited = GetObject(today.Get(), L"Edit", {1});
    EXPECT_EQ(GetString(GetObject(edited.Get(), L"File").Get(), L"Url"), Url(L"news/today.htm"));
    EXPECT_EQ(GetLong(edited.Get(), L"ViewMode"), 1);
    EXPECT_TRUE(isOpen(today));
    EXPECT_FALSE(isOpen(index));
    openPage(L"index.htm");
    EXPECT_TRUE(isOpen(index));
    // Editing an open page brings its window forward and keeps its view mode when none is asked.
    EXPECT_EQ(GetLong(GetObject(today.Get(), L"Edit").Get(), L"ViewMode"), 1);
    ASSERT_TRUE(host.activePageWindow());
    EXPECT_EQ(host.activePageWindow()->file->url(), Url(L"news/today.htm"));
    EXPECT_EQ(host.pageWindows().size(), 2u);

    Method(edited.Get(), L"Close");
    EXPECT_FALSE(isOpen(today));
    EXPECT_TRUE(isOpen(index));

    // Files, folders and page windows name their web; only the root folder roots it.
    const auto news = GetObject(web.Get(), L"LocateFolder", {Url(L"news").c_str()});
    const auto root = GetObject(web.Get(), L"RootFolder");
    for (const auto& object :
         {today, news, GetObject(app.Get(), L"ActivePageWindow"), GetObject(app.Get(), L"ActiveWebWindow")})
        EXPECT_EQ(GetString(GetObject(object.Get(), L"Web").Get(), L"Url"), kWebUrl);
    for (const auto* member : {L"IsRoot", L"IsWeb"}) {
        EXPECT_EQ(Get(root.Get(), member).value().boolVal, VARIANT_TRUE);
        EXPECT_EQ(Get(news.Get(), member).value().boolVal, VARIANT_FALSE);
    }
    // Parent climbs from a file to its folders and from the root folder to the web.
    const auto old = GetObject(web.Get(), L"LocateFile", {Url(L"news/archive/old.htm").c_str()});
    const auto archive = GetObject(old.Get(), L"Parent");
    EXPECT_EQ(GetString(archive.Get(), L"Url"), Url(L"news/archive"));
    EXPECT_EQ(GetString(GetObject(archive.Get(), L"Parent").Get(), L"Url"), Url(L"news"));
    EXPECT_EQ(GetString(GetObject(news.Get(), L"Parent").Get(), L"Url"), std::wstring(kWebUrl) + L"/");
    EXPECT_EQ(GetString(GetObject(GetObject(index.Get(), L"Parent").Get(), L"Parent").Get(), L"Url"), kWebUrl);
    EXPECT_EQ(GetString(GetObject(GetObject(root.Get(), L"Parent").Get(), L"RootFolder").Get(), L"Url"),
              std::wstring(kWebUrl) + L"/");
    EXPECT_EQ(host.recorder().callsOf({L"WebFile.edit", L"WebFile.isOpen"}).size(), 8u);
}

TEST_F(ComHostTest, PageWindowsSaveAndCloseThemselvesAndTellUnsavedEdits) {
    openPage(L"news/today.htm");
    const auto today = GetObject(app.Get(), L"ActivePageWindow");
    openPage(L"index.htm");
    const auto index = GetObject(app.Get(), L"ActivePageWindow");
    const auto body = [](const ComPtr<IDispatch>& window) {
        return GetObject(GetObject(window.Get(), L"ActiveDocument").Get(), L"body");
    };
    const auto dirty = [](const ComPtr<IDispatch>& window) {
        return Get(window.Get(), L"IsDirty").value().boolVal == VARIANT_TRUE;
    };

    // getAttribute ignores the case unless lFlags 1 asks for it; a missing one is null.
    struct Lookup {
        Arg flags;
        const wchar_t* name;
        const wchar_t* value;  // null: VT_NULL
    };
    const Lookup lookups[] = {{Missing(), L"BGCOLOR", L"white"},
                              {1, L"BGCOLOR", nullptr},
                              {1, L"bgcolor", L"white"},
                              {2, L"BgColor", L"white"},
                              {0, L"text", nullptr}};
    for (const auto& l : lookups) {
        const auto value = Method(body(index).Get(), L"getAttribute", {l.name, l.flags});
        if (l.value)
            EXPECT_EQ(base::win32::Bstr::FromBstr(value.value().bstrVal), l.value);
        else
            EXPECT_EQ(value.value().vt, VT_NULL);
    }

    EXPECT_FALSE(dirty(index));
    Method(body(index).Get(), L"setAttribute", {L"topmargin", L"4"});
    EXPECT_TRUE(dirty(index));
    Method(body(index).Get(), L"removeAttribute", {L"topmargin"});
    EXPECT_FALSE(dirty(index)) << "back as the file has it";
    Method(body(index).Get(), L"setAttribute", {L"topmargin", L"4"});
    Method(index.Get(), L"Save");
    EXPECT_FALSE(dirty(index));
    EXPECT_EQ(store(L"index.htm").saved(),
              (std::vector<simhost::Attribute>{{L"bgcolor", L"white"}, {L"topmargin", L"4"}}));

    // Closing a window that is not the active one: the active one stays; ForceSave saves first.
    Method(body(today).Get(), L"setAttribute", {L"leftmargin", L"2"});
    Method(today.Get(), L"Close", {true});
    EXPECT_EQ(store(L"news/today.htm").saved(), (std::vector<simhost::Attribute>{{L"leftmargin", L"2"}}));
    ASSERT_EQ(host.pageWindows().size(), 1u);
    EXPECT_EQ(host.activePageWindow()->file->url(), Url(L"index.htm"));
    // Without it, unsaved edits go with the window.
    Method(body(index).Get(), L"setAttribute", {L"topmargin", L"9"});
    Method(index.Get(), L"Close", {Arg(L"forcesave", Variant::Bool(false))});
    EXPECT_EQ(store(L"index.htm").saved(),
              (std::vector<simhost::Attribute>{{L"bgcolor", L"white"}, {L"topmargin", L"4"}}));
    EXPECT_EQ(store(L"index.htm").saveCount(), 1);
    EXPECT_FALSE(host.activePageWindow());
    EXPECT_EQ(Call(index.Get(), L"Save", DISPATCH_METHOD).description, L"The page window has been closed.");
}

TEST_F(ComHostTest, MakeAbsResolvesAUrlAgainstAFolderOrAUrl) {
    const auto news = GetObject(activeWeb().Get(), L"LocateFolder", {Url(L"news").c_str()});
    const auto root = GetObject(activeWeb().Get(), L"RootFolder");
    struct Case {
        Variant base;
        std::wstring url;
        std::wstring expected;
    };
    std::vector<Case> cases;
    cases.push_back({Object(root), L"news/today.htm", Url(L"news/today.htm")});
    cases.push_back({Object(news), L"archive/./old.htm", Url(L"news/archive/old.htm")});
    cases.push_back({Variant::Text(Url(L"news/archive")), L"../../index.htm", Url(L"index.htm")});
    cases.push_back({Object(news), Url(L"style.css"), Url(L"style.css")});  // already absolute
    cases.push_back({Object(root), L"../other/a.htm", L"file:///C:/Webs/other/a.htm"});
    for (auto& c : cases)
        EXPECT_EQ(base::win32::Bstr::FromBstr(Method(app.Get(), L"MakeAbs", {c.base, c.url.c_str()}).value().bstrVal),
                  c.expected)
            << std::string(c.url.begin(), c.url.end());
    EXPECT_EQ(Call(app.Get(), L"MakeAbs", DISPATCH_METHOD, {Object(root), L"../../../../x.htm"}).scode,
              simhost::kErrorInvalidArg);
}

TEST_F(ComHostTest, ArgumentsAreCheckedAsAutomationDoes) {
    const auto web = activeWeb();
    EXPECT_EQ(Call(web.Get(), L"NoSuchMember", DISPATCH_METHOD).hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Call(web.Get(), L"LocateFile", DISPATCH_METHOD).hr, DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(Call(web.Get(), L"LocateFile", DISPATCH_METHOD, {L"a", L"b"}).hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(CallId(web.Get(), 4242, DISPATCH_METHOD).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(web.Get(), L"Url", DISPATCH_PROPERTYPUT, {L"x"}).hr, DISP_E_MEMBERNOTFOUND);
    // The refused argument's index in rgvarg, which holds the arguments last written first.
    const auto files = GetObject(web.Get(), L"AllFiles");
    const auto controls =
        GetObject(GetObject(GetObject(app.Get(), L"CommandBars").Get(), L"ActiveMenuBar").Get(), L"Controls");
    using Refused = std::tuple<IDispatch*, const wchar_t*, std::vector<Arg>, UINT>;
    for (const auto& [object, member, args, index] : std::vector<Refused>{
             {files.Get(), L"Item", {L"not a number"}, 0},
             {controls.Get(), L"Add", {1, L"x"}, 0},
             {controls.Get(), L"Add", {L"x", 1}, 1},
             {controls.Get(), L"Add", {Arg(L"Id", Variant::Text(L"x")), Arg(L"Type", Variant::Int(1))}, 0}}) {
        const auto mismatch = Call(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
        EXPECT_EQ(std::pair(mismatch.hr, mismatch.argumentError), std::pair(DISP_E_TYPEMISMATCH, index)) << member;
    }
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
