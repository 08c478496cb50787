#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/Text.h"
#include "simhost/disk/HtmlPage.h"

namespace tavisk::testing {

inline std::vector<simhost::Attribute> SortedByName(std::vector<simhost::Attribute> attributes) {
    std::sort(attributes.begin(), attributes.end(),
              [](const auto& a, const auto& b) { return a.name < b.name || (a.name == b.name && a.value < b.value); });
    return attributes;
}

// The page editor's promise for a page the run saved: every byte outside the BODY
// start tag is as it was, the rewritten tag is one tag (no "<" of a value got out:
// it holds no more "<" than the old one, or one where there was none),
// the title is unchanged, and the page read again gives exactly `expected` (in any
// order; a later BODY tag's attributes follow the first tag's).
inline void ExpectOnlyTheBodyTagChanged(const std::string& before, const std::string& after,
                                        const std::vector<simhost::Attribute>& expected) {
    const simhost::HtmlPage old(before);
    const auto [from, to] = old.bodyTagRange();
    const auto title = old.title();
    const simhost::HtmlPage page(after);
    const auto [newFrom, newTo] = page.bodyTagRange();
    ASSERT_EQ(newFrom, from);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(from), after.begin()));
    ASSERT_EQ(after.size() - newTo, before.size() - to);
    EXPECT_TRUE(std::equal(before.begin() + static_cast<std::ptrdiff_t>(to), before.end(),
                           after.begin() + static_cast<std::ptrdiff_t>(newTo)));
    const auto oldTag = old.text(std::string_view(before).substr(from, to - from));
    const auto tag = page.text(std::string_view(after).substr(newFrom, newTo - newFrom));
    EXPECT_LE(std::count(tag.begin(), tag.end(), L'<'),
              std::max<std::ptrdiff_t>(1, std::count(oldTag.begin(), oldTag.end(), L'<')))
        << host::ToUtf8(tag.substr(0, 200));
    EXPECT_EQ(page.title(), title);
    EXPECT_EQ(SortedByName(page.bodyAttributes()), SortedByName(expected));
}

}  // namespace tavisk::testing
