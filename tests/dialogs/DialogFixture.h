#pragma once

#include <algorithm>
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
    // A control as the form must show it: its kind, caption and the frame (by its
    // caption) it stands in, "" for none.
    struct Control {
        std::wstring kind, caption, frame;
    };
    // The form's controls in tab order, each of the kind and caption expected, inside
    // the client area and inside its own frame, no two overlapping but a frame and a
    // control it holds. Up to one pixel (15 twips) is the designer's grid: a label's
    // box reaches into the control below it.
    static void ExpectLaidOut(const MemoryForm& form, const std::vector<Control>& expected) {
        const auto& placed = form.placed();
        ASSERT_EQ(placed.size(), expected.size());
        const auto inside = [](const ui::Rect& outer, const ui::Rect& r) {
            return r.left >= outer.left && r.top >= outer.top && r.left + r.width <= outer.left + outer.width &&
                   r.top + r.height <= outer.top + outer.height;
        };
        const auto overlap = [](const ui::Rect& a, const ui::Rect& b) {
            return std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left) > 15 &&
                   std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top) > 15;
        };
        const auto holds = [&](size_t frame, size_t i) {
            return placed[frame].kind == L"frame" && placed[frame].caption == expected[i].frame;
        };
        const ui::Rect client{0, 0, form.design().clientWidth, form.design().clientHeight};
        for (size_t i = 0; i < placed.size(); ++i) {
            EXPECT_EQ(placed[i].kind, expected[i].kind) << "tab " << i;
            EXPECT_EQ(placed[i].caption, expected[i].caption) << "tab " << i;
            EXPECT_TRUE(inside(client, placed[i].rect)) << "tab " << i << " reaches out of the form";
            bool framed = expected[i].frame.empty();
            for (size_t j = 0; j < placed.size(); ++j) {
                if (j != i && holds(j, i)) {
                    framed = true;
                    EXPECT_TRUE(inside(placed[j].rect, placed[i].rect)) << "tab " << i << " reaches out of its frame";
                } else if (j > i && !holds(i, j)) {
                    EXPECT_FALSE(overlap(placed[i].rect, placed[j].rect)) << "tabs " << i << " and " << j << " overlap";
                }
            }
            EXPECT_TRUE(framed) << "tab " << i << ": no frame " << base::ToUtf8(expected[i].frame);
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
