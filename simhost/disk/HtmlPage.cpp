#include "simhost/disk/HtmlPage.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "simhost/SimError.h"
#include "base/Text.h"

namespace tavisk::simhost {
namespace {

bool IsSpace(char32_t c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }

std::u32string AsciiLower32(std::u32string text) {
    for (auto& c : text)
        if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
    return text;
}

PageEncoding DecideEncoding(std::string_view bytes) {
    PageEncoding encoding;
    if (DetectBom(bytes, encoding)) return encoding;
    // The markup that decides is ASCII in every encoding a meta can name here.
    const auto asciiView = Decode(bytes, {EncodingKind::AsciiCompatible, 0, false});
    const auto declared = ScanPage(asciiView.chars).metaCharset;
    if (declared) {
        std::string label;
        for (const char32_t c : *declared)
            if (c < 0x80) label += static_cast<char>(c);
        return {EncodingForLabel(label), 0, false};
    }
    return {EncodingKind::Windows1252, 0, true};
}

std::wstring Hex(char32_t c) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"U+%04X", static_cast<unsigned>(c));
    return buffer;
}

void CheckName(const std::u32string& name, const PageEncoding& encoding) {
    const auto refuse = [&](const std::wstring& why) {
        throw SimError(kErrorInvalidArg,
                       L"The attribute name \"" + FromUtf32(name) + L"\" cannot be written into the page: " + why);
    };
    if (name.empty()) refuse(L"it is empty.");
    for (const char32_t c : name) {
        if (c < 0x20 || c == 0x7F || IsSpace(c) || c == '"' || c == '\'' || c == '<' || c == '>' || c == '/' ||
            c == '=')
            refuse(L"it holds the character " + Hex(c) + L".");
        std::string ignored;
        if (!Encode(c, encoding, ignored)) refuse(L"the page's encoding cannot hold " + Hex(c) + L".");
    }
}

}  // namespace

HtmlPage::HtmlPage(std::string bytes) : _bytes(std::move(bytes)), _encoding(DecideEncoding(_bytes)) {
    _text = Decode(_bytes, _encoding);
    _scan = ScanPage(_text.chars);
    if (!_scan.body) return;
    for (const auto& a : _scan.body->attributes)
        if (!a.duplicate) _body.push_back({FromUtf32(a.name), FromUtf32(a.value)});
    for (const auto& later : _scan.laterBodies) {
        for (const auto& a : later.attributes) {
            auto name = FromUtf32(a.name);
            if (std::none_of(_body.begin(), _body.end(), [&](const Attribute& b) { return b.name == name; }))
                _body.push_back({std::move(name), FromUtf32(a.value)});
        }
    }
}

std::pair<std::size_t, std::size_t> HtmlPage::bodyTagRange() const {
    if (_scan.body) return {_text.offsets[_scan.body->start], _text.offsets[_scan.body->end]};
    const auto at = _text.offsets[_scan.impliedBodyAt];
    return {at, at};
}

std::vector<std::pair<std::size_t, std::size_t>> HtmlPage::bodyTagRanges() const {
    std::vector<std::pair<std::size_t, std::size_t>> ranges{bodyTagRange()};
    for (const auto& later : _scan.laterBodies)
        ranges.emplace_back(_text.offsets[later.start], _text.offsets[later.end]);
    return ranges;
}

std::wstring HtmlPage::title() const {
    if (!_scan.title) return {};
    std::u32string collapsed;
    bool space = false;
    for (const char32_t c : *_scan.title) {
        if (IsSpace(c)) {
            space = !collapsed.empty();
            continue;
        }
        if (space) collapsed += ' ';
        space = false;
        collapsed += c;
    }
    return FromUtf32(collapsed);
}

std::optional<std::wstring> HtmlPage::firstFrameSource() const {
    if (!_scan.firstFrameSource) return std::nullopt;
    return FromUtf32(*_scan.firstFrameSource);
}

std::wstring HtmlPage::text(std::string_view pageBytes) const { return FromUtf32(Decode(pageBytes, _encoding).chars); }

std::string HtmlPage::raw(std::size_t from, std::size_t to) const {
    return _bytes.substr(_text.offsets[from], _text.offsets[to] - _text.offsets[from]);
}

