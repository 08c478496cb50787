#include "simhost/disk/HtmlPage.h"

#include <algorithm>
#include <cstdio>

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
    for (const auto& later : _scan.laterBodies) {
        for (const auto& a : later.attributes) {
            const auto name = ToWide(a.name);
            if (std::find(_laterNames.begin(), _laterNames.end(), name) == _laterNames.end())
                _laterNames.push_back(name);
            if (std::none_of(_body.begin(), _body.end(), [&](const Attribute& b) { return b.name == name; }))
                _body.push_back({name, ToWide(a.value)});
        }
    }
}

std::pair<std::size_t, std::size_t> HtmlPage::bodyTagRange() const {
    if (_scan.body) return {_text.offsets[_scan.body->start], _text.offsets[_scan.body->end]};
    const auto at = _text.offsets[_scan.impliedBodyAt];
    return {at, at};
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
    std::vector<std::u32string> seen;
    for (const auto& a : attributes) {
        auto name = AsciiLower32(ToUtf32(a.name));
        const bool read =
            std::any_of(_body.begin(), _body.end(), [&](const Attribute& b) { return ToUtf32(b.name) == name; });
        if (!read) CheckName(name, _encoding);  // a name read from the page is written as it was spelt
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            throw SimError(kErrorInvalidArg, L"The page would hold the attribute \"" + a.name +
                                                 L"\" twice; a browser would ignore the second.");
        seen.push_back(std::move(name));
    }
    for (const auto& name : _laterNames) {
        const bool kept = std::any_of(attributes.begin(), attributes.end(),
                                      [&](const Attribute& a) { return base::AsciiLower(a.name) == name; });
        if (!kept)
            throw SimError(kErrorFail, L"The attribute \"" + name +
                                           L"\" cannot be removed: a later BODY "
                                           L"start tag of the page also sets it, and a browser would apply it.");
    }
    const auto [from, to] = bodyTagRange();
    return _bytes.substr(0, from) + renderTag(attributes) + _bytes.substr(to);
}

std::string HtmlPage::renderTag(const std::vector<Attribute>& attributes) const {
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

    const ScannedTag* original = _scan.body ? &*_scan.body : nullptr;
    if (original)
        out += raw(original->start, original->nameEnd);
    else
        ascii("<body");
    for (const auto& a : attributes) {
        const auto name = AsciiLower32(ToUtf32(a.name));
        const ScannedAttribute* before = nullptr;
        if (original) {
            for (const auto& o : original->attributes)
                if (!o.duplicate && o.name == name) before = &o;
        }
        // A name that starts with "=" would be read as the value of a bare name now
        // before it; after a "/" it starts an attribute whatever precedes it.
        const auto kept = [&](std::size_t to) {
            if (_text.chars[before->start] == '=') {
                ascii(" /");
                out += raw(before->start, to);
            } else {
                separated(before->leadStart, to);
            }
        };
        if (before && before->value == ToUtf32(a.value)) {
            kept(before->end);
        } else if (before) {
            kept(before->nameEnd);
            quoted(a);
        } else {
            // A new name, or one a later BODY tag gave; the latter was read, not checked.
            ascii(name[0] == '=' ? " /" : " ");
            for (const char32_t c : ToUtf32(a.name)) {
                if (!Encode(c, _encoding, out))
                    throw SimError(kErrorInvalidArg,
                                   L"The attribute name \"" + a.name + L"\" cannot be written in the page's encoding.");
            }
            quoted(a);
        }
    }
    if (original && original->tailStart + 1 < original->end) separated(original->tailStart, original->end - 1);
    ascii(">");
    return out;
}

}  // namespace tavisk::simhost
