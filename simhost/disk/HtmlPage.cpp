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
                       L"The attribute name \"" + ToWide(name) + L"\" cannot be written into the page: " + why);
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
        if (!a.duplicate) _body.push_back({ToWide(a.name), ToWide(a.value)});
    _firstTagCount = _body.size();
    for (const auto& later : _scan.laterBodies) {
        for (const auto& a : later.attributes) {
            auto name = ToWide(a.name);
            if (std::none_of(_body.begin(), _body.end(), [&](const Attribute& b) { return b.name == name; }))
                _body.push_back({std::move(name), ToWide(a.value)});
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
    return ToWide(collapsed);
}

std::wstring HtmlPage::text(std::string_view pageBytes) const { return ToWide(Decode(pageBytes, _encoding).chars); }

std::string HtmlPage::raw(std::size_t from, std::size_t to) const {
    return _bytes.substr(_text.offsets[from], _text.offsets[to] - _text.offsets[from]);
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
    std::vector<Attribute> lowered;  // `attributes` as the page will read them
    for (const auto& a : attributes) {
        auto name = AsciiLower32(ToUtf32(a.name));
        if (!read.count(name)) CheckName(name, _encoding);  // a name read from the page is written as it was spelt
        if (!wanted.insert(name).second)
            throw SimError(kErrorInvalidArg, L"The page would hold the attribute \"" + a.name +
                                                 L"\" twice; a browser would ignore the second.");
        lowered.push_back({ToWide(name), a.value});
    }

    // Attributes that only later tags give may stay there: the longest run at the end
    // of `attributes` that those tags give back, unchanged and in that order, once
    // the first tag holds everything before it.
    std::unordered_map<std::wstring, std::size_t> givenLater;
    for (std::size_t k = _firstTagCount; k < _body.size(); ++k) givenLater.emplace(_body[k].name, k);
    std::size_t leftInLater = 0;
    for (std::size_t next = _body.size(); leftInLater < lowered.size(); ++leftInLater) {
        const auto& a = lowered[lowered.size() - 1 - leftInLater];
        const auto given = givenLater.find(a.name);
        if (given == givenLater.end() || given->second >= next || _body[given->second].value != a.value) break;
        next = given->second;
    }

    const auto [from, to] = bodyTagRange();
    std::string out = _bytes.substr(0, from);
    const std::vector<Attribute> first(lowered.begin(), lowered.end() - static_cast<std::ptrdiff_t>(leftInLater));
    if (first == std::vector<Attribute>(_body.begin(), _body.begin() + static_cast<std::ptrdiff_t>(_firstTagCount)))
        out += _bytes.substr(from, to - from);
    else
        out += renderTag(_scan.body ? &*_scan.body : nullptr,
                         std::vector<Attribute>(attributes.begin(), attributes.begin() + first.size()));

    // A later tag loses every attribute the element no longer has, which it would
    // otherwise give the element again.
    std::size_t at = to;
    for (const auto& later : _scan.laterBodies) {
        if (std::all_of(later.attributes.begin(), later.attributes.end(),
                        [&](const ScannedAttribute& a) { return wanted.count(a.name) != 0; }))
            continue;
        std::vector<Attribute> kept;
        for (const auto& a : later.attributes)
            if (!a.duplicate && wanted.count(a.name)) kept.push_back({ToWide(a.name), ToWide(a.value)});
        const auto laterFrom = _text.offsets[later.start];
        out += _bytes.substr(at, laterFrom - at) + renderTag(&later, kept);
        at = _text.offsets[later.end];
    }
    return out + _bytes.substr(at);
}

std::string HtmlPage::renderTag(const ScannedTag* original, const std::vector<Attribute>& attributes) const {
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
    // An attribute of the tag, up to `to`. One whose name starts with "=" would be read
    // as the value of a bare name now before it; after a "/" it starts an attribute
    // whatever precedes it. One that followed server code directly still does.
    const auto kept = [&](const ScannedAttribute& o, std::size_t to, bool afterServerCode) {
        if (_text.chars[o.start] == '=') {
            ascii(" /");
            out += raw(o.start, to);
        } else if (afterServerCode && o.leadStart == o.start) {
            out += raw(o.start, to);
        } else {
            separated(o.leadStart, to);
        }
    };

    // The tag's attribute (the one the browser reads) for each name asked for.
    std::unordered_map<std::u32string, const ScannedAttribute*> read;
    if (original) {
        for (const auto& o : original->attributes)
            if (!o.duplicate) read.emplace(o.name, &o);
    }
    std::vector<const ScannedAttribute*> before(attributes.size(), nullptr);
    std::unordered_map<std::u32string, std::size_t> asked;
    for (std::size_t k = 0; k < attributes.size(); ++k) {
        auto name = AsciiLower32(ToUtf32(attributes[k].name));
        if (const auto found = read.find(name); found != read.end()) before[k] = found->second;
        asked.emplace(std::move(name), k);
    }
    // Those that stay in place: the longest run at the start of `attributes` of names
    // the tag has, in the tag's order; the rest follow them in the order asked.
    std::size_t inPlace = 0;
    while (inPlace < attributes.size() && before[inPlace] && (inPlace == 0 || before[inPlace] > before[inPlace - 1]))
        ++inPlace;

    if (original) {
        out += raw(original->start, original->nameEnd);
        // Where server code makes the occurrence that applies unknown, every occurrence
        // of a name gets its value.
        const bool keepDuplicates = original->holdsServerCode;
        auto piece = original->serverCode.begin();
        bool afterServerCode = false;
        for (const auto& o : original->attributes) {
            for (; piece != original->serverCode.end() && piece->start < o.start; ++piece) {
                out += raw(piece->leadStart, piece->end);
                afterServerCode = true;
            }
            const auto found = asked.find(o.name);
            if (found == asked.end() || found->second >= inPlace || (o.duplicate && !keepDuplicates)) continue;
            const auto& a = attributes[found->second];
            if (before[found->second]->value == ToUtf32(a.value)) {
                kept(o, o.end, afterServerCode);
            } else {
                kept(o, o.nameEnd, afterServerCode);
                quoted(a);
            }
            afterServerCode = false;
        }
        for (; piece != original->serverCode.end(); ++piece) out += raw(piece->leadStart, piece->end);
    } else {
        ascii("<body");
    }
    for (std::size_t k = inPlace; k < attributes.size(); ++k) {
        const auto& a = attributes[k];
        if (const auto* o = before[k]) {  // moved, with the spelling the page gave it
            if (o->value == ToUtf32(a.value)) {
                kept(*o, o->end, false);
            } else {
                kept(*o, o->nameEnd, false);
                quoted(a);
            }
            continue;
        }
        // A new name, or one a later BODY tag gave; the latter was read, not checked.
        const auto name = AsciiLower32(ToUtf32(a.name));
        ascii(name[0] == '=' ? " /" : " ");
        for (const char32_t c : ToUtf32(a.name)) {
            if (!Encode(c, _encoding, out))
                throw SimError(kErrorInvalidArg,
                               L"The attribute name \"" + a.name + L"\" cannot be written in the page's encoding.");
        }
        quoted(a);
    }
    if (original && original->tailStart + 1 < original->end) separated(original->tailStart, original->end - 1);
    ascii(">");
    return out;
}

}  // namespace tavisk::simhost
