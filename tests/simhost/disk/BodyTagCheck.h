#pragma once

// The page editor's promise for a page a margin run saved, which every test that
// saves pages checks: every byte outside the BODY start tags (the first, and the
// later ones that add to the element) is as it was, and each rewritten tag is one
// tag (no "<" of a value got out: it holds no more "<" than the old one, or one
// where there was none) holding only names it held, the first one also the margins
// set and what is new to the element (the user's unsaved edits, saved with them). No
// attribute moves between tags: a later one may stand in another branch of server
// code.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "simhost/disk/HtmlPage.h"

namespace tavisk::testing {

inline bool IsMarginName(const std::wstring& name) {
    return name == L"topmargin" || name == L"leftmargin" || name == L"marginheight" || name == L"marginwidth";
}

// What a page's BODY holds once a run wrote `margins` into it: its own attributes
// less every margin, then `margins`.
inline std::vector<simhost::Attribute> WithMargins(const std::string& page,
                                                   const std::vector<simhost::Attribute>& margins) {
    std::vector<simhost::Attribute> expected;
    const simhost::HtmlPage read(page);
    for (const auto& a : read.bodyAttributes())
        if (!IsMarginName(a.name)) expected.push_back(a);
    expected.insert(expected.end(), margins.begin(), margins.end());
    return expected;
}

// Empty when `after` keeps that promise to `before`; otherwise how it breaks it.
inline std::string BodyTagsRewriteProblem(const std::string& before, const std::string& after) {
    const simhost::HtmlPage old(before), now(after);
    const auto tags = old.bodyTagRanges(), newTags = now.bodyTagRanges();
    const auto& was = old.bodyAttributes();
    if (newTags.size() != tags.size())
        return std::to_string(newTags.size()) + " BODY start tags where there were " + std::to_string(tags.size());
    const auto tagText = [](const simhost::HtmlPage& page, std::string_view bytes, std::pair<size_t, size_t> at) {
        return page.text(bytes.substr(at.first, at.second - at.first));
    };
    const auto held = [](const std::vector<simhost::Attribute>& attributes, const std::wstring& name) {
        return std::any_of(attributes.begin(), attributes.end(), [&](const auto& a) { return a.name == name; });
    };
    for (std::size_t k = 0, from = 0, newFrom = 0; k <= tags.size(); ++k) {
        const auto to = k < tags.size() ? tags[k].first : before.size();
        const auto newTo = k < tags.size() ? newTags[k].first : after.size();
        if (std::string_view(after).substr(newFrom, newTo - newFrom) !=
            std::string_view(before).substr(from, to - from))
            return "the bytes before BODY start tag " + std::to_string(k) + " changed";
        if (k == tags.size()) break;
        const auto oldTag = tagText(old, before, tags[k]), tag = tagText(now, after, newTags[k]);
        if (std::count(tag.begin(), tag.end(), L'<') >
            std::max<std::ptrdiff_t>(1, std::count(oldTag.begin(), oldTag.end(), L'<')))
            return "BODY start tag " + std::to_string(k) + " is more than a tag: " + base::ToUtf8(tag.substr(0, 200));
        const auto own = simhost::HtmlPage("\xEF\xBB\xBF" + base::ToUtf8(oldTag)).bodyAttributes();
        const auto mine = simhost::HtmlPage("\xEF\xBB\xBF" + base::ToUtf8(tag)).bodyAttributes();
        for (const auto& a : mine)
            if (!held(own, a.name) && !(k == 0 && (IsMarginName(a.name) || !held(was, a.name))))
                return base::ToUtf8(a.name) + " moved into BODY start tag " + std::to_string(k);
        from = tags[k].second;
        newFrom = newTags[k].second;
    }
    return {};
}

}  // namespace tavisk::testing