// What a save does to one BODY start tag: for each of its attributes whether it
// stays as written, goes, or takes a new value where it stands, and the attributes
// written after its last one.
struct HtmlPage::TagPlan {
    // Ignored: a duplicate the browser ignores, dropped when the tag is rewritten.
    enum class Fate { Stays, Ignored, Goes, Takes };
    struct Planned {
        Fate fate = Fate::Stays;
        const Attribute* value = nullptr;  // the new value, for Takes
    };
    const ScannedTag* tag = nullptr;  // none: the page has no BODY tag, one is written where the body begins
    std::vector<Planned> attributes;  // one for each of tag->attributes
    std::vector<const Attribute*> added;

    bool changes() const {
        return !added.empty() || std::any_of(attributes.begin(), attributes.end(), [](const Planned& p) {
            return p.fate == Fate::Goes || p.fate == Fate::Takes;
        });
    }
};

// An attribute never moves from one BODY start tag to another: a later tag may stand
// in another branch of server code, and what it carries belongs to that branch. So
// each tag loses the attributes the element no longer has (a later tag would give
// them again) and keeps the rest where they stand; a new or changed value goes into
// the first tag, where it wins.
std::vector<HtmlPage::TagPlan> HtmlPage::plan(const std::vector<Attribute>& attributes) const {
    std::unordered_map<std::u32string, const Attribute*> wanted;  // by lower-cased name
    for (const auto& a : attributes) wanted.emplace(AsciiLower32(ToUtf32(a.name)), &a);
    std::unordered_map<std::u32string, const std::wstring*> read;  // the element's values
    for (const auto& b : _body) read.emplace(ToUtf32(b.name), &b.value);

    std::vector<TagPlan> plans(1 + _scan.laterBodies.size());
    plans[0].tag = _scan.body ? &*_scan.body : nullptr;
    for (std::size_t k = 1; k < plans.size(); ++k) plans[k].tag = &_scan.laterBodies[k - 1];
    for (auto& p : plans) {
        if (!p.tag) continue;
        for (const auto& o : p.tag->attributes) {
            const auto w = wanted.find(o.name);
            TagPlan::Planned planned;
            if (w == wanted.end()) {
                planned.fate = TagPlan::Fate::Goes;
            } else if (o.duplicate && !p.tag->holdsServerCode) {
                planned.fate = TagPlan::Fate::Ignored;
            } else if (&p == &plans[0] && *read.at(o.name) != w->second->value) {
                // Where server code decides which occurrence applies, each takes it.
                planned = {TagPlan::Fate::Takes, w->second};
            }
            p.attributes.push_back(planned);
        }
    }
    const auto inFirst = [&](const std::u32string& name) {
        return plans[0].tag && std::any_of(plans[0].tag->attributes.begin(), plans[0].tag->attributes.end(),
                                           [&](const ScannedAttribute& o) { return o.name == name; });
    };
    for (const auto& a : attributes) {
        const auto name = AsciiLower32(ToUtf32(a.name));
        const auto given = read.find(name);
        if (!inFirst(name) && (given == read.end() || *given->second != a.value)) plans[0].added.push_back(&a);
    }
    return plans;
}

std::string HtmlPage::render(const std::vector<Attribute>& attributes) const {
    if (attributes == _body) return _bytes;
    if (_scan.openServerCode) {
        const auto& chars = _text.chars;
        std::size_t line = 1;
        for (std::size_t k = 0; k < *_scan.openServerCode; ++k)
            if (chars[k] == '\n' || (chars[k] == '\r' && chars[k + 1] != '\n')) ++line;
        throw SimError(kErrorFail, L"The page cannot be saved: its server code that begins with \"<%\" on line " +
                                       std::to_wstring(line) +
                                       L" is never closed with \"%>\", so where its BODY start tags end cannot be "
                                       L"known.");
    }

    std::unordered_set<std::u32string> read, wanted;
    for (const auto& b : _body) read.insert(ToUtf32(b.name));
    for (const auto& a : attributes) {
        auto name = AsciiLower32(ToUtf32(a.name));
        if (!read.count(name)) CheckName(name, _encoding);  // a name read from the page is written as it was spelt
        if (!wanted.insert(std::move(name)).second)
            throw SimError(kErrorInvalidArg, L"The page would hold the attribute \"" + a.name +
                                                 L"\" twice; a browser would ignore the second.");
    }

    std::string out;
    std::size_t at = 0;
    for (const auto& p : plan(attributes)) {
        if (!p.changes()) continue;
        const auto [from, to] =
            p.tag ? std::pair(_text.offsets[p.tag->start], _text.offsets[p.tag->end]) : bodyTagRange();
        out += _bytes.substr(at, from - at) + writeTag(p);
        at = to;
    }
    return out + _bytes.substr(at);
}

