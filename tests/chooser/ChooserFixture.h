#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "chooser/EditQueue.h"
#include "chooser/frmChooseFiles.h"
#include "chooser/frmLoading.h"
#include "dialogs/PageChooser.h"
#include "tests/dialogs/DialogFixture.h"

namespace tavisk::testing {

using ui::memory::MemoryTreeView;

// The options dialog on the stand-in host with the page chooser installed behind
// its "Edit &Queue".
class ChooserTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        InstallPageChooser();
    }
    void TearDown() override {
        frmChooseFiles::Discard();
        SetPageChooser(nullptr);
        DialogTest::TearDown();
    }

    // Opens the options dialog (if needed) with "Selected &page(s)", puts `queue`
    // into its queue list and presses "Edit &Queue".
    void PressEditQueue(const std::vector<ui::ListItem>& queue = {}) {
        frmMain& dialog = frmMain::Exists() ? frmMain::Instance() : Open();
        Click(dialog.optSelect, 1);
        for (const auto& entry : queue) dialog.lvwStaticQueue.add(entry);
        Click(dialog.cmdEditQueue);
    }
    // The same, for a chooser that must open.
    frmChooseFiles& EditQueue(const std::vector<ui::ListItem>& queue = {}) {
        PressEditQueue(queue);
        if (!frmChooseFiles::Exists()) throw std::runtime_error("the page chooser did not open");
        return frmChooseFiles::Instance();
    }
    MemoryForm* chooserForm() const { return toolkit->loaded(frmChooseFiles::kCaption); }

    static MemoryTreeView& Tree(frmChooseFiles& chooser) { return Of<MemoryTreeView>(chooser.tvwWebList); }
    static void DoubleClick(ui::ListView& list, const std::wstring& key) {
        Of<MemoryListView>(list).userDoubleClick(key);
    }
    static void Select(ui::ListView& list, const std::vector<std::wstring>& keys) {
        for (const auto& key : keys) list.setSelected(key, true);
    }
    static std::vector<std::wstring> Keys(const ui::ListView& list) {
        std::vector<std::wstring> keys;
        for (int i = 0; i < list.count(); ++i) keys.push_back(list.item(i).key);
        return keys;
    }
    static std::vector<std::wstring> Bold(const ui::ListView& list) {
        std::vector<std::wstring> keys;
        for (int i = 0; i < list.count(); ++i) {
            if (list.item(i).bold) keys.push_back(list.item(i).text);
        }
        return keys;
    }
    // Lists a folder by clicking its node.
    static void ClickFolder(frmChooseFiles& chooser, const std::wstring& url) { Tree(chooser).userClickNode(url); }
};

}  // namespace tavisk::testing
