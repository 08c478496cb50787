#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Text.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/disk/HtmlPage.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/simhost/disk/BodyTagCheck.h"
#include "tests/simhost/disk/TempFolder.h"

namespace tavisk::testing {

// The page editor's promise (BodyTagCheck.h) for a page the run saved; the title is
// unchanged and the page read again gives exactly `expected` (in any order).
inline void ExpectOnlyTheBodyTagChanged(const std::string& before, const std::string& after,
                                        const std::vector<simhost::Attribute>& expected) {
    EXPECT_EQ(BodyTagsRewriteProblem(before, after), "");
    const simhost::HtmlPage page(after);
    EXPECT_EQ(page.title(), simhost::HtmlPage(before).title());
    EXPECT_THAT(page.bodyAttributes(), ::testing::UnorderedElementsAreArray(expected));
}

// ASCII markup as a UTF-16 page with its byte-order mark.
inline std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

// The options dialog and the run over the stand-in host, on webs in memory or on disk.
class RunTest : public DialogTest {
protected:
    // Opens the folder as the host's web.
    void openDiskWeb(const TempFolder& site) {
        web = simhost::OpenDiskWeb(site.path());
        host.openWeb(web);
    }
    // The options dialog with both margins ticked and typed in as a user types them.
    frmMain& openWithMargins(const std::wstring& top, const std::wstring& left) {
        auto& dialog = Open();
        Click(dialog.chkTop);
        Click(dialog.chkLeft);
        for (auto* box : {&dialog.txtTop, &dialog.txtLeft}) {
            Of<MemoryTextBox>(*box).userFocus();
            Of<MemoryTextBox>(*box).userType(box == &dialog.txtTop ? top : left);
        }
        return dialog;
    }
    // The run without the dialog: the messages it showed, and what it did to the dialog.
    static std::vector<ShownMessage> Run(const MarginSettings& settings, FakeRunDialog& dialog) {
        FakeMessageBoxes messages;
        ApplyMargins(settings, dialog, messages);
        return messages.shown;
    }
};

}  // namespace tavisk::testing
