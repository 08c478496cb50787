#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "LateBound.h"
#include "simhost/SimHost.h"
#include "simhost/win32/ComHost.h"

namespace tavisk::testing {

// The host's Application object over a stand-in host with a small web open:
//   index.htm ("Home"), news/today.htm, news/archive/old.htm, _private/secret.htm,
//   style.css
class ComHostTest : public ::testing::Test {
protected:
    static constexpr wchar_t kWebUrl[] = L"file:///C:/Webs/site";

    void SetUp() override {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        web = std::make_shared<simhost::WebModel>(kWebUrl);
        web->addFile(L"index.htm", L"Home", {{L"bgcolor", L"white"}});
        web->addFile(L"news/today.htm", L"Today");
        web->addFile(L"news/archive/old.htm", L"Old news");
        web->addFile(L"_private/secret.htm");
        web->addFile(L"style.css");
        host.openWeb(web);
        app = simhost::win32::MakeApplicationDispatch(host);
    }
    void TearDown() override {
        app.Reset();
        CoUninitialize();
    }

    static std::wstring Url(const std::wstring& path) { return std::wstring(kWebUrl) + L"/" + path; }
    simhost::MemoryPageStore& store(const std::wstring& path) {
        return static_cast<simhost::MemoryPageStore&>(web->findFile(Url(path))->store());
    }
    ComPtr<IDispatch> activeWeb() { return GetObject(app.Get(), L"ActiveWeb"); }
    ComPtr<IDispatch> menuBar() {
        return GetObject(GetObject(app.Get(), L"CommandBars").Get(), L"Item", {L"Menu Bar"});
    }
    // Opens a page through the object model, as the add-in does.
    void openPage(const std::wstring& path) {
        Method(GetObject(activeWeb().Get(), L"LocateFile", {Url(path).c_str()}).Get(), L"Open");
    }

    simhost::SimHost host;
    std::shared_ptr<simhost::WebModel> web;
    ComPtr<IDispatch> app;
};

}  // namespace tavisk::testing
