#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavisk::simhost {

// One attribute of a start tag as a browser's tokenizer reads it. Positions are
// indexes into the scanned text.
struct ScannedAttribute {
    std::u32string name;        // A-Z lower-cased
    std::u32string value;       // character references decoded, line breaks as LF; server code as written
    std::size_t leadStart = 0;  // the white space or "/" before the name starts here
    std::size_t start = 0;      // the name
    std::size_t nameEnd = 0;
    std::size_t end = 0;  // just after the value (its closing quote included)
    // An earlier attribute of the tag has the same name: the browser ignores this one.
    bool duplicate = false;
};

// Server code ("<% ... %>") standing in a start tag where an attribute could: not an
// attribute of the page (what it writes is known only when the server runs it).
struct ServerCodePiece {
    std::size_t leadStart = 0;  // the white space or "/" before it starts here
    std::size_t start = 0;      // the "<%"
    std::size_t end = 0;        // just after the "%>"
};

struct ScannedTag {
    std::u32string name;        // A-Z lower-cased
    std::size_t start = 0;      // the "<"
    std::size_t nameEnd = 0;    // just after the tag name
    std::size_t tailStart = 0;  // white space or "/" after the last attribute starts here
    std::size_t end = 0;        // just after the ">"
    std::vector<ScannedAttribute> attributes;
    std::vector<ServerCodePiece> serverCode;
    // Server code anywhere inside the tag, attribute values included.
    bool holdsServerCode = false;
};

// What a browser makes of a page's markup, as far as the stand-in host needs it: the
// tokenizer's states for tags, attributes, character references, comments, raw text
// and script escapes, and of the tree builder only what decides where the body
// begins (head elements, templates, frameset). Scripting counts as on, so NOSCRIPT is
// raw text. Not modelled: CDATA sections inside SVG or MathML, and the few contexts
// (SELECT) where a browser drops a BODY tag.
//
// Server code "<% ... %>" of an ASP page is the server's, run before a browser reads
// the page, so it counts wherever it stands: between tags, inside a comment or raw
// text, inside a start tag or an attribute value. Each block is one opaque unit that
// ends at its first "%>": nothing in it ends a tag, a value, a comment or a raw-text
// element, and nothing in it is markup of the page. In a tag, a block ends a name
// and stands on its own (a ServerCodePiece); it is part of a quoted value, and of an
// unquoted one when it is an expression ("<%= x %>"), while statements ("<% End If
// %>") end an unquoted value, so that an attribute between them stays one.
struct PageScan {
    // The start tag of the element a browser gives as document.body: the first BODY
    // start tag in markup (never one inside a comment, raw text or a template), or
    // the FRAMESET start tag of a frames page that has no BODY before it.
    std::optional<ScannedTag> body;
    // BODY start tags after the first, whose attributes the browser adds to the body
    // element where it has none of that name.
    std::vector<ScannedTag> laterBodies;
    // For a page without one: where the browser starts the body it infers (at the
    // first text or element that does not belong in the head, else at the end), the
    // place for a start tag written there.
    std::size_t impliedBodyAt = 0;
    // For a frames page (its body is a FRAMESET): the src of its first FRAME that
    // names a page, as written. The editor opens that page in the frame and puts the
    // insertion point there.
    std::optional<std::u32string> firstFrameSource;
    // The text of the first TITLE element, references decoded, white space kept.
    std::optional<std::u32string> title;
    // The encoding label of the first meta that declares one before the body.
    std::optional<std::u32string> metaCharset;
    // Where a "<%" starts that no "%>" closes: the server takes the rest of the page
    // as its code, so the page's markup after it cannot be known.
    std::optional<std::size_t> openServerCode;
};

PageScan ScanPage(std::u32string_view text);

// Reads the tag whose "<" is at `at` (an end tag when `at + 1` holds "/"), or
// nothing when the text ends inside it (a browser drops such a tag).
std::optional<ScannedTag> ReadTag(std::u32string_view text, std::size_t at);

}  // namespace tavisk::simhost
