// The page chooser's three host-bound operations, its load, a folder click and
// Add, with every host call each makes refused in turn. A reference pass records
// the calls; then, at each position, the operation is done again from the same
// state with only that call refused. The user gets one message naming the action
// and the host's reason, no window is left half-made, the options dialog keeps its
// queue, and the same operation then completes as the reference did.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>

#include "chooser/mChooser.h"
#include "tests/chooser/ChooserFixture.h"

namespace tavisk::testing {
namespace {

std::wstring OperationOf(const std::wstring& entry) { return entry.substr(0, entry.find_first_of(L"[(")); }

enum class Step { Load, FolderClick, Add };

struct Operation {
    const char* name;
    Step step;
    const wchar_t* failed;  // how the message begins
    size_t calls;           // at least this many host calls to sweep
};

const Operation kOperations[] = {
    {"load", Step::Load, L"\"Edit Queue\" failed.\n\n", 40},
    {"folder-click", Step::FolderClick, L"Listing the folder failed.\n\n", 20},
    {"add", Step::Add, L"\"Add Selected to Queue\" failed.\n\n", 9},  // three pages, three calls each
};

class ChooserFaultSweepTest : public ChooserTest {
protected:
    void SetUp() override {
        ChooserTest::SetUp();
        for (const wchar_t* path :
             {L"index.htm", L"about.htm", L"logo.gif", L"docs/guide.htm", L"docs/notes.htm", L"docs/faq.html",
              L"docs/new.htm", L"docs/deep/d.htm", L"docs/img.png", L"_private/p.htm"})
            web->addFile(path, std::wstring(L"T ") + path);
        web->folderAt(L"empty");
        Open();
        PressEditQueue({Entry(L"docs/notes.htm", L"T docs/notes.htm", L"docs/"), Entry(L"about.htm", L"T about.htm")});
        frmChooseFiles::Discard();
        _options = Keys(frmMain::Instance().lvwStaticQueue);
    }

    // Brings the chooser to where `step` starts: closed for the load, open on the
    // root folder for a folder click, listing a folder with all its pages selected
    // for Add (one of them queued already).
    void prepare(Step step) {
        frmChooseFiles::Discard();
        if (step == Step::Load) return;
        frmChooseFiles& chooser = EditQueue();
        if (step == Step::Add) {
            ClickFolder(chooser, Url(L"docs"));
            Select(chooser.lvwWebList, Keys(chooser.lvwWebList));
        }
    }
    void act(Step step) {
        if (step == Step::Load) return Click(frmMain::Instance().cmdEditQueue);
        frmChooseFiles& chooser = frmChooseFiles::Instance();
        if (step == Step::FolderClick) return ClickFolder(chooser, Url(L"docs"));
        Click(chooser.cmdAdd);
    }

    // What the user can see of the chooser and its queue.
    std::vector<std::wstring> state() const {
        std::vector<std::wstring> lines;
        for (const auto& key : Keys(frmMain::Instance().lvwStaticQueue)) lines.push_back(L"options " + key);
        if (!frmChooseFiles::Exists()) return lines;
        frmChooseFiles& chooser = frmChooseFiles::Instance();
        const auto& tree = Tree(chooser);
        std::vector<std::wstring> nodes = tree.children(L"");
        for (size_t i = 0; i < nodes.size(); ++i) {
            lines.push_back(L"node " + nodes[i] + L" " + tree.text(nodes[i]));
            for (const auto& child : tree.children(nodes[i])) nodes.push_back(child);
        }
        for (int i = 0; i < chooser.lvwWebList.count(); ++i) {
            const auto& page = chooser.lvwWebList.item(i);
            lines.push_back(L"page " + page.key + (page.bold ? L" bold" : L""));
        }
        for (int i = 0; i < chooser.lvwQueue.count(); ++i) {
            const auto& entry = chooser.lvwQueue.item(i);
            lines.push_back(L"queue " + entry.key + L"|" + entry.text + L"|" + entry.subItems.at(1));
        }
        return lines;
    }

    // After the call at `operation` was refused: one message, nothing half-made, the
    // lists in step with each other, and the same step then completing.
    void checkFailureAndRetry(const Operation& op, const std::wstring& operation,
                              const std::vector<std::wstring>& reference) {
        ASSERT_EQ(toolkit->shown().size(), 1u);
        const auto& message = toolkit->shown()[0];
        EXPECT_EQ(message.title, L"Tavisk 2002");
        EXPECT_EQ(message.icon, ui::MessageIcon::Error);
        EXPECT_EQ(message.text, op.failed + (L"The host refused " + operation + L"."));

        EXPECT_EQ(toolkit->loaded(frmLoading::kCaption), nullptr);
        ASSERT_EQ(frmChooseFiles::Exists(), op.step != Step::Load);
        const auto choosers = toolkit->forms(frmChooseFiles::kCaption);
        EXPECT_EQ(std::count_if(choosers.begin(), choosers.end(), [](auto* f) { return !f->unloaded(); }),
                  op.step == Step::Load ? 0 : 1);
        ASSERT_TRUE(frmMain::Exists());
        EXPECT_TRUE(mainForm()->visible());
        EXPECT_EQ(Keys(frmMain::Instance().lvwStaticQueue), _options);
        if (frmChooseFiles::Exists()) {
            frmChooseFiles& chooser = frmChooseFiles::Instance();
            EXPECT_TRUE(chooserForm()->visible());
            // Every listed page is bold exactly when it is queued.
            for (int i = 0; i < chooser.lvwWebList.count(); ++i) {
                const auto& page = chooser.lvwWebList.item(i);
                EXPECT_EQ(page.bold, IsQueued(chooser.lvwQueue, page.key.str())) << base::ToUtf8(page.key.str());
            }
        }

        toolkit->shown().clear();
        act(op.step);
        EXPECT_TRUE(toolkit->shown().empty());
        EXPECT_EQ(state(), reference);
    }

    // Refuses each call of `op` in turn; returns the number of positions swept.
    size_t sweep(const Operation& op) {
        prepare(op.step);
        toolkit->shown().clear();
        host.recorder().clear();
        act(op.step);
        const std::vector<std::wstring> calls = host.recorder().calls();
        const auto reference = state();
        EXPECT_TRUE(toolkit->shown().empty());
        EXPECT_TRUE(frmChooseFiles::Exists());

        std::map<std::wstring, int> seen;  // calls of each operation so far
        for (size_t k = 0; k < calls.size(); ++k) {
            const auto operation = OperationOf(calls[k]);
            const int nth = ++seen[operation];
            SCOPED_TRACE(::testing::Message() << "call " << k << ": " << base::ToUtf8(calls[k]));
            prepare(op.step);
            toolkit->shown().clear();
            host.recorder().failOn(operation, nth);
            act(op.step);
            checkFailureAndRetry(op, operation, reference);
            if (::testing::Test::HasFailure()) return k + 1;
        }
        return calls.size();
    }

    std::vector<std::wstring> _options;
};

TEST_F(ChooserFaultSweepTest, EveryRefusedCallOfTheLoadAFolderClickOrAddIsReportedAndLeavesAWorkingChooser) {
    for (const auto& op : kOperations) {
        SCOPED_TRACE(op.name);
        const auto swept = sweep(op);
        std::cout << "[ swept ] chooser " << op.name << ": " << swept << " positions\n";
        RecordProperty(std::string("positions_") + op.name, static_cast<int>(swept));
        EXPECT_GE(swept, op.calls);
    }
}

}  // namespace
}  // namespace tavisk::testing
