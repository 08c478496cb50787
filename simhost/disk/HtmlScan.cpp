#include "simhost/disk/HtmlScan.h"

#include <algorithm>

#include "simhost/disk/CharacterReferences.h"

namespace tavisk::simhost {
namespace {

constexpr auto npos = std::u32string_view::npos;

bool IsSpace(char32_t c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }
bool IsAsciiAlpha(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char32_t AsciiLower(char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }
// The tokenizer's treatment of a name character: A-Z lower-cased, NUL replaced.
char32_t NameChar(char32_t c) { return c == 0 ? char32_t(0xFFFD) : AsciiLower(c); }

bool IsServerStart(std::u32string_view text, std::size_t at) {
    return at + 1 < text.size() && text[at] == '<' && text[at + 1] == '%';
}

// Just after the "%>" that ends the server block starting at `at`, or npos.
std::size_t ServerEnd(std::u32string_view text, std::size_t at) {
    const auto close = text.find(U"%>", at + 2);
    return close == npos ? npos : close + 2;
}

// The first `c` at or after `from` outside server blocks, or npos.
std::size_t FindOutsideServer(std::u32string_view text, std::size_t from, char32_t c) {
    for (std::size_t i = from; i < text.size();) {
        if (IsServerStart(text, i)) {
            i = ServerEnd(text, i);
            if (i == npos) return npos;
        } else if (text[i] == c) {
            return i;
        } else {
            ++i;
        }
    }
    return npos;
}

bool StartsWith(std::u32string_view text, std::size_t at, std::u32string_view prefix) {
    return text.substr(at, prefix.size()) == prefix;
}

bool StartsWithIgnoringCase(std::u32string_view text, std::size_t at, std::u32string_view lowerPrefix) {
    if (at + lowerPrefix.size() > text.size()) return false;
    for (std::size_t k = 0; k < lowerPrefix.size(); ++k)
        if (AsciiLower(text[at + k]) != lowerPrefix[k]) return false;
    return true;
}

// "<name" or "</name" (by `prefix`) followed by what ends a tag name.
bool IsTagOf(std::u32string_view text, std::size_t at, std::u32string_view prefix, std::u32string_view name) {
    if (!StartsWith(text, at, prefix) || !StartsWithIgnoringCase(text, at + prefix.size(), name)) return false;
    const std::size_t after = at + prefix.size() + name.size();
    return after < text.size() && (IsSpace(text[after]) || text[after] == '/' || text[after] == '>');
}

// Appends decoded characters to `out` until `stop` says a character ends the run;
// false when the text ends first. Server code is taken as written, and sets `server`.
// In an unquoted value, a block of statements ("<% If x Then %>") ends the value:
// only an expression ("<%= x %>") writes part of it.
template <class Stop>
bool ReadValue(std::u32string_view text, std::size_t& i, Stop stop, std::u32string& out, bool& server, bool unquoted) {
    while (i < text.size()) {
        const char32_t c = text[i];
        if (IsServerStart(text, i)) {
            if (unquoted && !StartsWith(text, i, U"<%=")) return true;
            const auto end = ServerEnd(text, i);
            if (end == npos) return false;
            out += text.substr(i, end - i);
            server = true;
            i = end;
            continue;
        }
        if (stop(c)) return true;
        if (c == '&') {
            const std::size_t taken = ReadCharacterReference(text, i, true, out);
            if (taken) {
                i += taken;
                continue;
            }
        }
        if (c == '\r') {  // CR LF and a lone CR are one LF in the browser's text
            out += '\n';
            ++i;
            if (i < text.size() && text[i] == '\n') ++i;
            continue;
        }
        out += c == 0 ? char32_t(0xFFFD) : c;
        ++i;
    }
    return false;
}

std::u32string DecodeText(std::u32string_view raw) {
    std::u32string out;
    std::size_t i = 0;
    while (i < raw.size()) {
        if (IsServerStart(raw, i)) {
            const auto end = std::min(ServerEnd(raw, i), raw.size());
            out += raw.substr(i, end - i);
            i = end;
            continue;
        }
        if (raw[i] == '&') {
            const std::size_t taken = ReadCharacterReference(raw, i, false, out);
            if (taken) {
                i += taken;
                continue;
            }
        }
        if (raw[i] == '\r') {
            out += '\n';
            ++i;
            if (i < raw.size() && raw[i] == '\n') ++i;
            continue;
        }
        out += raw[i] == 0 ? char32_t(0xFFFD) : raw[i];
        ++i;
    }
    return out;
}

// Just after the comment whose text starts at `from` (after "<!--"), or npos when
// the comment runs to the end.
std::size_t CommentEnd(std::u32string_view text, std::size_t from) {
    if (StartsWith(text, from, U">")) return from + 1;   // "<!-->"
    if (StartsWith(text, from, U"->")) return from + 2;  // "<!--->"
    for (std::size_t j = from; j + 2 < text.size(); ++j) {
        if (IsServerStart(text, j)) {
            const auto end = ServerEnd(text, j);
            if (end == npos) return npos;
            j = end - 1;
            continue;
        }
        if (text[j] != '-' || text[j + 1] != '-') continue;
        if (text[j + 2] == '>') return j + 3;
        if (text[j + 2] == '!' && j + 3 < text.size() && text[j + 3] == '>') return j + 4;
    }
    return npos;
}

// The end of a raw-text or escapable raw-text element whose content starts at `i`:
// where its end tag starts and just after it. False when the text ends first.
bool RawTextEnd(std::u32string_view text, std::size_t i, std::u32string_view name, std::size_t& contentEnd,
                std::size_t& after) {
    for (std::size_t j = i; j < text.size();) {
        if (IsServerStart(text, j)) {
            j = ServerEnd(text, j);
            if (j == npos) return false;
            continue;
        }
        if (!IsTagOf(text, j, U"</", name)) {
            ++j;
            continue;
        }
        const auto tag = ReadTag(text, j);
        if (!tag) return false;
        contentEnd = j;
        after = tag->end;
        return true;
    }
    return false;
}

// The same for a SCRIPT element, whose "<!--" ... "<script>" ... "-->" escapes keep
// an inner "</script>" from ending it, as the browser's script data states do.
bool ScriptEnd(std::u32string_view text, std::size_t i, std::size_t& contentEnd, std::size_t& after) {
    enum { Data, Escaped, DoubleEscaped } state = Data;
    for (std::size_t j = i; j < text.size();) {
        if (IsServerStart(text, j)) {
            j = ServerEnd(text, j);
            if (j == npos) return false;
            continue;
        }
        if (state != Data && StartsWith(text, j, U"-->")) {
            state = Data;
            j += 3;
        } else if (text[j] != '<') {
            ++j;
        } else if (state == Data && StartsWith(text, j, U"<!--")) {
            state = Escaped;
            j += 2;  // its dashes may already close it: "<!-->"
        } else if (state != DoubleEscaped && IsTagOf(text, j, U"</", U"script")) {
            const auto tag = ReadTag(text, j);
            if (!tag) return false;
            contentEnd = j;
            after = tag->end;
            return true;
        } else if (state == DoubleEscaped && IsTagOf(text, j, U"</", U"script")) {
            state = Escaped;
            j += 8;
        } else if (state == Escaped && IsTagOf(text, j, U"<", U"script")) {
            state = DoubleEscaped;
            j += 7;
        } else {
            ++j;
        }
    }
    return false;
}

enum class Content { Markup, RawText, Script, PlainText };

Content ContentOf(const std::u32string& name) {
    static constexpr std::u32string_view kRawText[] = {U"title",  U"textarea", U"style",    U"xmp",
                                                       U"iframe", U"noembed",  U"noframes", U"noscript"};
    if (name == U"script") return Content::Script;
    if (name == U"plaintext") return Content::PlainText;
    for (const auto raw : kRawText)
        if (name == raw) return Content::RawText;
    return Content::Markup;
}

// Start tags that the browser keeps in the head, or that start the body themselves.
bool BelongsBeforeBody(const std::u32string& name) {
    static constexpr std::u32string_view kNames[] = {U"html",     U"head",  U"base",     U"basefont", U"bgsound",
                                                     U"link",     U"meta",  U"noframes", U"script",   U"style",
                                                     U"template", U"title", U"noscript", U"body",     U"frameset"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

const ScannedAttribute* FindAttribute(const ScannedTag& tag, std::u32string_view name) {
    for (const auto& a : tag.attributes)
        if (!a.duplicate && a.name == name) return &a;
    return nullptr;
}

// The encoding label that a META start tag declares, as the browser's prescan reads it.
std::optional<std::u32string> MetaCharset(const ScannedTag& meta) {
    if (const auto* charset = FindAttribute(meta, U"charset")) return charset->value;
    const auto* equiv = FindAttribute(meta, U"http-equiv");
    const auto* content = FindAttribute(meta, U"content");
    if (!equiv || !content) return std::nullopt;
    std::u32string lowerEquiv;
    for (const char32_t c : equiv->value) lowerEquiv += AsciiLower(c);
    if (lowerEquiv != U"content-type") return std::nullopt;

    const std::u32string_view value = content->value;
    std::size_t at = 0;
    while (true) {
        std::size_t found = npos;
        for (std::size_t k = at; k + 7 <= value.size() && found == npos; ++k)
            if (StartsWithIgnoringCase(value, k, U"charset")) found = k;
        if (found == npos) return std::nullopt;
        std::size_t i = found + 7;
        while (i < value.size() && IsSpace(value[i])) ++i;
        if (i >= value.size() || value[i] != '=') {
            at = i;
            continue;
        }
        ++i;
        while (i < value.size() && IsSpace(value[i])) ++i;
        if (i >= value.size()) return std::nullopt;
        if (value[i] == '"' || value[i] == '\'') {
            const auto close = value.find(value[i], i + 1);
            if (close == npos) return std::nullopt;
            return std::u32string(value.substr(i + 1, close - i - 1));
        }
        std::size_t end = i;
        while (end < value.size() && !IsSpace(value[end]) && value[end] != ';') ++end;
        return std::u32string(value.substr(i, end - i));
    }
}

}  // namespace

std::optional<ScannedTag> ReadTag(std::u32string_view text, std::size_t at) {
    const std::size_t n = text.size();
    ScannedTag tag;
    tag.start = at;
    std::size_t i = at + 1;
    if (i < n && text[i] == '/') ++i;
    // Server code ends a name: what it writes is not known here.
    const auto endsName = [&](std::size_t at) {
        return IsSpace(text[at]) || text[at] == '/' || text[at] == '>' || IsServerStart(text, at);
    };
    for (; i < n && !endsName(i); ++i) tag.name += NameChar(text[i]);
    tag.nameEnd = i;
    while (true) {
        const std::size_t leadStart = i;
        while (i < n && (IsSpace(text[i]) || text[i] == '/')) ++i;
        if (i >= n) return std::nullopt;
        if (text[i] == '>') {
            tag.tailStart = leadStart;
            tag.end = i + 1;
            return tag;
        }
        if (IsServerStart(text, i)) {
            const auto end = ServerEnd(text, i);
            if (end == npos) return std::nullopt;
            tag.serverCode.push_back({leadStart, i, end});
            tag.holdsServerCode = true;
            i = end;
            continue;
        }
        ScannedAttribute a;
        a.leadStart = leadStart;
        a.start = i;
        do {  // a first "=" belongs to the name
            a.name += NameChar(text[i]);
            ++i;
        } while (i < n && !endsName(i) && text[i] != '=');
        a.nameEnd = i;
        a.end = i;
        std::size_t k = i;
        while (k < n && IsSpace(text[k])) ++k;
        if (k < n && text[k] == '=') {
            i = k + 1;
            while (i < n && IsSpace(text[i])) ++i;
            if (i >= n) return std::nullopt;
            if (text[i] == '"' || text[i] == '\'') {
                const char32_t quote = text[i++];
                if (!ReadValue(
                        text, i, [quote](char32_t c) { return c == quote; }, a.value, tag.holdsServerCode, false))
                    return std::nullopt;
                a.end = ++i;
            } else if (text[i] != '>') {
                if (!ReadValue(
                        text, i, [](char32_t c) { return IsSpace(c) || c == '>'; }, a.value, tag.holdsServerCode, true))
                    return std::nullopt;
                a.end = i;
            }
            // else an "=" with no value before the ">": it is not kept with the
            // attribute, since whatever followed it on a rewrite would become its value.
        }
        a.duplicate = std::any_of(tag.attributes.begin(), tag.attributes.end(),
                                  [&](const ScannedAttribute& b) { return b.name == a.name; });
        tag.attributes.push_back(std::move(a));
    }
}

PageScan ScanPage(std::u32string_view text) {
    PageScan scan;
    const std::size_t n = text.size();
    // The server's own reading first: each "<%" up to the next "%>", wherever it is.
    for (std::size_t at = text.find(U"<%"); at != npos;) {
        const auto end = ServerEnd(text, at);
        if (end == npos) {
            scan.openServerCode = at;
            break;
        }
        at = text.find(U"<%", end);
    }
    std::size_t inferredAt = npos;  // the first token that makes the browser infer a body
    std::size_t openAtEnd = npos;   // a comment, tag or raw text left open at the end
    std::size_t templateStart = npos;
    int templateDepth = 0;
    const auto infer = [&](std::size_t at) {
        if (inferredAt == npos && templateDepth == 0 && !scan.body) inferredAt = at;
    };
    const auto skipTo = [&](std::size_t at, std::size_t& i) {
        if (at == npos) {
            openAtEnd = i;
            i = n;
        } else {
            i = at;
        }
    };

    std::size_t i = 0;
    while (i < n) {
        if (text[i] != '<') {
            if (!IsSpace(text[i])) infer(i);
            ++i;
            continue;
        }
        if (i + 1 >= n) {  // a last "<" is text
            infer(i);
            ++i;
            continue;
        }
        const char32_t next = text[i + 1];
        if (next == '!' && StartsWith(text, i, U"<!--")) {
            skipTo(CommentEnd(text, i + 4), i);
            continue;
        }
        if (next == '%') {  // server code: the server replaces it
            skipTo(ServerEnd(text, i), i);
            continue;
        }
        if (next == '!' || next == '?') {  // DOCTYPE or a bogus comment
            const auto gt = FindOutsideServer(text, i + 2, '>');
            skipTo(gt == npos ? npos : gt + 1, i);
            continue;
        }
        if (next == '/') {
            if (i + 2 >= n) {  // "</" at the end is text
                infer(i);
                i = n;
            } else if (IsAsciiAlpha(text[i + 2])) {
                const auto tag = ReadTag(text, i);
                if (!tag) {
                    openAtEnd = i;
                    break;
                }
                if (tag->name == U"template" && templateDepth > 0) {
                    if (--templateDepth == 0) templateStart = npos;
                } else if (tag->name == U"body" || tag->name == U"html" || tag->name == U"br") {
                    infer(i);
                }
                i = tag->end;
            } else if (text[i + 2] == '>') {
                i += 3;
            } else {
                const auto gt = FindOutsideServer(text, i + 2, '>');
                skipTo(gt == npos ? npos : gt + 1, i);
            }
            continue;
        }
        if (!IsAsciiAlpha(next)) {
            infer(i);
            ++i;
            continue;
        }

        const auto tag = ReadTag(text, i);
        if (!tag) {
            openAtEnd = i;
            break;
        }
        const auto& name = tag->name;
        i = tag->end;
        if (name == U"template") {
            if (templateDepth++ == 0) templateStart = tag->start;
        } else if (templateDepth == 0) {
            // A FRAMESET after the body has begun is ignored by the browser.
            if (!scan.body && (name == U"body" || (name == U"frameset" && inferredAt == npos)))
                scan.body = *tag;
            else if (name == U"body" && scan.body->name == U"body")  // after a FRAMESET, ignored
                scan.laterBodies.push_back(*tag);
            else if (!BelongsBeforeBody(name))
                infer(tag->start);
            if (name == U"frame" && scan.body && scan.body->name == U"frameset" && !scan.firstFrameSource) {
                const auto* source = FindAttribute(*tag, U"src");
                if (source && !source->value.empty()) scan.firstFrameSource = source->value;
            }
            // Only before the body: a rewrite of the body's start tag then never moves
            // a declaration in or out of what decides the encoding.
            if (name == U"meta" && !scan.metaCharset && !scan.body && inferredAt == npos)
                scan.metaCharset = MetaCharset(*tag);
        }

        const auto content = ContentOf(name);
        if (content == Content::PlainText) {
            i = n;
        } else if (content != Content::Markup) {
            std::size_t contentEnd = 0, after = 0;
            const bool closed = content == Content::Script ? ScriptEnd(text, i, contentEnd, after)
                                                           : RawTextEnd(text, i, name, contentEnd, after);
            if (!closed) {  // the element runs to the end of the page
                if (name == U"title" && templateDepth == 0 && !scan.title) scan.title = DecodeText(text.substr(i));
                openAtEnd = tag->start;
                break;
            }
            if (name == U"title" && templateDepth == 0 && !scan.title)
                scan.title = DecodeText(text.substr(i, contentEnd - i));
            i = after;
        }
    }

    if (!scan.body) {
        // At the end, the body starts after everything; a start tag written there must
        // not fall inside a template or a construct left open.
        scan.impliedBodyAt = inferredAt != npos      ? inferredAt
                             : templateStart != npos ? templateStart
                             : openAtEnd != npos     ? openAtEnd
                                                     : n;
    }
    return scan;
}

}  // namespace tavisk::simhost