std::string HtmlPage::writeTag(const TagPlan& plan) const {
    std::string out;
    const auto ascii = [&](std::string_view text) {
        for (const char c : text) Encode(static_cast<unsigned char>(c), _encoding, out);
    };
    // White space before a kept piece, so it cannot run into what now precedes it.
    const auto separated = [&](std::size_t from, std::size_t to) {
        if (from == to || !IsSpace(_text.chars[from])) ascii(" ");
        out += raw(from, to);
    };
    const auto quoted = [&](const Attribute& a) {
        ascii("=\"");
        for (const char32_t c : ToUtf32(a.value)) {
            const auto refuse = [&] {
                throw SimError(kErrorInvalidArg, L"The value of the attribute \"" + a.name +
                                                     L"\" holds the character " + Hex(c) +
                                                     L", which a page cannot carry.");
            };
            if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) refuse();
            if (c == '&') {
                ascii("&amp;");
            } else if (c == '"') {
                ascii("&quot;");
            } else if (c == '<') {
                ascii("&lt;");
            } else if (c == '\r') {
                ascii("&#13;");  // a raw CR would be read back as LF
            } else if (!Encode(c, _encoding, out)) {
                if (c >= 0x80 && c <= 0x9F) refuse();  // browsers read these references as windows-1252
                char reference[16];
                std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(c));
                ascii(reference);
            }
        }
        ascii("\"");
    };

    const ScannedTag* tag = plan.tag;
    if (tag) {
        out += raw(tag->start, tag->nameEnd);
        auto piece = tag->serverCode.begin();
        bool afterServerCode = false;
        const ScannedAttribute* lastKept = nullptr;  // the last piece written, when a kept attribute
        // Server code written right after an unquoted value (or a bare "=") would join
        // the value; once what stood between them is gone, it gets white space before it.
        const auto writePieces = [&](std::size_t before) {
            for (; piece != tag->serverCode.end() && piece->start < before; ++piece) {
                if (lastKept && piece->leadStart == piece->start && lastKept->end != piece->start &&
                    lastKept->end > lastKept->nameEnd && _text.chars[lastKept->end - 1] != '"' &&
                    _text.chars[lastKept->end - 1] != '\'')
                    ascii(" ");
                out += raw(piece->leadStart, piece->end);
                afterServerCode = true;
                lastKept = nullptr;
            }
        };
        for (std::size_t k = 0; k < tag->attributes.size(); ++k) {
            const auto& o = tag->attributes[k];
            writePieces(o.start);
            const auto& planned = plan.attributes[k];
            if (planned.fate != TagPlan::Fate::Stays && planned.fate != TagPlan::Fate::Takes) continue;
            // One whose name starts with "=" would be read as the value of a bare name
            // now before it; after a "/" it starts an attribute whatever precedes it.
            // One that followed server code directly still does.
            const auto to = planned.fate == TagPlan::Fate::Stays ? o.end : o.nameEnd;
            if (_text.chars[o.start] == '=') {
                ascii(" /");
                out += raw(o.start, to);
            } else if (afterServerCode && o.leadStart == o.start) {
                out += raw(o.start, to);
            } else {
                separated(o.leadStart, to);
            }
            if (planned.fate == TagPlan::Fate::Takes) quoted(*planned.value);
            afterServerCode = false;
            lastKept = planned.fate == TagPlan::Fate::Stays ? &o : nullptr;
        }
        writePieces(tag->end);
    } else {
        ascii("<body");
    }
    for (const auto* a : plan.added) {
        // A new name was checked; one a later BODY tag gave was read, not checked.
        const auto name = ToUtf32(a->name);
        ascii(name[0] == '=' ? " /" : " ");
        for (const char32_t c : name) {
            if (!Encode(c, _encoding, out))
                throw SimError(kErrorInvalidArg,
                               L"The attribute name \"" + a->name + L"\" cannot be written in the page's encoding.");
        }
        quoted(*a);
    }
    if (tag && tag->tailStart + 1 < tag->end) separated(tag->tailStart, tag->end - 1);
    ascii(">");
    return out;
}

}  // namespace tavisk::simhost
