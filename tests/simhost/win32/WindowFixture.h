#pragma once

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "simhost/SimHost.h"
#include "simhost/win32/HostWindow.h"
#include "tests/support/WindowDriver.h"

namespace tavisk::testing {

// A host window over an in-memory web (index.htm "Home", news/today.htm,
// _private/secret.htm), shown, with an OLE apartment around it.
class HostWindowTest : public ::testing::Test {
protected:
    static constexpr wchar_t kWebUrl[] = L"file:///C:/Webs/site";

    void SetUp() override;
    void TearDown() override;
    // Makes the window (once), with `closing` run when it is closed.
    simhost::win32::HostWindow& makeWindow(std::function<void()> closing = {});

    // The menu item with this caption anywhere in the window's menu, by its command id.
    std::optional<UINT> menuCommand(const std::wstring& caption) const;
    std::vector<std::wstring> menuCaptions() const;  // the bar's own items
    void choose(const std::wstring& caption);
    std::wstring status() const;
    std::vector<std::wstring> treeLines() const;  // depth shown by two spaces each
    std::vector<std::wstring> tabTexts() const;
    // Selects the tree item with this text and double-clicks it.
    void doubleClickTree(const std::wstring& text);

    simhost::SimHost host;
    std::shared_ptr<simhost::WebModel> web;
    // The page text the window shows: by default the BODY start tag of the document.
    std::function<std::wstring(const simhost::PageDocument&)> pageSource;
    std::unique_ptr<simhost::win32::HostWindow> window;
};

}  // namespace tavisk::testing
