#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Text.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "margins/ApplyMargins.h"
#include "simhost/SimHost.h"
#include "simhost/inmemory/InMemoryHost.h"

namespace tavisk::testing {

using simhost::Attribute;

// A recording stand-in host with a web open, set as the process-wide host.
class SimHostTest : public ::testing::Test {
protected:
    static constexpr wchar_t kWebUrl[] = L"file:///C:/Webs/site";

    void SetUp() override {
        web = std::make_shared<simhost::WebModel>(kWebUrl);
        host.openWeb(web);
        host::SetApplication(simhost::InMemoryHost(host));
    }
    void TearDown() override { host::SetApplication(nullptr); }

    static std::wstring Url(const std::wstring& path) { return std::wstring(kWebUrl) + L"/" + path; }

    // The attributes that the file's last save wrote.
    std::vector<Attribute> saved(const std::wstring& path) const {
        return static_cast<simhost::MemoryPageStore&>(web->findFile(Url(path))->store()).saved();
    }
    int saveCount(const std::wstring& path) const {
        return static_cast<simhost::MemoryPageStore&>(web->findFile(Url(path))->store()).saveCount();
    }
    void openPage(const std::wstring& path) { host.openPage(web->findFile(Url(path))); }
    std::vector<std::wstring> openPages() const {
        std::vector<std::wstring> urls;
        for (const auto& window : host.pageWindows()) urls.push_back(window->file->url());
        return urls;
    }
    std::wstring activePage() const {
        const auto window = host.activePageWindow();
        return window ? window->file->url() : L"";
    }
    std::vector<std::wstring> calls(const std::vector<std::wstring>& operations) const {
        return host.recorder().callsOf(operations);
    }

    simhost::SimHost host;
    std::shared_ptr<simhost::WebModel> web;
};

// The options dialog as the run sees it: the queue and what the run did to it.
class FakeRunDialog : public RunDialog {
public:
    std::vector<std::wstring> queue;
    std::vector<std::wstring> events;

    void hide() override { events.push_back(L"hide"); }
    std::int32_t queueCount() override { return static_cast<std::int32_t>(queue.size()); }
    std::wstring queueTag(std::int32_t index) override { return queue.at(static_cast<size_t>(index)); }
    void unload() override { events.push_back(L"unload"); }
    void showAgain() override { events.push_back(L"showAgain"); }
};

struct ShownMessage {
    std::wstring text;
    std::wstring title;
    ui::MessageIcon icon;
};

class FakeMessageBoxes : public ui::MessageBoxes {
public:
    std::vector<ShownMessage> shown;
    void show(const std::wstring& text, const std::wstring& title, ui::MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
};

}  // namespace tavisk::testing
