#pragma once

#include <memory>
#include <string>

#include "dialogs/frmAbout.h"
#include "dialogs/frmMain.h"
#include "tests/simhost/SimHostFixture.h"
#include "ui/memory/MemoryToolkit.h"

namespace tavisk::testing {

using ui::memory::MemoryButton;
using ui::memory::MemoryCheckBox;
using ui::memory::MemoryForm;
using ui::memory::MemoryListView;
using ui::memory::MemoryTextBox;
using ui::memory::MemoryUpDown;
using ui::memory::Of;

// The stand-in host with a web open, and forms made in memory.
class DialogTest : public SimHostTest {
protected:
    void SetUp() override {
        SimHostTest::SetUp();
        toolkit = std::make_shared<ui::memory::MemoryToolkit>();
        ui::SetToolkit(toolkit);
    }
    void TearDown() override {
        frmAbout::CloseIfOpen();
        if (frmMain::Exists()) frmMain::Instance().unload();
        ui::SetToolkit(nullptr);
        SimHostTest::TearDown();
    }

    frmMain& Open() {
        frmMain::Open();
        return frmMain::Instance();
    }
    MemoryForm* mainForm() const { return toolkit->loaded(frmMain::kCaption); }
    MemoryForm* aboutForm() const { return toolkit->loaded(frmAbout::kCaption); }

    static void Click(ui::Button& button) { Of<MemoryButton>(button).userClick(); }
    static void Click(ui::CheckBox& box) { Of<MemoryCheckBox>(box).userClick(); }
    static void Click(ui::OptionGroup& group, std::int32_t index) { Of(group).userClick(index); }
    static void Arrow(ui::UpDown& upDown, int direction) { Of<MemoryUpDown>(upDown).userArrow(direction); }
    static void ClickHeader(ui::ListView& list, int header) { Of<MemoryListView>(list).userColumnClick(header); }

    // A queue entry as the chooser writes it: key and tag the page's URL.
    static ui::ListItem Entry(const std::wstring& path, const std::wstring& title, const std::wstring& folder = L"") {
        const auto name = path.substr(path.find_last_of(L'/') + 1);
        return {Url(path), name, {title, folder}, Url(path)};
    }
    // The form's controls, in tab order, each of the kind, caption and place expected.
    static void ExpectPlaced(const MemoryForm& form, const std::vector<ui::memory::Placed>& expected) {
        ASSERT_EQ(form.placed().size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(form.placed()[i].kind, expected[i].kind) << "tab " << i;
            EXPECT_EQ(form.placed()[i].caption, expected[i].caption) << "tab " << i;
            EXPECT_EQ(form.placed()[i].rect, expected[i].rect) << "tab " << i;
        }
    }
    static std::vector<std::wstring> Column(const ui::ListView& list, int column) {
        std::vector<std::wstring> texts;
        for (int i = 0; i < list.count(); ++i) {
            texts.push_back(column == 0 ? list.item(i).text
                                        : list.item(i).subItems.at(static_cast<size_t>(column - 1)));
        }
        return texts;
    }

    std::shared_ptr<ui::memory::MemoryToolkit> toolkit;
};

}  // namespace tavisk::testing
