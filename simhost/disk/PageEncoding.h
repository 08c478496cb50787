#pragma once

#include "base/Text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavisk::simhost {

enum class EncodingKind {
    Utf8,
    Utf16Le,
    Utf16Be,
    Windows1252,
    // A page labelled with an encoding this editor does not decode (Shift_JIS,
    // ISO-8859-2, ...). Its ASCII is read as such, every other byte as U+FFFD, and new
    // text is written in ASCII with character references, which every encoding a
    // browser reads as ASCII-compatible holds unchanged.
    AsciiCompatible,
};

// How a page's bytes are text.
struct PageEncoding {
    EncodingKind kind = EncodingKind::Windows1252;
    std::size_t bomSize = 0;
    // New text beyond ASCII is written as character references: the page declares no
    // encoding, so a browser may read it with another default, and references read
    // the same under every one.
    bool asciiOnly = false;
};

// The encoding a browser gives an encoding label (as in a meta charset), following
// the Encoding Standard's labels for the encodings decoded here. Labels for UTF-16
// mean UTF-8 in a meta, as a browser takes them; unknown labels give AsciiCompatible.
EncodingKind EncodingForLabel(std::string_view label);

// The encoding given by a byte-order mark at the start of `bytes`, if any.
bool DetectBom(std::string_view bytes, PageEncoding& encoding);

// Text decoded from bytes: character i starts at byte offsets[i]; offsets has one
// more entry, the end of the bytes. The BOM is not part of the text.
struct DecodedText {
    std::u32string chars;
    std::vector<std::size_t> offsets;
};

// Decodes as the Encoding Standard's decoders do: a malformed UTF-8 sequence is one
// U+FFFD (see base::DecodeUtf8), so is a lone surrogate or an odd last byte in
// UTF-16, and a byte above 0x7F of an encoding not decoded here.
DecodedText Decode(std::string_view bytes, const PageEncoding& encoding);

// Appends `c` in the page's encoding; false (nothing appended) when the encoding
// cannot hold it.
bool Encode(char32_t c, const PageEncoding& encoding, std::string& out);

// The windows-1252 meaning of the bytes 0x80-0x9F, which browsers also give to
// numeric character references in that range.
char32_t Windows1252High(unsigned char byte);

// Page text is UTF-32; the element's names and values are wide strings. ToUtf32
// leaves a lone surrogate as it is, for the page editor to refuse.
using base::FromUtf32;
using base::ToUtf32;

}  // namespace tavisk::simhost
