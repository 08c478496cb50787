#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "simhost/PageDocument.h"
#include "simhost/disk/HtmlScan.h"
#include "simhost/disk/PageEncoding.h"

namespace tavisk::simhost {

// A page file as a browser reads it, and the one place that writes its BODY start
// tags back.
//
// Encoding, as a browser decides it: a byte-order mark (UTF-8, UTF-16LE, UTF-16BE);
// else the first meta charset (or http-equiv Content-Type) before the body; else
// windows-1252, a browser's default for Western pages. Text written into a page
// without a declared encoding uses character references beyond ASCII, which every
// browser reads the same whatever default it applies.
//
// The element is what a browser gives as document.body (see PageScan): for a frames
// page, the outermost FRAMESET; for a page without a BODY tag, the body the browser
// infers, whose start tag is written where that body begins once it has attributes.
// Later BODY start tags add the attributes the element lacks, as in a browser. A
// save never moves an attribute from one BODY start tag to another (a later tag may
// stand in another branch of server code, and what it carries is that branch's): an
// attribute the element loses goes from every tag that sets it, so no later tag
// applies it again; every other keeps its tag and its place; a changed or new value
// is written into the first tag, where it wins over any later one.
//
// Server code ("<% ... %>", see PageScan) is the user's program: a save never splits
// it, never writes into it and never moves it. In a tag that holds some, attributes
// keep their places around it and a duplicate name is not dropped (which occurrence
// applies may depend on the code): each occurrence of a changed name gets the new
// value. A page with a "<%" that no "%>" closes is not rewritten.
class HtmlPage {
public:
    explicit HtmlPage(std::string bytes);

    const std::string& bytes() const noexcept { return _bytes; }
    const PageEncoding& encoding() const noexcept { return _encoding; }
    // Names lower-cased, values decoded, duplicates dropped (the first wins).
    const std::vector<Attribute>& bodyAttributes() const noexcept { return _body; }
    bool hasBodyTag() const noexcept { return _scan.body.has_value(); }
    // The bytes of the BODY (or FRAMESET) start tag; for a page without one, the
    // empty range where a start tag would be written.
    std::pair<std::size_t, std::size_t> bodyTagRange() const;
    // That range, then the bytes of each later BODY start tag: all a save may change.
    std::vector<std::pair<std::size_t, std::size_t>> bodyTagRanges() const;
    // For a frames page, the src of the frame the editor puts the insertion point in.
    std::optional<std::wstring> firstFrameSource() const;
    // document.title: the first TITLE's text, white space stripped and collapsed;
    // empty when the page has none.
    std::wstring title() const;

    // The page's bytes with its BODY start tags written for `attributes`; every other
    // byte as it was. The bytes themselves when the attributes are the ones read.
    // Read back, the page gives the same attributes, in another order where later
    // tags give some: theirs stay in those tags, after the first tag's.
    // An attribute kept with its value keeps its spelling and quoting; a changed or
    // new value is written double-quoted with "&", '"', "<" and CR as references, and
    // any character the encoding cannot hold as a numeric reference. Duplicates that
    // the browser ignored are dropped from a rewritten tag. Raises SimError when a
    // name cannot be written as one attribute name or a value holds a character that
    // no page can carry (U+0000, a lone surrogate, a C1 control the encoding lacks),
    // or when the page holds server code that is never closed.
    std::string render(const std::vector<Attribute>& attributes) const;

    // Page bytes as text in the page's encoding (its byte-order mark dropped).
    std::wstring text(std::string_view pageBytes) const;

private:
    std::string raw(std::size_t from, std::size_t to) const;
    // A save in two steps: which attributes of which BODY start tag go, stay or come
    // (one plan for each tag, the first one first), then the bytes of a tag that
    // changes.
    struct TagPlan;
    std::vector<TagPlan> plan(const std::vector<Attribute>& attributes) const;
    std::string writeTag(const TagPlan& plan) const;

    std::string _bytes;
    PageEncoding _encoding;
    DecodedText _text;
    PageScan _scan;
    std::vector<Attribute> _body;
};

}  // namespace tavisk::simhost
