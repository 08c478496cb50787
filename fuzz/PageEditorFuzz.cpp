// libFuzzer target for the stand-in host's page editor: any bytes as a page, any
// edits of its BODY element. Invariants: no crash; a save either is refused with a
// SimError or changes no byte outside the page's BODY start tags; reading the saved
// page gives exactly the attributes that were set (names lower-cased, as a browser
// reads them; in any order), the same title and the same encoding; no attribute
// moves from one BODY start tag to another (a tag holds only names it held, and the
// first tag also the new or changed ones); server code ("<% ... %>") is
// never split or written into: each block a saved BODY start tag holds is one that
// tag held, in the same order, and a page whose server code is never closed is not
// rewritten. Built and run by tools/fuzz.sh.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "simhost/SimError.h"
#include "base/Text.h"
#include "simhost/disk/DiskPageStore.h"
#include "simhost/disk/DiskWeb.h"
#include "simhost/disk/HtmlPage.h"

namespace {

using tavisk::simhost::Attribute;

std::string Escaped(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c)) : std::string(hex);
    }
    return out;
}

std::string Listed(const std::vector<Attribute>& attributes) {
    std::string out;
    for (const auto& a : attributes)
        out += "[" + tavisk::base::ToUtf8(a.name) + "=" + tavisk::base::ToUtf8(a.value) + "] ";
    return Escaped(out);
}

// Aborts with what the finding needs to be understood.
struct Check {
    const std::string& page;
    const std::string& saved;
    const std::vector<Attribute>& set;

    void require(bool condition, const char* what, const std::vector<Attribute>& read = {}) const {
        if (condition) return;
        std::fprintf(stderr, "invariant broken: %s\npage:  %s\nsaved: %s\nset:   %s\nread:  %s\n", what,
                     Escaped(page).c_str(), Escaped(saved).c_str(), Listed(set).c_str(), Listed(read).c_str());
        std::abort();
    }
};

std::wstring LowerNames(const std::wstring& name) { return tavisk::base::AsciiLower(name); }

std::vector<Attribute> Sorted(std::vector<Attribute> attributes) {
    std::sort(attributes.begin(), attributes.end(),
              [](const auto& a, const auto& b) { return a.name < b.name || (a.name == b.name && a.value < b.value); });
    return attributes;
}

// The attributes one BODY start tag of `page` gives, read as a page's only tag.
std::vector<Attribute> TagAttributes(const tavisk::simhost::HtmlPage& page, std::string_view bytes,
                                     std::pair<std::size_t, std::size_t> range) {
    const auto text = page.text(bytes.substr(range.first, range.second - range.first));
    return tavisk::simhost::HtmlPage("\xEF\xBB\xBF" + tavisk::base::ToUtf8(text)).bodyAttributes();
}

bool Holds(const std::vector<Attribute>& attributes, const Attribute& wanted, bool sameValue) {
    return std::any_of(attributes.begin(), attributes.end(), [&](const Attribute& a) {
        return a.name == wanted.name && (!sameValue || a.value == wanted.value);
    });
}

// The server's blocks in `bytes`, each "<%" to the next "%>", as the server reads
// them; an unclosed one runs to the end and sets `open`. Bytes, so only for pages
// whose markup is ASCII bytes (every encoding here but UTF-16).
std::vector<std::string> ServerBlocks(std::string_view bytes, bool& open) {
    std::vector<std::string> blocks;
    open = false;
    for (auto at = bytes.find("<%"); at != std::string_view::npos;) {
        const auto close = bytes.find("%>", at + 2);
        open = close == std::string_view::npos;
        if (open) break;
        blocks.emplace_back(bytes.substr(at, close + 2 - at));
        at = bytes.find("<%", close + 2);
    }
    return blocks;
}

bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    std::size_t k = 0;
    for (const auto& item : whole)
        if (k < part.size() && part[k] == item) ++k;
    return k == part.size();
}

