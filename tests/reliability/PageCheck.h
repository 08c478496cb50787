#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/disk/HtmlPage.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/simhost/disk/TempFolder.h"

namespace tavisk::testing {

// The page editor's promise for a page the run saved: every byte outside the BODY
// start tags (the first, and the later ones that add to the element) is as it was,
// each rewritten tag is one tag (no "<" of a value got out: it holds no more "<"
// than the old one, or one where there was none) that holds only names it held, the
// first one also the values set (no attribute moves between tags: a later one may
// stand in another branch of server code), the title is unchanged, and the page
// read again gives exactly `expected` (in any order).
inline void ExpectOnlyTheBodyTagChanged(const std::string& before, const std::string& after,
                                        const std::vector<simhost::Attribute>& expected) {
    const simhost::HtmlPage old(before);
    const auto tags = old.bodyTagRanges();
    const simhost::HtmlPage page(after);
    const auto newTags = page.bodyTagRanges();
    ASSERT_EQ(newTags.size(), tags.size());
    ASSERT_EQ(newTags[0].first, tags[0].first);
    std::size_t from = 0, newFrom = 0;
    for (std::size_t k = 0; k <= tags.size(); ++k) {
        const auto to = k < tags.size() ? tags[k].first : before.size();
        const auto newTo = k < tags.size() ? newTags[k].first : after.size();
        EXPECT_EQ(std::string_view(after).substr(newFrom, newTo - newFrom),
                  std::string_view(before).substr(from, to - from))
            << "before BODY start tag " << k;
        if (k == tags.size()) break;
        const auto oldTag = old.text(std::string_view(before).substr(tags[k].first, tags[k].second - tags[k].first));
        const auto tag =
            page.text(std::string_view(after).substr(newTags[k].first, newTags[k].second - newTags[k].first));
        EXPECT_LE(std::count(tag.begin(), tag.end(), L'<'),
                  std::max<std::ptrdiff_t>(1, std::count(oldTag.begin(), oldTag.end(), L'<')))
            << base::ToUtf8(tag.substr(0, 200));
        const auto own = simhost::HtmlPage("\xEF\xBB\xBF" + base::ToUtf8(oldTag)).bodyAttributes();
        const auto mine = simhost::HtmlPage("\xEF\xBB\xBF" + base::ToUtf8(tag)).bodyAttributes();
        const auto& was = old.bodyAttributes();
        for (const auto& a : mine)
            EXPECT_TRUE(std::any_of(own.begin(), own.end(), [&](const auto& o) { return o.name == a.name; }) ||
                        (k == 0 && std::find(was.begin(), was.end(), a) == was.end()))
                << base::ToUtf8(a.name) << " moved into BODY start tag " << k;
        from = tags[k].second;
        newFrom = newTags[k].second;
    }
    EXPECT_EQ(page.title(), old.title());
    EXPECT_THAT(page.bodyAttributes(), ::testing::UnorderedElementsAreArray(expected));
}

// ASCII markup as a UTF-16 page with its byte-order mark.
inline std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

// What a page's BODY holds once the run wrote `margins` into it: its own attributes
// less every margin, then `margins`.
inline std::vector<simhost::Attribute> WithMargins(const std::string& page,
                                                   const std::vector<simhost::Attribute>& margins) {
    std::vector<simhost::Attribute> expected;
    const simhost::HtmlPage read(page);
    for (const auto& a : read.bodyAttributes()) {
        if (a.name != L"topmargin" && a.name != L"leftmargin" && a.name != L"marginheight" && a.name != L"marginwidth")
            expected.push_back(a);
    }
    expected.insert(expected.end(), margins.begin(), margins.end());
    return expected;
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