std::wstring PickName(FuzzedDataProvider& data, const std::vector<Attribute>& existing) {
    static const wchar_t* kNames[] = {L"topmargin", L"leftmargin", L"marginheight", L"marginwidth", L"TopMargin"};
    switch (data.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return kNames[data.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)];
        case 1:
            if (!existing.empty()) return existing[data.ConsumeIntegralInRange<size_t>(0, existing.size() - 1)].name;
            return L"text";
        default:
            return tavisk::base::FromUtf8(data.ConsumeRandomLengthString(12));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    // The edits come first (their count from the input's last byte, as the provider
    // takes numbers from the end), so the page takes the rest of the input whole.
    std::vector<std::vector<std::uint8_t>> editBytes;
    const int edits = data.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < edits; ++i)
        editBytes.push_back(data.ConsumeBytes<std::uint8_t>(data.ConsumeIntegralInRange(0, 40)));
    const std::string pageBytes = data.ConsumeRemainingBytesAsString();

    const auto page = std::make_shared<const tavisk::simhost::HtmlPage>(pageBytes);
    const auto title = page->title();
    tavisk::simhost::DiskPageDocument document(page);
    for (const auto& edit : editBytes) {
        FuzzedDataProvider e(edit.data(), edit.size());
        const bool set = e.ConsumeBool();
        const std::int32_t flags = e.ConsumeBool() ? 1 : 0;
        const auto name = PickName(e, document.bodyAttributes());
        if (set)
            document.setAttribute(name, tavisk::base::FromUtf8(e.ConsumeRemainingBytesAsString()), flags);
        else
            document.removeAttribute(name, flags);
    }

    std::string saved;
    try {
        saved = document.bytesToSave();
        (void)tavisk::simhost::PageSourceText(document);
    } catch (const tavisk::simhost::SimError&) {
        return 0;  // a refused name or value: nothing is written
    }

    std::vector<Attribute> expected = document.bodyAttributes();
    for (auto& a : expected) a.name = LowerNames(a.name);
    const Check check{pageBytes, saved, expected};
    const tavisk::simhost::HtmlPage reread(saved);
    // The BODY start tags of both pages, paired in order: every byte between them is
    // the same.
    const auto tags = page->bodyTagRanges();
    const auto savedTags = reread.bodyTagRanges();
    check.require(tags.size() == savedTags.size(), "the saved page has another number of BODY start tags");
    std::size_t gap = 0, savedGap = 0;
    for (std::size_t k = 0; k <= tags.size(); ++k) {
        const auto end = k < tags.size() ? tags[k].first : pageBytes.size();
        const auto savedEnd = k < tags.size() ? savedTags[k].first : saved.size();
        check.require(pageBytes.compare(gap, end - gap, saved, savedGap, savedEnd - savedGap) == 0,
                      "a byte outside the BODY start tags changed");
        if (k == tags.size()) break;
        gap = tags[k].second;
        savedGap = savedTags[k].second;
    }
    const auto kind = page->encoding().kind;
    if (kind != tavisk::simhost::EncodingKind::Utf16Le && kind != tavisk::simhost::EncodingKind::Utf16Be) {
        bool open = false;
        ServerBlocks(pageBytes, open);
        check.require(!open || saved == pageBytes, "a page whose server code is never closed was rewritten");
        for (std::size_t k = 0; k < tags.size(); ++k) {
            const auto [from, to] = tags[k];
            const auto [savedFrom, savedTo] = savedTags[k];
            bool ignored = false;
            check.require(
                IsSubsequence(ServerBlocks(std::string_view(saved).substr(savedFrom, savedTo - savedFrom), ignored),
                              ServerBlocks(std::string_view(pageBytes).substr(from, to - from), ignored)),
                "server code in a BODY start tag was split, written into or moved");
        }
    }

    check.require(Sorted(reread.bodyAttributes()) == Sorted(expected), "the saved page reads back other attributes",
                  reread.bodyAttributes());
    for (std::size_t k = 0; k < tags.size(); ++k) {
        const auto before = TagAttributes(*page, pageBytes, tags[k]);
        for (const auto& a : TagAttributes(reread, saved, savedTags[k]))
            check.require(Holds(before, a, false) || (k == 0 && !Holds(page->bodyAttributes(), a, true)),
                          "an attribute moved from one BODY start tag to another", {a});
    }
    check.require(reread.title() == title, "the saved page reads back another title");
    check.require(reread.encoding().kind == page->encoding().kind, "the saved page reads back in another encoding");
    return 0;
}
